# The Windows program under Wine takes every malformed argument and ends in a message, as on
# Linux: the result window shows "Error: <code>:" and the system's text, and Alt+O ends the run
# with status 1, as any result but success does. Without its wait clip beside it (res.dll) the program still comes to its result.
#   bash corvane_bad_input.sh BUILD_WINDOWS_DIR
set -euo pipefail
build="$(cd "${1:?windows build folder}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../programs/xvfb_session.bash"
source "$here/../programs/wine_session.bash"
source "$here/corvane_run.bash"
[ -f "$build/bin/corvane.exe" ] || fail "$build/bin/corvane.exe is not built (scripts/build-windows)"

start_xvfb
start_wine "$build"

long=$(printf 'E%.0s' $(seq 10000))
arguments=("" "E" " E:" '"E:"' "$long" $'\xC3\xA9:' "  ")
for argument in "${arguments[@]}"; do
  start_run "$build/bin" "$argument"
  text=$(result_text)
  [[ "$text" == "Error: "*":"* ]] || fail "argument \"${argument:0:16}\": unexpected result text: $text"
  end_with_alt_o "$text"
  echo "argument \"${argument:0:16}\" (${#argument} characters): ${text%%$'\r'*}"
done

# The program's folder without the wait window's clip.
bare="$session_dir/bare"
mkdir -p "$bare"
cp "$build/bin/corvane.exe" "$build/bin/vertisano.dll" "$build/bin/vertisano2.dll" "$build/bin/gpl.txt" "$bare/"
start_run "$bare" C:
text=$(result_text)
[[ "$text" != "Error: "* && -n "$text" ]] || fail "without res.dll the flush of C: showed: $text"
end_with_alt_o "$text"
echo "without res.dll: $text"
echo "PASS"
