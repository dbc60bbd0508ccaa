#!/usr/bin/env bash
# What the extract tests need from outside Wine, made before and removed after
# them by CTest:
#   FOLDER/small-disk    a 64 KiB tmpfs on which writes run out of space; it
#                        holds the file MOUNTED only when the mount worked
#                        (otherwise FOLDER/mount-error says why)
#   FOLDER/links/install/Escape   a symbolic link to FOLDER/links/outside,
#                        which a clean-up of install must not follow
#   drive Q: of $WINEPREFIX, made FOLDER/drive-q (when the prefix has no Q:),
#                        a scratch drive whose root a test may watch
# usage: fixtures.sh up|down FOLDER
set -u
action=${1:?up or down}
dir=${2:?folder}

drive_q="${WINEPREFIX:+$WINEPREFIX/dosdevices/q:}"

down() {
  local disk="$dir/small-disk"
  if [[ -n "$drive_q" && -L "$drive_q" && "$(readlink "$drive_q")" == "$dir/drive-q" ]]; then
    rm -f "$drive_q"
  fi
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
  mkdir -p "$dir/small-disk" "$dir/links/install" "$dir/links/outside" || return 1
  ln -s ../outside "$dir/links/install/Escape" || return 1
  if [[ -n "$drive_q" && -d "$(dirname "$drive_q")" && ! -e "$drive_q" && ! -L "$drive_q" ]]; then
    mkdir -p "$dir/drive-q" && ln -s "$dir/drive-q" "$drive_q"
  fi
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
