# A clipboard text too long for one piece (9 MB; a piece is at most 4 MB on Xvfb) still pastes
# whole and in order: it goes to the reader in INCR pieces. The other way round, the program
# reads a text as long from xclip.
# Run by CTest as: bash x11_clipboard_large.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
program="${2:?test bin dir}/e2e_clipboard"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$program" ] || fail "$program is not built"
command -v xclip >/dev/null || fail "xclip is not installed (scripts/setup installs it)"

lines=1000000
start_xvfb
log="$session_dir/program.log"
timeout 60 "$program" --large "$lines" 50 >"$log" 2>&1 &
program_pid=$!
track_pid "$program_pid"

tries=0
until grep -q serving "$log"; do
  tries=$((tries + 1))
  [ "$tries" -le 300 ] || { cat "$log"; fail "the program did not start serving"; }
  sleep 0.1
done

seq -f '%08.0f' 0 $((lines - 1)) >"$session_dir/want"
timeout 40 xclip -o -selection clipboard -t UTF8_STRING >"$session_dir/got" ||
  fail "xclip could not read the text"
cmp "$session_dir/want" "$session_dir/got" ||
  fail "the text differs: $(wc -c <"$session_dir/got") bytes read of $(wc -c <"$session_dir/want")"

{ cat "$session_dir/want"; echo end; } | timeout 50 xclip -quiet -i -selection clipboard >/dev/null 2>&1 &
track_pid $!
status=0
wait "$program_pid" || status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "the program did not read the long text back (status $status)"
echo "PASS"
