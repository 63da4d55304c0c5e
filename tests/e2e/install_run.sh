# The installed program finds its media beside its real executable however it is started: through
# the bin/corvane link from another working folder, after the whole installed tree has moved, from
# a read-only tree, and through a chain of links. Each run is under a real X server, shows the
# result text, and opens the wait window's clip from the installed folder (seen in a trace of the
# files the process opened).
# Run by CTest as: bash install_run.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
bin_dir="${1:?bin dir}"
build_dir="$(dirname "$bin_dir")"
source "$(dirname "$0")/programs/xvfb_session.bash"
for tool in xdotool xclip strace; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

install_build "$build_dir"

program_dir="$prefix/libexec/corvane"
for file in corvane res.dll vertisano2.dll vertisano.dll gpl.txt; do
  [ -f "$program_dir/$file" ] || fail "$file is not installed in $program_dir"
done
[ -L "$prefix/bin/corvane" ] || fail "bin/corvane is not a link"
[ "$(readlink "$prefix/bin/corvane")" = "../libexec/corvane/corvane" ] ||
  fail "bin/corvane points to $(readlink "$prefix/bin/corvane"), not relatively into libexec"
[ -f "$prefix/share/man/man1/corvane.1.gz" ] || fail "the manual page is not installed"

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"
elsewhere="$session_dir/elsewhere"
mkdir -p "$elsewhere"

# Runs `corvane C:` through the link $1, in $elsewhere, and checks the result text and that the
# clip was opened from the folder $2.
run_through() {
  local link="$1" expected_dir="$2" trace="$session_dir/trace.$RANDOM"
  (cd "$elsewhere" && exec strace -f -qq -e trace=openat -o "$trace" "$link" C:) \
    >"$session_dir/corvane.log" 2>&1 &
  local app=$!
  track_pid "$app"
  local title="Corvane v.1.00.0000" window
  window=$(timeout 30 xdotool search --sync --name "^${title}\$" | head -n 1) ||
    { cat "$session_dir/corvane.log"; fail "no result window when started as $link"; }
  sleep 0.3
  timeout 5 xdotool mousemove --sync --window "$window" 20 20
  timeout 5 xdotool key ctrl+a ctrl+c
  sleep 0.3
  local text
  text=$(timeout 10 xclip -o -selection clipboard) || fail "nothing on the clipboard"
  case "$text" in
    "The operation completed successfully."*|"Access is denied."*) ;;
    *) fail "unexpected result text when started as $link: $text" ;;
  esac
  timeout 5 xdotool key alt+o
  local status=0
  timeout 10 tail --pid="$app" -f /dev/null || fail "the program did not end after Alt+O"
  wait "$app" || status=$?
  [ "$status" -eq "$(expected_status "$text")" ] || fail "the program ended with status $status after: $text"
  grep -E "openat\(.*\"$expected_dir/+res\.dll\".* = [0-9]+$" "$trace" >/dev/null || {
    grep -n 'res\.dll' "$trace" || true
    fail "the wait window's clip was not opened from $expected_dir"
  }
  echo "ok: $link found its clip in $expected_dir"
}

run_through "$prefix/bin/corvane" "$program_dir"

# The whole tree moved, then made read-only, reached through two more links.
moved="$session_dir/moved-prefix"
mv "$prefix" "$moved"
chmod -R a-w "$moved"
ln -s "$moved/bin/corvane" "$session_dir/link1"
ln -s "$session_dir/link1" "$elsewhere/link2"
run_through "$elsewhere/link2" "$moved/libexec/corvane"
chmod -R u+w "$moved"

echo "PASS"
