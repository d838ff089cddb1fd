#!/usr/bin/env bash
# Installs a build into a staging folder (DESTDIR) under /usr and checks every file a user
# gets: the programs run, the manual pages are well formed, the licence is there; and nothing
# else (no demonstrations, no test programs) lands in the folder of programs.
#   InstallTest.sh BUILD-DIR with-window|cli-only
set -euo pipefail
build=$1
kind=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

DESTDIR=$stage cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 ||
    { cat "$stage.log" >&2; rm -f "$stage.log"; fail "cmake --install"; }
rm -f "$stage.log"
root=$stage/usr

programs=(tessella-cli)
[ "$kind" = with-window ] && programs+=(tessella)
[ "$(ls "$root/bin" | sort | tr '\n' ' ')" = "$(printf '%s\n' "${programs[@]}" | sort | tr '\n' ' ')" ] ||
    fail "programs installed: $(ls "$root/bin" | tr '\n' ' ')"
for p in "${programs[@]}"; do
    [ -x "$root/bin/$p" ] || fail "$p is not executable"
    page=$root/share/man/man1/$p.1
    [ -f "$page" ] || fail "no manual page for $p"
    # groff reports every malformed request; a page must render without one.
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$p.1: $warnings"
done
version=$("$root/bin/tessella-cli" --version) || fail "tessella-cli --version"
[[ "$version" == *[0-9].[0-9]* ]] || fail "tessella-cli --version said: $version"
grep -q "MIT License" "$root/share/doc/tessella/LICENSE" || fail "no licence"
echo "installed: ${programs[*]}, their manual pages, the licence"
