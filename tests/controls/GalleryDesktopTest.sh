#!/usr/bin/env bash
# The gallery on a virtual X server of its own, driven by real X input: clicks on a self-drawn
# button, a radio button, a tool bar button, a panel's scroll bar and into text fields, typing
# into a string gadget and into a self-drawn password box, and command keys of the menus all
# reach the controls, which report what they saw on standard output.
#   GalleryDesktopTest.sh GALLERY    (GALLERY_SHOT=FILE also keeps a screenshot of the window)
set -euo pipefail
gallery=$(realpath "$1")
if [ -z "${GALLERY_XVFB:-}" ]; then
    # -a takes a display number nobody uses.
    export GALLERY_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
work=$(mktemp -d)
gallery_pid=
cleanup() {
    [ -n "$gallery_pid" ] && kill "$gallery_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$(realpath "$0")")/../DesktopSession.sh"
reported() { grep -qF "gallery: $1" "$work/out"; }
expect() { until_true 100 reported "$1" || fail "never reported: $1"; }

cd "$work"
"$gallery" --snapshot "$work/snapshot.png" >"$work/out" 2>"$work/err" &
gallery_pid=$!
find_window "the gallery"
# Input goes in once the desktop window shows the screen as the program composed it.
until_true 100 same || fail "the desktop window does not show the composed screen"
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# The screen shows at scale 1 from the window's corner: points are screen points.
click 80 59  # "Press me", drawn by the toolkit
expect 'pressed Press me (1), text "Type here", drawn text "Drawn text box", password of 0'

click 485 256  # the string gadget, after its text
xdotool type '!!'
click 540 70  # the self-drawn password box takes the focus from the string gadget
expect 'text "Type here!!"'
xdotool type 'secret'
click 298 103  # the second radio button
expect 'option Decrypt'
expect 'password of 6'

click 80 59
expect 'pressed Press me (2), text "Type here!!", drawn text "Drawn text box", password of 6'

click 59 353  # the tool bar's second button, the folder
expect 'tool folder'
click 763 524  # the down arrow of the panel's own scroll bar
expect 'panel scrolled to 10'

# A disabled button does nothing.
click 190 59
sleep 0.5
reported 'pressed Disabled' && fail "the disabled button ran its command"

# Command keys of the menu strip: Amiga (the Super key) with the entry's letter.
xdotool key super+a
expect 'Tessella Cross Edition: every control of the toolkit'
if [ -n "${GALLERY_SHOT:-}" ]; then
    sleep 0.5
    import -window "$window" "$GALLERY_SHOT"
fi
xdotool key super+q
status=0
wait "$gallery_pid" || status=$?
gallery_pid=
[ "$status" -eq 0 ] || fail "the gallery ended with status $status"
echo "gallery desktop test passed"
