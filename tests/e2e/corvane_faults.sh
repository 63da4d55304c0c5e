# The real program on media that fail on command (programs/fault_medium.bash): ext4 and XFS on a
# loop device over an image served by e2e_faultfs. Writes that fail show the I/O error text,
# with e: naming the device and with e: naming the mount point; a medium that fails or vanishes
# while a slow flush runs shows an error; a slow medium keeps the wait window's clip moving and
# ends in success with every marker on the medium; and a write-back error that another program
# has already been told of (its fdatasync failed) is still reported, as the kernel reports it to
# syncfs.
# Run by CTest as: bash corvane_faults.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
faultfs="${2:?test bin dir}/e2e_faultfs"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
source "$(dirname "$0")/programs/fault_medium.bash"
command -v python3 >/dev/null || fail "python3 is not installed (scripts/setup installs it)"

start_xvfb
table="$session_dir/drives"
mkdir -p "$table"
export CORVANE_DRIVES="$table"
success="The operation completed successfully."
io_error="The request could not be performed because of an I/O device error."

expect_result() {
  local what=$1 wanted=$2
  corvane_result E:
  [[ "$result_text" == "$wanted"* ]] || fail "$what: the result is not \"$wanted\": $result_text"
  echo "$what: $wanted"
}

# Writes fail: the device itself (ext4), then the mount point (XFS).
failing_writes() {
  make_medium failing-ext4 64M ext4
  write_marker
  ln -sfn "$medium_device" "$table/e:"
  fault fail-writes
  expect_result "ext4, e: -> the device, writes failing" "$io_error"

  make_medium failing-xfs 320M xfs
  write_marker
  ln -sfn "$medium_dir" "$table/e:"
  fault fail-writes
  expect_result "XFS, e: -> the mount point, writes failing" "$io_error"
}

# A slow medium: each write waits 300 ms, so the flush takes seconds. The wait window's clip must
# move meanwhile (distinct screenshots of its client area), and every marker must arrive.
slow_medium() {
  make_medium slow 64M ext4
  markers=()
  for _ in 1 2 3; do
    write_marker
    markers+=("$marker")
  done
  ln -sfn "$medium_dir" "$table/e:"
  fault delay 300
  mkdir -p "$session_dir/shots"
  (
    # Centred on the 1024 x 768 screen with no window manager: (1024 - 249) / 2, (768 - 56) / 2.
    for _ in $(seq 100); do
      w=$(window_at "249x56+387+356" --name '') && break
      sleep 0.05
    done
    [ -n "${w:-}" ] || exit 0
    for shot in $(seq 12); do
      import -window root -crop 249x56+387+356 +repage -depth 8 "rgb:$session_dir/shots/$shot.rgb" 2>/dev/null || break
      sleep 0.08
    done
  ) &
  watcher=$!
  expect_result "ext4, a slow medium (300 ms a write)" "$success"
  wait "$watcher" || true
  frames=$(cat "$session_dir"/shots/*.rgb 2>/dev/null | wc -c)
  [ "$frames" -gt 0 ] || fail "no screenshot of the wait window was taken during the slow flush"
  distinct=$(md5sum "$session_dir"/shots/*.rgb | cut -d' ' -f1 | sort -u | wc -l)
  [ "$distinct" -ge 3 ] || fail "the wait window's clip stood still during the slow flush ($distinct distinct pictures)"
  echo "the wait window showed $distinct different pictures during the slow flush"
  for m in "${markers[@]}"; do on_medium "$m" || fail "$m did not reach the slow medium"; done
  echo "every marker reached the slow medium"
}

# The medium fails for good while a slow flush is under way: it fails every request (the device
# named, ext4), or it vanishes altogether, as a stick pulled out (the mount point named, XFS).
dying_medium() {
  local how
  for how in "fail-all ext4 64M device" "vanish xfs 320M mount-point"; do
    set -- $how
    make_medium "dying-$2" "$3" "$2"
    for _ in 1 2 3; do write_marker; done
    if [ "$4" = device ]; then ln -sfn "$medium_device" "$table/e:"; else ln -sfn "$medium_dir" "$table/e:"; fi
    fault delay 300
    (
      served=$medium_control
      for _ in $(seq 100); do
        grep -q " writes [1-9]" "$served" && break
        sleep 0.05
      done
      # A medium that vanishes takes the answer to this very request with it.
      echo "$1" >"$served" 2>/dev/null || true
    ) &
    # What the file system makes of it varies with the moment: the I/O error, or its journal
    # given up and the file system read-only. Any error will do; success never.
    corvane_result E:
    [ -n "$result_text" ] && [[ "$result_text" != "$success"* ]] ||
      fail "$2, the medium doing \"$1\" during a slow flush: \"$result_text\""
    echo "$2, the medium doing \"$1\" during a slow flush: $result_text"
  done
}

# Another program's fdatasync has already seen the write-back error; the medium works again when
# the program runs, yet the error still counts for the file system.
error_seen_before() {
  make_medium seen 64M ext4
  printf 'first\n' >"$medium_dir/seen.txt"
  sync -f "$medium_dir"
  ln -sfn "$medium_dir" "$table/e:"
  fault fail-writes
  if python3 - "$medium_dir/seen.txt" 2>/dev/null <<'PY'; then
import os, sys
fd = os.open(sys.argv[1], os.O_WRONLY)
os.pwrite(fd, b"again\n", 0)
os.fdatasync(fd)
PY
    fail "the other program's fdatasync did not fail"
  fi
  fault ok
  expect_result "ext4, a write-back error another program saw first" "$io_error"
}

# CORVANE_FAULT_CASES may name some of the cases, to run only those.
for case in ${CORVANE_FAULT_CASES:-failing_writes slow_medium dying_medium error_seen_before}; do "$case"; done
echo "PASS"
