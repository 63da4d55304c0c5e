# Sourced by the X11 end-to-end scripts: starts a private Xvfb on a display number it picks
# itself and makes sure that it, and every process the script registers, ends on any exit.
#
#   source xvfb_session.bash
#   start_xvfb            # sets DISPLAY, or fails the test with a clear message
#   start_xvfb 1024x768x8 -cc 3   # another screen (WIDTHxHEIGHTxDEPTH) and more Xvfb options
#   track_pid PID         # killed on exit as well
#   stop_xvfb             # ends the server (and the tracked processes) before the next start
#   expect_end PID HOW [SECONDS] [STATUS]   # the process ends within SECONDS (three), with
#                         # STATUS (0)
#   expected_status TEXT  # the status corvane ends with after its window showed TEXT
#   start_window_manager openbox   # a window manager on the server, once it has announced itself
#   geometry_of WINDOW    # its X window on the screen as WIDTHxHEIGHT+X+Y (nothing when it is gone)
#   window_at GEOMETRY OPTIONS...  # a visible window of that geometry among those `xdotool search
#                         # --onlyvisible OPTIONS...` finds (--pid PID, --class NAME ...)
#   install_build BUILD_DIR   # installs the build (cmake --install) into a prefix of the session
#                         # folder: sets prefix, or fails the test with the install's output
#   window_shows WINDOW WxH+X+Y COLOUR   # that area of the window holds a pixel of COLOUR
#                         # (#RRGGBB) as X shows it (needs ImageMagick's import)

xvfb_pid=""
tracked_pids=()
session_dir="$(mktemp -d)"

# The time, in clock ticks since boot, at which process PID started (nothing if there is none).
# Field 22 of /proc/PID/stat, counted after the command name, which may hold spaces.
start_time_of() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  cut -d' ' -f20 <<<"$stat"
}

# Whether a tracked process (PID:START) still runs: a process that ended, and was waited for,
# leaves its number to the system, which soon gives it to another process (a whole test run goes
# through all 32768 numbers), perhaps another test's X server. Only the number with its process's
# own start time is ours.
ours() { [ "$(start_time_of "${1%:*}")" = "${1#*:}" ]; }

cleanup_session() {
  local entry
  for entry in "${tracked_pids[@]}"; do
    if ours "$entry"; then kill "${entry%:*}" 2>/dev/null || true; fi
  done
  # Some window managers (fluxbox) take a TERM as a wish to end at their leisure and never do
  # once the server is gone.
  for entry in "${tracked_pids[@]}"; do
    for _ in 1 2 3 4 5; do
      ours "$entry" || continue 2
      sleep 0.1
    done
    kill -KILL "${entry%:*}" 2>/dev/null || true
  done
  if [ -n "$xvfb_pid" ]; then
    with_server_lock stop_server
  fi
  rm -rf "$session_dir"
}
trap cleanup_session EXIT
trap 'exit 130' INT TERM

track_pid() {
  local start
  start=$(start_time_of "$1")
  [ -z "$start" ] || tracked_pids+=("$1:$start")
}

# A server that is ending unlinks its socket file in /tmp/.X11-unix only after it has let go of
# the display number, and a server starting meanwhile may take that number, unlink the old file and
# create its own, which the ending server then removes: the new server's clients cannot connect.
# So no server of any session starts while another one ends, and the other way round.
xvfb_lock=/tmp/.corvane-xvfb.lock
server_lock_fd=""
with_server_lock() {  # COMMAND...
  # Held already: a failure while starting, and now the exit's cleanup.
  [ -z "$server_lock_fd" ] || { "$@"; return; }
  # Without the lock file (another user's, say), only the lock is missing, not the server.
  { exec {server_lock_fd}>>"$xvfb_lock"; } 2>/dev/null || exec {server_lock_fd}</dev/null
  chmod a+rw "$xvfb_lock" 2>/dev/null || true
  flock "$server_lock_fd"
  local status=0
  "$@" || status=$?
  flock -u "$server_lock_fd"
  exec {server_lock_fd}>&-
  server_lock_fd=""
  return "$status"
}

