# Shared by the tests that run a program on a virtual X server of their own. Sourced after the
# test has made its folder `work`; the program's output is expected in $work/out and $work/err.

fail() {
    echo "FAILED: $*" >&2
    echo "--- program output" >&2
    cat "$work/out" >&2 || true
    echo "--- program errors" >&2
    cat "$work/err" >&2 || true
    exit 1
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

# Starts Xvfb on a display number nobody uses (Xvfb's -displayfd would also do, but not on every
# version) with the given keyboard layout, and exports DISPLAY; the caller kills $xvfb_pid.
# -noreset keeps the layout: Xvfb otherwise resets when its last client leaves.
start_xvfb() {
    local layout=$1 display=
    for n in $(seq 90 190); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            display=":$n"
            break
        fi
    done
    [ -n "$display" ] || fail "no free display number"
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    until_true 100 xdpyinfo || fail "Xvfb did not start on $display"
    setxkbmap "$layout" || fail "setxkbmap"
}
