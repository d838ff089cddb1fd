#!/usr/bin/env bash
# The utility on a desktop: a virtual X server of 1920 x 1080 of its own, the program started
# several times. For each launch: the time from the start to the program's "READY" (its
# screen drawn and saved, the desktop window open), its peak memory (VmHWM) and its threads
# one second later, and whether a GL library is mapped. Set SDL_RENDER_DRIVER=opengl and
# SDL_FRAMEBUFFER_ACCELERATION=1 in the environment to compare with the GL renderer.
#   bench/desktop-footprint.sh TESSELLA [LAUNCHES]
set -euo pipefail
program=$1
launches=${2:-5}
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server picks a display number nobody uses and writes it to us: a fixed number could be
# another test's server, whose windows this bench would then disturb.
exec {numbers}<> <(:)
Xvfb -displayfd "$numbers" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 10 -u "$numbers" display || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"

ready_ms=()
for i in $(seq "$launches"); do
    home="$work/home$i"
    mkdir -p "$home"
    fifo="$work/out$i"
    mkfifo "$fifo"
    start=$(date +%s%N)
    HOME="$home" XDG_STATE_HOME="$home" "$program" --snapshot "$home/screen.png" >"$fifo" 2>/dev/null &
    pid=$!
    read -r line <"$fifo"
    ready=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$line" = READY ] || { echo "launch $i: no desktop window ($line)"; exit 1; }
    sleep 1
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    threads=$(awk '/Threads/ {print $2}' "/proc/$pid/status")
    gl=$(grep -cE '/lib(GL|GLX|EGL|LLVM)[^/]*\.so' "/proc/$pid/maps" || true)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "launch $i: ready in $ready ms, peak memory $((hwm / 1024)) MB, $threads threads," \
         "GL mappings: $gl"
    ready_ms+=("$ready")
done
median=$(printf '%s\n' "${ready_ms[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median launch to READY: $median ms over $launches launches"
