#!/usr/bin/env bash
# Shows what the utility does: the command-line front end encrypts a sample file, checks it, and
# decrypts it back; then a demonstration screen opens in a desktop window.
set -euo pipefail
build=${1:-build}
cli="$(cd "$build" && pwd)/cli/tessella-cli"
"$cli" --help
echo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'Tessella Cross Edition sample file\n%.0s' {1..2000} > sample.txt
printf 'sample pass\n' > password
echo "\$ tessella-cli encrypt --password-file password sample.txt"
"$cli" encrypt --password-file password sample.txt
mv sample.txt original.txt
echo "\$ tessella-cli decrypt --password-file password sample.velx"
"$cli" decrypt --password-file password sample.velx
ls -l original.txt sample.velx sample.txt
cmp original.txt sample.txt && echo "The decrypted file is identical to the original."

# Then the toolkit's gallery, until the utility's own window exists. It needs a desktop;
# without one it would run with no window and nothing to close, so it is skipped.
demo="$(cd "$(dirname "$cli")/../app" && pwd)/tessella-gallery"
echo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop display (DISPLAY or WAYLAND_DISPLAY): the gallery is skipped."
    exit 0
fi
echo "The gallery is open: click, type, use the menus on the right button; Escape quits."
"$demo" >/dev/null
