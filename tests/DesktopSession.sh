# Shared by the tests that run a program on a virtual X server of their own. Sourced after the
# test has made its folder `work`; the program's output is expected in $work/out and $work/err.

fail() {
    echo "FAILED: $*" >&2
    echo "--- program output" >&2
    cat "$work/out" >&2 || true
    echo "--- program errors" >&2
    cat "$work/err" >&2 || true
    if [ -n "${XDG_STATE_HOME:-}" ] && [ -f "$XDG_STATE_HOME/tessella/log.txt" ]; then
        echo "--- program log" >&2
        cat "$XDG_STATE_HOME/tessella/log.txt" >&2 || true
    fi
    # To see what the desktop showed: TESSELLA_KEEP_FAILED=FOLDER keeps a picture of it.
    if [ -n "${TESSELLA_KEEP_FAILED:-}" ] && [ -n "${DISPLAY:-}" ]; then
        import -window root "$TESSELLA_KEEP_FAILED/failed-$$.png" 2>/dev/null || true
        echo "--- the desktop as it was: $TESSELLA_KEEP_FAILED/failed-$$.png" >&2
    fi
    exit 1
}

# A desktop test needs a virtual X server and the tools that drive and photograph it. Where one
# is missing the test is skipped, with the reason (CTest's skip code, 77); where all are present
# it runs, and any failure is a failure.
require_desktop_tools() {
    local missing=()
    for tool in Xvfb xdpyinfo setxkbmap xdotool import convert compare "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "skipped: missing ${missing[*]} (installed by scripts/install-deps.sh)"
        exit 77
    fi
}

# Waits (up to a generous limit) until a command succeeds; the limit only guards against a hang.
until_true() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb with the given keyboard layout (and desktop size, 1024x768 unless given) and
# exports DISPLAY; the caller kills $xvfb_pid.
# The server picks a display number nobody uses and writes it to us (-displayfd): a number
# chosen here could be taken by another server between the look and the start, and two
# programs would then share one desktop. -noreset keeps the layout: Xvfb otherwise resets when
# its last client leaves.
start_xvfb() {
    require_desktop_tools
    local layout=$1 size=${2:-1024x768} display= numbers
    exec {numbers}<> <(:)
    Xvfb -displayfd "$numbers" -screen 0 "${size}x24" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    read -r -t 20 -u "$numbers" display || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    exec {numbers}<&-
    export DISPLAY=":$display"
    until_true 100 xdpyinfo || fail "Xvfb did not start on $DISPLAY"
    setxkbmap "$layout" || fail "setxkbmap"
}

# Once the program (started with --snapshot "$work/snapshot.png") has printed READY, finds its
# desktop window and sets `window`; fails when the program fell back to running without one.
# NAME is what the failure messages call the program.
find_window() {
    local name=$1
    until_true 200 grep -q READY "$work/out" || fail "$name did not start"
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "Tessella Cross Edition") ||
        fail "no desktop window"
    window=$(echo "$window" | head -1)
    if grep -q "without a window" "$work/err"; then
        fail "$name fell back to no window"
    fi
}

# Whether the desktop window shows the screen exactly as the program composed it.
same() {
    import -window "$window" "$work/shot.png" &&
        [ "$(compare -metric AE "$work/shot.png" "$work/snapshot.png" null: 2>&1)" = 0 ]
}

# A click at a point of the program's screen, which the desktop window shows at scale 1 from its
# corner; then a moment for the program to take it.
click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.3
}

# The colour of one screen point, as the desktop window shows it.
pixel() {
    import -window "$window" "$work/probe.png" &&
        convert "$work/probe.png" -format "%[pixel:p{$1,$2}]" info:
}
