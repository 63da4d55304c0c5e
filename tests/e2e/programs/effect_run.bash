# Sourced by the scripts that try the screen scramble on Xvfb; those under a window manager run it
# with a panel (xfce4-panel, on a session bus of its own), the desktop in the back filled with
# another program's tiles:
#
#   source effect_run.bash
#   differing A.png B.png [WxH+X+Y]   # parts per thousand of the area's pixels (the screen's)
#                                     # that differ between two screenshots
#   run_effect_under_window_manager openbox BIN_DIR TEST_BIN_DIR
#
# First the effect on its own with preset 17 (one pixel a pass, so a screenshot taken while it
# runs is still its first frame but for a few pixels): that frame differs from the screen before
# it in fewer than 1 % of the pixels. Then the signature of the About window in `corvane C:`: the
# effect's window has the screen's geometry and lies above the panel; no more than 1 % of the
# pixels are its own grey where the screen was not grey before, at once and a second later; the
# frame a second later differs from the first; a key ends it, the About window closes with it and
# the result window is where it was; a second run ends with a click, and Alt+O ends the program.

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.bash"

screen_geometry="1024x768+0+0"
effect_grey="#C0C0C0"  # the effect window's background, COLOR_BTNFACE

start_session_bus() {
  command -v dbus-daemon >/dev/null || fail "dbus-daemon is not installed (scripts/setup installs it)"
  mkdir -p "$session_dir/home/.config"
  export HOME="$session_dir/home" XDG_CONFIG_HOME="$session_dir/home/.config"
  DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
    3>"$session_dir/bus.pid" | head -n1) || fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS
  track_pid "$(cat "$session_dir/bus.pid")"
}

# Starts the panel and sets panel to its visible window, as wide as the screen. The panel is one
# bar along the top whose plugins run inside it and show no clock: the desktop must stand still
# while the effect's first frame is compared with it, and the default panel adds a dock that slides
# away under windows and plugins whose processes come up seconds later on a busy machine.
start_panel() {
  command -v xfce4-panel >/dev/null || fail "xfce4-panel is not installed (scripts/setup installs it)"
  local settings="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
  mkdir -p "$settings"
  cat >"$settings/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
        <value type="int" value="3"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="applicationsmenu"/>
    <property name="plugin-2" type="string" value="tasklist"/>
    <property name="plugin-3" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
    </property>
  </property>
</channel>
XML
  xfce4-panel >"$session_dir/panel.log" 2>&1 &
  track_pid $!
  panel=""
  for _ in $(seq 200); do
    for w in $(xdotool search --onlyvisible --class xfce4-panel 2>/dev/null); do
      [ "$(geometry_of "$w" | cut -d+ -f1 | cut -dx -f1)" = 1024 ] && panel=$w && break 2
    done
    sleep 0.1
  done
  [ -n "$panel" ] || { cat "$session_dir/panel.log"; fail "the panel did not appear"; }
  echo "panel: $(geometry_of "$panel")"
}

# The window among the root's children that holds a window (itself, or the manager's frame).
root_child_of() {
  local w=$1 parent
  for _ in $(seq 10); do
    parent=$(xwininfo -id "$w" -children | awk '/Parent window id:/ {print $4}')
    [ "$((parent))" = "$(($(xwininfo -root | awk '/Window id:/ {print $4}')))" ] && hex "$w" && return
    w=$parent
  done
  return 1
}

# The viewable children of the root, from the top of the stack down, in hexadecimal.
viewable_stack() {
  local w
  for w in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    if xwininfo -id "$w" 2>/dev/null | grep -q "Map State: IsViewable"; then echo "$w"; fi
  done
}

hex() { printf '0x%x\n' "$(($1))"; }