stop_server() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}

stop_xvfb() {
  cleanup_session
  xvfb_pid=""
  tracked_pids=()
  session_dir="$(mktemp -d)"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/setup installs it)"
  # -displayfd: the server picks a free display number and writes it when it is ready.
  local screen="${1:-1024x768x24}"
  shift || true
  with_server_lock launch_server "$screen" "$@"
  export DISPLAY=":$(head -n1 "$session_dir/display")"
  unset CORVANE_DRIVER
  echo "Xvfb running on $DISPLAY"
}

# Starts the server and returns once it has reported its display number.
launch_server() {  # SCREEN OPTIONS...
  local screen=$1
  shift
  # The server must not keep the lock open: one left behind by a killed test would hold it.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" "$@" 3>"$session_dir/display" \
    2>"$session_dir/xvfb.log" {server_lock_fd}>&- &
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
}

# Runs a command every tenth of a second until it succeeds, for up to five seconds.
eventually() {
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

expect_end() {
  local pid=$1 how=$2 limit=${3:-3} expected=${4:-0}
  for _ in $(seq $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program was still running $limit seconds after $how"
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq "$expected" ] || fail "the program ended with status $status after $how, not $expected"
  echo "$how ended the run with status $expected"
}

# 0 only for the system's word for success; any other result ends corvane with 1.
expected_status() {
  case "$1" in
    "The operation completed successfully."*) echo 0 ;;
    *) echo 1 ;;
  esac
}

# Starts the manager and waits until it announces itself on the root window.
start_window_manager() {
  local manager=$1
  command -v "$manager" >/dev/null || fail "$manager is not installed (scripts/setup installs it)"
  # A home of its own: managers write their settings there on the first start, and two tests
  # starting the same manager at once must not write the same files.
  mkdir -p "$session_dir/home"
  # The server starts over whenever its last client leaves, and refuses a client meanwhile: the
  # probes below come and go while a slow manager has yet to connect, so a client stays
  # connected until the manager has announced itself.
  xprop -root -spy >/dev/null 2>&1 &
  local holder=$!
  track_pid "$holder"
  HOME="$session_dir/home" "$manager" >"$session_dir/$manager.log" 2>&1 &
  local pid=$!
  track_pid "$pid"
  for _ in $(seq 200); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
      # The check window comes early in a manager's start; a window mapped while it still sets
      # itself up may be taken in but never shown (openbox does this).
      sleep 1
      kill "$holder" 2>/dev/null || true
      wait "$holder" 2>/dev/null || true
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$session_dir/$manager.log" >&2
  # What the server was doing then, to tell a manager's fault from a server's.
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb has ended:" >&2; cat "$session_dir/xvfb.log" >&2; }
  xprop -root >/dev/null 2>&1 || echo "the display $DISPLAY does not answer" >&2
  fail "$manager did not start"
}

geometry_of() {
  xwininfo -id "$1" 2>/dev/null |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF}
         END {if (w) printf "%sx%s+%s+%s\n", w, h, x, y}'
}

window_at() {
  local geometry=$1 id
  shift
  for id in $(xdotool search --onlyvisible "$@" 2>/dev/null); do
    [ "$(geometry_of "$id")" = "$geometry" ] && echo "$id" && return 0
  done
  return 1
}

install_build() {
  prefix="$session_dir/prefix"
  cmake --install "$1" --prefix "$prefix" >"$session_dir/install.log" ||
    { cat "$session_dir/install.log"; fail "cmake --install failed"; }
}

window_shows() {
  local pixels
  pixels=$(import -window "$1" -crop "$2" +repage -depth 8 txt:- 2>/dev/null) || return 1
  grep -qi "$3" <<<"$pixels"
}
