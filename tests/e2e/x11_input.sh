# Mouse and keyboard through a real X server: xdotool clicks into the child of a test window and
# types a key, Alt+letter, a letter missing from the US layout and Ctrl+letter; the program
# checks the Win32 messages they became. The window's Windows-1252 title must reach the window
# manager's properties as UTF-8 and Latin-1, its class icon as _NET_WM_ICON, and an owned
# window must be transient for its owner.
# Run by CTest as: bash x11_input.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
program="${2:?test bin dir}/e2e_x11_window"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$program" ] || fail "$program is not built"
command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/setup installs it)"

start_xvfb
search="Corvane input $$"
title="$search caf"$'\xe9'  # e acute in Windows-1252
log="$session_dir/program.log"
timeout 40 "$program" "$title" 25 >"$log" 2>&1 &
program_pid=$!
track_pid "$program_pid"

window=$(timeout 15 xdotool search --sync --onlyvisible --name "^${search} " | head -n1) ||
  { cat "$log"; fail "the window \"$search\" did not appear"; }
echo "window $window"

if command -v xprop >/dev/null; then
  names=$(LC_ALL=C.UTF-8 timeout 5 xprop -id "$window" -notype _NET_WM_NAME WM_NAME)
  want_utf8="_NET_WM_NAME = \"$search caf"$'\xc3\xa9'"\""
  want_latin1="WM_NAME = \"$search caf"$'\xc3\xa9'"\""
  grep -qxF "$want_utf8" <<<"$names" || fail "title properties: $names"
  grep -qxF "$want_latin1" <<<"$names" || fail "title properties: $names"

  # The class icon as _NET_WM_ICON: width, height, then one ARGB value per pixel.
  icon=$(timeout 5 xprop -id "$window" -f _NET_WM_ICON 32c ' = $0+\n' _NET_WM_ICON)
  read -r -a values <<<"$(sed -e 's/^[^=]*= *//' -e 's/,/ /g' <<<"$icon")"
  [ "${#values[@]}" -ge 3 ] || fail "no icon: $icon"
  [ "${#values[@]}" -eq $((2 + values[0] * values[1])) ] ||
    fail "_NET_WM_ICON has ${#values[@]} values for a ${values[0]}x${values[1]} icon"
  for v in "${values[@]}"; do
    [ "$v" -le 4294967295 ] || fail "_NET_WM_ICON value $v is not 32 bits"
  done

  owned=$(timeout 10 xdotool search --sync --name "^${search} .* owned\$" | head -n1) ||
    fail "the owned window did not appear"
  transient=$(timeout 5 xprop -id "$owned" WM_TRANSIENT_FOR)
  [ "$(printf '%d' "${transient##* }")" -eq "$window" ] ||
    fail "the owned window is not transient for its owner: $transient"
fi

# The child sits at (40, 30) of the client area; the click lands at (25, 15) inside it.
timeout 5 xdotool mousemove --sync --window "$window" 65 45
sleep 0.2
timeout 5 xdotool click 1
sleep 0.2
timeout 5 xdotool key k
sleep 0.2
timeout 5 xdotool key alt+x
sleep 0.2
# Not on a US keyboard: xdotool lends it a spare keycode.
timeout 5 xdotool key eacute
sleep 0.2
timeout 5 xdotool key ctrl+b

status=0
wait "$program_pid" || status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "the program saw the wrong messages (status $status)"
echo "PASS"
