# The X selections of `corvane C:`: text selected in the result window's text box is the PRIMARY
# selection (Ctrl+A the whole text, a click gives it up, a double click a word), served as
# UTF8_STRING, STRING and TARGETS; text copied with Ctrl+C is handed to the clipboard manager when
# the program ends, so it still pastes afterwards; a manager that never answers delays the end by
# a bounded wait only.
# Run by CTest as: bash x11_selections.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
manager="${2:?test bin dir}/e2e_clipboard_manager"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
[ -x "$manager" ] || fail "$manager is not built"

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"

start_manager() {  # options
  "$manager" "$@" >"$session_dir/manager.log" 2>&1 &
  manager_pid=$!
  track_pid "$manager_pid"
  eventually grep -q "^ready" "$session_dir/manager.log" ||
    { cat "$session_dir/manager.log"; fail "the clipboard manager did not start"; }
}

start_run() {
  start_corvane C:
  sleep 0.3
  # With no window manager the keys go to the window under the pointer; Text1 has the focus.
  timeout 5 xdotool mousemove --sync --window "$window" 20 20
}

primary() { timeout 5 xclip -o -selection primary -target "${1:-UTF8_STRING}" 2>/dev/null; }

start_manager
start_run
primary >/dev/null && fail "PRIMARY is offered before anything is selected"
timeout 5 xdotool key ctrl+a
eventually primary >/dev/null || fail "Ctrl+A offered no PRIMARY selection"
text=$(primary)
[ -n "$text" ] || fail "the PRIMARY selection is empty"
[ "$(primary STRING)" = "$text" ] || fail "PRIMARY as STRING differs: $(primary STRING)"
primary TARGETS | grep -qx UTF8_STRING || fail "PRIMARY's TARGETS lack UTF8_STRING"
echo "Ctrl+A: PRIMARY is \"$text\" (UTF8_STRING and STRING)"

# The text box is 4 pixels in from the window's corner; a click collapses the selection.
timeout 5 xdotool mousemove --sync --window "$window" 40 10 click 1
eventually bash -c '! xclip -o -selection primary >/dev/null 2>&1' ||
  fail "PRIMARY stays offered after the selection was cleared: $(primary)"
echo "a click: PRIMARY given up"
timeout 5 xdotool mousemove --sync --window "$window" 10 10 click --repeat 2 --delay 50 1
eventually primary >/dev/null || fail "a double click offered no PRIMARY selection"
word=$(primary)
[ "$word" = "${text%% *}" ] || fail "a double click offered \"$word\", not the first word of \"$text\""
echo "a double click: PRIMARY is \"$word\""

# Ctrl+C, then the program ends: the manager keeps the text, which pastes without the program.
timeout 5 xdotool key ctrl+a ctrl+c
sleep 0.3
[ "$(timeout 5 xclip -o -selection clipboard)" = "$text" ] || fail "Ctrl+C did not copy the text"
timeout 5 xdotool key alt+o
expect_end "$app" "Alt+O"
grep -q "^saved [1-9][0-9]* bytes" "$session_dir/manager.log" ||
  { cat "$session_dir/manager.log"; fail "the program did not hand its clipboard to the manager"; }
eventually bash -c "[ \"\$(timeout 5 xclip -o -selection clipboard 2>/dev/null)\" = \"$text\" ]" ||
  fail "the copied text is gone with the program"
echo "the copied text outlives the program: \"$(timeout 5 xclip -o -selection clipboard)\""

# A manager that never answers: the program still ends within the bounded wait. It takes over
# before the first one goes: the first is the server's last client by now, and a server whose last
# client leaves starts over, refusing whoever connects meanwhile.
first_manager=$manager_pid
start_manager --deaf
kill "$first_manager"
start_run
timeout 5 xdotool key ctrl+a ctrl+c
sleep 0.3
timeout 5 xdotool key alt+o
expect_end "$app" "Alt+O with a manager that never answers" 5
echo "PASS"
