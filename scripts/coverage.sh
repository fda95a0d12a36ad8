#!/usr/bin/env bash
# Line coverage of src/ by the test suite: builds with gcc's --coverage (Debug, no sanitizers) in
# build-coverage/, runs the whole ctest suite and sums up with gcovr.
#
#   bash scripts/coverage.sh [--details]
#
# Prints "line coverage of src/: P% (C of L lines)"; --details adds gcovr's table of every file first.
# Not part of scripts/test.sh: a line run is not a line checked, which scripts/mutants.sh measures.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build-coverage
details=false
[[ ${1:-} == --details ]] && details=true

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOTEL_SANITIZE=OFF -DVARNOTEL_WERROR=OFF \
    -DVARNOTEL_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_COMPILER=g++ -DCMAKE_CXX_FLAGS=--coverage \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
ninja -C "$build" -j2 >/dev/null
# Counts from an earlier run would add to this one's.
find "$build" -name '*.gcda' -delete
# A failing test still ran its lines; say so, but report the coverage all the same.
ctest --test-dir "$build" -j2 --output-on-failure >"$build/ctest.log" 2>&1 ||
    echo "coverage: some tests failed, see $build/ctest.log" >&2
tail -n 3 "$build/ctest.log" | head -n 1

# Only src/ counts: not the tests, the moc output nor Qt's headers. The app's main() is code as well.
filters=(--root "$repo" --filter "$repo/src/" -j 2)
$details && gcovr "${filters[@]}" "$build"
gcovr "${filters[@]}" --json-summary "$build/summary.json" "$build" >/dev/null
python3 - "$build/summary.json" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
print(f"line coverage of src/: {summary['line_percent']:.1f}% ({summary['line_covered']} of {summary['line_total']} lines)")
EOF
