# Sourced after xvfb_session.bash by the scripts that need a USB stick of their own: an ext4
# image on a loop device, mounted with a long commit interval so that a freshly written file stays
# in memory. Sourcing it skips the script (exit 77, saying why) where that cannot be done: not
# root, or one of the tools missing, the script's own further TOOLS too. Everything attached or
# mounted here goes again on any exit, before the session folder.
#
#   loop_stick_tools=(strace ...)          # set before sourcing: more tools the script needs
#   skip REASON                            # ends the script as skipped
#   attach_loop FILE                       # sets loop_device to a free loop device on the file,
#                                          # detached on exit; skips the test where it cannot
#   make_stick IMAGE SIZE FOLDER           # sets stick_device; skips the test where it cannot
#   write_unflushed_marker FOLDER IMAGE    # sets marker to a text in memory, not yet in IMAGE
#   in_image TEXT IMAGE                    # whether TEXT reached the device's medium

skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "attaching loop devices and mounting need root"
for tool in losetup mkfs.ext4 mount umount "${loop_stick_tools[@]}"; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

mounted=()
attached=()
# A mount that holds an image (a tmpfs, a file system in user space) unmounts only once its loop
# device is detached, hence two rounds. The second asks no questions of the mount point: one whose
# server has ended cannot even be looked at, yet must go.
cleanup_devices() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[$i]}" 2>/dev/null || true; done
  for i in "${attached[@]}"; do losetup -d "$i" 2>/dev/null || true; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[$i]}" 2>/dev/null || umount -l "${mounted[$i]}" 2>/dev/null || true
  done
  cleanup_session
}
trap cleanup_devices EXIT

loop_device=""
attach_loop() {
  loop_device=$(losetup -f --show "$1" 2>/dev/null) || skip "no loop device can be attached here"
  attached+=("$loop_device")
}

# Attaches a sparse image of the size to a free loop device, makes ext4 on it and mounts it.
stick_device=""
make_stick() {
  local image=$1 size=$2 folder=$3
  truncate -s "$size" "$image"
  attach_loop "$image"
  stick_device=$loop_device
  mkfs.ext4 -q -F "$stick_device" >/dev/null 2>&1 || fail "mkfs.ext4 failed on $stick_device"
  mkdir -p "$folder"
  mount -o commit=600 "$stick_device" "$folder" || skip "mounting $stick_device failed"
  mounted+=("$folder")
}

# The image file is read through its page cache, which is the loop device's medium: what is there
# has left the file system's cache for the device.
in_image() { grep -aqF "$1" "$2"; }

# Writes a file with a fresh marker and makes sure the marker is only in memory so far. Should
# the kernel write it back on its own (a machine short of memory), a new marker is tried.
marker=""
write_unflushed_marker() {
  local folder=$1 image=$2 attempt
  for attempt in 1 2 3; do
    marker="corvane-marker-$RANDOM$RANDOM-$attempt"
    printf '%s\n' "$marker" >"$folder/$marker.txt"
    in_image "$marker" "$image" || return 0
  done
  fail "the kernel wrote every marker back at once (vm.dirty_expire_centisecs is $(cat /proc/sys/vm/dirty_expire_centisecs))"
}
