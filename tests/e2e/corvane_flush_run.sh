# The whole program under a real X server with real X clients: `corvane C:` shows the result
# window titled with its version, Ctrl+A and Ctrl+C in it put the result text on the clipboard
# for any other program, and Alt+O ends the process with status 0 within a second.
# Run by CTest as: bash corvane_flush_run.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$corvane" ] || fail "$corvane is not built"
for tool in xdotool xclip; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

start_xvfb
# C: needs no drive table: without an entry it is the root file system.
export CORVANE_DRIVES="$session_dir/no-drive-table"
"$corvane" C: >"$session_dir/corvane.log" 2>&1 &
app=$!
track_pid "$app"

title="Corvane v.1.00.0000"
window=$(timeout 20 xdotool search --sync --name "^${title}\$" | head -n 1) ||
  { cat "$session_dir/corvane.log"; fail "no window titled \"$title\""; }
[ "$(xdotool getwindowname "$window")" = "$title" ] || fail "the title is not \"$title\""

# With no window manager the keys go to the window under the pointer; Text1 has the focus.
sleep 0.3
timeout 5 xdotool mousemove --sync --window "$window" 20 20
timeout 5 xdotool key ctrl+a ctrl+c
sleep 0.3
text=$(timeout 10 xclip -o -selection clipboard) || fail "nothing on the clipboard"
case "$text" in
  "The operation completed successfully."*|"Access is denied."*|"Error: "*) ;;
  *) fail "unexpected result text: $text" ;;
esac
echo "result text: $text"

timeout 5 xdotool key alt+o
for _ in $(seq 10); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program was still running a second after Alt+O"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS"
