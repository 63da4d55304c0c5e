# Sourced after xvfb_session.bash by the scripts that run the real program as a user does; it
# fails the script at once if the program or the X tools it needs are missing.
#
#   corvane=/path/to/corvane       # set before sourcing
#   corvane_runner=(setpriv ...)   # optional: words put before the program, e.g. to change user
#   start_corvane C: [NAME=VALUE...]   # starts the program with those settings in its
#                                  # environment and waits for its window: sets app and window
#   corvane_result E:              # sets result_text to what the result window shows and
#                                  # result_status to the status the program ended with
#   corvane_look=(CMD ARGS...)     # optional: run with the window's id added, once the pointer
#                                  # rests in Text1 and before the text is copied
#   needs TOOL...                  # fails the script if a tool is missing
#   built_with_sanitizers          # true for a program built with the address sanitizer, whose
#                                  # own files and address space no tight limit leaves room for
#
# The result window's text is read as a user would copy it (Ctrl+A, Ctrl+C in Text1, the focused
# box) and the window is closed with Alt+O; the program must then end within a second, with
# status 0 if the text is the system's word for success and 1 for any other text.

needs() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
  done
}
built_with_sanitizers() { grep -qa __asan_init "$corvane"; }

[ -x "${corvane:?}" ] || fail "$corvane is not built"
needs xdotool xclip

corvane_title="Corvane v.1.00.0000"
corvane_runner=()
corvane_look=()
result_text=""
result_status=""
app=""
window=""

start_corvane() {
  local argument=$1
  shift
  env "$@" "${corvane_runner[@]}" "$corvane" "$argument" >"$session_dir/corvane.log" 2>&1 &
  app=$!
  track_pid "$app"
  window=$(timeout 20 xdotool search --sync --name "^${corvane_title}\$" | head -n 1) ||
    { cat "$session_dir/corvane.log"; fail "no window titled \"$corvane_title\""; }
}

corvane_result() {
  local app window
  start_corvane "$1"
  [ "$(xdotool getwindowname "$window")" = "$corvane_title" ] || fail "the title is not \"$corvane_title\""
  # With no window manager the keys go to the window under the pointer; Text1 has the focus.
  sleep 0.3
  timeout 5 xdotool mousemove --sync --window "$window" 20 20
  [ ${#corvane_look[@]} -eq 0 ] || "${corvane_look[@]}" "$window"
  timeout 5 xdotool key ctrl+a ctrl+c
  sleep 0.3
  result_text=$(timeout 10 xclip -o -selection clipboard) || fail "nothing on the clipboard"
  echo "corvane ${1:0:80}: $result_text"
  timeout 5 xdotool key alt+o
  result_status=$(expected_status "$result_text")
  expect_end "$app" "Alt+O" 1 "$result_status"
}
