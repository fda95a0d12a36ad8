#!/usr/bin/env bash
# Builds Varnotel twice, once plainly and once with AddressSanitizer and UndefinedBehaviorSanitizer,
# warnings as errors, and runs the whole test suite on both; then builds the fuzzers with clang and runs
# each for a few seconds on its corpus. Exits non-zero when a build, a test or a fuzzer fails.
#
#   VARNOTEL_FUZZ_SECONDS   how long each fuzzer runs (default 5)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzz_seconds=${VARNOTEL_FUZZ_SECONDS:-5}

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

# Runs every fuzzer on a copy of its corpus, so what it finds never lands in the repository.
build_and_fuzz() {
    local build_dir=$1
    echo "== $build_dir"
    cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DVARNOTEL_WERROR=ON -DVARNOTEL_FUZZ=ON -DVARNOTEL_BUILD_TESTS=OFF -DVARNOTEL_BUILD_BENCHMARKS=OFF ||
        return 1
    ninja -C "$build_dir" -j2 fuzzers || return 1
    local corpus fuzzer found status=0
    for corpus in "$repo"/fuzz/corpus/*/; do
        fuzzer="$build_dir/fuzz/fuzz_$(basename "$corpus")"
        found=$(mktemp -d)
        echo "-- $(basename "$fuzzer") for ${fuzz_seconds}s"
        (cd "$found" && "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=0 "$found" "$corpus" 2>&1 | tail -n 3) || status=1
        # A failing input is written into the current folder as crash-*, leak-* or timeout-*.
        if compgen -G "$found/crash-*" >/dev/null || compgen -G "$found/leak-*" >/dev/null ||
            compgen -G "$found/timeout-*" >/dev/null; then
            status=1
            echo "fuzz: $(basename "$fuzzer") found a failing input:" >&2
            for input in "$found"/crash-* "$found"/leak-* "$found"/timeout-*; do
                [[ -e "$input" ]] && od -c "$input" | head -n 16 >&2
            done
        fi
        rm -rf "$found"
    done
    return $status
}

failed=()
build_and_test "$repo/build-debug" -DVARNOTEL_SANITIZE=OFF || failed+=(debug)
build_and_test "$repo/build-asan" -DVARNOTEL_SANITIZE=ON || failed+=(sanitizers)
build_and_fuzz "$repo/build-fuzz" || failed+=(fuzzers)

if ((${#failed[@]} > 0)); then
    echo "test: FAILED in: ${failed[*]}" >&2
    exit 1
fi
echo "test: both builds passed every test, and no fuzzer found a failing input."
