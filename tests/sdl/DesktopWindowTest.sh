#!/usr/bin/env bash
# The window demo on a virtual X server of its own, driven by real X input: a click and a key
# typed on an Italian layout arrive as IDCMP messages, clipboard text pasted with Ctrl+V
# arrives as typed characters, the desktop window carries the program's title and icon and
# keeps the screen's size, a file dropped on it reaches the program by its Latin-1 name, it
# shows exactly the screen the platform composes, an idle program
# uses (almost) no processor time, and the desktop's close request reaches the program even
# when another window has the input, and the program then ends by itself.
#   DesktopWindowTest.sh DEMO CLOSE-REQUEST CLIPBOARD-OWNER DROP-FILES PRESENTER-END
set -euo pipefail
demo=$1
close_request=$2
clipboard_owner=$3
drop_files=$4
presenter_end=$5
work=$(mktemp -d)
xvfb_pid=
demo_pid=
clip_pid=
cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$(realpath "$0")")/../DesktopSession.sh"

start_xvfb it

"$demo" --snapshot "$work/snapshot.png" >"$work/out" 2>"$work/err" &
demo_pid=$!
find_window "the demo"

# A palette screen needs no GPU: no GL library is loaded (with them the program took five
# times the memory, and the GL driver's threads).
if grep -qE '/lib(GL|GLX|EGL|LLVM)[^/]*\.so' "/proc/$demo_pid/maps"; then
    fail "a GL stack was loaded: $(grep -oE '/[^ ]*lib(GL|GLX|EGL|LLVM)[^/ ]*\.so[^ ]*' "/proc/$demo_pid/maps" | sort -u | tr '\n' ' ')"
fi

# Idle: nothing changes, so the presenter must sleep.
ticks() { awk '{print $14 + $15}' "/proc/$demo_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep 2
used=$(( $(ticks) - before ))
[ "$used" -le $(( hz * 2 * 2 / 100 )) ] || fail "idle for 2 s used $used of $hz ticks per second"

# The dialog sits at (200, 150) on the screen; this point is inside its contents.
xdotool mousemove --window "$window" 300 330 click 1
until_true 100 grep -q "MOUSEBUTTONS code=0xe8" "$work/out" || fail "no click arrived"
grep -q "MOUSEBUTTONS code=0x68 x=100 y=180" "$work/out" || fail "wrong press"
grep -q "MOUSEBUTTONS code=0xe8 x=100 y=180" "$work/out" || fail "wrong release"

# On an Italian keyboard the key right of P (raw 0x1A, "[" in the US keymap) types "è".
xdotool key egrave
until_true 100 grep -q "RAWKEY code=0x9a" "$work/out" || fail "no key arrived"
grep -q "RAWKEY code=0x1a qualifier=0x0000 text=e8" "$work/out" || fail "wrong key"

# Another program holds the clipboard; Ctrl+V types its text, line break left out, the held
# Ctrl key playing no part in the characters.
"$clipboard_owner" "Zoë
!" >"$work/clip" 2>&1 &
clip_pid=$!
until_true 100 grep -q READY "$work/clip" || fail "the clipboard could not be taken"
xdotool key ctrl+v
until_true 100 grep -q "text=21$" "$work/out" || fail "nothing pasted"
pasted=$(grep -o "RAWKEY code=0x20 qualifier=0x0000 text=[0-9a-f]*" "$work/out" | sed 's/.*text=//' |
    tr -d '\n')
[ "$pasted" = "5a6feb21" ] || fail "pasted $pasted"
kill "$clip_pid"
clip_pid=

# A file dropped from a file manager arrives as an AppMessage naming it in Latin-1.
touch "$work/Lettera à Zoë.velx"
timeout 20 "$drop_files" "$window" "$work/Lettera à Zoë.velx" || fail "the drop was not taken"
dropped=$(printf '%s' "$work/Lettera " | od -An -tx1 | tr -d ' \n')e0205a6feb2e76656c78
until_true 100 grep -q "DROP name=$dropped" "$work/out" || fail "no AppMessage for the drop"

# Titled after the program, with an icon of its own, never smaller than the screen.
[ "$(xdotool getwindowname "$window")" = "Tessella Cross Edition - platform demonstration" ] ||
    fail "title $(xdotool getwindowname "$window")"
# (Read whole before searching: grep -q stopping early would break xprop's pipe.)
icon=$(xprop -id "$window" _NET_WM_ICON)
grep -q "Icon (48 x 48)" <<<"$icon" || fail "no icon"
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
grep -q "minimum size: 800 by 600" <<<"$hints" || fail "no minimum size"
xdotool windowsize "$window" 300 200
sleep 0.5
big_enough() {
    xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {exit !(w >= 800 && h >= 600)}'
}
until_true 50 big_enough || fail "the window shrank below the screen: $(xwininfo -id "$window" | grep -E 'Width|Height')"
settled() { [ "$(tail -1 "$work/out")" = IDLE ]; }
until_true 100 settled || fail "the demo did not settle"

# The desktop window shows the composed screen pixel for pixel (scale 1 on this desktop).
until_true 50 same || fail "screenshot differs from the composed screen in \
$(compare -metric AE "$work/shot.png" "$work/snapshot.png" null: 2>&1) pixels"

# A click on the backdrop takes the input from the dialog; the close request still reaches it.
xdotool mousemove --window "$window" 50 500 click 1
sleep 0.2
"$close_request" "$window" || fail "close request not sent"
until_true 100 grep -q CLOSEWINDOW "$work/out" || fail "no CLOSEWINDOW"
status=0
wait "$demo_pid" || status=$?
demo_pid=
[ "$status" -eq 0 ] || fail "the demo ended with status $status"
"$presenter_end" >"$work/out" 2>"$work/err" || fail "the presenter outlived the last screen"
echo "desktop window test passed"
