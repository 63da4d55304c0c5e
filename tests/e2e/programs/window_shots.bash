# Sourced after xvfb_session.bash by scripts/crosscheck-windows: finds the program's windows
# (ours or corvane.exe under Wine: the same searches serve both) and photographs a window's client
# area once it has settled, polling instead of sleeping.
#
#   program_window size WxH | title TEXT   # a visible window of the program, by size or title
#   await_window size WxH | title TEXT     # the same, polled for up to ten seconds; fails after
#   shoot WINDOW OUT.png [CHECK ARGS...]   # the window's pixels once two shots in a row agree,
#                                          # show more than two colours (a window not drawn yet
#                                          # is one) and CHECK (run on the shot) holds
#   shows_colours [WxH+X+Y] SHOT           # more than two colours in the shot (or that area)
#   caret_off WxH+X+Y SHOT                 # no caret (the background inverted) in that area

program_window() {
  local how=$1 wanted=$2 id
  for id in $(xdotool search --onlyvisible --class '^corvane(\.exe)?$' 2>/dev/null); do
    case $how in
      size) [[ $(geometry_of "$id") == "$wanted+"* ]] && echo "$id" && return 0 ;;
      title) [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$wanted" ] && echo "$id" && return 0 ;;
    esac
  done
  return 1
}

await_window() {
  local id
  for _ in $(seq 200); do
    id=$(program_window "$@") && echo "$id" && return 0
    sleep 0.05
  done
  fail "no window of the program with the $1 $2"
}

shoot() {
  local window=$1 out=$2 previous="$session_dir/previous.ppm" shot="$session_dir/shot.ppm"
  shift 2
  rm -f "$previous"
  for _ in $(seq 100); do
    import -window "$window" "ppm:$shot" 2>/dev/null || fail "the window $window cannot be photographed"
    if [ -f "$previous" ] && cmp -s "$shot" "$previous" && shows_colours "$shot" &&
      { [ $# -eq 0 ] || "$@" "$shot"; }; then
      convert "$shot" "$out"
      return 0
    fi
    mv "$shot" "$previous"
    sleep 0.05
  done
  convert "$previous" "${out%.png}-unsettled.png"
  fail "the window $window did not settle for $out"
}

shows_colours() {
  local crop=()
  [ $# -eq 2 ] && crop=(-crop "$1" +repage) && shift
  [ "$(convert "$1" "${crop[@]}" -format %k info:)" -gt 2 ]
}

caret_off() {  # (grep reads to the end: a pipe it left early would fail the pipeline)
  ! convert "$2" -crop "$1" +repage -depth 8 txt:- | grep -i '#3F3F3F' >/dev/null
}
