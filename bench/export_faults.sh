#!/usr/bin/env bash
# Exports through the real window and file system to places that cannot take the file:
#   - a full disk: a 64 KB tmpfs filled up, holding an older export that must survive;
#   - a read-only folder: a read-only bind mount (root can write anywhere else), with an older
#     export in it and a new name;
#   - /dev/full: inside this run's private mount namespace the name is a mount of a device node
#     made in a temporary folder (the same device, 1,7), so even a program that tried to rename a
#     file over it could only fail; the system's own node is never touched.
# Each must end with the failure message, the results still marked as not exported, and the
# older files and the device as they were. Needs root (mounts in a private namespace: unshare -m).
#
#   bench/export_faults.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
cmake --build "$BUILD_DIR" --target export_faults >/dev/null
PROGRAM=$(realpath "$BUILD_DIR/bench/export_faults")
WORK=$(mktemp -d /tmp/norak-faults.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

unshare -m --propagation private bash -euo pipefail -c '
W=$1; PROGRAM=$2
mkdir -p "$W/full" "$W/ro" "$W/dev"
mount -t tmpfs -o size=64k tmpfs "$W/full"
printf "older export\r\n" > "$W/full/NORAK-Zevez.txt"
head -c 1M /dev/zero > "$W/full/filler" 2>/dev/null || true
printf "older export\r\n" > "$W/ro/NORAK-Zevez.txt"
mount --bind "$W/ro" "$W/ro"
mount -o remount,bind,ro "$W/ro"
mount -t tmpfs tmpfs "$W/dev"
mknod "$W/dev/full" c 1 7
mount --bind "$W/dev/full" /dev/full
echo "free on the full disk: $(df --output=avail -B1 "$W/full" | tail -1) bytes"
QT_QPA_PLATFORM=offscreen "$PROGRAM" "$W/full/NORAK-Zevez.txt" "$W/full/new.txt" \
    "$W/ro/NORAK-Zevez.txt" "$W/ro/new.txt" /dev/full 2>&1 | grep -v "XDG_RUNTIME_DIR"
echo "older exports: full disk \"$(tr -d "\r" < "$W/full/NORAK-Zevez.txt")\", read-only \"$(tr -d "\r" < "$W/ro/NORAK-Zevez.txt")\""
' bash "$WORK" "$PROGRAM"
echo "the system's /dev/full: $(stat -c "%F %t,%T" /dev/full)"
