#!/usr/bin/env bash
# Mutation testing: plants one small fault at a time in src/ (an operator swapped, a literal moved by one, a
# condition negated, a statement removed, true and false swapped) and runs the tests that link the faulty
# library. A mutant the tests catch is killed; one they pass is a survivor, a fault no test checks.
#
#   bash scripts/mutants.sh [-n N] [-s SEED] [--list] [--again LOG]
#
#   -n N      how many mutants to judge (default 60); one that does not compile is replaced by the next
#   -s SEED   the seed that picks them (default 16): the same seed on the same tree, the same mutants
#   --list    print the first N mutants of the seeded sequence and stop, without building
#   --again LOG   judge again only the survivors an earlier run printed to LOG (found by file and
#                 description): the run's score then rises by those the suite now kills
#
# The working tree is never written: the mutants go into a private copy under build-mutants/source/, built
# in build-mutants/build/ (Debug, no sanitizers). The last line is "mutation score: K/N". It takes under a
# minute a mutant on two cores, so it is not part of scripts/test.sh.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$repo/build-mutants
copy=$work/source
build=$work/build
helper=(python3 "$repo/scripts/mutants.py")

count=60 seed=16 list_only=false again=
while (($# > 0)); do
    case $1 in
    -n) count=$2 && shift 2 ;;
    -s) seed=$2 && shift 2 ;;
    --list) list_only=true && shift ;;
    --again) again=$2 && shift 2 ;;
    *) echo "usage: bash scripts/mutants.sh [-n N] [-s SEED] [--list] [--again LOG]" >&2 && exit 2 ;;
    esac
done

mkdir -p "$work"
"${helper[@]}" plan "$repo" "$seed" >"$work/plan.jsonl" || exit 1
if $list_only; then
    for ((k = 1; k <= count; k++)); do
        line=$("${helper[@]}" show "$work/plan.jsonl" "$k" "$repo") || break
        IFS=$'\t' read -r file at what <<<"$line"
        echo "$k $file:$at: $what"
    done
    exit 0
fi

# The one mutant in the copy at the moment, and the process group of the build or test run going on, so
# that an interrupt can stop the run and put the original back.
mutated='' child=''
restore_copy() {
    if [[ -n $mutated ]]; then
        "${helper[@]}" restore "$repo" "$copy" "$mutated"
        mutated=''
    fi
}
on_interrupt() {
    [[ -n $child ]] && kill -TERM -- "-$child" 2>/dev/null && wait "$child" 2>/dev/null
    # A whole sync, not only the file in $mutated: the signal may come between writing a mutant and
    # noting its name.
    "${helper[@]}" sync "$repo" "$copy"
    echo "mutants: interrupted; the private copy holds no mutant" >&2
    exit 130
}
trap on_interrupt INT TERM
trap restore_copy EXIT

# Runs a command with its output to a log, in its own process group and in the background, so that the
# trap runs at once on an interrupt (bash waits for a foreground command first) and can stop the command
# and all its children. The log is redirected here, not around the call: the trap would print into it.
run() { # LOG COMMAND...
    local log=$1
    shift
    setsid "$@" >"$log" 2>&1 &
    child=$!
    wait "$child"
    local status=$?
    child=''
    return $status
}

# Tests that cannot see behaviour: the include rules and the installed folder.
not_behaviour='^(layers|install)_'
run_tests() { # [targets...]: the tests of those names, or all of them, stopping at the first failure
    local names="$*"
    local select=()
    [[ -n $names ]] && select=(-R "^(${names// /|})\$")
    run "$work/last-test.log" env QTEST_FUNCTION_TIMEOUT=$((function_limit * 1000)) timeout "$suite_limit" \
        ctest --test-dir "$build" -j2 --stop-on-failure -E "$not_behaviour" "${select[@]}"
}

# Every mutant relinks the ten test programs, which takes GNU ld longer than the compiling; lld (or else
# gold) links them in a fraction of that time.
linker=gold
command -v ld.lld >/dev/null && linker=lld

echo "mutants: syncing the private copy and building it once"
"${helper[@]}" sync "$repo" "$copy" || exit 1
run "$work/last-build.log" cmake -S "$copy" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVARNOTEL_SANITIZE=OFF -DVARNOTEL_BUILD_BENCHMARKS=OFF -DVARNOTEL_WERROR=OFF \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=$linker --graphviz="$build/deps/graph.dot" || { cat "$work/last-build.log" >&2 && exit 1; }
run "$work/last-build.log" ninja -C "$build" -j2 || { tail -n 30 "$work/last-build.log" >&2 && exit 1; }

# The unmutated suite must pass, or every mutant would look killed; its time sets the limits for a mutant,
# whose tests may hang (a loop whose step was removed): a hang counts as killed.
function_limit=60 suite_limit=3600
started=$SECONDS
run_tests || { echo "mutants: the tests fail without any mutant:" >&2 && tail -n 30 "$work/last-test.log" >&2 && exit 1; }
suite_limit=$((3 * (SECONDS - started) + 60))
echo "mutants: the unmutated suite passes in $((SECONDS - started))s; a mutant's tests may take ${suite_limit}s"

killed=0 judged=0 broken=0 survivors=() k=0
began=$SECONDS
chosen=()
if [[ -n $again ]]; then
    mapfile -t chosen < <("${helper[@]}" match "$work/plan.jsonl" "$repo" "$again")
    count=${#chosen[@]}
fi
while ((judged < count)); do
    if [[ -n $again ]]; then
        ((k < ${#chosen[@]})) || break
        k_index=${chosen[$k]} && k=$((k + 1))
    else
        k=$((k + 1)) && k_index=$k
    fi
    line=$("${helper[@]}" apply "$work/plan.jsonl" "$k_index" "$copy") || { echo "mutants: no more candidates" && break; }
    IFS=$'\t' read -r file at what <<<"$line"
    mutated=$file
    started=$SECONDS
    targets=$("${helper[@]}" tests "$build" "$file")
    if ! run "$work/last-build.log" ninja -C "$build" -j2 $targets; then
        verdict="did not compile" && broken=$((broken + 1))
    else
        judged=$((judged + 1))
        if run_tests $targets; then
            verdict=survived && survivors+=("$file:$at: $what")
        else
            verdict=killed && killed=$((killed + 1))
        fi
    fi
    restore_copy
    index=$([[ $verdict == "did not compile" ]] && echo "-" || echo "$judged")
    printf '%4s/%s %s:%s %s: %s (%ss)\n' "$index" "$count" "$file" "$at" "$what" "$verdict" $((SECONDS - started))
done

echo
echo "survivors (${#survivors[@]}):"
for survivor in "${survivors[@]}"; do echo "$survivor"; done
echo "did not compile: $broken; time: $(((SECONDS - began) / 60))m $(((SECONDS - began) % 60))s"
echo "mutation score: $killed/$judged"
