# `corvane C:` under openbox while the flush blocks ten seconds: the wait window plays the clip that
# lies beside the program, frame after frame (see programs/wait_clip_run.bash).
# Run by CTest as: bash x11_wait_clip_openbox.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
source "$(dirname "$0")/programs/wait_clip_run.bash"
watch_wait_clip openbox "${1:?bin dir}"
