# Under a window manager that never maps a window, `corvane C:` does not hang on showing its
# windows: each bounded wait for the wait window and the result window gives up, the flush runs,
# and the run reaches the result window, whose close (WM_DELETE_WINDOW) ends it with status 0.
# Run by CTest as: bash x11_wm_never_maps.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
deaf="${2:?test bin dir}/e2e_deaf_wm"
close="$2/e2e_wm_close"
source "$(dirname "$0")/programs/xvfb_session.bash"
for program in "$corvane" "$deaf" "$close"; do
  [ -x "$program" ] || fail "$program is not built"
done
command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/setup installs it)"

start_xvfb
"$deaf" >"$session_dir/deaf.log" 2>&1 &
track_pid $!
for _ in $(seq 50); do
  grep -q ready "$session_dir/deaf.log" && break
  sleep 0.1
done
grep -q ready "$session_dir/deaf.log" || fail "the deaf window manager did not start"

export CORVANE_DRIVES="$session_dir/no-drive-table"
started=$SECONDS
"$corvane" C: >"$session_dir/corvane.log" 2>&1 &
app=$!
track_pid "$app"
title="Corvane v.1.00.0000"
# The window exists, unmapped, once the run has flushed and loaded the result window.
window=$(timeout 20 xdotool search --sync --name "^${title}\$" | head -n 1) ||
  { cat "$session_dir/corvane.log"; fail "the run never reached the result window"; }
sleep 1
"$close" "$window" || fail "could not ask the result window to close"
expect_end "$app" "the close"
elapsed=$((SECONDS - started))
[ "$elapsed" -le 8 ] || fail "the run took $elapsed s: the waits for the manager did not give up"
echo "PASS: the run went on without the manager and ended with status 0 in $elapsed s"
