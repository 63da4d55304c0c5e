# The drive table is followed only when it is the user's own configuration: a table folder of
# mode 0777, one writable by its group, one that belongs to another user, or a link to such a
# folder, makes every letter (c: too) show "Error: 5:" and end with 1, with one line on standard
# error that says why; the user's own folder of mode 0755, also reached through a link, works.
# Run by CTest as: bash corvane_table_trust.sh BIN_DIR TEST_BIN_DIR
set -euo pipefail
corvane="${1:?bin dir}/corvane"
source "$(dirname "$0")/programs/xvfb_session.bash"
source "$(dirname "$0")/programs/corvane_result.bash"

start_xvfb
table="$session_dir/drives"
mkdir -p "$table"
ln -s / "$table/e:"
success="The operation completed successfully."

# Every letter is denied, and the program said why: $1 is the reason's words.
expect_denied() {
  local letter
  for letter in C: E:; do
    corvane_result "$letter"
    [[ "$result_text" == "Error: 5:"*"Access is denied."* ]] || fail "$letter with $2: $result_text"
    grep -qx "corvane: drive table $CORVANE_DRIVES $1" "$session_dir/corvane.log" ||
      fail "$letter with $2: standard error said $(cat "$session_dir/corvane.log")"
  done
}
expect_works() {
  corvane_result E:
  [[ "$result_text" == "$success"* ]] || fail "E: with $1: $result_text"
  [ ! -s "$session_dir/corvane.log" ] || fail "E: with $1 said $(cat "$session_dir/corvane.log")"
}

export CORVANE_DRIVES="$table"
chmod 0755 "$table"
expect_works "the user's own folder of mode 0755"
chmod 0777 "$table"
expect_denied "is writable by others" "mode 0777"
chmod 0775 "$table"
expect_denied "is writable by its group" "mode 0775"

# A link is judged by the folder it names, whatever the link's own mode.
ln -s "$table" "$session_dir/table-link"
export CORVANE_DRIVES="$session_dir/table-link"
expect_denied "is writable by its group" "a link to a folder of mode 0775"
chmod 0755 "$table"
expect_works "a link to the user's own folder"

if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$table"
  export CORVANE_DRIVES="$table"
  expect_denied "belongs to another user (uid $(id -u nobody))" "a folder of the user nobody"
  chown root "$table"
fi
echo "PASS"
