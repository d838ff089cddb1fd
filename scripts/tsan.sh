#!/usr/bin/env bash
# Builds the tests of the threaded parts (platform, runtime, controls, and the windows when they
# exist) with ThreadSanitizer and runs them; any data race or lock-order problem fails the run.
#   tsan.sh BUILD-DIR JOBS
set -uo pipefail
build=$1
jobs=$2
candidates=(platform_tests gadtools_tests requester_tests desktop_tests audio_tests
            audio_absent_tests runtime_tests controls_tests app_tests)
has_target() {
    if [ -f "$build/build.ninja" ]; then
        ninja -C "$build" -t query "$1" >/dev/null 2>&1
    else
        make -C "$build" help 2>/dev/null | grep -q "\.\.\. $1\$"
    fi
}
present=()
for t in "${candidates[@]}"; do
    has_target "$t" && present+=("$t")
done
[ ${#present[@]} -gt 0 ] || { echo "no test targets in $build" >&2; exit 1; }
cmake --build "$build" -j "$jobs" --target "${present[@]}" || exit 1

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=4"
failed=()
for t in "${present[@]}"; do
    bin=$(find "$build/tests" -type f -name "$t" -perm -u+x | head -1)
    log=$build/$t.tsan.log
    # As under ctest: no display reaches the tests.
    if (cd "$(dirname "$bin")" && DISPLAY= "$bin" --gtest_brief=1) >"$log" 2>&1; then
        echo "$t: clean"
    else
        echo "$t: FAILED (see $log)"
        grep -E "WARNING: ThreadSanitizer|SUMMARY|FAILED" "$log" | head -5 | sed 's/^/    /'
        failed+=("$t")
    fi
done
[ ${#failed[@]} -eq 0 ]
