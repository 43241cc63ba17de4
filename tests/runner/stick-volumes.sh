#!/usr/bin/env bash
# The two stick volumes of the Wine test session: a FAT32 image mounted with
# fusefat, an exFAT image on a loop device mounted with exfat-fuse.
#   stick-volumes.sh up DRIVES_DIR       - fresh images, both mounted (leftovers cleared first)
#   stick-volumes.sh down DRIVES_DIR     - both unmounted and detached
#   stick-volumes.sh check DRIVES_DIR fat32|exfat FOLDER OUT
#       unmounts the volume, checks the image, for FAT32 copies FOLDER out of
#       the image with mtools (as another machine reads it), mounts it again;
#       OUT/fsck.txt gets the checker's words, OUT/done its exit code.
# The mount points are what the drive letters link to, so the letters exist
# before the wineserver starts, mounted or not. "up" writes why a volume
# could not be mounted into DRIVES_DIR/<kind>.state; the tests show it.
set -uo pipefail
export MTOOLS_SKIP_CHECK=1
action=$1
drives=$2
kinds=(fat32 exfat)
size_mb=${STICK_SIZE_MB:-64} # the benchmark needs more

image() { echo "$drives/$1.img"; }
mounted_at() { echo "$drives/$1"; }
# From the mount table: a stat of a hung driver's mount point would hang too.
is_mounted() { grep -q " $1 fuse" /proc/mounts; }

unmount() {
  local kind=$1 dir dev pid
  dir=$(mounted_at "$kind")
  if is_mounted "$dir"; then
    # A driver still writing its last blocks answers "busy" for a moment.
    for _ in $(seq 50); do
      fusermount -u "$dir" 2>/dev/null || umount "$dir" 2>/dev/null
      is_mounted "$dir" || break
      sleep 0.1
    done
  fi
  # The driver ends after the unmount; the image is complete only then. One
  # that hangs (fusefat spins on a full volume) is ended: the image is then
  # as it left it, and the check says what that is worth.
  for _ in $(seq 50); do
    pgrep -f "$(image "$kind")" >/dev/null 2>&1 || break
    sleep 0.1
  done
  for pid in $(pgrep -f "$(image "$kind")" 2>/dev/null); do
    echo "the $kind driver (pid $pid) hung and was ended" >&2
    kill -9 "$pid" 2>/dev/null
  done
  is_mounted "$dir" && fusermount -u -z "$dir" 2>/dev/null
  if [ "$kind" = exfat ]; then
    for dev in $(losetup -j "$(image "$kind")" -O NAME -n 2>/dev/null); do
      for _ in $(seq 50); do
        pgrep -f "mount.exfat-fuse $dev" >/dev/null 2>&1 || break
        sleep 0.1
      done
      losetup -d "$dev" 2>/dev/null
    done
  fi
  ! is_mounted "$dir"
}

mount_volume() {
  local kind=$1 dir dev
  dir=$(mounted_at "$kind")
  mkdir -p "$dir"
  [ -e /dev/fuse ] || { echo "no /dev/fuse on this machine: the $kind volume needs FUSE"; return 1; }
  case $kind in
  fat32)
    command -v fusefat >/dev/null || { echo "fusefat is not installed"; return 1; }
    fusefat -o rw+ "$(image fat32)" "$dir" >/dev/null 2>&1 ||
      { echo "fusefat could not mount the FAT32 image"; return 1; }
    ;;
  exfat)
    command -v mount.exfat-fuse >/dev/null || { echo "exfat-fuse is not installed"; return 1; }
    dev=$(losetup -f --show "$(image exfat)" 2>/dev/null) ||
      { echo "no loop device on this machine: the exFAT volume needs one"; return 1; }
    mount.exfat-fuse "$dev" "$dir" >/dev/null 2>&1 ||
      { losetup -d "$dev"; echo "exfat-fuse could not mount the exFAT image"; return 1; }
    ;;
  esac
  for _ in $(seq 50); do is_mounted "$dir" && return 0; sleep 0.1; done
  echo "the $kind volume did not appear at $dir"; return 1
}

make_image() {
  local kind=$1 img
  img=$(image "$kind")
  rm -f "$img"
  truncate -s ${size_mb}M "$img"
  case $kind in
  fat32) mkfs.fat -F 32 "$img" >/dev/null 2>&1 || { echo "mkfs.fat failed or is missing"; return 1; } ;;
  exfat) mkfs.exfat "$img" >/dev/null 2>&1 || { echo "mkfs.exfat failed or is missing"; return 1; } ;;
  esac
}

case $action in
up)
  mkdir -p "$drives"
  for kind in "${kinds[@]}"; do
    unmount "$kind"
    mkdir -p "$(mounted_at "$kind")"
    if why=$(make_image "$kind" && mount_volume "$kind"); then
      # A stamp written by the host's own tools: read back elsewhere, it tells
      # a driver's fault with stamps from Kelvorin's.
      echo control >"$(mounted_at "$kind")/stamp-control.txt"
      touch -d '2021-05-06 07:08:10' "$(mounted_at "$kind")/stamp-control.txt"
      echo mounted >"$drives/$kind.state"
    else
      echo "$why" >"$drives/$kind.state"
    fi
  done
  ;;
down)
  for kind in "${kinds[@]}"; do unmount "$kind"; done
  ;;
check)
  kind=$3 folder=$4 out=$5
  rm -rf "$out"; mkdir -p "$out"
  rc=0
  if ! unmount "$kind"; then
    echo "the $kind volume could not be unmounted" >"$out/fsck.txt"; rc=9
  else
    case $kind in
    fat32) fsck.fat -n "$(image fat32)" >"$out/fsck.txt" 2>&1 || rc=$? ;;
    exfat) fsck.exfat -n "$(image exfat)" >"$out/fsck.txt" 2>&1 || rc=$? ;;
    esac
    if [ "$kind" = fat32 ] && [ -n "$folder" ]; then
      mkdir -p "$out/tree"
      mcopy -i "$(image fat32)" -s -m -n "::/$folder" "$out/tree/" >"$out/mtools.txt" 2>&1 || true
      mcopy -i "$(image fat32)" -m -n ::/stamp-control.txt "$out/" >>"$out/mtools.txt" 2>&1 || true
    fi
    why=$(mount_volume "$kind") || { echo "$why" >>"$out/fsck.txt"; rc=9; }
  fi
  echo $rc >"$out/done.tmp" && mv "$out/done.tmp" "$out/done"
  ;;
*) echo "usage: $0 up|down|check DRIVES_DIR ..." >&2; exit 2 ;;
esac
exit 0
