# The Windows program under Wine on a private X server, driven as a user drives it: `corvane.exe
# C:` shows the wait window, then the result window titled with its version, holding the system's
# text and the two buttons; the pointer over Ok turns its rings orange, Tab gives it blue focus
# rings; Ctrl+A and Ctrl+C put the text on the X clipboard; Alt+I opens the About window where it
# opens on Linux and Alt+F4 closes it; Alt+O ends the run with status 0 if the text was the
# system's word for success, else 1. Screenshots of the
# result and About windows are left as corvane-result.png and corvane-about.png in the output
# folder.
#   bash corvane_flush_run.sh BUILD_WINDOWS_DIR [OUTPUT_DIR]
set -euo pipefail
build="$(cd "${1:?windows build folder}" && pwd)"
out="${2:-$build}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../programs/xvfb_session.bash"
source "$here/../programs/wine_session.bash"
source "$here/corvane_run.bash"
exe="$build/bin/corvane.exe"
[ -f "$exe" ] || fail "$exe is not built (scripts/build-windows)"
for tool in xdotool xclip xwininfo import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

start_xvfb
start_wine "$build"
hot_ring="#FFB231"
focus_ring="#8CAEE7"

start_run "$build/bin" C:
[ -n "$seen_wait" ] || fail "the result window came without the wait window before it"
echo "wait window, then \"$title\""

# Ok sits at 176, 96 of the client area, 61 x 25 pixels.
ok_shows() { window_shows "$window" 61x25+176+96 "$1"; }
not() { ! "$@"; }

import -window "$window" "$out/corvane-result.png"
ok_shows "$hot_ring" && fail "Ok shows hot rings before the pointer came"
# Wine takes the pointer's entry into a window apart from its moves inside it.
timeout 5 xdotool mousemove --sync --window "$window" 20 20
sleep 0.3
timeout 5 xdotool mousemove --sync --window "$window" 206 108
sleep 0.2
timeout 5 xdotool mousemove --sync --window "$window" 207 109
eventually ok_shows "$hot_ring" || fail "the pointer over Ok did not turn its rings orange"
timeout 5 xdotool mousemove --sync --window "$window" 20 20
eventually not ok_shows "$hot_ring" || fail "Ok kept its orange rings after the pointer left"
echo "pointer over Ok: orange rings, gone when it leaves"

text=$(result_text)
case "$text" in
  "The operation completed successfully."* | "Access is denied."* | "Invalid function."* | "Error: "*) ;;
  *) fail "unexpected result text: $text" ;;
esac
echo "result text: $text"

timeout 5 xdotool key --window "$window" Tab
eventually ok_shows "$focus_ring" || fail "Tab did not give Ok its blue focus rings"
echo "Tab: Ok shows blue rings"

# Alt+I: the About window where it opens on Linux, 409 x 212 pixels with its corner at 156, 110
# (there is no frame without a window manager: the X window is the client area).
about_geometry="409x212+156+110"
about_window() { window_at "$about_geometry" --class 'corvane.exe'; }
timeout 5 xdotool windowfocus --sync "$window"
timeout 5 xdotool key alt+i
about=$(eventually about_window) || fail "Alt+I showed no About window at $about_geometry"
sleep 0.5
import -window "$about" "$out/corvane-about.png"
# The clip's frame (8, 56, 36 x 38 pixels) is one colour, the window's, when nothing shows there.
colours=$(convert "$out/corvane-about.png" -crop 36x38+8+56 +repage -format %k info:)
[ "$colours" -gt 2 ] || fail "the About window's clip does not show ($colours colours in its square)"
echo "Alt+I: About window at $about_geometry, its clip showing ($colours colours)"

# The window's own close (Alt+F4: WM_SYSCOMMAND, then WM_CLOSE) ends the About window. Escape is
# no way out: it hands gpl.txt to the shell, and what Wine's shell does with a text file depends
# on the prefix's associations (in a new prefix it has none, and the program shows its "No
# association" message box); the About window stays either way.
timeout 5 xdotool windowfocus --sync "$about"
timeout 5 xdotool key alt+F4
about_gone() { ! about_window >/dev/null; }
eventually about_gone || fail "Alt+F4 did not close the About window"
kill -0 "$app" 2>/dev/null || fail "the program ended with the About window"
echo "Alt+F4: the About window closed, the program goes on"

end_with_alt_o "$text"
echo "PASS"
