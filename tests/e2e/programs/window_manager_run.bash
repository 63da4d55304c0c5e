# Sourced by the window-manager end-to-end scripts: `corvane C:` under a real window manager on
# Xvfb, driven and inspected as a desktop user and the manager see it.
#
#   source window_manager_run.bash
#   run_under_window_manager openbox BIN_DIR
#
# Checks: the wait window, shown while the flush blocks, is undecorated, centred and kept above;
# the result window carries its icon (both sizes), the dialog type, the modal state, a transient
# hint, fixed-size hints and WM_CLIENT_MACHINE; a maximise asked of the manager never makes it
# full screen or above and leaves its size alone; Alt+O ends a first run without a click; the
# manager's close ends a second run; both with status 0.

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.bash"

title="Corvane v.1.00.0000"
# The client areas in pixels: 3735 x 840 and 4680 x 1860 twips.
wait_size="249x56"
result_size="312x124"

# The program's top-level window whose client size is the given one, waiting up to 20 s.
window_of_size() {
  local pid=$1 size=$2 w
  for _ in $(seq 200); do
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
      if xwininfo -id "$w" 2>/dev/null | grep -q "Map State: IsViewable" &&
        [ "$(geometry_of "$w" | cut -d+ -f1)" = "$size" ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

check_wait_window() {
  local pid=$1 w geometry x y
  w=$(window_of_size "$pid" "$wait_size") || fail "no wait window of $wait_size during the flush"
  geometry=$(geometry_of "$w")
  x=$(cut -d+ -f2 <<<"$geometry")
  y=$(cut -d+ -f3 <<<"$geometry")
  # Centred on the 1024 x 768 screen: (1024 - 249) / 2 and (768 - 56) / 2, give or take a pixel.
  [ $((x - 387)) -ge -1 ] && [ $((x - 387)) -le 1 ] && [ $((y - 356)) -ge -1 ] &&
    [ $((y - 356)) -le 1 ] || fail "the wait window is at $geometry, not centred"
  local props
  props=$(xprop -id "$w")
  grep -q "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_SPLASH" <<<"$props" ||
    fail "the wait window is not a splash: $(grep WINDOW_TYPE <<<"$props")"
  grep -q "_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_ABOVE" <<<"$props" ||
    fail "the wait window is not kept above"
  # Undecorated: the manager's frame, if it reparents the window at all, is the window itself.
  local frame
  frame=$(xwininfo -id "$w" -frame | awk '/^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print w "x" h}')
  [ "$frame" = "$wait_size" ] || fail "the wait window has a frame: $frame around $wait_size"
  if grep -q "_NET_FRAME_EXTENTS" <<<"$props"; then
    grep -q "_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0" <<<"$props" ||
      fail "the manager decorates the wait window: $(grep _NET_FRAME_EXTENTS <<<"$props")"
  fi
  echo "wait window: undecorated splash at $geometry, kept above"
}

check_result_hints() {
  local w=$1 props
  props=$(xprop -id "$w")
  grep -q "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG" <<<"$props" ||
    fail "the result window is not a dialog: $(grep WINDOW_TYPE <<<"$props")"
  grep -q "_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_MODAL" <<<"$props" || fail "the result window is not modal"
  grep -q "WM_TRANSIENT_FOR(WINDOW)" <<<"$props" || fail "the result window has no transient hint"
  grep -q "WM_CLIENT_MACHINE(STRING) = \"$(hostname)\"" <<<"$props" || fail "WM_CLIENT_MACHINE is missing"
  grep -q "program specified minimum size: 312 by 124" <<<"$props" &&
    grep -q "program specified maximum size: 312 by 124" <<<"$props" ||
    fail "the result window's size hints are not fixed at 312 by 124"
  local icons
  icons=$(xprop -id "$w" _NET_WM_ICON | grep -o "Icon ([0-9]* x [0-9]*)" | tr '\n' ' ')
  [ "$icons" = "Icon (32 x 32) Icon (16 x 16) " ] || fail "_NET_WM_ICON holds: ${icons:-nothing}"
  echo "result window: dialog, modal, transient, fixed 312 x 124, icons 32 and 16"
}

# A maximise asked of the manager: the states must never include full screen or above, however
# long we look, and the size stays.
check_maximise_refused() {
  local w=$1 how=$2 states
  "$how" "$w" || fail "could not ask for a maximise ($how)"
  for _ in $(seq 15); do
    states=$(xprop -id "$w" _NET_WM_STATE)
    grep -q -e FULLSCREEN -e ABOVE <<<"$states" && fail "after a maximise: $states"
    sleep 0.1
  done
  local size
  size=$(geometry_of "$w" | cut -d+ -f1)
  [ "$size" = "$result_size" ] || fail "a maximise changed the size to $size"
  echo "maximise ($how): no full screen, no above, still $result_size"
}

maximise_through_wmctrl() { wmctrl -r "$title" -b add,maximized_vert,maximized_horz; }

# The title bar's maximise button, where openbox's default theme puts it (the second button from
# the right, 16 pixels apart, in the middle of a 20-pixel title bar), clicked as a user does.
click_maximise_button() {
  local w=$1 geometry x y width
  geometry=$(geometry_of "$w")
  width=$(cut -dx -f1 <<<"$geometry")
  x=$(cut -d+ -f2 <<<"$geometry")
  y=$(cut -d+ -f3 <<<"$geometry")
  timeout 5 xdotool mousemove --sync $((x + width - 26)) $((y - 10)) click 1
}

run_under_window_manager() {
  local manager=$1 corvane="$2/corvane"
  [ -x "$corvane" ] || fail "$corvane is not built"
  for tool in xdotool xprop xwininfo wmctrl; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
  done
  start_xvfb
  start_window_manager "$manager"
  export CORVANE_DRIVES="$session_dir/no-drive-table"

  # Run 1: the flush blocks two seconds (five flushes of 400 ms) while we look at the wait window.
  CORVANE_TEST_FLUSH_DELAY_MS=400 "$corvane" C: >"$session_dir/corvane.log" 2>&1 &
  local app=$!
  track_pid "$app"
  check_wait_window "$app"
  local w
  w=$(window_of_size "$app" "$result_size") || { cat "$session_dir/corvane.log"; fail "no result window"; }
  [ "$(xdotool getwindowname "$w")" = "$title" ] || fail "the result window is not titled \"$title\""
  sleep 0.5
  check_result_hints "$w"
  check_maximise_refused "$w" maximise_through_wmctrl
  [ "$manager" != openbox ] || check_maximise_refused "$w" click_maximise_button
  timeout 5 xdotool key alt+o
  expect_end "$app" "Alt+O"

  # Run 2: the manager's close.
  "$corvane" C: >"$session_dir/corvane.log" 2>&1 &
  app=$!
  track_pid "$app"
  window_of_size "$app" "$result_size" >/dev/null || fail "no result window in the second run"
  sleep 0.5
  wmctrl -c "$title" || fail "wmctrl could not close the window"
  expect_end "$app" "the manager's close"
  echo "PASS"
}
