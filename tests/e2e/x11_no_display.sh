# A program that finds no X server at $DISPLAY (and is not told to run headless) says so with the
# display's name and ends with status 1; so does corvane with no DISPLAY at all or an unknown
# CORVANE_DRIVER, before it touches the volume (a flush made to block 3 s each would show). Every
# line begins with the program's name, and none leads the user to the in-memory test screen.
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
grep -q "^e2e_x11_window: cannot open display" "$err" || { echo "FAIL: no \"cannot open display\"" >&2; exit 1; }
grep -q ":12345" "$err" || { echo "FAIL: the display name is missing" >&2; exit 1; }

corvane="${1:?bin dir}/corvane"
[ -x "$corvane" ] || { echo "FAIL: $corvane is not built" >&2; exit 1; }
# Refused at once, with status 1 and the expected words, before the first flush would end.
expect_refusal() {
  local words=$1
  shift
  local started=$SECONDS status=0
  env "$@" CORVANE_DRIVES=/nonexistent CORVANE_TEST_FLUSH_DELAY_MS=3000 timeout 20 "$corvane" C: \
    >/dev/null 2>"$err" || status=$?
  cat "$err"
  [ "$status" -eq 1 ] || { echo "FAIL: $* gave status $status, expected 1" >&2; exit 1; }
  grep -q "^corvane: $words" "$err" || { echo "FAIL: $* did not say \"corvane: $words\"" >&2; exit 1; }
  ! grep -qi "headless" "$err" || [[ "$words" == unknown* ]] ||
    { echo "FAIL: $* points at the test screen" >&2; exit 1; }
  [ $((SECONDS - started)) -lt 3 ] || { echo "FAIL: $* flushed before it gave up" >&2; exit 1; }
}
expect_refusal "cannot open display" -u DISPLAY -u CORVANE_DRIVER
expect_refusal "cannot open display" -u CORVANE_DRIVER DISPLAY=
expect_refusal "cannot open display :12345" -u CORVANE_DRIVER DISPLAY=:12345
expect_refusal 'unknown window driver "wayland"' DISPLAY=:12345 CORVANE_DRIVER=wayland
echo "PASS"
