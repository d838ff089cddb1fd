#!/usr/bin/env bash
# The utility stopped from outside halfway through a job, on a virtual X server of its own: a
# polite kill, a closed session and a lost display each end the program in order, with status 1
# and one line on standard error, and leave nothing of the job behind. The work file is given a
# name here (a file system without unnamed files, as a USB stick has) and the writes are slowed
# down, so that the job is surely halfway through and what it would leave can be seen.
#   WindowStopTest.sh TESSELLA TESSELLA-CLI FILESYSTEM-SHIM
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
mkdir -p "$work/src" "$work/job"
head -c 48000000 /dev/urandom >"$work/src/plain.bin"
password=Pa55word-x
printf '%s\n' "$password" >"$work/password"
"$cli" encrypt --no-check --password-file "$work/password" "$work/src/plain.bin" \
    "$work/job/plain.velx" || fail "tessella-cli could not encrypt"
cd "$work"

# The question about an existing file sits in the middle of the screen; right of its title,
# its title bar is blue.
question_up() { [ "$(pixel 450 266)" = "srgb(0,166,214)" ]; }
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
work_file_there() { compgen -G "$work/job/.tessella-*" >/dev/null; }

# The program opens plain.velx in the Decrypt view (the stored name, in the same folder); the
# password and START begin the job.
start_decrypt() {
    LD_PRELOAD=$shim TESSELLA_SHIM_WRITE_DELAY_US=30000 \
        "$tessella" --snapshot "$work/snapshot.png" "$work/job/plain.velx" >"$work/out" \
        2>"$work/err" &
    app_pid=$!
    find_window "the utility"
    until_true 100 same || fail "the desktop window does not show the composed screen"
    click 105 320
    xdotool type --delay 20 "$password"
    click 482 57
}

# Waits for the program's end; its status must be 1 and its last words as given.
expect_end() {
    local said=$1 status=0
    until_true 150 ended || fail "the utility did not end ($said)"
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" -eq 1 ] || fail "the utility ended with status $status ($said)"
    grep -qF "tessella: $said; any job in progress was stopped." "$work/err" ||
        fail "no word of why it ended ($said)"
}

# Exactly these names in the job's folder.
expect_folder() {
    local seen
    seen=$(cd "$work/job" && ls -A | tr '\n' ' ')
    [ "$seen" = "$1" ] || fail "the job's folder holds '$seen', not '$1'"
}

start_xvfb us

# A polite kill halfway through.
start_decrypt
until_true 100 work_file_there || fail "the job did not start"
kill -TERM "$app_pid"
expect_end "stopped by a signal (Terminated)"
expect_folder "plain.velx "

# The session closed while the job asks whether to replace an existing file: nothing replaced.
echo "keep me" >"$work/job/plain.bin"
start_decrypt
until_true 100 question_up || fail "no question about the existing file"
kill -HUP "$app_pid"
expect_end "stopped by a signal (Hangup)"
expect_folder "plain.bin plain.velx "
[ "$(cat "$work/job/plain.bin")" = "keep me" ] || fail "the existing file was replaced"
rm "$work/job/plain.bin"

# The display lost halfway through.
start_decrypt
until_true 100 work_file_there || fail "the job did not start (display)"
kill -9 "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
expect_end "the desktop's display was lost"
expect_folder "plain.velx "
echo "utility stop test passed"
