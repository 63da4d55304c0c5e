# `corvane C:` under openbox: the wait window and the result window as the manager sees them, a
# maximise it refuses, Alt+O and the manager's close (see programs/window_manager_run.bash).
# Run by CTest as: bash x11_wm_openbox.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
source "$(dirname "$0")/programs/window_manager_run.bash"
run_under_window_manager openbox "${1:?bin dir}"
