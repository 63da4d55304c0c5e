# Sourced after xvfb_session.bash by the scripts that run the real program against a medium that
# fails on command: an image served by e2e_faultfs (a file system in user space), a loop device
# on the served file and a real file system on the device, mounted.
#
#   faultfs=/path/to/e2e_faultfs   # set before sourcing
#   make_medium NAME SIZE ext4|xfs # sets medium_device, medium_dir, medium_image, medium_control
#   fault COMMAND                  # ok, fail-writes, fail-all, delay MS, vanish (on the last medium)
#   write_marker                   # a new file holding a fresh marker, still only in memory
#   on_medium MARKER               # the marker has reached the medium (the image behind it)
#
# Everything it mounts, attaches and starts goes again on any exit, before the session folder.
# Needs root, /dev/fuse and a free loop device; without them the script is skipped (exit 77).

skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "attaching loop devices and mounting need root"
[ -c /dev/fuse ] || skip "/dev/fuse is missing: no file system in user space can be mounted here"
[ -e /dev/loop-control ] || skip "there are no loop devices here (/dev/loop-control is missing)"
for tool in losetup mkfs.ext4 mkfs.xfs mount umount; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done
[ -x "${faultfs:?}" ] || fail "$faultfs is not built"

medium_mounts=()
medium_devices=()
medium_servers=()
cleanup_media() {
  local i
  for ((i = ${#medium_mounts[@]} - 1; i >= 0; i--)); do
    umount "${medium_mounts[$i]}" 2>/dev/null || umount -l "${medium_mounts[$i]}" 2>/dev/null || true
  done
  for i in "${medium_devices[@]}"; do losetup -d "$i" 2>/dev/null || true; done
  for i in "${medium_servers[@]}"; do
    umount "$session_dir/$i.served" 2>/dev/null || umount -l "$session_dir/$i.served" 2>/dev/null || true
  done
  cleanup_session
}
trap cleanup_media EXIT

medium_device=""
medium_dir=""
medium_image=""
medium_control=""
make_medium() {
  local name=$1 size=$2 type=$3 served="$session_dir/$1.served"
  medium_image="$session_dir/$name.img"
  medium_dir="$session_dir/$name"
  truncate -s "$size" "$medium_image"
  mkdir -p "$served" "$medium_dir"
  "$faultfs" "$medium_image" "$served" >"$session_dir/$name.faultfs.log" 2>&1 &
  track_pid $!
  medium_servers+=("$name")
  for _ in $(seq 50); do
    [ -e "$served/disk" ] && break
    sleep 0.1
  done
  [ -e "$served/disk" ] || { cat "$session_dir/$name.faultfs.log"; skip "no file system in user space could be mounted"; }
  medium_control="$served/control"
  medium_device=$(losetup -f --show "$served/disk" 2>/dev/null) || skip "no loop device can be attached here"
  medium_devices+=("$medium_device")
  case $type in
    ext4) mkfs.ext4 -q -F "$medium_device" >/dev/null 2>&1 && mount -o commit=600 "$medium_device" "$medium_dir" ;;
    # XFS writes its log at once anyway; only the data stays in memory.
    xfs) mkfs.xfs -q -f "$medium_device" >/dev/null 2>&1 && mount "$medium_device" "$medium_dir" ;;
  esac || fail "making or mounting $type on $medium_device failed"
  medium_mounts+=("$medium_dir")
}

fault() { echo "$*" >"$medium_control" || fail "the medium did not take \"$*\""; }

on_medium() { grep -aqF "$1" "$medium_image"; }

marker=""
write_marker() {
  marker="corvane-marker-$RANDOM$RANDOM"
  printf '%s\n' "$marker" >"$medium_dir/$marker.txt"
  ! on_medium "$marker" || fail "the kernel wrote $marker back at once"
}
