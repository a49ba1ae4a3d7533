#!/usr/bin/env bash
# zelvane-console.exe of a Windows build under Wine, judged against the POSIX zelvane-console on the
# same folders: --check on every description of tests/description/check_gallery (the same findings
# and exit status, nothing changed on disk), one complete removal answered from a file whose saved
# removal_results.rtf must equal the POSIX console's byte for byte, and the folder dialog's start on
# the folder GOG registered when the game's own registry entry is missing. Prints one
# "PASS build/name" or "FAIL build/name: why" line per check and a closing "N passed, M failed".
#
#   tests/win32/run-console-wine-tests.sh BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR
#
# BUILD_WIN32_DIR holds app/console/zelvane-console.exe, BUILD_NATIVE_DIR app/console/zelvane-console.
# OUT_DIR receives the Wine prefix, the synthetic folders and both consoles' outputs.
# The Wine loader and the route to 32-bit Wine for the i686 build come from tests/gui/wine-route.sh:
# where no route runs 32-bit Wine the run ends as skipped (status 77), loudly.
set -uo pipefail

if (($# != 3)); then
    echo "usage: $0 BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR" >&2
    exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
WIN32_DIR=$(realpath -m "$1")
NATIVE_DIR=$(realpath -m "$2")
OUT=$(realpath -m "$3")
EXE=$WIN32_DIR/app/console/zelvane-console.exe
CONSOLE=$NATIVE_DIR/app/console/zelvane-console
GALLERY=$ROOT/tests/description/check_gallery

WINE_SUBJECT=zelvane-console.exe
WINE_TESTS=console
# shellcheck source=tests/gui/wine-route.sh
source "$ROOT/tests/gui/wine-route.sh"
EXE_ARCH=$(pe_machine "$EXE")
case "$EXE_ARCH" in
    i386) BUILD=i686 ;;
    x86_64) BUILD=x86_64 ;;
    *) BUILD=$(basename "$WIN32_DIR") ;;
esac

passed=0
failed=0
pass() { echo "PASS $BUILD/$1"; passed=$((passed + 1)); }
fail() { echo "FAIL $BUILD/$1: $2"; failed=$((failed + 1)); }
note() { echo "$*" >>"$OUT/harness.log"; }
cleanup() {
    if [[ -n "$WINESERVER" && -d "${WINEPREFIX:-/nonexistent}" ]]; then timeout 30 "$WINESERVER" -k >/dev/null 2>&1; fi
}
show_log_end() {
    [[ -f "$OUT/harness.log" ]] || return 0
    echo "--- the end of the harness log ($OUT/harness.log) ---"
    tail -n "$1" "$OUT/harness.log"
    echo "---"
}
finish() {
    if ((failed > 0)); then show_log_end 40; fi
    cleanup
    echo "$passed passed, $failed failed"
    ((failed == 0))
    exit $?
}
abort_all() { fail "$1" "$2"; finish; }

mkdir -p "$OUT"
rm -rf "$OUT/run" "$OUT/results" "$OUT/wineprefix"
mkdir -p "$OUT/results"
: >"$OUT/harness.log"

for tool in timeout od md5sum; do
    command -v "$tool" >/dev/null || abort_all setup "$tool is not installed"
done
[[ -f "$EXE" ]] || abort_all build "zelvane-console.exe not found at $EXE"
[[ -n "$EXE_ARCH" ]] || abort_all build "$EXE is not a Windows program"
[[ -x "$CONSOLE" ]] || abort_all build "zelvane-console not found at $CONSOLE"

choose_wine_loader "$EXE_ARCH" "$0" "$@"

# A console program opens no window: no display, so that Wine never draws on the user's.
unset DISPLAY
export WINEPREFIX="$OUT/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
boot_wine_prefix "$EXE_ARCH"

