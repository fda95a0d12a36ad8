#!/usr/bin/env bash
# Builds Varnotel twice, once plainly and once with AddressSanitizer and UndefinedBehaviorSanitizer,
# warnings as errors, and runs the whole test suite on both. Exits non-zero when a build or any test fails.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$repo/scripts/setup.sh"

# Builds one configuration and runs its suite. Called in a condition, where set -e is off, so every
# step's failure is passed on by hand.
build_and_test() {
    local build_dir=$1
    shift
    echo "== $build_dir"
    cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOTEL_WERROR=ON "$@" || return 1
    ninja -C "$build_dir" -j2 || return 1
    (cd "$build_dir" && ctest --output-on-failure) || return 1
}

failed=()
build_and_test "$repo/build-debug" -DVARNOTEL_SANITIZE=OFF || failed+=(debug)
build_and_test "$repo/build-asan" -DVARNOTEL_SANITIZE=ON || failed+=(sanitizers)

if ((${#failed[@]} > 0)); then
    echo "test: FAILED in: ${failed[*]}" >&2
    exit 1
fi
echo "test: both builds passed every test."
