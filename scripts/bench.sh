#!/usr/bin/env bash
# Builds the recount benchmark as Release and runs it: with no arguments on catalogues of 2,000, 20,000
# and 40,000 journals (10 articles each on average), each measured against the file system's floor in
# the same run, and on example folders 2,000 and 20,000 deep against find on the same tree, ending with
# the tables the README shows; with JOURNALS ARTICLES on that one size, with deep DEPTH on that one depth.
# The catalogues are laid out in a temporary folder ($TMPDIR, else /tmp) and removed afterwards.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build-bench"

bash "$repo/scripts/setup.sh"
cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOTEL_BUILD_TESTS=OFF
ninja -C "$build_dir" -j2 bench_recount
exec "$build_dir/bench/bench_recount" "$@"
