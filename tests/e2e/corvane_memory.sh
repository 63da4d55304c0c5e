# The real program short of memory: run under address-space limits rising from the least it can
# be loaded with, every run ends without a crash, and a run whose flush ran (a trace counts it)
# tells the outcome: in the result window (ending with the outcome's status), or where memory
# cannot be had for that window, in a message box (Enter ends it), or without memory for that
# either, on standard error; only the X library's own failure, which ends the connection, may end
# such a run untold. A run that did not get as far as the flush says why: the run-time error box,
# or standard error ("Run-time error '7': Out of memory").
# Run by CTest as: bash corvane_memory.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="$(cd "${1:?bin dir}" && pwd)/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
needs strace prlimit
# The address sanitizer reserves far more address space than any of these limits leaves.
# A few hundred kilobytes above the least the program loads in, what fails first depends on the
# run's memory layout (the X library, fontconfig, strace's own), and some runs there still hang or
# crash inside those libraries: the scan does not repeat, so it runs only when asked for.
if [ -z "${CORVANE_E2E_MEMORY:-}" ]; then
  echo "skipped: the scan is not repeatable (CORVANE_E2E_MEMORY=1 runs it)"
  exit 77
fi
if built_with_sanitizers; then
  echo "skipped with the sanitizers: they cannot run within an address-space limit"
  exit 77
fi

start_xvfb
export CORVANE_DRIVES="$session_dir/drives"
mkdir -p "$CORVANE_DRIVES"
trace="$session_dir/trace"
log="$session_dir/corvane.log"

# The least address space, in KiB, that the program can be loaded in at all.
low=4096 high=262144
prlimit --as=$((high * 1024)) "$corvane" --version >/dev/null || fail "the program does not run in $high KiB"
while [ $((high - low)) -gt 16 ]; do
  middle=$(((low + high) / 2))
  if prlimit --as=$((middle * 1024)) "$corvane" --version >/dev/null 2>&1; then high=$middle; else low=$middle; fi
done
echo "the program loads in $high KiB"

# The result window's text, copied as a user copies it (again while nothing comes: the window
# may still be loading); the window is then closed.
copied_result() {
  local text=""
  timeout 5 xdotool mousemove --sync --window "$1" 20 20
  for _ in 1 2 3; do
    sleep 0.3
    timeout 5 xdotool key ctrl+a ctrl+c
    sleep 0.3
    text=$(timeout 10 xclip -o -selection clipboard 2>/dev/null) || true
    [ -z "$text" ] || break
  done
  timeout 5 xdotool key alt+o
  echo "$text"
}

outcomes=()
for step in $(seq 0 15); do
  limit=$((high + step * 48))
  prlimit --as=$((limit * 1024)) strace -f -qq -o "$trace" -e trace=syncfs "$corvane" C: >"$log" 2>&1 &
  app=$!
  track_pid "$app"
  seen=""
  for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    if result=$(xdotool search --onlyvisible --name "^${corvane_title}\$" 2>/dev/null | head -n 1) && [ -n "$result" ]; then
      seen=result
      break
    fi
    if box=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n 1) && [ -n "$box" ]; then
      seen=box
      break
    fi
    sleep 0.1
  done
  text=""
  case $seen in
    result) text=$(copied_result "$result") ;;
    box) sleep 0.5 && { timeout 5 xdotool key --window "$box" Return 2>/dev/null || true; } ;;
  esac
  for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app" 2>/dev/null && fail "in $limit KiB the run did not end: $(cat "$log")"
  status=0
  wait "$app" || status=$?
  [ "$status" -lt 128 ] || fail "in $limit KiB the run died of signal $((status - 128)): $(cat "$log")"
  flushes=$(grep -cE 'syncfs\([0-9]+' "$trace" || true)
  [ "$flushes" -eq 0 ] || [ "$flushes" -eq 5 ] || fail "in $limit KiB: $flushes flushes"
  case $seen in
    result)
      # What the window tells is the outcome (the root file system flushes without fault); short
      # of memory it may not be painted nor serve the clipboard, and then there is nothing to read.
      if [ -n "$text" ]; then
        [[ "$text" == "The operation completed successfully."* ]] ||
          fail "in $limit KiB the result window does not tell the outcome: \"$text\""
        [ "$status" -eq 0 ] || fail "in $limit KiB the run ended with $status after telling success"
      fi
      outcome="the result window${text:+ with the outcome}, status $status" ;;
    box) outcome="a message box, status $status" ;;
    *)
      if [ "$flushes" -eq 5 ]; then
        grep -qE "^corvane: (The operation completed successfully.|lost the connection to display)" "$log" ||
          fail "in $limit KiB the outcome was not told: $(cat "$log")"
      else
        grep -qE "Run-time error|cannot|error while loading|lost the connection" "$log" ||
          fail "in $limit KiB the run ended without a word: $(cat "$log")"
      fi
      outcome="standard error: $(tr '\n' ' ' <"$log"), status $status" ;;
  esac
  echo "$limit KiB: $flushes flushes, $outcome"
  outcomes+=("$seen${text:+-told}")
done
# The limits must have reached the program's ordinary run.
[[ " ${outcomes[*]} " == *" result-told "* ]] || fail "no limit reached the result window's outcome"
echo "PASS"
