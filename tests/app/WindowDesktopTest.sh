#!/usr/bin/env bash
# The utility on a virtual X server of its own, driven by real X input: a file is encrypted and
# then decrypted by clicks and typing in the window; the encrypted file is byte for byte what the
# command-line tool writes for the same file and password (the format holds nothing that varies
# between runs), the command-line tool decrypts it, and the window's decryption restores the
# original. The desktop's close request then ends the program with status 0.
#   WindowDesktopTest.sh TESSELLA TESSELLA-CLI CLOSE-REQUEST
set -euo pipefail
tessella=$(realpath "$1")
cli=$(realpath "$2")
close_request=$(realpath "$3")
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$(realpath "$0")")/../DesktopSession.sh"

start_xvfb us

# The program's own state (its log) stays in the test's folder.
export XDG_STATE_HOME=$work/state
mkdir -p "$work/src" "$work/win" "$work/cli"
head -c 300000 /dev/urandom >"$work/src/plain.bin"
password=Pa55word-x

cd "$work"
"$tessella" --snapshot "$work/snapshot.png" >"$work/out" 2>"$work/err" &
app_pid=$!
find_window "the utility"
# Input goes in once the desktop window shows the screen as the program composed it.
until_true 100 same || fail "the desktop window does not show the composed screen"

# The message box that ends a job sits in the middle of the screen; its title bar is blue.
box_up() { [ "$(pixel 300 266)" = "srgb(0,166,214)" ]; }
box_gone() { [ "$(pixel 300 266)" = "srgb(192,192,192)" ]; }
answer_box() {
    until_true 300 box_up || fail "no message box after the job ($1)"
    click 399 321 # its OK button
    until_true 100 box_gone || fail "the message box stayed up ($1)"
}

# Encrypt view: source, destination, password twice, START.
click 255 168
xdotool type --delay 20 "$work/src/plain.bin"
click 255 235
xdotool type --delay 20 "$work/win/plain.velx"
click 105 320
xdotool type --delay 20 "$password"
click 375 320
xdotool type --delay 20 "$password"
click 482 57
answer_box encrypt
[ -f "$work/win/plain.velx" ] || fail "the window wrote no encrypted file"

printf '%s\n' "$password" >"$work/password"
"$cli" encrypt --password-file "$work/password" "$work/src/plain.bin" "$work/cli/plain.velx" ||
    fail "tessella-cli could not encrypt"
cmp "$work/win/plain.velx" "$work/cli/plain.velx" ||
    fail "the window's encrypted file differs from tessella-cli's"
"$cli" decrypt --password-file "$work/password" "$work/win/plain.velx" "$work/cli/back.bin" ||
    fail "tessella-cli could not decrypt the window's file"
cmp "$work/src/plain.bin" "$work/cli/back.bin" || fail "tessella-cli decrypted something else"

# Decrypt view, into the encrypted file's folder under the stored name.
click 440 89
click 255 168
xdotool type --delay 20 "$work/win/plain.velx"
click 105 320
xdotool type --delay 20 "$password"
click 482 57
answer_box decrypt
[ -f "$work/win/plain.bin" ] || fail "the window wrote no decrypted file"
cmp "$work/src/plain.bin" "$work/win/plain.bin" || fail "the window decrypted something else"

# The desktop's close button asks whether to exit; YES ends the program.
"$close_request" "$window" || fail "close request not sent"
until_true 100 box_up || fail "no exit question after the close request"
click 339 321
until_true 100 sh -c "! kill -0 $app_pid 2>/dev/null" || fail "the utility did not end"
status=0
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the utility ended with status $status"
echo "utility desktop test passed"
