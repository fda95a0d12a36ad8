#!/usr/bin/env bash
# Builds the recount benchmark as Release and runs it: with no arguments on catalogues of 2,000, 20,000
# and 40,000 journals (10 articles each on average), each measured against the file system's floor in
# the same run, ending with the table the README shows; with JOURNALS ARTICLES on that one size.
# The catalogues are laid out in a temporary folder ($TMPDIR, else /tmp) and removed afterwards.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build-bench"

bash "$repo/scripts/setup.sh"
cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOTEL_BUILD_TESTS=OFF
ninja -C "$build_dir" -j2 bench_recount
exec "$build_dir/bench/bench_recount" "$@"
