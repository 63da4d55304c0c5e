# What a user writes to a mounted USB stick is on the stick when the real program says so. The
# stick is an ext4 image on a loop device, mounted with a long commit interval so that a freshly
# written file stays in memory; after `corvane E:` its marker must be in the image, both with e:
# naming the device and with e: naming the mount point. A stick that cannot take the data (its
# image lies in a tmpfs too small for it) must show the I/O or disk-full error, never success. A
# drive table the user may not read denies every letter.
# Needs root, loop devices and mount; without them it is skipped (exit 77) and says why.
# Run by CTest as: bash corvane_durability.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "attaching loop devices and mounting need root"
for tool in losetup mkfs.ext4 mount umount setpriv; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

# Everything this script attaches or mounts goes again on any exit, before the session folder.
mounted=()
attached=()
# A tmpfs that holds an image unmounts only once its loop device is detached, hence two rounds.
cleanup_devices() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[$i]}" 2>/dev/null || true; done
  for i in "${attached[@]}"; do losetup -d "$i" 2>/dev/null || true; done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    ! mountpoint -q "${mounted[$i]}" || umount "${mounted[$i]}" || umount -l "${mounted[$i]}" || true
  done
  cleanup_session
}
trap cleanup_devices EXIT

# Attaches a sparse image of the size to a free loop device, makes ext4 on it and mounts it.
stick_device=""
make_stick() {
  local image=$1 size=$2 folder=$3
  truncate -s "$size" "$image"
  stick_device=$(losetup -f --show "$image" 2>/dev/null) || skip "no loop device can be attached here"
  attached+=("$stick_device")
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

start_xvfb
chmod 711 "$session_dir"  # the user nobody must reach the drive table below
table="$session_dir/drives"
mkdir -p "$table"
export CORVANE_DRIVES="$table"
success="The operation completed successfully."

make_stick "$session_dir/stick.img" 32M "$session_dir/stick"
for entry in "$stick_device" "$session_dir/stick"; do
  write_unflushed_marker "$session_dir/stick" "$session_dir/stick.img"
  ln -sfn "$entry" "$table/e:"
  corvane_result E:
  [[ "$result_text" == "$success"* ]] || fail "e: -> $entry: the result is not success: $result_text"
  in_image "$marker" "$session_dir/stick.img" || fail "e: -> $entry: the marker did not reach the device"
  echo "e: -> $entry: the marker reached the device"
done

# An unreadable table: as nobody, first the readable table works, then mode 000 denies all.
corvane_runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$corvane" ||
  skip "the user nobody cannot run $corvane (a folder on its way is closed to others)"
corvane_result E:
[[ "$result_text" == "$success"* ]] || fail "as nobody with a readable table: $result_text"
chmod 000 "$table"
for letter in C: E:; do
  corvane_result "$letter"
  [[ "$result_text" == "Error: 5:"*"Access is denied."* ]] || fail "$letter with an unreadable table: $result_text"
done
chmod 755 "$table"
corvane_runner=()

# The stick's image lies in a tmpfs of 16 MiB but claims 128 MiB: the data cannot all be written.
mkdir -p "$session_dir/small"
mount -t tmpfs -o size=16m corvane-e2e-small "$session_dir/small" || skip "mounting a tmpfs failed"
mounted+=("$session_dir/small")
make_stick "$session_dir/small/full.img" 128M "$session_dir/full"
head -c 40M /dev/zero >"$session_dir/full/big.bin" || true
ln -sfn "$stick_device" "$table/e:"
corvane_result E:
[[ "$result_text" != "$success"* ]] || fail "a stick that could not take the data reported success"
# The loop device passes on what its image's write met: a write cut short is an I/O error, a write
# that found no room at all is "no space" (which one comes first depends on how the kernel's
# write-back split the data, so on the machine's load). Either is the failure, told as such.
[[ "$result_text" == "The request could not be performed because of an I/O device error."* ||
  "$result_text" == "There is not enough space on the disk."* ]] ||
  fail "the write-back failure is not shown as an I/O or disk-full error: $result_text"
echo "PASS"
