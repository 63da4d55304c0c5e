# The screen scramble under xfwm4 with xfce4-panel (see programs/effect_run.bash).
# Run by CTest as: bash x11_effect_xfwm4.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
source "$(dirname "$0")/programs/effect_run.bash"
run_effect_under_window_manager xfwm4 "${1:?bin dir}" "${2:?test bin dir}"
