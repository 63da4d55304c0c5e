# Sourced by the scripts that drive corvane.exe under Wine (after xvfb_session.bash and
# wine_session.bash): start a run, find its result window, read its text through the clipboard,
# end it with Alt+O.
title="Corvane v.1.00.0000"
app=""
window=""
seen_wait=""

# start_run FOLDER ARGUMENT...: corvane.exe of that folder with the arguments, as Wine passes them.
start_run() {
  local folder=$1
  shift
  (cd "$folder" && exec wine corvane.exe "$@") >"$session_dir/corvane.log" 2>&1 &
  app=$!
  track_pid "$app"
  seen_wait=""
  window=""
  local w name
  for _ in $(seq 1200); do
    for w in $(xdotool search --onlyvisible --class 'corvane.exe' 2>/dev/null); do
      name=$(xdotool getwindowname "$w" 2>/dev/null || true)
      if [ -z "$name" ]; then
        seen_wait=1
      elif [ "$name" = "$title" ]; then
        window=$w
      fi
    done
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || { cat "$session_dir/corvane.log"; fail "no window titled \"$title\""; }
  sleep 1
}

# Text1 as Ctrl+A and Ctrl+C put it on the X clipboard.
result_text() {
  timeout 5 xdotool windowfocus --sync "$window"
  timeout 5 xdotool key --window "$window" ctrl+a ctrl+c
  sleep 0.5
  timeout 10 xclip -o -selection clipboard || fail "nothing on the clipboard"
}

# end_with_alt_o TEXT: Alt+O must end the process with the status that TEXT, the result the
# window showed, calls for; Wine takes longer than our own window system to end a process, so it
# has five seconds.
end_with_alt_o() {
  timeout 5 xdotool key --window "$window" alt+o
  expect_end "$app" "Alt+O" 5 "$(expected_status "$1")"
}
