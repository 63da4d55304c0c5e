# The display's scale under a real X server (1920 x 1440, no window manager): with Xft.dpi 192 in
# the resources the result window is 624 x 248 and is the factor-1 window with every pixel doubled
# (compared with Ok holding the focus, so no caret blinks); a click at a screen position reaches
# the control under it (Ok's hot rings, then Ok ends the run); the About window opens at its place
# times two. CORVANE_SCALE=3 gives 936 x 372; Xft.dpi 144 gives factor 2, 120 factor 1. Bad
# values give factor 1 or the nearest allowed, with a warning for the setting only.
# Pictures are kept when CORVANE_E2E_SHOTS names a folder.
# Run by CTest as: bash x11_scale.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
for tool in xrdb import convert compare; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

# The server must keep its resources between clients: without -noreset it forgets them each time
# the last client leaves.
start_xvfb 1920x1440x24 -noreset
export CORVANE_DRIVES="$session_dir/no-drive-table"
hot_ring="#FFB231"

start_run() {
  start_corvane C: "$@"
  sleep 0.5
}
stop_run() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}
resources() {
  printf '%s\n' "$@" | xrdb -nocpp -load -
}
size_of() { geometry_of "$1" | cut -d+ -f1; }

# The window's size, and whether the program warned, for one setting and set of resources.
expect_size() {
  local expected=$1 warns=$2
  shift 2
  start_run "$@"
  local size
  size=$(size_of "$window")
  stop_run
  [ "$size" = "$expected" ] || { cat "$session_dir/corvane.log"; fail "$* with resources \"$(xrdb -query)\": $size, not $expected"; }
  if [ "$warns" = warns ]; then
    grep -q "^corvane: CORVANE_SCALE" "$session_dir/corvane.log" || fail "$*: no warning about the setting"
  else
    [ ! -s "$session_dir/corvane.log" ] || { cat "$session_dir/corvane.log"; fail "$*: the program said something"; }
  fi
  echo "$* (resources: $(xrdb -query | tr '\t\n' ' ')): $size${warns:+, $warns}"
}

# The window as it shows with Ok focused and the pointer on the text box (no caret, no hot rings).
shot_of_run() {
  start_run
  timeout 5 xdotool mousemove --sync --window "$window" 20 20
  timeout 5 xdotool key Tab
  sleep 0.5
  import -window "$window" "$1"
}

# Factor 1, then factor 2 from Xft.dpi: the same picture, each pixel a 2 x 2 block.
resources ""
shot_of_run "$session_dir/factor1.png"
stop_run
resources "Xft.dpi: 192"
shot_of_run "$session_dir/factor2.png"
[ "$(size_of "$window")" = 624x248 ] || fail "Xft.dpi 192: the window is $(size_of "$window"), not 624x248"
echo "Xft.dpi 192: the result window is 624x248"
# -sample keeps one pixel of each block; blown up again it must give back the whole picture.
convert "$session_dir/factor2.png" -sample 312x124 "$session_dir/sampled.png"
convert "$session_dir/sampled.png" -sample 624x248 "$session_dir/blocks.png"
differ=$(compare -metric AE "$session_dir/factor2.png" "$session_dir/blocks.png" null: 2>&1) || true
[ "$differ" = 0 ] || fail "the factor-2 picture is not made of 2x2 blocks ($differ pixels differ)"
differ=$(compare -metric AE "$session_dir/factor1.png" "$session_dir/sampled.png" null: 2>&1) || true
[ "$differ" = 0 ] || fail "every second pixel of the factor-2 picture differs from factor 1 in $differ pixels"
echo "every second pixel of the factor-2 window equals the factor-1 window"
if [ -n "${CORVANE_E2E_SHOTS:-}" ]; then
  mkdir -p "$CORVANE_E2E_SHOTS"
  cp "$session_dir/factor1.png" "$session_dir/factor2.png" "$CORVANE_E2E_SHOTS/"
fi

# The pointer over Ok at a screen position (Ok is 61 x 25 at 176, 96: 122 x 50 at 352, 192).
ok_shows_hot_rings() { window_shows "$window" 122x50+352+192 "$hot_ring"; }
stop_run
start_run
timeout 5 xdotool mousemove --sync --window "$window" 412 216
eventually ok_shows_hot_rings || fail "the pointer over Ok at 412, 216 did not turn its rings orange"
echo "pointer at 412, 216 of the window: Ok shows its hot rings"
timeout 5 xdotool click 1
expect_end "$app" "a click on Ok at factor 2"

# The About window: 409 x 212 at 156, 110 in the program's pixels.
start_run
timeout 5 xdotool mousemove --sync --window "$window" 20 20
timeout 5 xdotool key alt+i
about=$(eventually window_at "818x424+312+220" --pid "$app") ||
  fail "Alt+I at factor 2 showed no About window at 818x424+312+220"
echo "Alt+I at factor 2: the About window is 818x424 at 312, 220"
[ -n "${CORVANE_E2E_SHOTS:-}" ] && import -window "$about" "$CORVANE_E2E_SHOTS/about-factor2.png"
stop_run

expect_size 624x248 "" CORVANE_SCALE=2
resources "Xft.dpi: 144"
expect_size 624x248 ""
resources "Xft.dpi: 120"
expect_size 312x124 ""
# The setting comes before the resources.
expect_size 936x372 "" CORVANE_SCALE=3
expect_size 312x124 "" CORVANE_SCALE=1

echo "-- bad input"
for value in 0 -1 x ""; do
  expect_size 312x124 warns CORVANE_SCALE="$value"
done
# 4 would leave the program 480 x 360 of this screen.
expect_size 936x372 warns CORVANE_SCALE=5
for dpi in 0 -192 junk; do
  resources "Xft.dpi: $dpi"
  expect_size 312x124 ""
done
resources "Xft.dpi: 100000"
expect_size 936x372 ""
echo "PASS"
