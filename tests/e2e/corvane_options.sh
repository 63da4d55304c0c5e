# The installed program's options as a user types them: --help and -h print the usage and
# --version "corvane 1.00.0000" on standard output and end with 0, without a display (so no
# window can ever have been made) and with one, where no window appears; --bogus and -x are
# refused on standard error with status 2.
# Run by CTest as: bash corvane_options.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
bin_dir="${1:?bin dir}"
source "$(dirname "$0")/programs/xvfb_session.bash"
command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/setup installs it)"
install_build "$(dirname "$bin_dir")"
corvane="$prefix/bin/corvane"
out="$session_dir/out" err="$session_dir/err"

# Runs corvane with the arguments; sets status, leaves its output in $out and $err.
run() {
  status=0
  timeout 10 "$corvane" "$@" >"$out" 2>"$err" || status=$?
}

start_xvfb
for display in "" "$DISPLAY"; do
  for option in --help -h; do
    DISPLAY="$display" run "$option"
    [ "$status" -eq 0 ] || fail "$option with DISPLAY='$display' ended with $status: $(cat "$err")"
    head -n 2 "$out" | grep -qx "  or:  corvane /PATH" || fail "$option printed no synopsis: $(cat "$out")"
    grep -q "^Exit status: 0" "$out" && grep -q "corvane(1)" "$out" || fail "$option: $(cat "$out")"
    [ ! -s "$err" ] || fail "$option wrote to standard error: $(cat "$err")"
  done
  DISPLAY="$display" run --version
  [ "$status" -eq 0 ] && [ "$(cat "$out")" = "corvane 1.00.0000" ] && [ ! -s "$err" ] ||
    fail "--version with DISPLAY='$display': status $status, printed $(cat "$out") $(cat "$err")"
done
! xdotool search --name "Corvane" >/dev/null 2>&1 || fail "an option left a window behind"

for option in --bogus -x --; do
  run "$option" E:
  [ "$status" -eq 2 ] || fail "$option ended with $status"
  [ ! -s "$out" ] || fail "$option wrote to standard output: $(cat "$out")"
  [ "$(cat "$err")" = "corvane: unrecognised option '$option'
Try 'corvane --help' for more information." ] || fail "$option said: $(cat "$err")"
done
echo "PASS"
