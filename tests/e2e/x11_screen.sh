# The screen as a program reads it on X: GetDC(NULL) sees a popup where it was put, and a popup
# moved over the whole screen covers it as one full-screen X window; closing it through the
# window manager protocol (WM_DELETE_WINDOW) reaches the program as WM_CLOSE. Once on a bare
# server and once under openbox, which must leave the full-screen window where the program put it.
# Run by CTest as: bash x11_screen.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
program="${2:?test bin dir}/e2e_x11_window"
closer="${2}/e2e_wm_close"
source "$(dirname "$0")/programs/window_manager_run.bash"
[ -x "$program" ] || fail "$program is not built"
[ -x "$closer" ] || fail "$closer is not built"
for tool in xdotool xwininfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

check_screen() {
start_xvfb
[ -z "$1" ] || start_window_manager "$1"
log="$session_dir/program.log"
timeout 40 "$program" --screen >"$log" 2>&1 &
program_pid=$!
track_pid "$program_pid"

tries=0
until grep -q "^screen " "$log"; do
  kill -0 "$program_pid" 2>/dev/null || { cat "$log"; fail "the program ended early"; }
  tries=$((tries + 1))
  [ "$tries" -le 150 ] || { cat "$log"; fail "the program did not reach the full-screen step"; }
  sleep 0.1
done

window=$(timeout 10 xdotool search --sync --onlyvisible --name "^Corvane screen test\$" | head -n1) ||
  fail "the popup did not appear"
geometry=$(timeout 5 xdotool getwindowgeometry --shell "$window")
grep -qx "X=0" <<<"$geometry" && grep -qx "Y=0" <<<"$geometry" &&
  grep -qx "WIDTH=1024" <<<"$geometry" && grep -qx "HEIGHT=768" <<<"$geometry" ||
  fail "the full-screen popup is not at 0,0 with the screen's size: $geometry"
xwininfo -id "$window" | grep -q "Override Redirect State: yes" ||
  fail "the full-screen popup is left to the window manager"

# What a window manager's close button sends.
timeout 5 "$closer" "$window" || fail "could not ask the window to close"

status=0
wait "$program_pid" || status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "the screen checks failed (status $status)"
echo "${1:-no window manager}: passed"
stop_xvfb
}

check_screen ""
check_screen openbox
echo "PASS"
