# Sourced by the X11 end-to-end scripts: starts a private Xvfb on a display number it picks
# itself and makes sure that it, and every process the script registers, ends on any exit.
#
#   source xvfb_session.bash
#   start_xvfb            # sets DISPLAY, or fails the test with a clear message
#   track_pid PID         # killed on exit as well

xvfb_pid=""
tracked_pids=()
session_dir="$(mktemp -d)"

cleanup_session() {
  local pid
  for pid in "${tracked_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$session_dir"
}
trap cleanup_session EXIT
trap 'exit 130' INT TERM

track_pid() { tracked_pids+=("$1"); }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/setup installs it)"
  # -displayfd: the server picks a free display number and writes it when it is ready.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$session_dir/display" \
    2>"$session_dir/xvfb.log" &
  xvfb_pid=$!
  local tries=0
  while [ ! -s "$session_dir/display" ]; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      cat "$session_dir/xvfb.log" >&2
      fail "Xvfb could not start"
    fi
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || fail "Xvfb did not report a display within 10 seconds"
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$session_dir/display")"
  unset CORVANE_DRIVER
  echo "Xvfb running on $DISPLAY"
}

# Runs a command every tenth of a second until it succeeds, for up to five seconds.
eventually() {
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Fails the test unless the process ends within two seconds with status 0; says what ended it.
expect_exit_zero() {
  local pid=$1 how=$2 status=0
  for _ in $(seq 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program was still running two seconds after $how"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status after $how"
  echo "$how ended the run with status 0"
}
