#!/usr/bin/env bash
# The utility's window on desktops of three sizes, each a virtual X server of its own: the
# window opens at the largest quarter-step factor that fits 85 % of the desktop, shows exactly
# the program's own snapshot at that factor (text drawn again at that size, not enlarged), a
# click at a control's centre reaches that control, and a window resized to another shape in
# the middle of a job still shows the screen's shape, takes clicks where it shows its controls,
# and the job ends with the right file. The writes are slowed down, so that the job is surely
# under way when the window is resized.
#   WindowSizesTest.sh TESSELLA TESSELLA-CLI FILESYSTEM-SHIM
set -euo pipefail
tessella=$(realpath "$1")
cli=$(realpath "$2")
shim=$(realpath "$3")
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$(realpath "$0")")/../DesktopSession.sh"

export XDG_STATE_HOME=$work/state
mkdir -p "$work/src"
head -c 16000000 /dev/urandom >"$work/src/plain.bin"
password=Pa55word-x
printf '%s\n' "$password" >"$work/password"
"$cli" encrypt --no-check --password-file "$work/password" "$work/src/plain.bin" \
    "$work/src/plain.velx" || fail "tessella-cli could not encrypt"
cd "$work"

# Where the window shows the screen: the view's left, top, width and height, for a window of
# the given size (the screen's 4:3 shape, as large as fits, centred).
view_of() {
    local w=$1 h=$2 vw vh
    if [ $((w * 600)) -le $((h * 800)) ]; then
        vw=$w vh=$((w * 600 / 800))
    else
        vh=$h vw=$((h * 800 / 600))
    fi
    echo "$(((w - vw) / 2)) $(((h - vh) / 2)) $vw $vh"
}

window_size() {
    xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w " " h}'
}

# The window pixel in the middle of the block that shows screen pixel (x, y).
at() {
    read -r vl vt vw vh <<<"$view"
    echo "$((vl + (2 * $1 + 1) * vw / 1600)) $((vt + (2 * $2 + 1) * vh / 1200))"
}
screen_click() {
    read -r px py <<<"$(at "$1" "$2")"
    click "$px" "$py"
}
screen_pixel() {
    read -r px py <<<"$(at "$1" "$2")"
    pixel "$px" "$py"
}
screen_is() { [ "$(screen_pixel "$1" "$2")" = "$3" ]; }

blue="srgb(0,166,214)"
grey="srgb(192,192,192)"

for case in "1280x1024 1.25 1000 750" "1920x1080 1.5 1200 900" "3840x2160 3 2400 1800"; do
    read -r desktop factor width height <<<"$case"
    echo "--- desktop $desktop"
    start_xvfb us "$desktop"
    rm -rf "$work/job" && mkdir -p "$work/job" && cp "$work/src/plain.velx" "$work/job/"
    : >"$work/out"
    LD_PRELOAD=$shim TESSELLA_SHIM_WRITE_DELAY_US=30000 \
        "$tessella" --snapshot "$work/snapshot.png" --scale "$factor" "$work/job/plain.velx" \
        >"$work/out" 2>"$work/err" &
    app_pid=$!
    find_window "the utility"

    # The window's size, and the picture: the program's own snapshot at that factor.
    read -r w h <<<"$(window_size)"
    [ "$w $h" = "$width $height" ] || fail "window $w x $h on $desktop, not $width x $height"
    view=$(view_of "$w" "$h")
    until_true 100 same || fail "the window does not show the snapshot at factor $factor"

    # Info's centre opens the about box; Escape closes it.
    screen_is 400 203 "$grey" || fail "no grey where the about box will be"
    screen_click 602 57
    until_true 100 screen_is 400 203 "$blue" ||
        fail "a click at Info's centre did not open the about box on $desktop"
    xdotool key --window "$window" Escape
    until_true 100 screen_is 400 203 "$grey" || fail "the about box stayed on $desktop"

    # The job, and the window resized to another shape while it runs.
    screen_click 105 320
    xdotool type --delay 20 "$password"
    screen_click 482 57
    until_true 200 compgen -G "$work/job/.tessella-*" || fail "the job did not start"
    # Wider and taller, in another shape: the picture grows, with bars left and right.
    xdotool windowsize "$window" $((w * 3 / 2)) $((h * 6 / 5))
    resized() { [ "$(window_size)" = "$((w * 3 / 2)) $((h * 6 / 5))" ]; }
    until_true 100 resized || fail "the window was not resized"
    compgen -G "$work/job/.tessella-*" >/dev/null || fail "the job ended before the resize"
    view=$(view_of $((w * 3 / 2)) $((h * 6 / 5)))
    until_true 600 screen_is 300 266 "$blue" || fail "no message box after the job on $desktop"
    screen_click 399 321 # its OK button, where the wider window shows it
    until_true 100 screen_is 300 266 "$grey" || fail "OK did not close the box on $desktop"
    cmp "$work/src/plain.bin" "$work/job/plain.bin" || fail "the job wrote something else"
    [ -z "$(compgen -G "$work/job/.tessella-*")" ] || fail "the job left its work file"

    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
echo "window sizes test passed"
