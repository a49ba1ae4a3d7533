#!/usr/bin/env bash
# Runs the file-system contract suite of a Windows build (platform_win32_tests.exe) under wine64,
# in a Wine prefix of its own; its temporary folders lie in the prefix.
#   tests/platform/run-win32-file-system-tests.sh BUILD_WIN32_DIR OUT_DIR
set -uo pipefail
if (($# != 2)); then
    echo "usage: $0 BUILD_WIN32_DIR OUT_DIR" >&2
    exit 2
fi
EXE=$(realpath -m "$1")/tests/platform/platform_win32_tests.exe
OUT=$(realpath -m "$2")
mkdir -p "$OUT"
if [[ ! -f "$EXE" ]]; then
    echo "missing $EXE"
    exit 1
fi
WINE=/usr/lib/wine/wine64
[[ -x "$WINE" ]] || WINE=$(command -v wine64 || command -v wine)
WINESERVER=/usr/lib/wine/wineserver64
[[ -x "$WINESERVER" ]] || WINESERVER=$(command -v wineserver)
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER="$WINE"
trap 'timeout 30 "$WINESERVER" -k >/dev/null 2>&1' EXIT
[[ -d "$WINEPREFIX" ]] || timeout 300 "$WINE" wineboot -i >"$OUT/wineboot.log" 2>&1
timeout 300 "$WINE" "$EXE" 2>>"$OUT/wine.log" | tr -d '\r'
exit "${PIPESTATUS[0]}"
