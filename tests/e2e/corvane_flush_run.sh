# The whole program under a real X server with real X clients: `corvane C:` shows the result
# window titled with its version, Ctrl+A and Ctrl+C in it put the result text on the clipboard
# for any other program, and Alt+O ends the process with status 0 within a second.
# Run by CTest as: bash corvane_flush_run.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"

start_xvfb
# C: needs no drive table: without an entry it is the root file system.
export CORVANE_DRIVES="$session_dir/no-drive-table"
corvane_result C:
case "$result_text" in
  "The operation completed successfully."*|"Access is denied."*|"Error: "*) ;;
  *) fail "unexpected result text: $result_text" ;;
esac
echo "PASS"