differing() {
  local area=${3:-$screen_geometry} count size
  convert "$1" -crop "$area" +repage "$session_dir/crop-a.png"
  convert "$2" -crop "$area" +repage "$session_dir/crop-b.png"
  count=$(compare -metric AE "$session_dir/crop-a.png" "$session_dir/crop-b.png" null: 2>&1 |
    cut -d' ' -f1 || true)
  size=${area%%+*}
  echo $((count * 1000 / (${size%x*} * ${size#*x})))
}

# Parts per thousand of the screen's pixels by which a frame has more of the effect window's grey
# than the screen before: the blocks carry grey about (the program's windows are grey), but only
# the window's own background adds to it.
more_grey() {  # before frame
  grey_of() { convert "$1" -alpha off -fill black +opaque "$effect_grey" -fill white -opaque "$effect_grey" \
    -format "%[fx:round(mean*w*h)]" info:; }
  local before frame
  before=$(grey_of "$1")
  frame=$(grey_of "$2")
  echo $(((frame - before) * 1000 / (1024 * 768)))
}

# The screen once it has kept still for two seconds, but for fewer than one pixel in a thousand (a
# manager's clock ticks the seconds): the panel draws itself a while after it appears, later still
# on a busy machine.
settled_screenshot() {  # file
  local still=0
  import -window root "$1"
  for _ in $(seq 60); do
    sleep 0.5
    import -window root "$session_dir/settling.png"
    if [ "$(differing "$1" "$session_dir/settling.png")" = 0 ]; then
      still=$((still + 1))
    else
      still=0
    fi
    mv "$session_dir/settling.png" "$1"
    [ "$still" -lt 4 ] || return 0
  done
  fail "the screen never stopped changing"
}

# Thirty seconds: under a loaded machine (a build beside the tests) the manager may take long to
# let go of the window before it can cover the screen.
effect_window_of() {  # pid
  for _ in $(seq 300); do
    window_at "$screen_geometry" --pid "$1" && return
    sleep 0.1
  done
  return 1
}

# The effect window: override-redirect with the screen's geometry, over everything, the panel too.
check_effect_window() {  # window what
  local info
  info=$(xwininfo -id "$1")
  [ "$(geometry_of "$1")" = "$screen_geometry" ] || fail "$2: the effect is at $(geometry_of "$1")"
  grep -q "Map State: IsViewable" <<<"$info" || fail "$2: the effect window is not shown"
  grep -q "Override Redirect State: yes" <<<"$info" || fail "$2: the effect window is managed"
  local holder stack
  holder=$(root_child_of "$panel") || fail "$2: the panel $panel is not on the screen"
  stack=$(viewable_stack)
  grep -qx "$(hex "$holder")" <<<"$stack" || fail "$2: the panel is not shown"
  [ "$(head -n1 <<<"$stack")" = "$(hex "$1")" ] ||
    { xwininfo -root -children; fail "$2: $(head -n1 <<<"$stack") is above the effect $(hex "$1")"; }
  echo "$2: the effect covers the screen ($screen_geometry), above the panel and every window"
}

first_frame_of_effect_alone() {
  local test_bin=$1
  settled_screenshot "$session_dir/desktop.png"
  "$test_bin/e2e_effect" 17 >"$session_dir/effect.log" 2>&1 &
  local pid=$!
  track_pid "$pid"
  local effect
  effect=$(effect_window_of "$pid") ||
    { cat "$session_dir/effect.log"; xwininfo -root -tree | grep -v "has no name" | grep -E "1024x768|Corvane|corvane|e2e" || true; fail "no effect window"; }
  import -window root "$session_dir/alone-first.png"
  check_effect_window "$effect" "the effect alone"
  sleep 1
  import -window root "$session_dir/alone-later.png"
  local first grey moved grey_later
  first=$(differing "$session_dir/desktop.png" "$session_dir/alone-first.png")
  grey=$(more_grey "$session_dir/desktop.png" "$session_dir/alone-first.png")
  # The desktop here has none of the window's grey, so any grey is the window's own.
  grey_later=$(more_grey "$session_dir/desktop.png" "$session_dir/alone-later.png")
  moved=$(compare -metric AE "$session_dir/alone-first.png" "$session_dir/alone-later.png" null: 2>&1 | cut -d' ' -f1 || true)
  echo "the effect alone: its first frame differs from the screen before in $first per thousand, $grey per thousand more of its grey; a second later $grey_later, $moved pixels moved"
  [ "$grey_later" -lt 10 ] || fail "a second later the effect shows its window's grey ($grey_later per thousand)"
  [ "$moved" -gt 0 ] || fail "no block moved in a second"
  if [ -n "${CORVANE_E2E_SHOTS:-}" ]; then
    mkdir -p "$CORVANE_E2E_SHOTS"
    cp "$session_dir/desktop.png" "$CORVANE_E2E_SHOTS/effect-$manager-before.png"
    cp "$session_dir/alone-first.png" "$CORVANE_E2E_SHOTS/effect-$manager-first.png"
  fi
  [ "$first" -lt 10 ] || fail "the first frame is not the screen as it was ($first per thousand differ)"
  [ "$grey" -lt 10 ] || fail "the first frame is the window's grey ($grey per thousand)"
  timeout 5 xdotool key Escape
  expect_end "$pid" "Escape"
}

# Opens the About window of the running program and clicks its signature; sets effect.
start_signature_effect() {  # pid result-window
  timeout 5 xdotool mousemove --sync --window "$2" 20 20
  timeout 5 xdotool key alt+i
  about=$(eventually window_at "409x212+156+110" --pid "$1") || fail "Alt+I showed no About window"
  sleep 0.5
  # The signature (352, 196 pixels into the About window, 40 x 13).
  timeout 5 xdotool mousemove --sync --window "$about" 372 202
  import -window root "$session_dir/before.png"
  timeout 5 xdotool click 1
  effect=$(effect_window_of "$1") || {
    xwininfo -root -tree | grep -v "has no name" | grep -E "1024x768|409x212|Corvane" || true
    fail "the signature showed no full-screen effect"
  }
}

run_effect_under_window_manager() {
  local manager=$1 corvane="$2/corvane" test_bin=$3
  [ -x "$corvane" ] || fail "$corvane is not built"
  [ -x "$test_bin/e2e_effect" ] || fail "$test_bin/e2e_effect is not built"
  for tool in xdotool xwininfo import compare convert; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
  done
  start_xvfb
  start_session_bus
  start_window_manager "$manager"
  start_panel
  "$test_bin/e2e_x11_tiles" 0 0 1024 768 >"$session_dir/tiles.log" 2>&1 &
  track_pid $!
  eventually grep -q "^mapped" "$session_dir/tiles.log" || fail "the tiles did not appear"
  sleep 0.5
  first_frame_of_effect_alone "$test_bin"

  export CORVANE_DRIVES="$session_dir/no-drive-table"
  "$corvane" C: >"$session_dir/corvane.log" 2>&1 &
  local app=$!
  track_pid "$app"
  local result result_geometry
  result=$(eventually window_at "312x124+$((512 - 156))+$((384 - 62))" --pid "$app") ||
    result=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app" | head -n1) ||
    { cat "$session_dir/corvane.log"; fail "no result window"; }
  sleep 0.5
  result_geometry=$(geometry_of "$result")

  start_signature_effect "$app" "$result"
  import -window root "$session_dir/first.png"
  check_effect_window "$effect" "the signature"
  sleep 1
  import -window root "$session_dir/later.png"
  local grey_first grey_later moved
  grey_first=$(more_grey "$session_dir/before.png" "$session_dir/first.png")
  grey_later=$(more_grey "$session_dir/before.png" "$session_dir/later.png")
  moved=$(compare -metric AE "$session_dir/first.png" "$session_dir/later.png" null: 2>&1 | cut -d' ' -f1 || true)
  echo "the signature: $grey_first per thousand more grey at once, $grey_later a second later; $moved pixels moved in that second"
  # The blocks smear the program's grey windows over the tiles a little.
  [ "$grey_first" -le 10 ] && [ "$grey_later" -le 30 ] || fail "the effect shows its window's grey"
  [ "$moved" -gt 0 ] || fail "no block moved in a second"
  if [ -n "${CORVANE_E2E_SHOTS:-}" ]; then
    mkdir -p "$CORVANE_E2E_SHOTS"
    cp "$session_dir/later.png" "$CORVANE_E2E_SHOTS/effect-$manager.png"
  fi

  timeout 5 xdotool key q
  eventually window_gone "$effect" || fail "a key did not end the effect"
  eventually window_gone "$about" || fail "the About window stayed after the effect"
  [ "$(geometry_of "$result")" = "$result_geometry" ] && xwininfo -id "$result" | grep -q IsViewable ||
    fail "the result window is not as it was: $(geometry_of "$result"), was $result_geometry"
  echo "a key ended the effect; the About window closed, the result window is at $result_geometry"

  start_signature_effect "$app" "$result"
  timeout 5 xdotool click 1
  eventually window_gone "$effect" || fail "a click did not end the effect"
  eventually window_gone "$about" || fail "the About window stayed after the effect"
  echo "a click ended the effect"

  timeout 5 xdotool mousemove --sync --window "$result" 20 20
  timeout 5 xdotool key alt+o
  expect_end "$app" "Alt+O"
  echo "PASS"
}

window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"; }
