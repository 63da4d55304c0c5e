# The About window in the whole program under a real X server: in `corvane C:` Alt+I opens it at
# its fixed place (a screenshot is kept when CORVANE_E2E_SHOTS names a folder), Escape hands the
# licence beside the program to the shell (a fake xdg-open first on PATH records its arguments),
# a click on the signature covers the screen with the effect, a key ends it and the About window
# closes with it, and Alt+O then ends the run with status 0. The program is started from another
# working folder: the About window's clip shows (its frame in the animation's square) and the
# hidden spot plays the sound beside the program (its samples reach the sound device, a file here).
# Run by CTest as: bash corvane_about.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
bin_dir="${1:?bin dir}"
corvane="$bin_dir/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
[ -x "$corvane" ] || fail "$corvane is not built"
for tool in xdotool xwininfo import; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"
sound_out="$session_dir/sound.raw"
export CORVANE_ALSA_DEVICE="file:'$sound_out',raw"
mkdir -p "$session_dir/fake"
cat >"$session_dir/fake/xdg-open" <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >>"$FAKE_LOG"
EOF
chmod +x "$session_dir/fake/xdg-open"
export FAKE_LOG="$session_dir/xdg-open.log"
export PATH="$session_dir/fake:$PATH"

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"; }
gone() { ! viewable "$1"; }
# The viewable window of the program with the given geometry.
licence_asked() { grep -qxF "$bin_dir/gpl.txt" "$FAKE_LOG" 2>/dev/null; }

mkdir -p "$session_dir/elsewhere"
(cd "$session_dir/elsewhere" && exec "$corvane" C:) >"$session_dir/corvane.log" 2>&1 &
app=$!
track_pid "$app"
title="Corvane v.1.00.0000"
result=$(timeout 20 xdotool search --sync --name "^${title}\$" | head -n 1) ||
  { cat "$session_dir/corvane.log"; fail "no window titled \"$title\""; }
sleep 0.3

# Alt+I: the About window, 409 x 212 pixels with its corner at 156, 110 (2340, 1650 twips).
timeout 5 xdotool mousemove --sync --window "$result" 20 20
timeout 5 xdotool key alt+i
about_geometry="409x212+156+110"
about=$(eventually window_at "$about_geometry" --pid "$app") || fail "Alt+I showed no About window at $about_geometry"
echo "Alt+I: About window $about at $about_geometry"
sleep 0.5
if [ -n "${CORVANE_E2E_SHOTS:-}" ]; then
  mkdir -p "$CORVANE_E2E_SHOTS"
  import -window "$about" "$CORVANE_E2E_SHOTS/about-window.png"
  echo "screenshot: $CORVANE_E2E_SHOTS/about-window.png"
fi

# The clip's frame in Animation1 (120, 840 twips: 8, 56 pixels, 36 x 38): a plain square would be
# one colour, the window's background, as it is when the clip is not found.
import -window "$about" "$session_dir/about.png"
colours=$(convert "$session_dir/about.png" -crop 36x38+8+56 +repage -format %k info:)
[ "$colours" -gt 2 ] || fail "the About window's clip does not show ($colours colours in its square)"
echo "the About clip shows ($colours colours)"

# The hidden spot (180, 2280 twips: 12, 152 pixels, 13 x 13) plays the sound to its end.
timeout 5 xdotool mousemove --sync --window "$about" 18 158 click 1
sound_played() { [ "$(stat -c %s "$sound_out" 2>/dev/null || echo 0)" -ge 1000 ]; }
eventually sound_played || fail "the hidden spot played no sound"
echo "the hidden spot played $(stat -c %s "$sound_out") bytes of sound"

# Escape released on the About window opens the licence beside the program.
timeout 5 xdotool mousemove --sync --window "$about" 200 40
timeout 5 xdotool key Escape
eventually licence_asked || { cat "$FAKE_LOG" 2>/dev/null; fail "Escape did not hand $bin_dir/gpl.txt to the shell"; }
echo "Escape: the shell was asked for $(cat "$FAKE_LOG")"

# The signature (5280, 2940 twips: 352, 196 pixels, 40 x 13) starts the effect over the screen.
timeout 5 xdotool mousemove --sync --window "$about" 372 202 click 1
effect=$(eventually window_at "1024x768+0+0" --pid "$app") || fail "the signature showed no full-screen effect"
echo "signature: the effect covers the screen ($effect)"
sleep 0.5
timeout 5 xdotool mousemove --sync 500 400
timeout 5 xdotool key q
eventually gone "$effect" || fail "a key press did not end the effect"
eventually gone "$about" || fail "the About window stayed after the effect"
echo "a key ended the effect and the About window closed"
kill -0 "$app" 2>/dev/null || fail "the program ended with the About window"

timeout 5 xdotool mousemove --sync --window "$result" 20 20
timeout 5 xdotool key alt+o
expect_end "$app" "Alt+O"
echo "PASS"
