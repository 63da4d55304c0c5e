# The Debian package as a user gets it: built by scripts/package, checked by lintian (no errors),
# installed with dpkg (and apt-get for whatever it depends on), `corvane C:` run from PATH under a
# real X server, its manual page found by `man -w`; then removed, leaving none of its files.
# Needs root and dpkg: skipped (status 77) elsewhere, and where a corvane package is already
# installed, which this test must not remove.
# Run by CTest as: bash package_install.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null || skip "no dpkg on this machine"
# The package is built from the source tree, not from this build: one run, in the plain build, is enough.
grep -q '^CORVANE_SANITIZE:BOOL=ON' "$(dirname "${1:?bin dir}")/CMakeCache.txt" 2>/dev/null &&
  skip "the package is tested in the build without sanitizers"
if dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q installed; then
  skip "a corvane package is already installed here"
fi
source "$(dirname "$0")/programs/xvfb_session.bash"

package=$("$root/scripts/package" | tail -n 1)
[ -f "$package" ] || fail "scripts/package made no package"
echo "package: $package"
[ "$(dpkg-deb -f "$package" Package)" = corvane ] || fail "the package is not named corvane"
[ "$(dpkg-deb -f "$package" Version)" = 1.00.0000 ] || fail "the package's version is not 1.00.0000"
depends=$(dpkg-deb -f "$package" Depends)
for needed in libc6 libx11-6 libfreetype6 libfontconfig1 xdg-utils fonts-liberation fonts-dejavu-core fonts-wine; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
# The package's files (not its folders, which other packages share), as absolute paths.
dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|' >"$session_dir/contents"
[ -s "$session_dir/contents" ] || fail "the package holds no files"
grep -vE '^/usr/' "$session_dir/contents" && fail "the package has files outside /usr"

if command -v lintian >/dev/null; then
  lintian --no-tag-display-limit "$package" >"$session_dir/lintian.log" 2>&1 || true
  cat "$session_dir/lintian.log"
  grep -q '^E: ' "$session_dir/lintian.log" && fail "lintian reports errors"
fi

removed=0
cleanup_package() { [ "$removed" -eq 1 ] || dpkg --purge corvane >/dev/null 2>&1 || true; }
trap 'cleanup_package; cleanup_session' EXIT
if ! dpkg -i "$package" >"$session_dir/dpkg.log" 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq >>"$session_dir/dpkg.log" 2>&1 ||
    { cat "$session_dir/dpkg.log"; fail "the package's dependencies could not be installed"; }
fi
dpkg-query -W -f='${Status}' corvane | grep -q 'install ok installed' || fail "corvane is not installed"
[ "$(command -v corvane)" = /usr/bin/corvane ] || fail "corvane is not on PATH as /usr/bin/corvane"
[ "$(man -w corvane)" = /usr/share/man/man1/corvane.1.gz ] || fail "man -w corvane: $(man -w corvane 2>&1)"
[ "$(corvane --version)" = "corvane $(dpkg-deb -f "$package" Version)" ] ||
  fail "the program says $(corvane --version), the package $(dpkg-deb -f "$package" Version)"

start_xvfb
export CORVANE_DRIVES="$session_dir/no-drive-table"
(cd / && exec corvane C:) >"$session_dir/corvane.log" 2>&1 &
app=$!
track_pid "$app"
title="Corvane v.1.00.0000"
window=$(timeout 30 xdotool search --sync --name "^${title}\$" | head -n 1) ||
  { cat "$session_dir/corvane.log"; fail "no result window from the installed program"; }
sleep 0.3
timeout 5 xdotool mousemove --sync --window "$window" 20 20
timeout 5 xdotool key ctrl+a ctrl+c
sleep 0.3
text=$(timeout 10 xclip -o -selection clipboard) || fail "nothing on the clipboard"
[[ "$text" == "The operation completed successfully."* ]] || fail "unexpected result text: $text"
timeout 5 xdotool key alt+o
timeout 10 tail --pid="$app" -f /dev/null || fail "the program did not end after Alt+O"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"

dpkg --purge corvane >/dev/null
removed=1
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after the package was removed"; fi
done <"$session_dir/contents"
for dir in /usr/libexec/corvane /usr/share/doc/corvane; do
  [ -e "$dir" ] && fail "$dir is left after the package was removed"
done
echo "PASS"
