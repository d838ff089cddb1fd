#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time, starting from the seeds in the
# repository; new inputs gather in the build folder, never in the seeds. Prints each target's
# executions and findings; fails when any target found a crash, a leak or a timeout.
#   fuzz.sh BUILD-DIR SECONDS-PER-TARGET   (0: replay the seeds only)
set -uo pipefail
build=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seeds=$source_dir/tests/fuzz/corpus
targets=(header_fuzz password_fuzz iff_fuzz keymap_fuzz pattern_fuzz)
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
        # A replay of the committed seeds only: the same inputs on every run, so that the
        # tests' outcome never depends on what a random search happened to reach.
        "$build/tests/fuzz/$t" -runs=0 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
            -artifact_prefix="$findings/" "$seeds/${t%_fuzz}" >"$log" 2>&1
    else
        "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds/${t%_fuzz}" \
            >"$log" 2>&1
    fi
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    printf '%-14s %10s executions in %ss, %d finding(s)\n' "$t" "${runs:-?}" "$seconds" "$found"
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        found_any=1
        grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -10 | sed 's/^/    /'
        echo "    full log: $log"
    fi
done
exit $found_any
