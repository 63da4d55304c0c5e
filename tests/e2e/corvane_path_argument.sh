# The installed program (bin/corvane) given a path instead of a drive letter, under a real X
# server: `corvane /`, the mount point of a stick and the stick's device show success and end
# with 0, and what was written before is on the stick after; a folder inside the stick is "not
# ready" and a missing path "Error: 2:", both ending with 1; /dev/null is refused without being
# opened (a trace of the opens shows it). The bad arguments a user may type end in their message
# and status 1, create nothing in the working folder, and open nothing but a directory or a block
# device.
# Needs root, loop devices and mount; without them it is skipped (exit 77) and says why.
# Run by CTest as: bash corvane_path_argument.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
bin_dir="${1:?bin dir}"
source "$(dirname "$0")/programs/xvfb_session.bash"
loop_stick_tools=(strace python3)
source "$(dirname "$0")/programs/loop_stick.bash"

install_build "$(dirname "$bin_dir")"
corvane="$prefix/bin/corvane"
source "$(dirname "$0")/programs/corvane_result.bash"
trace_opens="$(cd "$(dirname "$0")" && pwd)/programs/trace_opens.py"

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"
success="The operation completed successfully."

# Runs `corvane ARGUMENT` under strace; then PATH... must never have been opened but looked up.
trace="$session_dir/opens.trace"
traced_result() {
  corvane_runner=(strace -f -qq -y -s 65536 -o "$trace" -e trace=open,openat,openat2,creat)
  corvane_result "$1"
  corvane_runner=()
}
never_opened() {
  python3 "$trace_opens" "$trace" "$@" || fail "the program opened one of: $*"
}

corvane_result /
[[ "$result_text" == "$success"* ]] || fail "corvane /: $result_text"

make_stick "$session_dir/stick.img" 32M "$session_dir/stick"
for argument in "$session_dir/stick" "$stick_device"; do
  write_unflushed_marker "$session_dir/stick" "$session_dir/stick.img"
  corvane_result "$argument"
  [[ "$result_text" == "$success"* ]] || fail "corvane $argument: $result_text"
  [ "$result_status" -eq 0 ] || fail "corvane $argument ended with $result_status"
  in_image "$marker" "$session_dir/stick.img" || fail "corvane $argument: the marker did not reach the device"
  echo "corvane $argument: the marker reached the device"
done

mkdir -p "$session_dir/stick/folder"
corvane_result "$session_dir/stick/folder"
[[ "$result_text" == "Error: 21:"*"The device is not ready."* ]] || fail "a folder inside: $result_text"
[ "$result_status" -eq 1 ] || fail "a folder inside ended with $result_status"
corvane_result /nonexistent
[[ "$result_text" == "Error: 2:"*"The system cannot find the file specified."* ]] || fail "/nonexistent: $result_text"
[ "$result_status" -eq 1 ] || fail "/nonexistent ended with $result_status"
traced_result /dev/null
[[ "$result_text" == "Error: 15:"* ]] || fail "/dev/null: $result_text"
never_opened /dev/null

# What a user may type by mistake, from an empty working folder that must stay empty.
work="$session_dir/work"
mkdir -p "$work" "$session_dir/with space" "$session_dir/$(printf 'caf\xc3\xa9')"
ln -s "$session_dir/loop-b" "$session_dir/loop-a"
ln -s "$session_dir/loop-a" "$session_dir/loop-b"
printf 'x' >"$session_dir/plain"
mkfifo "$session_dir/fifo"
long="/$(printf 'x%.0s' $(seq 5000))"
cd "$work"
while IFS='|' read -r argument expected; do
  traced_result "$argument"
  [[ "$result_text" == "$expected"* ]] || fail "corvane ${argument:0:60}: $result_text (expected $expected)"
  [ -z "$(ls -A "$work")" ] || fail "corvane ${argument:0:60} created $(ls -A "$work")"
  never_opened "$session_dir/plain" "$session_dir/fifo" "$session_dir/loop-a"
done <<EOF
$session_dir/with space|Error: 21:
$session_dir/$(printf 'caf\xc3\xa9')/|Error: 21:
$session_dir/stick/|$success
/$session_dir//stick|$success
$session_dir/./stick/.|$success
$long|Error: 206:
media/usb|Error: 2:
./x|Error: 2:
-|Error: 2:
$session_dir/loop-a|Error: 1921:
$session_dir/plain|Error: 15:
$session_dir/plain/|Error: 3:
$session_dir/fifo|Error: 15:
EOF
echo "PASS"
