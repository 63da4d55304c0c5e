# The screen-scramble window on a real X screen: it covers the whole screen as one
# override-redirect window that holds the keyboard, its first frame is the screen as it was (another
# program's window included), a window that covered part of it and went away leaves the frozen
# desktop there again, and a key press or a click ends it.
# Run by CTest as: bash x11_effect.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
effect="${2:?test bin dir}/e2e_effect"
tiles="${2}/e2e_x11_tiles"
source "$(dirname "$0")/programs/effect_run.bash"
[ -x "$effect" ] || fail "$effect is not built"
[ -x "$tiles" ] || fail "$tiles is not built"
for tool in xdotool xwininfo xprop import compare convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

start_xvfb

wait_for_line() {  # file pattern what
  local tries=0
  until grep -q "$2" "$1" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 150 ] || { cat "$1"; fail "$3"; }
    sleep 0.1
  done
}

# Starts the effect with a preset and sets window to the X window that covers the screen.
start_effect() {  # preset
  "$effect" "$1" >"$session_dir/effect.log" 2>&1 &
  effect_pid=$!
  track_pid "$effect_pid"
  window=""
  for _ in $(seq 200); do
    window=$(xwininfo -root -children | grep -v "$desktop_window" | grep ' 1024x768+0+0 ' |
      awk '{print $1}' | head -n1 || true)
    [ -n "$window" ] && return
    kill -0 "$effect_pid" 2>/dev/null || { cat "$session_dir/effect.log"; fail "the effect ended early"; }
    sleep 0.05
  done
  fail "no window covers the screen"
}

expect_effect_end() {  # what ended it
  local status=0
  wait "$effect_pid" || status=$?
  grep -q "^ended" "$session_dir/effect.log" && [ "$status" -eq 0 ] ||
    { cat "$session_dir/effect.log"; fail "$1 did not end the effect (status $status)"; }
}

# Another program's window fills the screen with tiles.
"$tiles" 0 0 1024 768 >"$session_dir/tiles.log" 2>&1 &
track_pid $!
wait_for_line "$session_dir/tiles.log" "^mapped" "the tiles did not appear"
desktop_window=$(sed -n 's/^mapped //p' "$session_dir/tiles.log")
import -window root "$session_dir/before.png"

# Preset 17 moves one pixel per pass, so a screenshot taken while it runs is still the first
# frame but for a few pixels; a black or grey frame, or the screen without the tiles, differs
# nearly everywhere.
start_effect 17
import -window root "$session_dir/first.png"
first=$(differing "$session_dir/before.png" "$session_dir/first.png" 1024x768+0+0)
echo "first frame: $first per thousand of the pixels differ from the screen before"
[ "$first" -le 5 ] || fail "the first frame is not the screen as it was"

# xwininfo lists the root's children from the top of the stack down.
top=$(xwininfo -root -children | grep ' 1024x768+0+0 ' | awk '{print $1}' | head -n1)
[ "$top" = "$window" ] || fail "the effect window is not above the other program's window"
xwininfo -id "$window" | grep -q "Border width: 0" || fail "the effect window has a border"
xwininfo -id "$window" | grep -q "Map State: IsViewable" || fail "the effect window is not shown"
xwininfo -id "$window" | grep -q "Override Redirect State: yes" ||
  fail "the effect window is left to a window manager"
# The keyboard is the effect's wherever the focus is: here the other program's window has it.
xdotool windowfocus --sync "$desktop_window"
# Through the keyboard (XTEST), as a user types: the window is gone before the key comes up.
xdotool key a
expect_effect_end "a key"

# Let it smear, cover a part with another program's window and take that away again. The window
# paints the frozen desktop there, so that area differs from the screen before far less than an
# area the blocks kept smearing. Preset 16 (12 x 1 blocks) smears at a steady pace, so the blocks
# copied while the screenshot is taken change the repainted area only a little.
start_effect 16
# The blocks smear as fast as the machine lets the program run: on a loaded machine three seconds
# may smear little, so the test waits (up to thirty seconds) until an area that is never covered
# has smeared, instead of a fixed time.
smeared_enough() {
  import -window root "$session_dir/smearing.png" &&
    [ "$(differing "$session_dir/before.png" "$session_dir/smearing.png" 256x192+0+0)" -ge 50 ]
}
for _ in $(seq 60); do
  smeared_enough && break
  sleep 0.5
done
"$tiles" 256 192 512 384 0xFF00FF >"$session_dir/cover.log" 2>&1 &
cover_pid=$!
track_pid "$cover_pid"
wait_for_line "$session_dir/cover.log" "^mapped" "the cover did not appear"
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null || true
import -window root "$session_dir/uncovered.png"
repainted=$(differing "$session_dir/before.png" "$session_dir/uncovered.png" 512x384+256+192)
smeared=$(differing "$session_dir/before.png" "$session_dir/uncovered.png" 256x192+0+0)
echo "differing per thousand: uncovered area $repainted, an area never covered $smeared"
[ "$smeared" -ge 50 ] || fail "the effect did not smear the screen ($smeared per thousand)"
[ $((repainted * 2)) -lt "$smeared" ] || fail "the uncovered area does not show the frozen desktop again"
xdotool mousemove 500 400 click 1
expect_effect_end "a click"
echo "PASS"
