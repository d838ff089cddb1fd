#!/usr/bin/env bash
# The version is set once, in the top CMakeLists.txt: both programs print it, the software
# centre's entry carries it, and debian/changelog must name the same one (its upstream part,
# before any Debian revision), so that the packages never claim another.
#   VersionTest.sh SOURCE-DIR BUILD-DIR VERSION
set -euo pipefail
src=$1
build=$2
version=$3
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
[ "$("$build/cli/tessella-cli" --version)" = "tessella-cli $version" ] ||
    fail "tessella-cli --version says '$("$build/cli/tessella-cli" --version)', not $version"
if [ -x "$build/app/tessella" ]; then
    [ "$("$build/app/tessella" --version)" = "tessella $version" ] ||
        fail "tessella --version says '$("$build/app/tessella" --version)', not $version"
    metainfo=$build/org.example.tessella.metainfo.xml
    grep -q "<release version=\"$version\" " "$metainfo" ||
        fail "the metainfo's release is not $version"
fi
# The first line of the changelog: "tessella (VERSION) DISTRIBUTION; urgency=...". An epoch
# ("1:") and a Debian revision ("-1") are the distribution's, not the program's.
first=$(head -n 1 "$src/debian/changelog")
[[ "$first" =~ ^tessella\ \(([^\)]*)\) ]] || fail "debian/changelog starts '$first'"
changelog=${BASH_REMATCH[1]}
changelog=${changelog#*:}
changelog=${changelog%-*}
[ "$changelog" = "$version" ] ||
    fail "debian/changelog names version $changelog, CMakeLists.txt $version"
echo "version $version everywhere"
