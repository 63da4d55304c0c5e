# `corvane C:` on X screens of every kind Xvfb offers: 24-bit true colour, 16-bit (5-6-5),
# 8-bit PseudoColor through a colormap (the default at depth 8, and asked for with -cc 3), 8-bit
# GrayScale and StaticGray, and a DirectColor default, where the program draws on a true-colour
# visual of the screen. The result window must show its grey face and black text, as the
# window's own colours give them, never a black window; Alt+O ends each run with status 0.
# Run by CTest as: bash x11_visuals.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$corvane" ] || fail "$corvane is not built"
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

title="Corvane v.1.00.0000"

# "R G B" of a pixel of a picture.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/^0,0: (\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | cut -d. -f1 | tr -d ','
}

# Whether every channel of "R G B" is within 8 of the value (16 bits round C0 to C5 and C2).
near() {
  local r g b
  read -r r g b <<<"$1"
  for c in "$r" "$g" "$b"; do
    [ "$c" -ge $(($2 - 8)) ] && [ "$c" -le $(($2 + 8)) ] || return 1
  done
}

check_screen() {
  local name=$1
  shift
  start_xvfb "$@"
  export CORVANE_DRIVES="$session_dir/no-drive-table"
  "$corvane" C: >"$session_dir/corvane.log" 2>&1 &
  local app=$!
  track_pid "$app"
  local window
  window=$(timeout 20 xdotool search --sync --name "^${title}\$" | head -n 1) ||
    { cat "$session_dir/corvane.log"; fail "$name: no window titled \"$title\""; }
  sleep 0.5
  local picture="$session_dir/window.png"
  import -window "$window" "$picture" 2>/dev/null || fail "$name: no picture of the window"
  # A blank part of the text box, below the text: button face grey.
  local face
  face=$(pixel "$picture" 20 60)
  near "$face" 192 || fail "$name: the text box shows ($face), not the button face grey"
  # The text's first line: some pixels black.
  local ink
  ink=$(convert "$picture" -crop 290x14+6+10 +repage -depth 8 txt:- | grep -c -E "\((0|[0-7]),(0|[0-7]),(0|[0-7])\)" || true)
  [ "$ink" -ge 20 ] || fail "$name: no black text in the text box ($ink dark pixels)"
  # The Ok button's face (middle of its upper half) is light, not black.
  local ok
  ok=$(pixel "$picture" 190 100)
  read -r r g b <<<"$ok"
  [ $((r + g + b)) -ge 384 ] || fail "$name: the Ok button is dark ($ok)"
  timeout 5 xdotool mousemove --sync --window "$window" 20 20
  timeout 5 xdotool key alt+o
  for _ in $(seq 20); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  local status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || fail "$name: the program ended with status $status"
  echo "$name: face ($face), $ink text pixels, Ok ($ok)"
  stop_xvfb
}

check_screen "24-bit TrueColor" 1024x768x24
check_screen "16-bit TrueColor" 1024x768x16
check_screen "8-bit default" 1024x768x8
check_screen "8-bit PseudoColor" 1024x768x8 -cc 3
check_screen "8-bit GrayScale" 1024x768x8 -cc 1
check_screen "8-bit StaticGray" 1024x768x8 -cc 0
check_screen "DirectColor default" 1024x768x24 -cc 5
echo "PASS"
