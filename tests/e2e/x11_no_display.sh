# A program that finds no X server at $DISPLAY (and is not told to run headless) says so with the
# display's name and ends with status 1.
# Run by CTest as: bash x11_no_display.sh BIN_DIR TEST_BIN_DIR
set -uo pipefail
program="${2:?test bin dir}/e2e_x11_window"
[ -x "$program" ] || { echo "FAIL: $program is not built" >&2; exit 1; }

err="$(mktemp)"
trap 'rm -f "$err"' EXIT
status=0
env -u CORVANE_DRIVER DISPLAY=:12345 timeout 20 "$program" "no display" 2 >/dev/null 2>"$err" ||
  status=$?
cat "$err"
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, expected 1" >&2; exit 1; }
grep -q "cannot open display" "$err" || { echo "FAIL: no \"cannot open display\"" >&2; exit 1; }
grep -q ":12345" "$err" || { echo "FAIL: the display name is missing" >&2; exit 1; }
echo "PASS"
