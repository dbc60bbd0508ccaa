#!/usr/bin/env bash
# What the extract tests need from outside Wine, made before and removed after
# them by CTest:
#   FOLDER/small-disk    a 64 KiB tmpfs on which writes run out of space; it
#                        holds the file MOUNTED only when the mount worked
#                        (otherwise FOLDER/mount-error says why)
# usage: fixtures.sh up|down FOLDER
set -u
action=${1:?up or down}
dir=${2:?folder}

down() {
  local disk="$dir/small-disk"
  if mountpoint -q "$disk" 2>/dev/null; then
    umount "$disk" 2>/dev/null || umount -l "$disk"
  fi
  if mountpoint -q "$disk" 2>/dev/null; then
    echo "fixtures.sh: $disk is still mounted" >&2
    return 1
  fi
  rm -rf "$dir"
}

up() {
  down || return 1
  mkdir -p "$dir/small-disk" || return 1
  if mount -t tmpfs -o size=64k,mode=0777 portavo-small-disk "$dir/small-disk" \
      2>"$dir/mount-error"; then
    touch "$dir/small-disk/MOUNTED"
  else
    # The write-failure tests skip and print this reason.
    echo "fixtures.sh: no small disk: $(cat "$dir/mount-error")"
  fi
}

case "$action" in
  up) up ;;
  down) down ;;
  *) echo "usage: $0 up|down FOLDER" >&2; exit 2 ;;
esac
