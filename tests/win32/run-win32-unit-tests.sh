#!/usr/bin/env bash
# Runs zelvane_win32_unit_tests.exe of a Windows build under Wine in a private Xvfb display.
#   tests/win32/run-win32-unit-tests.sh BUILD_WIN32_DIR OUT_DIR
set -uo pipefail
if (($# != 2)); then
    echo "usage: $0 BUILD_WIN32_DIR OUT_DIR" >&2
    exit 2
fi
EXE=$(realpath -m "$1")/tests/win32/zelvane_win32_unit_tests.exe
OUT=$(realpath -m "$2")
mkdir -p "$OUT"
if [[ ! -f "$EXE" ]]; then
    echo "missing $EXE"
    echo "0 passed, 1 failed"
    exit 1
fi
WINE=/usr/lib/wine/wine64
[[ -x "$WINE" ]] || WINE=$(command -v wine64 || command -v wine)
WINESERVER=/usr/lib/wine/wineserver64
[[ -x "$WINESERVER" ]] || WINESERVER=$(command -v wineserver)

export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$WINE"
display=$((200 + RANDOM % 300))
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
cleanup() {
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
sleep 1
[[ -d "$WINEPREFIX" ]] || timeout 300 "$WINE" wineboot -i >"$OUT/wineboot.log" 2>&1
timeout 300 "$WINE" "$EXE" 2>>"$OUT/wine.log" | tr -d '\r'
exit "${PIPESTATUS[0]}"
