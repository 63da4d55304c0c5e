# The real program short of what it would like to have: no temporary folder, a full one, a
# working folder it may not write to, no address space for the clip's thread (hardly any file
# descriptors: corvane_descriptors.sh). None of it may hide the outcome of the flush: the result window comes and tells it
# (read through the clipboard), and a trace shows that the run made no file anywhere.
# Run by CTest as: bash corvane_scarce.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="$(cd "${1:?bin dir}" && pwd)/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"
needs strace prlimit

start_xvfb
# c: is the root file system unless a table says otherwise: an empty table keeps it so.
export CORVANE_DRIVES="$session_dir/drives"
mkdir -p "$CORVANE_DRIVES"
success="The operation completed successfully."
trace="$session_dir/trace"
traced=(strace -f -qq -o "$trace" -e trace=%file,%desc,clone,clone3)

# Every call of the run that could have made a file, and succeeded.
files_made() {
  grep -E '^[0-9]+ +((open|openat)\(.*O_CREAT|(creat|mkdir|mkdirat|mknod|mknodat|link|linkat|symlink|symlinkat|rename|renameat|renameat2)\()' "$trace" |
    grep -vE '= -1 ' || true
}

# c: is a mount point: each flush is one syncfs (the trace may split a call that another thread
# interrupts into an unfinished and a resumed line; the first counts).
flushes() { grep -cE 'syncfs\([0-9]+' "$trace" || true; }

# Runs `corvane C:` with the words before it, and checks the outcome and the trace.
run_scarce() {
  local what=$1
  shift
  corvane_runner=("$@" "${traced[@]}")
  corvane_result C:
  [[ "$result_text" == "$success"* ]] || fail "$what: the result is not success: $result_text"
  [ "$(flushes)" -eq 5 ] || fail "$what: $(flushes) flushes in the trace, not 5"
  [ -z "$(files_made)" ] || fail "$what: the run made a file: $(files_made)"
  echo "$what: the outcome shown, 5 flushes, no file made"
}

run_scarce "no temporary folder" env TMPDIR=/nonexistent

if [ "$(id -u)" -eq 0 ]; then
  # A temporary folder with no room left, and a working folder nobody may write to (root's
  # permissions are no obstacle, a read-only file system is).
  mkdir -p "$session_dir/full" "$session_dir/readonly"
  mount -t tmpfs -o size=64k corvane-e2e-full "$session_dir/full"
  trap 'umount "$session_dir/full" "$session_dir/readonly" 2>/dev/null || true; cleanup_session' EXIT
  head -c 1M /dev/zero >"$session_dir/full/filler" 2>/dev/null || true
  run_scarce "a full temporary folder" env TMPDIR="$session_dir/full"
  mount -t tmpfs -o ro,size=64k corvane-e2e-readonly "$session_dir/readonly"
  (cd "$session_dir/readonly" && run_scarce "a read-only working folder")
else
  echo "skipped as not root: a full temporary folder and a read-only working folder need mounts"
fi

# The sanitizers cannot work within this last limit: the address sanitizer reserves far more
# address space than any limit leaves.
if built_with_sanitizers; then
  echo "skipped with the sanitizers: no address space for the clip's thread"
  echo "PASS"
  exit 0
fi

# No address space for the clip's thread: its stack (the size limit of a stack, 4 GB here) cannot
# be mapped within the 2 GB the process may have; the wait window stays still and the flush runs.
run_scarce "no address space for the clip's thread" prlimit --stack=4000000000 --as=2000000000
! grep -qE 'clone3?\(.*= [0-9]+$' "$trace" || fail "a thread was started all the same: $(grep -E 'clone3?\(' "$trace")"

echo "PASS"
