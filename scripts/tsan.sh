#!/usr/bin/env bash
# Builds the tests of the threaded parts (engine, platform, runtime, controls, the windows when
# they exist, and the command line that the script tests run) with ThreadSanitizer and runs them; any data race or lock-order problem fails
# a test.
#   tsan.sh BUILD-DIR JOBS
set -uo pipefail
build=$(cd "$1" && pwd)
jobs=$2
candidates=(engine_tests platform_tests gadtools_tests requester_tests desktop_tests audio_tests
            audio_absent_tests runtime_tests controls_tests app_tests tessella-pictures
            tessella-window-demo tessella-cli)
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

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
# Through ctest, so that each test has a process of its own as in the other builds. Left out:
# programs not built here, and the tests that measure processor time or need a desktop.
cd "$build" && ctest --output-on-failure -j "$jobs" -E "_NOT_BUILT" -LE "idle|desktop|install"