# wine_console SECONDS ARG...: zelvane-console.exe's output (line ends as the POSIX console's) and,
# on its last line, "exit N". The output goes through a file: services Wine starts beside the
# program inherit its handles and would hold a pipe open.
wine_console() {
    local seconds=$1 status
    shift
    timeout "$seconds" "$WINE" "$EXE" "$@" >"$OUT/wine-output.txt" 2>&1
    status=$?
    tr -d '\r' <"$OUT/wine-output.txt"
    echo "exit $status"
}
posix_console() {
    timeout 120 "$CONSOLE" "$@" 2>&1
    echo "exit $?"
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The lines of --check without the folder before "uninstall/uninstall_data.ini:" (or "\").
findings() { sed -E 's#^.*[/\\]uninstall[/\\]uninstall_data\.ini:#uninstall_data.ini:#'; }
# Every file of a folder with its checksum, and every folder.
tree_state() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum; find . -type d | sort); }

# The first start also starts Wine's services, which stay with the server.
start=$SECONDS
timeout 300 "$WINE" "$EXE" --help >>"$OUT/harness.log" 2>&1 ||
    abort_all setup "zelvane-console.exe --help does not run under Wine (see $OUT/harness.log)"
judge_wine_start "$EXE_ARCH" $((SECONDS - start)) zelvane-console.exe
help=$(wine_console 60 --help)
if [[ "$help" == *"--wine-prefix"* || "$help" == *"--registry"* || "$help" == *"--find-games"* ]]; then
    fail help "the Windows console's --help offers an option of the Linux game search"
else
    pass help
fi

