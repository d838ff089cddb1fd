#!/usr/bin/env bash
# The command line on a real FAT file system, as on a USB stick: no file can be made without a
# name there, so a work file has one, and a run must remove what a killed one left. The image is
# mounted by the kernel where it may, else through FUSE; without either the test is skipped.
#   VfatTest.sh TESSELLA-CLI
set -euo pipefail
cli=$(realpath "$1")
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "mounting needs root"
command -v mkfs.vfat >/dev/null || skip "no mkfs.vfat"
work=$(mktemp -d)
mnt=$work/stick
mounted=
cleanup() {
    cd /
    if [ -n "$mounted" ]; then umount "$mnt" 2>/dev/null || fusermount -u "$mnt" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$mnt"
truncate -s 64M "$work/fat.img"
mkfs.vfat "$work/fat.img" >/dev/null
if mount -o loop -t vfat "$work/fat.img" "$mnt" 2>/dev/null; then
    mounted=kernel
elif command -v fusefat >/dev/null && fusefat -o rw+ "$work/fat.img" "$mnt" >/dev/null 2>&1; then
    mounted=fuse
else
    skip "no way to mount a FAT image here"
fi
grep -q " $mnt " /proc/mounts || fail "the image is not mounted"

# A work file as this machine's process $1, started at tick $2, would have named it.
work_name() {
    local host boot space
    host=$(hostname)
    boot=$(tr -d -- '-\n' </proc/sys/kernel/random/boot_id)
    space=$(readlink /proc/self/ns/pid | tr -dc 0-9)
    echo ".tessella-$host-$boot-$space-$1-$2-0.part"
}
dead=$(sh -c 'echo $$')
head -c 300000 /dev/urandom >"$mnt/photo.jpg"
printf 'partial plaintext' >"$mnt/$(work_name "$dead" 1)"
printf 'on a stick 1\n' >"$work/pw"
printf 'another machine' >"$mnt/.tessella-elsewhere-0123-4-5-6-0.part"

cd "$mnt"
status=0
"$cli" encrypt --password-file "$work/pw" photo.jpg 2>"$work/err" || status=$?
echo "FAT through $mounted: encrypt ended with status $status: $(cat "$work/err")"
left=$(ls -A "$mnt" | sort | tr '\n' ' ')
if [ "$status" -eq 0 ]; then
    [ "$left" = ".tessella-elsewhere-0123-4-5-6-0.part photo.jpg photo.velx " ] ||
        fail "left in the folder: $left"
    rm photo.jpg
    "$cli" decrypt --password-file "$work/pw" photo.velx || fail "decrypt failed"
    [ -s photo.jpg ] || fail "nothing restored"
else
    # A FUSE FAT may refuse writes to a file opened a second time: the job then fails, and
    # still leaves nothing of its own.
    [ "$left" = ".tessella-elsewhere-0123-4-5-6-0.part photo.jpg " ] ||
        fail "left in the folder after a failure: $left"
fi
echo "ok: the dead process's work file is gone, the other machine's stays"
