#!/usr/bin/env bash
# Builds the Debian packages as `make package` does, has lintian judge them, then installs both
# into a scratch root and checks what a user gets: the files and their modes, both programs'
# version, the manual pages, the file type, that tessella-cli needs nothing of a desktop; then
# removes them and checks that nothing is left.
#   PackageTest.sh SOURCE-DIR WORK-DIR JOBS
# Exits 77 (skipped) where the packaging tools or the build dependencies are missing.
set -euo pipefail
src=$1
work=$2
jobs=$3
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
skip() {
    echo "SKIPPED: $*"
    exit 77
}
for tool in dpkg-buildpackage dh lintian dpkg-checkbuilddeps; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps.sh)"
done
(cd "$src" && dpkg-checkbuilddeps) >/dev/null 2>&1 || skip "the build dependencies are missing"

rm -rf "$work"
mkdir -p "$work"
out=$work/out
"$src/scripts/package.sh" "$out" "$jobs" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; fail "the packages did not build"; }
version=$(cd "$src" && dpkg-parsechangelog -S Version)
cli_deb=$out/tessella-cli_${version}_amd64.deb
win_deb=$out/tessella_${version}_amd64.deb
changes=$(ls "$out"/*.changes)
[ -f "$cli_deb" ] && [ -f "$win_deb" ] || fail "missing packages: $(ls "$out")"
ls "$out"/tessella-cli-dbgsym_*.deb "$out"/tessella-dbgsym_*.deb >/dev/null 2>&1 ||
    ls "$out"/*.ddeb >/dev/null 2>&1 || fail "no debug symbol packages"

# lintian on the source package and every binary one; any error or warning fails.
lintian -i -I -E --pedantic --fail-on error,warning "$changes" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log" >&2; fail "lintian"; }
grep -v '^running with root privileges' "$work/lintian.log" >"$work/lintian.tags" || true
[ ! -s "$work/lintian.tags" ] || { echo "lintian says:"; cat "$work/lintian.tags"; }

# The command line's package depends on the C and C++ runtime only.
field() { dpkg-deb -f "$1" "$2"; }
for dep in $(field "$cli_deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g'); do
    case $dep in
    libc6 | libgcc-s1 | libstdc++6) ;;
    *) fail "tessella-cli depends on $dep" ;;
    esac
done
[[ "$(field "$win_deb" Depends)" == *"tessella-cli (= $version)"* ]] ||
    fail "tessella does not depend on its tessella-cli: $(field "$win_deb" Depends)"
for deb in "$cli_deb" "$win_deb"; do
    [ "$(field "$deb" Version)" = "$version" ] || fail "$deb has version $(field "$deb" Version)"
    # Owned by root, programs 0755, every other file 0644, folders 0755.
    dpkg-deb -c "$deb" | awk '{ program = $1 !~ /^d/ && $6 ~ /^\.\/usr\/bin\/./ }
        $2 != "root/root" || (program && $1 != "-rwxr-xr-x") ||
        (!program && $1 !~ /^(drwxr-xr-x|-rw-r--r--|lrwxrwxrwx)$/) {print; bad=1}
        END {exit bad}' ||
        fail "$(basename "$deb") holds files with unexpected owners or modes (above)"
done

# What each package holds, exactly.
listing() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort; }
sizes="16 22 24 32 48 64 128 256"
expected_cli=$(
    {
        echo usr/bin/tessella-cli
        echo usr/share/bash-completion/completions/tessella-cli
        echo usr/share/man/man1/tessella-cli.1.gz
        echo usr/share/mime/packages/tessella.xml
        echo usr/share/icons/hicolor/scalable/mimetypes/application-x-tessella-velx.svg
        echo usr/share/lintian/overrides/tessella-cli
        for s in $sizes; do
            echo "usr/share/icons/hicolor/${s}x$s/mimetypes/application-x-tessella-velx.png"
        done
        for d in README.md changelog.gz copyright docs/format.md docs/window-encrypt.png \
            docs/window-encrypt-2x.png \
            docs/window-job-running.png docs/window-decrypt.png docs/window-about.png \
            docs/window-demo.png docs/toolkit-demo.png docs/gallery.png; do
            echo "usr/share/doc/tessella-cli/$d"
        done
    } | sort
)
expected_win=$(
    {
        echo usr/bin/tessella
        echo usr/share/applications/tessella.desktop
        echo usr/share/man/man1/tessella.1.gz
        echo usr/share/metainfo/org.example.tessella.metainfo.xml
        echo usr/share/icons/hicolor/scalable/apps/tessella.svg
        for s in $sizes; do echo "usr/share/icons/hicolor/${s}x$s/apps/tessella.png"; done
        echo usr/share/doc/tessella
        echo usr/share/lintian/overrides/tessella
    } | sort
)
[ "$(listing "$cli_deb")" = "$expected_cli" ] ||
    fail "tessella-cli holds other files: $(diff <(echo "$expected_cli") <(listing "$cli_deb"))"
[ "$(listing "$win_deb")" = "$expected_win" ] ||
    fail "tessella holds other files: $(diff <(echo "$expected_win") <(listing "$win_deb"))"
for deb in "$cli_deb" "$win_deb"; do
    control=$work/control-$(basename "$deb")
    dpkg-deb -e "$deb" "$control"
    for script in preinst postinst prerm postrm; do
        [ ! -e "$control/$script" ] || fail "$(basename "$deb") has a $script script"
    done
done

# Install both into a scratch root: with dpkg's own bookkeeping where we may (root), else
# unpacked. The runtime libraries come from the machine, as they would on a real system.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
if [ "$(id -u)" -eq 0 ]; then
    dpkg --root="$root" --force-depends --force-not-root -i "$cli_deb" "$win_deb" \
        >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg could not install"; }
else
    dpkg-deb -x "$cli_deb" "$root"
    dpkg-deb -x "$win_deb" "$root"
fi
usr=$root/usr
[ "$("$usr/bin/tessella-cli" --version)" = "tessella-cli ${version%-*}" ] ||
    fail "tessella-cli --version: $("$usr/bin/tessella-cli" --version)"
[ "$("$usr/bin/tessella" --version)" = "tessella ${version%-*}" ] ||
    fail "tessella --version: $("$usr/bin/tessella" --version)"
if ldd "$usr/bin/tessella-cli" | grep -iE 'SDL|X11|xcb|freetype|fontconfig|png'; then
    fail "the installed tessella-cli loads a desktop, font or image library (above)"
fi
# Read whole before searching: grep -q stops at the first match, and the writer it leaves behind
# dies of SIGPIPE, which pipefail would report as a failure.
libs=$(ldd "$usr/bin/tessella")
grep -q 'libSDL2' <<<"$libs" || fail "the window does not load SDL2"
for page in tessella tessella-cli; do
    gz=$usr/share/man/man1/$page.1.gz
    warnings=$(zcat "$gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    page_text=$(zcat "$gz")
    grep -q '^\.SH SECURITY' <<<"$page_text" || fail "$page.1 lacks its warning about the encryption"
done
# The packaged file type names what tessella-cli writes, by name and by signature.
mimedb=$work/mime
mkdir -p "$mimedb"
cp -r "$usr/share/mime/packages" "$mimedb/"
update-mime-database "$mimedb" >/dev/null 2>&1 || fail "update-mime-database refused the file type"
grep -q '^[0-9]*:application/x-tessella-velx:\*\.velx$' "$mimedb/globs2" || fail "no *.velx type"
mkdir -p "$work/files"
printf 'correct horse\n' >"$work/files/password"
echo 'some words to hide' >"$work/files/plain.txt"
"$usr/bin/tessella-cli" encrypt --password-file "$work/files/password" "$work/files/plain.txt" \
    >/dev/null || fail "the installed tessella-cli could not encrypt"
LC_ALL=C grep -qaF -- "$(head -c 43 "$work/files/plain.velx")" "$mimedb/magic" ||
    fail "the packaged file type holds no signature of an encrypted file"

# Removal leaves nothing behind but dpkg's own records.
if [ "$(id -u)" -eq 0 ]; then
    dpkg --root="$root" --force-depends --force-not-root --purge tessella tessella-cli \
        >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg could not remove"; }
    left=$(cd "$root" && find . -mindepth 1 ! -path './var' ! -path './var/lib' \
        ! -path './var/lib/dpkg' ! -path './var/lib/dpkg/*')
    [ -z "$left" ] || fail "removing the packages left: $left"
    removal="installed and removed in a scratch root"
else
    removal="unpacked (removal is checked when run as root)"
fi
echo "packages $version: built, lintian-clean, $removal"
