#!/usr/bin/env bash
# zelvane-console.exe of a Windows build under Wine against the POSIX zelvane-console on the same
# folders: --check on the gallery, a complete removal (the same log and files), the folder dialog's
# start on the folder GOG registered, and a folder typed in UTF-8. One PASS/FAIL line per check.
#   tests/win32/run-console-wine-tests.sh BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR
set -uo pipefail
if (($# != 3)); then
    echo "usage: $0 BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR" >&2
    exit 2
fi
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WIN32_DIR=$(realpath -m "$1")
NATIVE_DIR=$(realpath -m "$2")
OUT=$(realpath -m "$3")
EXE=$WIN32_DIR/app/console/zelvane-console.exe
DRIVER=$WIN32_DIR/tests/gui/driver/zelvane-gui-driver.exe
CONSOLE=$NATIVE_DIR/app/console/zelvane-console
rm -rf "$OUT/run" "$OUT/wineprefix"
mkdir -p "$OUT/run"
: >"$OUT/wine.log"
source "$ROOT/tests/gui/wine-route.sh"
wine_route "$EXE" zelvane-console.exe "$0" "$@"
[[ -x "$CONSOLE" && -f "$DRIVER" ]] || { echo "FAIL $BUILD/setup: no $CONSOLE or $DRIVER"; exit 1; }
trap stop_wine EXIT
unset DISPLAY  # a console program opens no window

passed=0 failed=0
check() { # check NAME WHY: passes when WHY is empty
    if [[ -z "$2" ]]; then echo "PASS $BUILD/$1" && ((++passed)); else echo "FAIL $BUILD/$1: $2" && ((++failed)); fi
}
# The program's output (line ends as the POSIX console's) and "exit N". Through a file: services
# that Wine starts beside the program inherit its handles and would hold a pipe open.
windows() {
    timeout 120 "$WINE" "$EXE" "$@" >"$OUT/wine-output.txt" 2>&1
    local status=$?
    tr -d '\r' <"$OUT/wine-output.txt"
    echo "exit $status"
}
posix() { timeout 120 "$CONSOLE" "$@" 2>&1; echo "exit $?"; }
tree() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum; find . -type d | sort); }
reg() { timeout 60 "$WINE" reg "$@" /reg:32 >>"$OUT/wine.log" 2>&1; }
# Lays out the complete removal's folders (as the GUI tests do): $APP, $GAME.
APP=$OUT/run/removal/app GAME=$OUT/run/removal/game
layout() { timeout 60 "$WINE" "$DRIVER" layout "$(winpath "$OUT/run/removal")" >>"$OUT/wine.log" 2>&1; }

help=$(windows --help)
check help "$([[ "$help" != *"exit 0" || "$help" == *--wine-prefix* || "$help" == *--registry* ]] &&
    echo "--help fails or offers an option of the Linux game search")"

# --check on the gallery: the same findings (the folder before uninstall_data.ini left out) and
# status as the POSIX console's, nothing changed.
findings() { sed -E 's#^.*[/\\]uninstall[/\\]uninstall_data\.ini:#uninstall_data.ini:#'; }
for case_dir in "$ROOT"/tests/description/check_gallery/*/; do
    name=$(basename "$case_dir") folder=$OUT/run/gallery/$(basename "$case_dir")
    mkdir -p "$OUT/run/gallery" && cp -r "$case_dir" "$folder"
    before=$(tree "$folder")
    win_args=(--check --program-folder "$(winpath "$folder")") posix_args=(--check --program-folder "$folder")
    for option in mod game; do
        [[ -d "$folder/$option" ]] || continue
        win_args+=("--$option-folder" "$(winpath "$folder/$option")") posix_args+=("--$option-folder" "$folder/$option")
    done
    diff -u <(posix "${posix_args[@]}" | findings) <(windows "${win_args[@]}" | findings) >"$OUT/check-$name.diff"
    differ=$?
    check "check-$name" "$( ((differ != 0)) && echo "findings or status differ from the POSIX console's ($OUT/check-$name.diff)"
        [[ "$(tree "$folder")" == "$before" ]] || echo "--check changed a file")"
done

# A complete removal from the program's own folder, as an author runs it, against the POSIX console's.
reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$(winpath "$GAME")" /f
printf '0\n0\n0\n0\n0\n0\n' >"$OUT/run/answers.txt"
layout
cp "$EXE" "$APP/zelvane-console.exe"
windows_out=$(cd "$APP" && EXE=$APP/zelvane-console.exe && windows --answers "$(winpath "$OUT/run/answers.txt")" --no-open)
rm "$APP/zelvane-console.exe"
windows_tree=$(tree "$OUT/run/removal")
cp "$APP/uninstall/removal_results.rtf" "$OUT/removal_results-windows.rtf" 2>/dev/null
layout
echo "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|$(winpath "$GAME")" >"$OUT/run/registry.txt"
posix --program-folder "$APP" --registry "$OUT/run/registry.txt" --answers "$OUT/run/answers.txt" --no-open >/dev/null
check removal-log "$([[ "$windows_out" == *"exit 0" ]] || echo "zelvane-console.exe ended with ${windows_out##*$'\n'}")$(
    cmp -s "$APP/uninstall/removal_results.rtf" "$OUT/removal_results-windows.rtf" ||
    echo "the logs differ ($OUT/removal_results-windows.rtf)")"
check removal-same-files "$([[ "$(tree "$OUT/run/removal")" == "$windows_tree" ]] || echo "the folders differ after the two removals")"

# Without the game's registry entry the folder dialog starts on the folder GOG registered.
layout
reg delete 'HKLM\Software\LucasArts\KotOR2' /f
reg add 'HKLM\Software\GOG.com\Games\1421404581' /v path /t REG_SZ /d "$(winpath "$GAME")" /f
printf '0\n0\ncancel\n' >"$OUT/run/answers.txt"
before=$(tree "$OUT/run/removal")
out=$(windows --program-folder "$(winpath "$APP")" --answers "$(winpath "$OUT/run/answers.txt")" --no-open)
check start-folder "$([[ "$out" == *"Unable to locate Kotor folder via registry."* ]] || echo "no registry prompt")$(
    [[ "$out" == *$'Browse for folder: Find Kotor main folder\n'*$'\nStart folder: '"$(winpath "$GAME")"$'\n'* ]] ||
    echo "the folder dialog does not start on $(winpath "$GAME")")$(
    [[ "$out" == *"exit 2" && "$(tree "$OUT/run/removal")" == "$before" ]] || echo "cancelling changed something")"

# A folder typed in UTF-8 (an answers file saved by Notepad) names the folder of that name.
layout
reg delete 'HKLM\Software\GOG.com' /f
accented="$OUT/run/removal/K$(printf '\xc3\xb6')tor"
mv "$GAME" "$accented"
printf '0\n0\n%s\n0\n0\n0\n0\n0\n0\n' "$(winpath "$accented")" >"$OUT/run/answers.txt"
out=$(windows --program-folder "$(winpath "$APP")" --answers "$(winpath "$OUT/run/answers.txt")" --no-open)
check typed-folder-in-utf8 "$([[ "$out" == *"exit 0" && ! -e "$accented/override/mod_a.tga" ]] ||
    echo "the mod was not removed from the typed folder $accented")"

echo "$passed passed, $failed failed"
((failed == 0))
