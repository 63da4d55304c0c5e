# The clipboard between a Corvane program and another X client (xclip): Corvane's Windows-1252
# text with CR LF lines pastes as UTF-8 with LF lines (and as Latin-1 for STRING), and text put
# on the clipboard by xclip reads back in the program as Windows-1252 with CR LF lines.
# Run by CTest as: bash x11_clipboard.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
program="${2:?test bin dir}/e2e_clipboard"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$program" ] || fail "$program is not built"
command -v xclip >/dev/null || fail "xclip is not installed (scripts/setup installs it)"

start_xvfb
log="$session_dir/program.log"
timeout 40 "$program" 25 >"$log" 2>&1 &
program_pid=$!
track_pid "$program_pid"

tries=0
until grep -q serving "$log"; do
  kill -0 "$program_pid" 2>/dev/null || { cat "$log"; fail "the program ended early"; }
  tries=$((tries + 1))
  [ "$tries" -le 100 ] || { cat "$log"; fail "the program did not start serving"; }
  sleep 0.1
done

# Euro sign, e acute and curly quotes in UTF-8; CR LF became LF.
printf 'Corvane \xe2\x82\xac caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d\nsecond line' >"$session_dir/want-utf8"
timeout 10 xclip -o -selection clipboard -t UTF8_STRING >"$session_dir/got-utf8" ||
  fail "xclip could not read the UTF8_STRING target"
cmp "$session_dir/want-utf8" "$session_dir/got-utf8" ||
  { od -c "$session_dir/got-utf8"; fail "UTF8_STRING differs"; }

# Latin-1 has no euro sign and no curly quotes.
printf 'Corvane ? caf\xe9 ?quoted?\nsecond line' >"$session_dir/want-latin1"
timeout 10 xclip -o -selection clipboard -t STRING >"$session_dir/got-latin1" ||
  fail "xclip could not read the STRING target"
cmp "$session_dir/want-latin1" "$session_dir/got-latin1" ||
  { od -c "$session_dir/got-latin1"; fail "STRING differs"; }

targets=$(timeout 10 xclip -o -selection clipboard -t TARGETS) || fail "no TARGETS"
for t in TARGETS UTF8_STRING STRING; do
  grep -qx "$t" <<<"$targets" || fail "TARGETS lacks $t: $targets"
done

# Now xclip owns the clipboard: i with diaeresis, an en dash and LF lines.
printf 'from xclip: na\xc3\xafve \xe2\x80\x93 ok\nline two\n' |
  timeout 30 xclip -quiet -i -selection clipboard >/dev/null 2>&1 &
track_pid $!

status=0
wait "$program_pid" || status=$?
cat "$log"
[ "$status" -eq 0 ] || fail "the program did not read xclip's text (status $status)"
echo "PASS"
