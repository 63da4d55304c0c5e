# The result window's buttons under a real X server, driven as a user drives them: the pointer
# over Ok turns its rings orange and they go back when it leaves; Tab gives Ok the focus and blue
# rings; then Enter ends the run. A click on Ok ends a second run, Alt+O a third.
# Run by CTest as: bash corvane_result_buttons.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
for tool in import; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"
# Ok sits at 2640, 1440 twips in a client area that is the X window: 176, 96 pixels, 61 x 25.
ok_geometry="61x25+176+96"
ok_x=206
ok_y=108
hot_ring="#FFB231"
focus_ring="#8CAEE7"

start_run() {
  start_corvane C:
  sleep 0.5
}

# Whether the Ok button's pixels on screen hold the colour, as X shows them.
ok_shows() { window_shows "$window" "$ok_geometry" "$1"; }

not() { ! "$@"; }

# Run 1: hover, leave, Tab, Enter.
start_run
eventually not ok_shows "$hot_ring" || fail "Ok shows hot rings before the pointer came"
timeout 5 xdotool mousemove --sync --window "$window" "$ok_x" "$ok_y"
eventually ok_shows "$hot_ring" || fail "the pointer over Ok did not turn its rings orange"
echo "pointer over Ok: orange rings"
timeout 5 xdotool mousemove --sync --window "$window" 20 20
eventually not ok_shows "$hot_ring" || fail "Ok kept its orange rings after the pointer left"
echo "pointer away: the orange rings are gone"
eventually not ok_shows "$focus_ring" || fail "Ok shows focus rings before it has the focus"
timeout 5 xdotool key Tab
eventually ok_shows "$focus_ring" || fail "Tab did not give Ok its blue focus rings"
echo "Tab: Ok shows blue rings"
timeout 5 xdotool key Return
expect_end "$app" "Enter on Ok"

# Run 2: a click on Ok.
start_run
timeout 5 xdotool mousemove --sync --window "$window" "$ok_x" "$ok_y" click 1
expect_end "$app" "a click on Ok"

# Run 3: Alt+O from anywhere in the window.
start_run
timeout 5 xdotool mousemove --sync --window "$window" 20 20
timeout 5 xdotool key alt+o
expect_end "$app" "Alt+O"
echo "PASS"
