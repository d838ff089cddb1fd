#!/usr/bin/env bash
# `make install` and `make uninstall` (scripts/install.sh) on a built tree:
#  - staged with DESTDIR beside files that were there before: uninstall leaves exactly those;
#  - straight into a PREFIX that already holds a file type of another program: the desktop's
#    caches are refreshed, so after uninstall the database no longer knows ours but still knows
#    the other, and every folder the install made is gone again;
#  - into an empty PREFIX: uninstall leaves it empty, caches included.
#   InstallUninstallTest.sh SOURCE-DIR BUILD-DIR
set -euo pipefail
src=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
tree() { (cd "$1" && find . | sort); }
script=$src/scripts/install.sh

dest=$scratch/dest
mkdir -p "$dest/usr/share/applications" "$dest/usr/bin"
echo '[Desktop Entry]' >"$dest/usr/share/applications/other.desktop"
before=$(tree "$dest")
DESTDIR=$dest "$script" install "$build" /usr >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "install with DESTDIR"; }
[ -x "$dest/usr/bin/tessella-cli" ] || fail "nothing installed under DESTDIR"
DESTDIR=$dest "$script" uninstall "$build" /usr >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "uninstall with DESTDIR"; }
[ "$(tree "$dest")" = "$before" ] ||
    fail "uninstall did not restore DESTDIR: $(diff <(echo "$before") <(tree "$dest"))"

prefix=$scratch/prefix
mkdir -p "$prefix/share/mime/packages"
cat >"$prefix/share/mime/packages/other.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-other-thing"><glob pattern="*.other"/></mime-type>
</mime-info>
XML
update-mime-database "$prefix/share/mime" >/dev/null 2>&1
before=$(tree "$prefix")
"$script" install "$build" "$prefix" >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "install into PREFIX"; }
grep -q 'application/x-tessella-velx' "$prefix/share/mime/globs2" ||
    fail "install did not refresh the file type database"
"$script" uninstall "$build" "$prefix" >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "uninstall from PREFIX"; }
! grep -q 'tessella' "$prefix/share/mime/globs2" ||
    fail "after uninstall the file type database still knows the type"
grep -q 'application/x-other-thing' "$prefix/share/mime/globs2" ||
    fail "uninstall lost another program's file type"
after=$(tree "$prefix")
[ "$after" = "$before" ] || fail "uninstall left or removed: $(diff <(echo "$before") <(echo "$after"))"

# Into an empty PREFIX: the caches the refresh makes in the install's folders go with them.
fresh=$scratch/fresh
mkdir -p "$fresh"
"$script" install "$build" "$fresh" >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "install into an empty PREFIX"; }
[ -f "$fresh/share/mime/mime.cache" ] || fail "install into an empty PREFIX made no file type cache"
"$script" uninstall "$build" "$fresh" >"$scratch/log" 2>&1 ||
    { cat "$scratch/log" >&2; fail "uninstall from an empty PREFIX"; }
[ -z "$(ls -A "$fresh")" ] || fail "uninstall from an empty PREFIX left: $(tree "$fresh")"
echo "install and uninstall: nothing left, caches refreshed"
