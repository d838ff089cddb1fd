#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time, starting from the seeds in the
# repository; new inputs gather in the build folder, never in the seeds. Prints each target's
# executions and findings; fails when any target found a crash, a leak or a timeout.
#   fuzz.sh BUILD-DIR SECONDS-PER-TARGET
# With 0 seconds, the short pass the tests run: the seeds, then a search of a fixed number of
# inputs with a fixed random seed, starting from the seeds alone, so that every run of the tests
# tries the same inputs and its outcome never depends on what a random search happened to reach.
set -uo pipefail
build=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seeds=$source_dir/tests/fuzz/corpus
targets=(header_fuzz password_fuzz iff_fuzz keymap_fuzz pattern_fuzz)
# Inputs each target tries in the short pass: about 20 s for the pattern matcher, whose inputs
# may each take thousands of times the work of the others', a second or two for each of those.
declare -A fixed_runs=([header_fuzz]=20000 [password_fuzz]=20000 [iff_fuzz]=20000
                       [keymap_fuzz]=20000 [pattern_fuzz]=4000)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

found_any=0
for t in "${targets[@]}"; do
    corpus=$build/fuzz-corpus/$t
    findings=$build/fuzz-findings/$t
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    log=$build/fuzz-findings/$t.log
    if [ "$seconds" -eq 0 ]; then
        fixed=$build/fuzz-fixed/$t
        rm -rf "$fixed"
        mkdir -p "$fixed"
        cp "$seeds/${t%_fuzz}"/* "$fixed/"
        "$build/tests/fuzz/$t" -runs="${fixed_runs[$t]}" -seed=1 -timeout=10 -rss_limit_mb=1024 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$fixed" >"$log" 2>&1
    else
        "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds/${t%_fuzz}" \
            >"$log" 2>&1
    fi
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    if [ "$seconds" -eq 0 ]; then
        printf '%-14s %10s executions (fixed search), %d finding(s)\n' "$t" "${runs:-?}" "$found"
    else
        printf '%-14s %10s executions in %ss, %d finding(s)\n' "$t" "${runs:-?}" "$seconds" \
            "$found"
    fi
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        found_any=1
        grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -10 | sed 's/^/    /'
        echo "    full log: $log"
    fi
done
exit $found_any
