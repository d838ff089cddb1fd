#!/usr/bin/env bash
# Builds the Debian source and binary packages from debian/ with dpkg-buildpackage, as the user
# who runs it (no root: the packages need none to be built), into OUT-DIR:
#   package.sh OUT-DIR [JOBS]
# The sources are copied to OUT-DIR/src first, so that the build leaves the work tree and its
# other build folders alone and dpkg-buildpackage's results land in OUT-DIR, not beside the
# work tree. Exits 1 and says how to install them when tools or build dependencies are missing.
set -euo pipefail
out=$1
jobs=${2:-2}
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

for tool in dpkg-buildpackage:dpkg-dev dh:debhelper dpkg-checkbuilddeps:dpkg-dev; do
    command -v "${tool%%:*}" >/dev/null 2>&1 || {
        echo "package.sh: ${tool%%:*} is missing; install it with:" \
            "sudo apt-get install ${tool#*:}" >&2
        exit 1
    }
done
if ! missing=$(cd "$top" && dpkg-checkbuilddeps 2>&1); then
    echo "package.sh: ${missing#dpkg-checkbuilddeps: }" >&2
    echo "Install them with: sudo apt-get build-dep '$top' (or: sudo scripts/install-deps.sh)" >&2
    exit 1
fi

version=$(cd "$top" && dpkg-parsechangelog -S Version)
src=$out/src/tessella-$version
rm -rf "$out/src"
mkdir -p "$src"
# The files of the sources: those git knows (with their changes in the work tree), or, outside a
# git checkout, everything but build folders.
if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$top" && git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$src"
else
    (cd "$top" && tar --exclude='./build' --exclude='./build-*' --exclude='./.git' -cf - .) |
        tar -xf - -C "$src"
fi

rm -f "$out"/*.deb "$out"/*.ddeb "$out"/*.dsc "$out"/*.tar.* "$out"/*.changes "$out"/*.buildinfo
(cd "$src" && DEB_BUILD_OPTIONS="parallel=$jobs ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc)
mv "$out"/src/*.deb "$out"/src/*.ddeb "$out"/src/*.dsc "$out"/src/*.tar.* "$out"/src/*.changes \
    "$out"/src/*.buildinfo "$out"/ 2>/dev/null || true
rm -rf "$out/src"
ls "$out"
