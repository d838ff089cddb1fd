#!/usr/bin/env bash
# Builds the configurations users and packagers choose, and checks what each one leaves out:
#  - Release, warnings as errors, no tests: builds with no test framework looked for;
#  - without the toolkit: the engine and the command line, with no desktop, font or image
#    library looked for (the test folders that need the toolkit are left out as well).
#   build-configs.sh RELEASE-DIR MINIMAL-DIR JOBS
set -euo pipefail
release=$1
minimal=$2
jobs=$3
cd "$(dirname "$0")/.."
gen=()
command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
# Whether a configure step looked for a package: each search leaves its entries in the cache.
looked_for() {
    grep -qiE "^($2)" "$1/CMakeCache.txt"
}

cmake -S . -B "$release" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release -DTESSELLA_WERROR=ON \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$release" -j "$jobs"
looked_for "$release" 'GTest_DIR|GTEST_' && fail "a build without tests looked for GoogleTest"
[ -x "$release/cli/tessella-cli" ] || fail "Release built no tessella-cli"
[ -x "$release/examples/tessella-window-demo" ] || fail "Release built no window demo"

cmake -S . -B "$minimal" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release -DTESSELLA_WERROR=ON \
    -DTESSELLA_TOOLKIT=OFF -DBUILD_TESTING=ON >/dev/null
looked_for "$minimal" 'SDL2|FREETYPE|FONTCONFIG|PNG_|X11_|__pkg_config_checked' &&
    fail "a build without the toolkit looked for a desktop, font or image library"
cmake --build "$minimal" -j "$jobs" --target tessella-cli
[ -x "$minimal/cli/tessella-cli" ] || fail "no tessella-cli without the toolkit"
if ldd "$minimal/cli/tessella-cli" | grep -qiE 'SDL|freetype|fontconfig|png|X11'; then
    fail "tessella-cli without the toolkit links a desktop, font or image library"
fi
# What such a build installs: the command line's files, none of the window's.
tests/install/InstallTest.sh "$minimal" cli-only
echo "Release and toolkit-less builds: fine"
