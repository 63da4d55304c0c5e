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
# The loop devices and mounts are loop_stick.bash's: everything it mounts, attaches and starts
# goes again on any exit, before the session folder. Needs root, /dev/fuse and a free loop device;
# without them the script is skipped (exit 77).

source "$(dirname "${BASH_SOURCE[0]}")/loop_stick.bash"
[ -c /dev/fuse ] || skip "/dev/fuse is missing: no file system in user space can be mounted here"
[ -e /dev/loop-control ] || skip "there are no loop devices here (/dev/loop-control is missing)"
command -v mkfs.xfs >/dev/null || fail "mkfs.xfs is not installed (scripts/setup installs it)"
[ -x "${faultfs:?}" ] || fail "$faultfs is not built"

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
  mounted+=("$served")
  for _ in $(seq 50); do
    [ -e "$served/disk" ] && break
    sleep 0.1
  done
  [ -e "$served/disk" ] || { cat "$session_dir/$name.faultfs.log"; skip "no file system in user space could be mounted"; }
  medium_control="$served/control"
  attach_loop "$served/disk"
  medium_device=$loop_device
  case $type in
    ext4) mkfs.ext4 -q -F "$medium_device" >/dev/null 2>&1 && mount -o commit=600 "$medium_device" "$medium_dir" ;;
    # XFS writes its log at once anyway; only the data stays in memory.
    xfs) mkfs.xfs -q -f "$medium_device" >/dev/null 2>&1 && mount "$medium_device" "$medium_dir" ;;
  esac || fail "making or mounting $type on $medium_device failed"
  mounted+=("$medium_dir")
}

fault() { echo "$*" >"$medium_control" || fail "the medium did not take \"$*\""; }

on_medium() { in_image "$1" "$medium_image"; }

write_marker() { write_unflushed_marker "$medium_dir" "$medium_image"; }