# ---------------------------------------------------------------------------------------------
# --check on the gallery: the same findings and status as the POSIX console, nothing changed
# ---------------------------------------------------------------------------------------------
RUN="$OUT/run"
for case_dir in "$GALLERY"/*/; do
    name=$(basename "$case_dir")
    folder="$RUN/gallery/$name"
    mkdir -p "$RUN/gallery"
    cp -r "$case_dir" "$folder"
    before=$(tree_state "$folder")
    win_args=(--check --program-folder "$(winpath "$folder")")
    posix_args=(--check --program-folder "$folder")
    for option in mod game; do
        if [[ -d "$folder/$option" ]]; then
            win_args+=("--$option-folder" "$(winpath "$folder/$option")")
            posix_args+=("--$option-folder" "$folder/$option")
        fi
    done
    # Each console names the description by the folder as it was given: the findings follow it.
    wine_console 120 "${win_args[@]}" | findings >"$OUT/results/check-$name-windows.txt"
    posix_console "${posix_args[@]}" | findings >"$OUT/results/check-$name-posix.txt"
    if ! cmp -s "$OUT/results/check-$name-windows.txt" "$OUT/results/check-$name-posix.txt"; then
        diff -u "$OUT/results/check-$name-posix.txt" "$OUT/results/check-$name-windows.txt" >"$OUT/results/check-$name.diff"
        fail "check-$name" "the findings or the status differ from the POSIX console's (see results/check-$name.diff)"
    elif [[ "$(tree_state "$folder")" != "$before" ]]; then
        fail "check-$name" "--check changed a file"
    else
        pass "check-$name"
    fi
done

# ---------------------------------------------------------------------------------------------
# A complete removal: the same log and the same files as the POSIX console's
# ---------------------------------------------------------------------------------------------
APP="$RUN/removal/app"
GAME="$RUN/removal/game"
GAME_WIN=$(winpath "$GAME")
crlf() { printf '%s\r\n' "$@"; }

# A file list with a subfolder hit and a missing entry, a queued delete, a queued restore of an
# .original file, a 2da restore and explicit instructions: every phase of a run, laid out at the
# same place for each console so that both logs name the same folders.
layout() {
    rm -rf "$RUN/removal"
    mkdir -p "$GAME/override/sub" "$APP/uninstall" "$APP/backup"
    { printf 'TLK V3.0'; printf '\0\0\0\0synthetic talk table'; } >"$GAME/dialog.tlk"
    printf 'mod texture a' >"$GAME/override/mod_a.tga"
    printf 'mod texture b, moved by the player' >"$GAME/override/sub/mod_b.tga"
    printf 'queued item' >"$GAME/override/qd_item.uti"
    printf '2DA V2.0 mod version' >"$GAME/override/restore_me.2da"
    printf '2DA V2.0 game original' >"$GAME/override/restore_me.2da.original"
    printf '2DA V2.0 appearance as the mod changed it' >"$GAME/override/appearance.2da"
    printf 'a file of the player' >"$GAME/override/players_own.tga"
    printf '2DA V2.0 appearance before the mod' >"$APP/backup/appearance.2da"
    crlf '#game=2' '#confirm_message_begin#' 'This removes the \b Console Test Robes\b0 .' '#confirm_message_end#' \
        '#qdelete_file_0=override\qd_item.uti' '#qdelete_file_begin_0#' 'Delete \b qd_item.uti\b0 ?' '#qdelete_file_end_0#' \
        '#qrestore_file_0=override\restore_me.2da' '#qrestore_file_begin_0#' 'Give it its original back?' '#qrestore_file_end_0#' \
        '#qrestore_2da=true' '#qrestore_2da_files=appearance.2da' \
        '#explicit_instructions_begin#' 'Now \cf10 reinstall\cf1  what changed appearance.2da.' '#explicit_instructions_end#' \
        '#file_list' 'override\mod_a.tga' 'override\mod_b.tga' 'override\never_there.tga' \
        >"$APP/uninstall/uninstall_data.ini"
    printf '%s\n' 0 0 0 0 0 0 >"$RUN/answers.txt"
}

# The game's registry entry, in the 32-bit view where the game's installer writes it.
wine_reg() { timeout 60 "$WINE" reg "$@" >>"$OUT/harness.log" 2>&1; }
wine_reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$GAME_WIN" /f /reg:32

layout
cp "$EXE" "$APP/zelvane-console.exe"
# From the program's own folder, as an author runs it: the program folder is the executable's.
(cd "$APP" && EXE="$APP/zelvane-console.exe" && wine_console 120 --answers "$(winpath "$RUN/answers.txt")" --no-open) \
    >"$OUT/results/removal-windows.txt"
rm -f "$APP/zelvane-console.exe"
windows_tree=$(tree_state "$RUN/removal")
windows_log="$OUT/results/removal_results-windows.rtf"
cp "$APP/uninstall/removal_results.rtf" "$windows_log" 2>/dev/null || rm -f "$windows_log"

layout
printf '%s\n' "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|$GAME_WIN" >"$RUN/registry.txt"
posix_console --program-folder "$APP" --registry "$RUN/registry.txt" --answers "$RUN/answers.txt" --no-open \
    >"$OUT/results/removal-posix.txt"
posix_tree=$(tree_state "$RUN/removal")
posix_log="$OUT/results/removal_results-posix.rtf"
cp "$APP/uninstall/removal_results.rtf" "$posix_log" 2>/dev/null || rm -f "$posix_log"

if [[ "$(tail -n 1 "$OUT/results/removal-windows.txt")" != "exit 0" ]]; then
    fail removal-log "zelvane-console.exe ended with $(tail -n 1 "$OUT/results/removal-windows.txt") (see results/removal-windows.txt)"
elif [[ ! -f "$windows_log" ]]; then
    fail removal-log "zelvane-console.exe saved no uninstall\\removal_results.rtf"
elif [[ ! -f "$posix_log" ]]; then
    fail removal-log "the POSIX console saved no removal log: $(tail -n 3 "$OUT/results/removal-posix.txt" | tr '\n' ' ')"
elif cmp -s "$windows_log" "$posix_log"; then
    pass removal-log
else
    diff -u --strip-trailing-cr "$posix_log" "$windows_log" >"$OUT/results/removal_results.diff"
    fail removal-log "the logs differ ($(cmp "$posix_log" "$windows_log" 2>&1 | head -n 1); see results/removal_results.diff)"
fi
if [[ "$windows_tree" == "$posix_tree" ]]; then
    pass removal-same-files
else
    diff -u <(echo "$posix_tree") <(echo "$windows_tree") >"$OUT/results/tree.diff"
    fail removal-same-files "the folders differ after the two removals (see results/tree.diff)"
fi

# ---------------------------------------------------------------------------------------------
# Without the game's registry entry the folder dialog starts on the folder GOG registered
# ---------------------------------------------------------------------------------------------
layout
wine_reg delete 'HKLM\Software\LucasArts\KotOR2' /f /reg:32
wine_reg add 'HKLM\Software\GOG.com\Games\1421404581' /v path /t REG_SZ /d "$GAME_WIN" /f /reg:32
printf '%s\n' 0 0 cancel >"$RUN/answers.txt"
before=$(tree_state "$RUN/removal")
out=$(wine_console 120 --program-folder "$(winpath "$APP")" --answers "$(winpath "$RUN/answers.txt")" --no-open)
printf '%s\n' "$out" >"$OUT/results/start-folder.txt"
if [[ "$out" != *"Unable to locate Kotor folder via registry."* ]]; then
    fail start-folder "no \"Unable to locate Kotor folder via registry.\" prompt (see results/start-folder.txt)"
elif [[ "$out" != *$'Browse for folder: Find Kotor main folder\n'*$'\nStart folder: '"$GAME_WIN"$'\n'* ]]; then
    fail start-folder "the folder dialog does not start on $GAME_WIN (see results/start-folder.txt)"
elif [[ "$out" != *"exit 2" || "$(tree_state "$RUN/removal")" != "$before" ]]; then
    fail start-folder "cancelling the folder dialog did not stop the run before anything changed"
else
    pass start-folder
fi

# ---------------------------------------------------------------------------------------------
# A folder typed in UTF-8 (an answers file saved by Notepad) names the folder of that name
# ---------------------------------------------------------------------------------------------
layout
wine_reg delete 'HKLM\Software\GOG.com' /f /reg:32
accented="$RUN/removal/K$(printf '\xc3\xb6')tor"  # "Kötor" in UTF-8, as Linux names it
mv "$GAME" "$accented"
printf '%s\n' 0 0 "$(winpath "$accented")" 0 0 0 0 0 0 >"$RUN/answers.txt"
out=$(wine_console 120 --program-folder "$(winpath "$APP")" --answers "$(winpath "$RUN/answers.txt")" --no-open)
printf '%s\n' "$out" >"$OUT/results/typed-folder.txt"
if [[ "$out" != *"exit 0" || -e "$accented/override/mod_a.tga" ]]; then
    fail typed-folder-in-utf8 "the run did not remove the mod from the typed folder $accented (see results/typed-folder.txt)"
else
    pass typed-folder-in-utf8
fi

# ---------------------------------------------------------------------------------------------
# A second console on the same program folder ends with 4 while the first waits for an answer
# ---------------------------------------------------------------------------------------------
layout
wine_reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$GAME_WIN" /f /reg:32
cp "$EXE" "$APP/zelvane-console.exe"
rm -f "$RUN/answers.fifo"
mkfifo "$RUN/answers.fifo"
timeout 120 "$WINE" "$EXE" --program-folder "$(winpath "$APP")" --no-open <"$RUN/answers.fifo" \
    >"$OUT/results/first-instance.txt" 2>&1 &
first=$!
# The first console reads its answers from the pipe, which stays open (and empty) until the check ends.
exec 3>"$RUN/answers.fifo"
deadline=$((SECONDS + 90))
until grep -q '^Prompt: Confirm Remove Mod' "$OUT/results/first-instance.txt" 2>/dev/null || ((SECONDS > deadline)); do
    sleep 0.2
done
before=$(tree_state "$RUN/removal")
if ! grep -q '^Prompt: Confirm Remove Mod' "$OUT/results/first-instance.txt"; then
    fail another-instance "the first console never asked its first question (see results/first-instance.txt)"
else
    # The second from the program's own folder: the same program folder, given another way.
    out=$(cd "$APP" && EXE="$APP/zelvane-console.exe" && wine_console 60 --answers "$(winpath "$RUN/answers.txt")" --no-open)
    printf '%s\n' "$out" >"$OUT/results/second-instance.txt"
    if [[ "$out" != *"exit 4" ]]; then
        fail another-instance "the second console ended with $(tail -n 1 <<<"$out"), not 4 (see results/second-instance.txt)"
    elif [[ "$out" == *"Prompt:"* || "$(tree_state "$RUN/removal")" != "$before" ]]; then
        fail another-instance "the second console asked a question or changed a file"
    else
        pass another-instance
    fi
fi
exec 3>&-
wait "$first"
rm -f "$APP/zelvane-console.exe"

finish
