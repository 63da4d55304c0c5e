# The real program with hardly any file descriptors. With four (the three standard ones and the X
# connection) the volume cannot be opened, and the result window must tell that (read through the
# clipboard); with five and six the flush succeeds. Each time the window is drawn whole: its text
# shows, and the buttons look exactly as in a run without a limit, captions included. With three
# or fewer the program cannot even be loaded: the system's loader says why, and no signal ends it.
# Pictures are kept when CORVANE_E2E_SHOTS names a folder.
# Run by CTest as: bash corvane_descriptors.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="$(cd "${1:?bin dir}" && pwd)/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
source "$(dirname "$0")/programs/window_shots.bash"
needs prlimit import
# The address sanitizer's and the undefined-behaviour checks' own files and pipes need descriptors
# that these limits do not leave.
if built_with_sanitizers; then
  echo "skipped with the sanitizers: they need descriptors of their own"
  exit 77
fi

start_xvfb
# c: is the root file system unless a table says otherwise: an empty table keeps it so.
export CORVANE_DRIVES="$session_dir/drives"
mkdir -p "$CORVANE_DRIVES"
success="The operation completed successfully."

# The result window's client area: Text1 inside its sunken edge, and the two buttons.
text_area=295x79+7+11
ok_button=61x25+176+96
info_button=61x25+244+96

# Photographs the result window with the caret hidden, as shot.png in the session folder.
photograph() { shoot "$1" "$session_dir/shot.png" caret_off "$text_area"; }

# The words before the program: only the standard descriptors stay open (whatever the test's own
# parent left open is closed), then the limit.
limited() {
  corvane_runner=(bash -c 'for fd in $(ls /proc/$$/fd); do [ "$fd" -le 2 ] || eval "exec $fd>&-"; done
    exec prlimit --nofile="$0" "$@"' "$1")
}

shot_shows() {  # AREA SHOT COLOUR (grep reads to the end: a pipe it left early would fail)
  convert "$2" -crop "$1" +repage -depth 8 txt:- | grep -i "$3" >/dev/null
}

same_area() {  # AREA A.png B.png
  cmp -s <(convert "$2" -crop "$1" +repage ppm:-) <(convert "$3" -crop "$1" +repage ppm:-)
}

keep() {
  [ -n "${CORVANE_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$CORVANE_E2E_SHOTS"
  cp "$session_dir/shot.png" "$CORVANE_E2E_SHOTS/$1"
}

corvane_look=(photograph)
corvane_result C:
[[ "$result_text" == "$success"* ]] || fail "without a limit the result is not success: $result_text"
cp "$session_dir/shot.png" "$session_dir/unlimited.png"
keep descriptors-unlimited.png

# The volume's open takes two descriptors at once (the entry, then the reopened volume) and the
# wait window's clip a connection of its own: with five or six the open fails or not by how the
# clip's thread and the flush fall in time, and either outcome must be shown whole.
for limit in 4 5 6; do
  limited "$limit"
  corvane_result C:
  keep "descriptors-$limit.png"
  case "$result_text" in
    "$success"*) reference="$session_dir/unlimited.png" ;;
    "Error: 4:"*"The system cannot open the file."*) reference="$session_dir/cannot-open.png" ;;
    *) fail "$limit descriptors: the result is neither success nor the open's failure: $result_text" ;;
  esac
  if [ "$limit" -eq 4 ]; then
    [ "$reference" = "$session_dir/cannot-open.png" ] || fail "4 descriptors: the volume was opened after all"
    # The text is drawn: black glyphs on the box's grey.
    shot_shows "$text_area" "$session_dir/shot.png" '#000000' || fail "4 descriptors: no text in the result window"
    cp "$session_dir/shot.png" "$reference"
  fi
  same_area "$text_area" "$session_dir/shot.png" "$reference" ||
    fail "$limit descriptors: the text is not drawn as in the run it matches"
  for button in "$ok_button" "$info_button"; do
    same_area "$button" "$session_dir/shot.png" "$session_dir/unlimited.png" ||
      fail "$limit descriptors: the button at $button is not drawn as without a limit"
  done
  echo "$limit descriptors: the outcome shown, text and captions drawn"
done

for limit in 3 2 1; do
  status=0
  limited "$limit"
  timeout 20 "${corvane_runner[@]}" "$corvane" C: >"$session_dir/low.log" 2>&1 || status=$?
  [ "$status" -eq 127 ] || fail "$limit descriptors: the run ended with status $status"
  grep -q "Error 24" "$session_dir/low.log" ||
    fail "$limit descriptors: no word of the missing descriptor: $(cat "$session_dir/low.log")"
  echo "$limit descriptors: $(head -n 1 "$session_dir/low.log") (status $status)"
done
echo "PASS"
