#!/usr/bin/env bash
# GUI tests of zelvane.exe under Wine in a private Xvfb display: zelvane-gui-driver.exe (the
# driver, of the same Windows build) runs the program on synthetic folders, drives its windows and
# judges them; it prints one "PASS build/name" or "FAIL build/name: why" line per check and a
# closing "N passed, M failed"; a screenshot per scenario goes to OUT_DIR/screenshots.
#   tests/gui/run-gui-tests.sh BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR
# BUILD_NATIVE_DIR holds app/console/zelvane-console, whose log of the same complete removal the
# GUI's must equal. ZELVANE_GUI_SCREENSHOTS=DIR copies the screenshots there too.
set -uo pipefail
if (($# != 3)); then
    echo "usage: $0 BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR" >&2
    exit 2
fi
WIN32_DIR=$(realpath -m "$1")
NATIVE_DIR=$(realpath -m "$2")
OUT=$(realpath -m "$3")
EXE=$WIN32_DIR/app/win32/zelvane.exe
DRIVER=$WIN32_DIR/tests/gui/driver/zelvane-gui-driver.exe
CONSOLE=$NATIVE_DIR/app/console/zelvane-console
rm -rf "$OUT/screenshots" "$OUT/run" "$OUT/wineprefix"
mkdir -p "$OUT"
: >"$OUT/wine.log"
source "$(dirname "$0")/wine-route.sh"
wine_route "$EXE" zelvane.exe "$0" "$@"
[[ -f "$DRIVER" && -x "$CONSOLE" ]] || { echo "FAIL $BUILD/setup: no $DRIVER or $CONSOLE"; exit 1; }
trap stop_wine EXIT
start_xvfb

# The console's removal log on the same folders, at the same place, for the driver to compare.
timeout 120 "$WINE" "$DRIVER" layout "$(winpath "$OUT/run")" >>"$OUT/wine.log" 2>&1
echo "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|$(winpath "$OUT/run/game")" >"$OUT/registry.txt"
printf '0\n0\n0\n0\n0\n0\n' >"$OUT/answers.txt"
timeout 120 "$CONSOLE" --program-folder "$OUT/run/app" --registry "$OUT/registry.txt" --answers "$OUT/answers.txt" \
    --no-open >"$OUT/console-output.txt" 2>&1
cp "$OUT/run/app/uninstall/removal_results.rtf" "$OUT/console-removal_results.rtf" 2>/dev/null ||
    rm -f "$OUT/console-removal_results.rtf"

mkdir -p "$OUT/screenshots"
timeout 1200 "$WINE" "$DRIVER" run "$(winpath "$EXE")" "$(winpath "$OUT")" 2>>"$OUT/wine.log" | sed -u 's/\r$//' |
    while IFS= read -r line; do
        if [[ "$line" == "shot "* ]]; then
            import -display "$DISPLAY" -window root "$OUT/screenshots/${line#shot }.png" 2>>"$OUT/wine.log"
        else
            echo "$line"
        fi
    done | tee "$OUT/driver.txt"
[[ -z "${ZELVANE_GUI_SCREENSHOTS:-}" ]] || cp "$OUT"/screenshots/* "$ZELVANE_GUI_SCREENSHOTS"/
# The verdict is the driver's summary; Wine's own exit status is no measure of it.
grep -qx '[0-9]* passed, 0 failed' "$OUT/driver.txt"
