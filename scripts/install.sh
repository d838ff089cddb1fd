#!/usr/bin/env bash
# `make install` and `make uninstall`: installs a build under PREFIX (inside DESTDIR when set)
# and removes exactly that again.
#   install.sh install|uninstall BUILD-DIR PREFIX        (DESTDIR from the environment)
# Installing records, in BUILD-DIR, what was installed (CMake's install_manifest.txt, with DESTDIR
# put before its paths where CMake leaves it out) and which folders did not exist before, so that uninstalling removes the files and then those folders,
# when empty. On the machine itself (no DESTDIR) the desktop's caches of file types, menu entries
# and icons are brought up to date afterwards; a cache file the refresh made in a folder this
# install created goes with it once nothing else is left there.
set -euo pipefail
action=$1
build=$2
prefix=$3
destdir=${DESTDIR:-}
root=$destdir$prefix
manifest=$build/install_files.txt
created=$build/install_created_dirs.txt

refresh_caches() {
    [ -z "$destdir" ] || return 0
    if [ -d "$root/share/mime/packages" ] && command -v update-mime-database >/dev/null; then
        update-mime-database "$root/share/mime" || true
    fi
    if [ -d "$root/share/applications" ] && command -v update-desktop-database >/dev/null; then
        update-desktop-database "$root/share/applications" || true
    fi
    if [ -d "$root/share/icons/hicolor" ] && command -v gtk-update-icon-cache >/dev/null; then
        gtk-update-icon-cache -q -t -f "$root/share/icons/hicolor" || true
    fi
}

case $action in
install)
    [ -f "$build/CMakeCache.txt" ] || { echo "install.sh: $build is not built" >&2; exit 1; }
    # Which folders the installation will make: install into a scratch folder first to learn
    # the paths, then note each of their folders that is missing under the real root.
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    DESTDIR=$scratch cmake --install "$build" --prefix "$prefix" >/dev/null
    touch "$created"
    (cd "$scratch$prefix" && find . -mindepth 1 -type d | sed 's|^\./||') | while read -r d; do
        [ -d "$root/$d" ] || echo "$root/$d"
    done >>"$created"
    sort -u -o "$created" "$created"
    DESTDIR=$destdir cmake --install "$build" --prefix "$prefix"
    # CMake ends the list without a line end: the last line is read all the same.
    while IFS= read -r f || [ -n "$f" ]; do
        case $f in
        "$destdir"/*) echo "$f" ;;
        *) echo "$destdir$f" ;;
        esac
    done <"$build/install_manifest.txt" >"$manifest"
    refresh_caches
    ;;
uninstall)
    [ -f "$manifest" ] ||
        { echo "install.sh: nothing recorded as installed from $build" >&2; exit 1; }
    while IFS= read -r f; do
        [ -n "$f" ] || continue
        if [ -e "$f" ] || [ -L "$f" ]; then
            rm -v -- "$f"
        fi
    done <"$manifest"
    refresh_caches
    if [ -f "$created" ]; then
        # Deepest first. The caches the refresh keeps in folders this install made are removed
        # when they describe nothing any more.
        sort -r "$created" | while IFS= read -r d; do
            [ -d "$d" ] || continue
            case $d in
            */share/mime)
                [ -n "$(ls -A "$d/packages" 2>/dev/null)" ] || (cd "$d" && find . -mindepth 1 \
                    -maxdepth 1 ! -name packages -exec rm -rf {} +)
                ;;
            */share/applications)
                [ -n "$(find "$d" -name '*.desktop' -print -quit)" ] || rm -f "$d/mimeinfo.cache"
                ;;
            */share/icons/hicolor)
                [ -n "$(find "$d" -mindepth 2 -type f -print -quit)" ] ||
                    rm -f "$d/icon-theme.cache"
                ;;
            esac
            rmdir -- "$d" 2>/dev/null || true
        done
        rm -f "$created"
    fi
    rm -f "$manifest"
    ;;
*)
    echo "usage: install.sh install|uninstall BUILD-DIR PREFIX" >&2
    exit 2
    ;;
esac
