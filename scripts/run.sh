#!/usr/bin/env bash
# Shows what the utility does: the command-line front end encrypts a sample file, checks it, and
# decrypts it back; then the utility's window opens on the desktop.
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

# Then the utility itself. It needs a desktop; without one it would have nothing to show and
# nothing to close, so it is skipped (the program itself also ends when it finds none).
app="$(cd "$(dirname "$cli")/../app" && pwd)/tessella"
echo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop display (DISPLAY or WAYLAND_DISPLAY): the window is not opened."
    exit 0
fi
echo "The utility is open: encrypt or decrypt a file; Close (or the window's close button) ends it."
echo "Its log: ${XDG_STATE_HOME:-$HOME/.local/state}/tessella/log.txt"
"$app" >/dev/null
