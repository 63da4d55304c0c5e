# Sourced after xvfb_session.bash by the scripts that run the Windows build under Wine: a private
# Wine prefix (made once per Windows build folder with `wineboot -i`, without any window), Wine's
# own messages off, and its server ended on exit.
#
#   source wine_session.bash
#   start_wine BUILD_WINDOWS_DIR   # sets WINEPREFIX; needs DISPLAY (start_xvfb first)
#   wine_path UNIX_PATH            # the same file as a Windows path (Z:\...)

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_session_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  cleanup_session
}
trap wine_session_cleanup EXIT

start_wine() {
  command -v wine >/dev/null || fail "wine is not installed (scripts/build-windows installs it)"
  export WINEPREFIX="$1/wine-prefix"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    timeout 300 wineboot -i >"$session_dir/wineboot.log" 2>&1 || { cat "$session_dir/wineboot.log"; fail "wineboot -i failed"; }
    timeout 60 wineserver -w || true
  fi
}

wine_path() { printf 'Z:%s' "${1//\//\\}"; }
