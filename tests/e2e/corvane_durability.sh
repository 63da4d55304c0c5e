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
loop_stick_tools=(setpriv)
source "$(dirname "$0")/programs/loop_stick.bash"

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
