# A drive entry changed while the program looks at it: e: is flipped between a loop device and a
# character device (a node of its own with the numbers of /dev/null) about a thousand times a
# second while the real program is started over and over with `corvane E:`. A trace of every
# run's opens must show the entry looked up (O_PATH) and found as either kind, and never the
# character device opened: not by name, not through the entry, not through /proc/self/fd.
# At least 2,000 flips and 40 runs. Needs root and loop devices (skipped, exit 77, without).
# Run by CTest as: bash corvane_link_race.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
loop_stick_tools=(strace python3 timeout mknod)
source "$(dirname "$0")/programs/loop_stick.bash"
[ -x "$corvane" ] || fail "$corvane is not built"
programs="$(cd "$(dirname "$0")/programs" && pwd)"

make_stick "$session_dir/stick.img" 32M "$session_dir/stick"
chardev="$session_dir/chardev"
mknod "$chardev" c 1 3 || skip "no device node can be made in $session_dir"
table="$session_dir/drives"
mkdir -p "$table"
export CORVANE_DRIVES="$table"

python3 "$programs/flip_link.py" "$table/e:" "$stick_device" "$chardev" "$session_dir/flips" &
flipper=$!
track_pid "$flipper"

# Each run only has to get past its open: the in-memory screen needs no X server, and the run is
# ended a second later, while its result window waits for a user.
runs=0
flips=0
started=$SECONDS
while [ "$runs" -lt 40 ] || [ "$flips" -lt 2000 ]; do
  [ $((SECONDS - started)) -lt 300 ] || fail "only $runs runs and $flips flips in 300 s"
  runs=$((runs + 1))
  CORVANE_DRIVER=headless strace -f -qq -y -s 4096 -o "$session_dir/trace.$runs" \
    -e trace=open,openat,openat2,creat timeout -s KILL 1 "$corvane" E: >/dev/null 2>&1 || true
  flips=$(cat "$session_dir/flips" 2>/dev/null || echo 0)
done
kill "$flipper"
wait "$flipper" || true
flips=$(cat "$session_dir/flips")

cat "$session_dir"/trace.* >"$session_dir/all.trace"
python3 "$programs/trace_opens.py" "$session_dir/all.trace" "$chardev" "$table/e:" "$stick_device" \
  >"$session_dir/verdict" || true
cat "$session_dir/verdict"
opened_char=$(grep -c "^opened $chardev:" "$session_dir/verdict" || true)
opened_entry=$(grep -c "^opened $table/e::" "$session_dir/verdict" || true)
found_char=$(awk -v p="$chardev" '$1 == "lookups" && $2 == p {print $3}' "$session_dir/verdict")
found_block=$(awk -v p="$stick_device" '$1 == "lookups" && $2 == p {print $3}' "$session_dir/verdict")
echo "$runs runs, $flips flips: the entry was found as the character device ${found_char:-0} times," \
  "as the loop device ${found_block:-0} times; opens of the character device: $opened_char," \
  "of the entry by name: $opened_entry"
[ "$opened_char" -eq 0 ] && [ "$opened_entry" -eq 0 ] || fail "the character device or the entry was opened"
[ "${found_char:-0}" -gt 0 ] && [ "${found_block:-0}" -gt 0 ] ||
  fail "the runs never met both kinds: the race was not run"
echo "PASS"
