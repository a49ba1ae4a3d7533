#!/usr/bin/env bash
# Runs zelvane_win32_unit_tests.exe of a Windows build under Wine in a private Xvfb display.
#   tests/win32/run-win32-unit-tests.sh BUILD_WIN32_DIR OUT_DIR
set -uo pipefail
if (($# != 2)); then
    echo "usage: $0 BUILD_WIN32_DIR OUT_DIR" >&2
    exit 2
fi
EXE=$(realpath -m "$1")/tests/win32/zelvane_win32_unit_tests.exe
OUT=$(realpath -m "$2") NATIVE_DIR=$OUT
rm -rf "$OUT/wineprefix"
mkdir -p "$OUT"
: >"$OUT/wine.log"
source "$(dirname "$0")/../gui/wine-route.sh"
wine_route "$EXE" zelvane_win32_unit_tests.exe "$0" "$@"
trap stop_wine EXIT
start_xvfb
timeout 300 "$WINE" "$EXE" 2>>"$OUT/wine.log" | tr -d '\r'
exit "${PIPESTATUS[0]}"
