#!/usr/bin/env bash
# Installs a build into a staging folder (DESTDIR) under /usr and checks every file a user
# gets: exactly the expected files and nothing else (no demonstrations, no test programs); the
# programs run, the manual pages are well formed, the menu entry is valid and names what is
# installed, the file type recognises what tessella-cli writes, the completion loads.
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

DESTDIR=$stage/dest cmake --install "$build" --prefix /usr >"$stage/install.log" 2>&1 ||
    { cat "$stage/install.log" >&2; fail "cmake --install"; }
root=$stage/dest/usr

sizes=(16 22 24 32 48 64 128 256)
expected=(
    bin/tessella-cli
    share/man/man1/tessella-cli.1
    share/bash-completion/completions/tessella-cli
    share/mime/packages/tessella.xml
    share/icons/hicolor/scalable/mimetypes/application-x-tessella-velx.svg
    share/doc/tessella/LICENSE
    share/doc/tessella/README.md
)
# The README's links: the file format and the pictures.
for doc in format.md window-encrypt.png window-encrypt-2x.png window-job-running.png \
    window-decrypt.png \
    window-about.png window-demo.png toolkit-demo.png gallery.png; do
    expected+=(share/doc/tessella/docs/$doc)
done
for size in "${sizes[@]}"; do
    expected+=(share/icons/hicolor/${size}x${size}/mimetypes/application-x-tessella-velx.png)
done
programs=(tessella-cli)
if [ "$kind" = with-window ]; then
    programs+=(tessella)
    expected+=(
        bin/tessella
        share/man/man1/tessella.1
        share/applications/tessella.desktop
        share/icons/hicolor/scalable/apps/tessella.svg
        share/metainfo/org.example.tessella.metainfo.xml
    )
    for size in "${sizes[@]}"; do
        expected+=(share/icons/hicolor/${size}x${size}/apps/tessella.png)
    done
fi
found=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$found" = "$wanted" ] ||
    fail "installed files differ from the expected ones:
$(diff <(echo "$wanted") <(echo "$found") || true)"

for p in "${programs[@]}"; do
    [ -x "$root/bin/$p" ] || fail "$p is not executable"
    # groff reports every malformed request; a page must render without one.
    warnings=$(groff -man -Tutf8 -ww -z "$root/share/man/man1/$p.1" 2>&1)
    [ -z "$warnings" ] || fail "$p.1: $warnings"
done
cli=$root/bin/tessella-cli
version=$("$cli" --version) || fail "tessella-cli --version"
[[ "$version" == *[0-9].[0-9]* ]] || fail "tessella-cli --version said: $version"
grep -q "MIT License" "$root/share/doc/tessella/LICENSE" || fail "no licence"

# The completion is the one the sources test, and bash takes it for the program's name.
completion=$root/share/bash-completion/completions/tessella-cli
cmp -s "$completion" "$(dirname "$0")/../../cli/tessella-cli.bash-completion" ||
    fail "the installed completion is not the program's"
bash -c "source '$completion' && complete -p tessella-cli" >/dev/null 2>&1 ||
    fail "bash does not load the completion for tessella-cli"

# The file type: well-formed, and once compiled as the desktop compiles it, its signature is
# exactly the first bytes of a file the installed tessella-cli has just encrypted.
mimexml=$root/share/mime/packages/tessella.xml
xmllint --noout "$mimexml" || fail "the file type's XML is malformed"
type=$(xmllint --xpath 'string(//*[local-name()="mime-type"]/@type)' "$mimexml")
[ "$type" = application/x-tessella-velx ] || fail "file type named '$type'"
mkdir -p "$stage/mime" "$stage/work"
cp -r "$root/share/mime/packages" "$stage/mime/"
update-mime-database "$stage/mime" >"$stage/mime.log" 2>&1 ||
    { cat "$stage/mime.log" >&2; fail "update-mime-database refused the file type"; }
printf 'correct horse\n' >"$stage/work/password"
printf 'some words to hide\n' >"$stage/work/plain.txt"
"$cli" encrypt --no-check --password-file "$stage/work/password" "$stage/work/plain.txt" \
    >"$stage/cli.log" 2>&1 || { cat "$stage/cli.log" >&2; fail "tessella-cli could not encrypt"; }
encrypted=$stage/work/plain.velx
head -c 44 "$encrypted" >"$stage/work/signature"
[ "$(tail -c 1 "$stage/work/signature" | od -An -tx1 | tr -d ' ')" = 00 ] ||
    fail "an encrypted file does not start with a signature ended by a 0 byte"
magic=$stage/mime/magic
at=$(LC_ALL=C grep -obUaF -- "$(head -c 43 "$encrypted")" "$magic" | head -n 1 | cut -d: -f1 || true)
[ -n "$at" ] || fail "the compiled file type holds no signature of an encrypted file"
# The compiled rule stores its value's length in the two bytes before it.
[ "$(tail -c +$((at - 1)) "$magic" | head -c 2 | od -An -tu1 | tr -s ' ')" = " 0 44" ] ||
    fail "the file type's signature is not 44 bytes long"
tail -c +$((at + 1)) "$magic" | head -c 44 | cmp -s - "$stage/work/signature" ||
    fail "the file type's signature differs from the one tessella-cli writes"
grep -q "^[0-9]*:$type:\*\.velx$" "$stage/mime/globs2" || fail "no *.velx pattern for $type"
[ "$(xmllint --xpath 'string(//*[local-name()="icon"]/@name)' "$mimexml")" = \
    application-x-tessella-velx ] || fail "the file type names no icon of its own"

# Every README link points at an installed file.
links=$(grep -o '](docs/[^)]*)' "$root/share/doc/tessella/README.md" | sed 's/^](//; s/)$//')
for link in $links; do
    [ -f "$root/share/doc/tessella/$link" ] || fail "the installed README links to a missing $link"
done
# Each PNG icon is as large as the folder it sits in says (width and height at bytes 16 to 23).
for png in "$root"/share/icons/hicolor/*x*/*/*.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "$size" ] || fail "$png is $dims"
done

if [ "$kind" = with-window ]; then
    desktop=$root/share/applications/tessella.desktop
    # Hints are advice; errors and warnings make the program say the entry is invalid.
    problems=$(desktop-file-validate "$desktop" 2>&1) ||
        fail "tessella.desktop is not a valid menu entry: $problems"
    entry() { sed -n "s/^$1=//p" "$desktop"; }
    [ "$(entry Exec | cut -d' ' -f1)" = tessella ] || fail "the menu entry starts $(entry Exec)"
    [ "$(entry MimeType)" = "$type;" ] || fail "the menu entry opens $(entry MimeType)"
    icon=$root/share/icons/hicolor/scalable/apps/$(entry Icon).svg
    [ -f "$icon" ] || fail "the menu entry's icon $(entry Icon) is not installed"
    xmllint --noout "$icon" || fail "the icon is malformed"
    metainfo=$root/share/metainfo/org.example.tessella.metainfo.xml
    xmllint --noout "$metainfo" || fail "the metainfo is malformed"
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net --pedantic "$metainfo" >"$stage/appstream.log" 2>&1 ||
            { cat "$stage/appstream.log" >&2; fail "appstreamcli refused the metainfo"; }
    fi
fi
echo "installed: ${programs[*]}, manual pages, completion, file type$(
    [ "$kind" = with-window ] && echo ", menu entry, icons, metainfo"), licence, documents"
