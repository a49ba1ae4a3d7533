#!/usr/bin/env bash
# GUI tests of the Windows program: runs the real zelvane.exe under Wine in a private Xvfb display,
# drives it from outside with zelvane-gui-driver.exe and judges it by its windows and the files it
# writes. Prints one "PASS build/name" or "FAIL build/name: why" line per check, build being i686 or
# x86_64 (the architecture of the zelvane.exe under test), and a closing "N passed, M failed".
#
#   tests/gui/run-gui-tests.sh BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR
#
# BUILD_WIN32_DIR holds app/win32/zelvane.exe (and tests/gui/driver/zelvane-gui-driver.exe when the
# driver is part of that build; otherwise the driver is compiled here with mingw-w64).
# BUILD_NATIVE_DIR holds app/console/zelvane-console, whose removal log the GUI's must equal.
# OUT_DIR receives the Wine prefix, the synthetic folders, the saved logs and the screenshots.
# Overrides for development: ZELVANE_GUI_EXE, ZELVANE_GUI_DRIVER, ZELVANE_CONSOLE.
#
# The Wine loader, the route to 32-bit Wine for the i686 build and the skip where none runs come
# from wine-route.sh (ZELVANE_I386_ROUTE, ZELVANE_REQUIRE_I686 are described there).
set -uo pipefail

if (($# != 3)); then
    echo "usage: $0 BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR" >&2
    exit 2
fi
HERE=$(cd "$(dirname "$0")" && pwd)
WIN32_DIR=$(realpath -m "$1")
NATIVE_DIR=$(realpath -m "$2")
OUT=$(realpath -m "$3")
EXE=${ZELVANE_GUI_EXE:-$WIN32_DIR/app/win32/zelvane.exe}
DRIVER=${ZELVANE_GUI_DRIVER:-$WIN32_DIR/tests/gui/driver/zelvane-gui-driver.exe}
CONSOLE=${ZELVANE_CONSOLE:-$NATIVE_DIR/app/console/zelvane-console}

VERSION=1.0.151
MAIN_TITLE="Zelvane - Version: $VERSION"
DESIGN_TITLE="Zelvane"
CMD_REMOVE="&Remove Mod"
CMD_INI="For &Modders - How To Use This Program In Your Own Mods"
NOTICE="INI Errors Encountered - Mod Removal Disabled until INI is fixed."
NO_RTF="Uninstall_Info.rtf Was NOT FOUND"
VERSION_LINE='\pard\qc\cf2\b\fs24 This was made with version: \cf1 '"$VERSION"'\cf0\par'
VIEWERS=("*Wordpad*" "*WordPad*" "Error running*")

WINE_SUBJECT=zelvane.exe
WINE_TESTS=GUI
# shellcheck source=tests/gui/wine-route.sh
source "$HERE/wine-route.sh"
EXE_ARCH=$(pe_machine "$EXE")
# The build every check line names.
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

XVFB_PID=""
APP_PID=""
cleanup() {
    if [[ -n "$APP_PID" ]] && kill -0 "$APP_PID" 2>/dev/null; then kill "$APP_PID" 2>/dev/null; fi
    if [[ -n "$WINESERVER" && -d "${WINEPREFIX:-/nonexistent}" ]]; then timeout 30 "$WINESERVER" -k >/dev/null 2>&1; fi
    if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
}
# The last lines of the harness log, without the window and process listings.
show_log_end() {
    [[ -f "$OUT/harness.log" ]] || return 0
    echo "--- the end of the harness log ($OUT/harness.log) ---"
    grep -v -E '^(CHILD|WINDOW)' "$OUT/harness.log" | tail -n "$1"
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

rm -rf "$OUT/screenshots" "$OUT/results" "$OUT/run" "$OUT/wineprefix"
mkdir -p "$OUT/screenshots" "$OUT/results"
: >"$OUT/harness.log"

# ---------------------------------------------------------------------------------------------
# Tools, Wine and the programs
# ---------------------------------------------------------------------------------------------
for tool in Xvfb import timeout od; do
    command -v "$tool" >/dev/null || abort_all setup "$tool is not installed (tests/gui/install-deps.sh installs it)"
done
[[ -f "$EXE" ]] || abort_all build "zelvane.exe not found at $EXE"
[[ -n "$EXE_ARCH" ]] || abort_all build "$EXE is not a Windows program"

choose_wine_loader "$EXE_ARCH" "$0" "$@"

# The driver: the one from the build folder (of the program's architecture), else compiled now.
if [[ ! -f "$DRIVER" || "$(pe_machine "$DRIVER")" != "$EXE_ARCH" ]]; then
    arch=x86_64
    if [[ "$EXE_ARCH" == i386 ]]; then arch=i686; fi
    DRIVER="$OUT/driver/zelvane-gui-driver.exe"
    mkdir -p "$OUT/driver"
    if ! "$arch-w64-mingw32-g++" -std=c++20 -O1 -Wall -Wextra -Werror -static -o "$DRIVER" \
        "$HERE/driver/driver.cpp" -lgdi32 >>"$OUT/harness.log" 2>&1; then
        abort_all build "zelvane-gui-driver.exe is not built and $arch-w64-mingw32-g++ could not build it"
    fi
fi
note "program: $EXE ($EXE_ARCH), driver: $DRIVER, console: $CONSOLE"

# ---------------------------------------------------------------------------------------------
# X display and Wine prefix
# ---------------------------------------------------------------------------------------------
display=""
for n in $(seq 91 160); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >>"$OUT/harness.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
        [[ -e /tmp/.X11-unix/X$n ]] && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$XVFB_PID" 2>/dev/null; then
        display=":$n"
        break
    fi
    kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
done
[[ -n "$display" ]] || abort_all setup "could not start Xvfb on a free display"
export DISPLAY=$display

export WINEPREFIX="$OUT/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
boot_wine_prefix "$EXE_ARCH"

wine_run() { timeout "$1" "$WINE" "${@:2}" 2>>"$OUT/wine-stderr.log" | tr -d '\r'; }
drv() { wine_run 90 "$DRIVER" "$@"; }
# Results are read from what the driver prints, never from Wine's exit status.
wait_window() { drv wait-window "$@" | grep '^FOUND' >/dev/null; }
wait_gone() { drv wait-gone "$@" | grep '^GONE' >/dev/null; }
click() { drv click "$@" | tee -a "$OUT/harness.log" | grep '^CLICKED' >/dev/null; }

ping_start=$SECONDS
[[ "$(wine_run 300 "$DRIVER" ping)" == "DRIVER OK" ]] || abort_all setup "zelvane-gui-driver.exe does not run under Wine"
judge_wine_start "$EXE_ARCH" $((SECONDS - ping_start)) driver

# Wine draws the window frames itself (there is no window manager in Xvfb).
wine_run 60 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$OUT/harness.log"

RUN="$OUT/run"
APP="$RUN/app"
GAME="$RUN/game"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
GAME_WIN=$(winpath "$GAME")
for view in 32 64; do
    wine_run 60 reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$GAME_WIN" /f "/reg:$view" >>"$OUT/harness.log"
done
if ! wine_run 60 reg query 'HKLM\Software\LucasArts\KotOR2' /v Path /reg:32 | grep -F "$GAME_WIN" >/dev/null; then
    abort_all setup "the KotOR2 registry value could not be written"
fi

# ---------------------------------------------------------------------------------------------
# Synthetic folders
# ---------------------------------------------------------------------------------------------
crlf() { printf '%s\r\n' "$@"; }

# The description of a complete removal: a file list with a subfolder hit and a missing entry,
# a queued delete, a queued restore of an .original file, a 2da restore and explicit instructions.
full_description() {
    crlf '#game=2' \
        '#confirm_message_beep=0' \
        '#confirm_message_begin#' \
        'This removes the \b GUI Test Robes\b0 .' \
        'Do you wish to continue?' \
        '#confirm_message_end#' \
        '#qdelete_file_0=override\qd_item.uti' \
        '#qdelete_file_begin_0#' \
        'Delete the changed \b qd_item.uti\b0 ?' \
        '#qdelete_file_end_0#' \
        '#qrestore_file_0=override\restore_me.2da' \
        '#qrestore_file_begin_0#' \
        'Give \b restore_me.2da\b0  its original back?' \
        '#qrestore_file_end_0#' \
        '#qrestore_2da=true' \
        '#qrestore_2da_files=appearance.2da,feat.2da' \
        '#explicit_instructions_begin#' \
        'Now \cf10 reinstall\cf1  anything that changed \b appearance.2da\b0  after this mod.' \
        '#explicit_instructions_end#' \
        '#file_list' \
        '; installed files' \
        'override\mod_a.tga' \
        'override\mod_b.uti' \
        'override\mod_c.tga' \
        'override\never_there.tga'
}

# layout KIND: lays out a fresh game folder and program folder at the same place every time.
#   full     the complete description and an information document
#   nortf    the complete description, no information document
#   badgame  a description whose #game= value is no number
#   noini    no description at all
layout() {
    rm -rf "$RUN"
    mkdir -p "$GAME/override/sub" "$GAME/Movies" "$APP/uninstall" "$APP/backup"
    { printf 'TLK V3.0'; printf '\0\0\0\0synthetic talk table'; } >"$GAME/dialog.tlk"
    printf 'mod texture a' >"$GAME/override/mod_a.tga"
    printf 'mod item b' >"$GAME/override/mod_b.uti"
    printf 'mod texture c, moved by the player' >"$GAME/override/sub/mod_c.tga"
    printf 'queued item' >"$GAME/override/qd_item.uti"
    printf '2DA V2.0 mod version' >"$GAME/override/restore_me.2da"
    printf '2DA V2.0 game original' >"$GAME/override/restore_me.2da.original"
    printf '2DA V2.0 appearance as the mod changed it' >"$GAME/override/appearance.2da"
    printf 'a file of the player' >"$GAME/override/players_own.tga"
    printf 'movie' >"$GAME/Movies/intro.bik"
    printf '2DA V2.0 appearance before the mod' >"$APP/backup/appearance.2da"
    cp "$EXE" "$APP/zelvane.exe"
    case "$1" in
        full | nortf) full_description >"$APP/uninstall/uninstall_data.ini" ;;
        badgame) { crlf '#game=abc'; full_description; } >"$APP/uninstall/uninstall_data.ini" ;;
        noini) ;;
    esac
    if [[ "$1" != nortf ]]; then
        printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs28 \\b GUI Test Robes\\b0\\par\r\nThis mod adds robes. Visit http://example.invalid/robes for help.\\par\r\n}' \
            >"$APP/uninstall/uninstall_info.rtf"
    fi
}

# ---------------------------------------------------------------------------------------------
# The program and its windows
# ---------------------------------------------------------------------------------------------
# The program's processes still alive from an earlier start: their command lines name zelvane.exe.
# One of them would hold the single-instance mutex and the next start would end at once. Only
# processes of this run's Wine prefix count: other runs on the machine are left alone.
lingering() {
    local pid
    for pid in $(pgrep -f -i 'zelvane\.exe'); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        printf '%s %s\n' "$pid" "$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null)"
    done | grep -v -i 'gui-driver'
}
wait_no_instance() {
    for _ in $(seq 100); do
        lingering >/dev/null || return 0
        sleep 0.2
    done
    note "an earlier zelvane.exe is still running ($(lingering | tr '\n' ';')); ending it"
    lingering | awk '{ print $1 }' | xargs -r kill -9 2>/dev/null
    sleep 1
}

start_app() {
    wait_no_instance
    (cd "$APP" && exec timeout 300 "$WINE" zelvane.exe >>"$OUT/wine-stderr.log" 2>&1) &
    APP_PID=$!
}

# What the display and the processes hold, for a report on a window that did not come.
situation() {
    local alive=ended
    [[ -n "$APP_PID" ]] && kill -0 "$APP_PID" 2>/dev/null && alive=running
    printf 'program %s; driver: %s; windows: %s; processes: %s; wine said: %s' "$alive" "$(drv ping)" \
        "$(drv list | awk -F'\t' '$5 == 1 { printf "\"%s\" ", $4 }')" \
        "$(lingering | cut -c1-120 | tr '\n' ';')" \
        "$(tail -n 5 "$OUT/wine-stderr.log" 2>/dev/null | tr '\n' ' ')"
}

# Starts the program and waits for its first window TITLE. A start whose window does not come is
# reported in the harness log and tried once more, so that a slow Wine start-up on a loaded
# machine is told apart from a program that shows nothing: the second start must show it.
launch() {
    start_app
    wait_window "$1" 45000 && return 0
    local report
    report="no \"$1\" window after the first start: $(situation)"
    note "$report"
    echo "note: $report"
    stop_app 5
    start_app
    wait_window "$1" 60000
}

# Waits until the program has ended; ends it by its process id after the timeout.
stop_app() {
    local seconds=${1:-20}
    [[ -n "$APP_PID" ]] || return 0
    for _ in $(seq $((seconds * 5))); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$APP_PID" 2>/dev/null; then
        note "program did not end by itself; ending it"
        kill "$APP_PID" 2>/dev/null
        sleep 1
    fi
    wait "$APP_PID" 2>/dev/null
    APP_PID=""
}

close_main() {
    drv close "$1" >/dev/null
    wait_gone "$1" 10000
    stop_app 15
}

shot() { timeout 30 import -display "$DISPLAY" -window root "$OUT/screenshots/$1.png" 2>>"$OUT/harness.log"; }

# A field of the dump: dump_child DUMP TEXT FIELD (4 x, 5 y, 6 w, 7 h, 8 enabled, 9 visible, 1 class).
dump_child() { awk -F'\t' -v t="$2" -v f="$3" '$1 == "CHILD" && $3 == t { print $f; exit }' <<<"$1"; }
dump_window() { awk -F'\t' -v f="$2" '$1 == "WINDOW" { print $f; exit }' <<<"$1"; }

WORKING_COPY_LEFT=()
check_working_copy() {
    if [[ -e "$APP/uninstall/uninstall_data20A.ini" ]]; then WORKING_COPY_LEFT+=("$1"); fi
}

close_viewers() { drv close-any "${1:-3000}" "${VIEWERS[@]}" >>"$OUT/harness.log"; }

near() { local d=$(($1 - $2)); ((d < 0)) && d=$((-d)); ((d <= ${3:-1})); }
# Pixels of a twips length at 96 dpi, rounded to the nearest pixel.
px() { echo $((($1 * 2 + 15) / 30)); }

# ---------------------------------------------------------------------------------------------
# (c) a #game= value that is no number: "Oops!", then the INI-error state
# ---------------------------------------------------------------------------------------------
layout badgame
if launch "Oops!"; then
    oops_text=$(drv text "Oops!")
    note "Oops! box: $oops_text"
    shot oops-box
    click "Oops!" OK
    wait_gone "Oops!" 10000
    if wait_window "$DESIGN_TITLE" 15000; then
        sleep 0.5
        d=$(drv dump "$DESIGN_TITLE")
        note "$d"
        shot main-ini-error
        check_working_copy "INI error"
        remove_enabled=$(dump_child "$d" "$CMD_REMOVE" 8)
        notice_visible=$(dump_child "$d" "$NOTICE" 9)
        if [[ "$oops_text" != *"Form Load"* ]]; then
            fail ini-error "the Oops! box does not name Form Load: $oops_text"
        elif [[ "$notice_visible" != 1 ]]; then
            fail ini-error "the red notice is not shown"
        elif [[ "$remove_enabled" != 0 ]]; then
            fail ini-error "Remove Mod is not disabled (enabled=${remove_enabled:-missing})"
        elif [[ "$(dump_child "$d" "$CMD_INI" 8)" != 1 ]]; then
            fail ini-error "For Modders is not enabled"
        else
            pass ini-error
        fi
        close_main "$DESIGN_TITLE"
    else
        fail ini-error "no main window titled \"$DESIGN_TITLE\" after the Oops! box: $(drv list | cut -f3,4 | tr '\n' ';')"
    fi
else
    fail ini-error "no Oops! box: $(drv list | awk -F'\t' '$5 == 1 { printf "%s \"%s\"; ", $3, $4 }')"
fi
stop_app 5
check_working_copy "INI error, after exit"

# ---------------------------------------------------------------------------------------------
# (d) no uninstall_data.ini: the "Aborting" box
# ---------------------------------------------------------------------------------------------
layout noini
if launch "Aborting"; then
    abort_text=$(drv text "Aborting")
    shot aborting-box
    click "Aborting" OK
    wait_gone "Aborting" 10000
    expected='The uninstall_data.ini file was not found.\r\nCannot continue without it.'
    if wait_window "$DESIGN_TITLE" 15000; then
        sleep 0.5
        d=$(drv dump "$DESIGN_TITLE")
        check_working_copy "no description"
        if [[ "$abort_text" != *"TEXT	$expected"* ]]; then
            fail missing-ini "the Aborting box says: $abort_text"
        elif [[ "$(dump_child "$d" "$CMD_REMOVE" 8)" != 0 || "$(dump_child "$d" "$NOTICE" 9)" != 1 ]]; then
            fail missing-ini "no INI-error state after the box"
        else
            pass missing-ini
        fi
        close_main "$DESIGN_TITLE"
    else
        fail missing-ini "no main window titled \"$DESIGN_TITLE\" after the Aborting box"
    fi
else
    fail missing-ini "no Aborting box"
fi
stop_app 5

# ---------------------------------------------------------------------------------------------
# (b) no uninstall_info.rtf, and (h) For Modders
# ---------------------------------------------------------------------------------------------
layout nortf
if launch "$MAIN_TITLE"; then
    sleep 0.5
    d=$(drv dump "$MAIN_TITLE")
    note "$d"
    shot main-without-info
    check_working_copy "no information document"
    height=$(dump_window "$d" 7)
    if [[ "$(dump_child "$d" "$NO_RTF" 9)" != 1 ]]; then
        fail no-info-document "no visible \"$NO_RTF\" label"
    elif [[ "$height" != "$(px 4245)" ]]; then
        fail no-info-document "window height $height px, expected $(px 4245) (4245 twips)"
    elif [[ "$(dump_child "$d" "$CMD_REMOVE" 8)" != 1 ]]; then
        fail no-info-document "Remove Mod is disabled"
    else
        pass no-info-document
    fi

    usage="$APP/uninstall/Zelvane Usage.rtf"
    click "$MAIN_TITLE" "$CMD_INI"
    line11=""
    for _ in $(seq 75); do
        [[ -f "$usage" ]] && line11=$(sed -n 11p "$usage" | tr -d '\r')
        [[ "$line11" == "$VERSION_LINE" ]] && break
        sleep 0.2
    done
    if drv wait-any 10000 "${VIEWERS[@]}" | tee -a "$OUT/harness.log" | grep '^FOUND' >/dev/null; then
        sleep 2
        shot usage-viewer
    fi
    close_viewers 2000
    if [[ ! -f "$usage" ]]; then
        fail for-modders "uninstall\\Zelvane Usage.rtf was not written"
    elif [[ "$line11" != "$VERSION_LINE" ]]; then
        fail for-modders "line 11 is: $line11"
    else
        cp "$usage" "$OUT/results/"
        pass for-modders
    fi
    close_viewers 1000
    close_main "$MAIN_TITLE"
else
    fail no-info-document "no main window titled \"$MAIN_TITLE\""
    fail for-modders "no main window"
fi
stop_app 5
check_working_copy "no information document, after exit"

# ---------------------------------------------------------------------------------------------
# (a) normal start-up, (e) the confirmation prompt's layout, (f) a complete removal
# ---------------------------------------------------------------------------------------------
# Answers, by prompt title, of the complete removal; the console gets the same answers in order.
declare -A ANSWER=(
    ["Confirm Remove Mod"]="&Yes"
    ["Confirm Delete in Subfolder"]="&Yes"
    ["Confirm Delete"]="&Yes"
    ["Confirm Restore"]="&Yes"
    ["Confirm appearance.2da replacement"]="&Yes"
    ["VERY IMPORTANT!!!"]="&Ok"
)
EXPECTED_PROMPTS="Confirm Remove Mod|Confirm Delete in Subfolder|Confirm Delete|Confirm Restore|Confirm appearance.2da replacement|VERY IMPORTANT!!!"
CONSOLE_ANSWERS=(0 0 0 0 0 0)
UNEXPECTED=("Oops!" "Aborting" "Error" "Hmm" "Shutting Down" "Choose Game")
shot_name() { tr -c 'A-Za-z0-9\n' '-' <<<"$1" | tr 'A-Z' 'a-z' | sed 's/--*/-/g; s/-$//'; }

# Compares the dumped confirmation prompt with the prompt arithmetic (twips at 15 per pixel):
# body at (900, 195); button top = 195 + body height * 15 + 120; buttons 1000 x 380 with a
# 240 gap, centred in the dialog width; dialog height = button top + 415 + 500; dialog width =
# body right edge + 300.
check_confirm_layout() {
    local d=$1 bx by bw bh wx wy ww wh y0 x0 x1 w0 h0 w1 why=""
    read -r bx by bw bh < <(awk -F'\t' '$1 == "CHILD" && $2 ~ /^(RichEdit20A|RICHEDIT|RichEdit)/ && $9 == 1 { print $4, $5, $6, $7; exit }' <<<"$d")
    ww=$(dump_window "$d" 6)
    wh=$(dump_window "$d" 7)
    x0=$(dump_child "$d" "&Yes" 4); y0=$(dump_child "$d" "&Yes" 5); w0=$(dump_child "$d" "&Yes" 6); h0=$(dump_child "$d" "&Yes" 7)
    x1=$(dump_child "$d" "&No" 4); y1=$(dump_child "$d" "&No" 5); w1=$(dump_child "$d" "&No" 6)
    if [[ -z "$bh" ]]; then echo "no visible rich-edit body"; return; fi
    if [[ -z "$x0" || -z "$x1" ]]; then echo "buttons &Yes and &No not both present"; return; fi
    local top_tw=$((195 + bh * 15 + 120))
    local exp_top; exp_top=$(px $top_tw)
    local exp_w; exp_w=$(px 1000)
    local exp_h; exp_h=$(px 380)
    local exp_gap; exp_gap=$(px 240)
    local exp_wh; exp_wh=$(px $((top_tw + 415 + 500)))
    local exp_ww; exp_ww=$(px $((900 + bw * 15 + 300)))
    local exp_x0; exp_x0=$(px $(((ww * 15 - 2240) / 2)))
    near "$bx" "$(px 900)" || why+="body left $bx, expected $(px 900); "
    near "$by" "$(px 195)" || why+="body top $by, expected $(px 195); "
    near "$y0" "$exp_top" || why+="button top $y0, expected $exp_top (body height $bh); "
    [[ "$y1" == "$y0" ]] || why+="buttons not in one row ($y0, $y1); "
    near "$w0" "$exp_w" || why+="button width $w0, expected $exp_w; "
    [[ "$w1" == "$w0" ]] || why+="buttons of different widths; "
    near "$h0" "$exp_h" || why+="button height $h0, expected $exp_h; "
    near $((x1 - x0 - w0)) "$exp_gap" || why+="gap $((x1 - x0 - w0)), expected $exp_gap; "
    near "$x0" "$exp_x0" 2 || why+="first button at $x0, expected $exp_x0 (centred in $ww); "
    near "$wh" "$exp_wh" || why+="dialog height $wh, expected $exp_wh; "
    near "$ww" "$exp_ww" 2 || why+="dialog width $ww, expected $exp_ww; "
    echo "$why"
}

# Snapshot of every file of the synthetic folders: path and checksum (the program itself left out).
tree_state() { (cd "$RUN" && find . -type f ! -name zelvane.exe -print0 | sort -z | xargs -0 -r md5sum; find . -type d | sort); }

layout full
gui_log=""
if launch "$MAIN_TITLE"; then
    sleep 1
    d=$(drv dump "$MAIN_TITLE")
    note "$d"
    shot main-window
    check_working_copy "normal start-up"
    if [[ "$(dump_child "$d" "$CMD_REMOVE" 8)" != 1 ]]; then
        fail startup-normal "no enabled \"$CMD_REMOVE\" button"
    elif [[ "$(dump_child "$d" "$CMD_INI" 8)" != 1 ]]; then
        fail startup-normal "no enabled \"$CMD_INI\" button"
    elif [[ "$(dump_child "$d" "$NOTICE" 9)" == 1 ]]; then
        fail startup-normal "the INI-error notice is shown"
    else
        pass startup-normal
    fi

    # Alt+N in the confirmation presses "&No": the window stays, nothing is written.
    click "$MAIN_TITLE" "$CMD_REMOVE"
    if wait_window "Confirm Remove Mod" 20000; then
        sleep 0.5
        drv press-key "Confirm Remove Mod" 0x4E alt >/dev/null
        if wait_gone "Confirm Remove Mod" 5000; then
            if [[ -e "$APP/uninstall/removal_results.rtf" ]] || ! wait_window "$MAIN_TITLE" 3000; then
                fail confirm-decline "Alt+N did not leave the program idle"
            else
                pass confirm-decline
            fi
        else
            fail confirm-decline "Alt+N did not close the confirmation"
            click "Confirm Remove Mod" "&No"
            wait_gone "Confirm Remove Mod" 5000
        fi
    else
        fail confirm-decline "no confirmation prompt"
    fi

    # The complete run: answer each prompt as it comes.
    click "$MAIN_TITLE" "$CMD_REMOVE"
    seen=()
    clipped=""
    declare -A shot_taken=()
    viewer_seen=""
    deadline=$((SECONDS + 150))
    titles=("${!ANSWER[@]}" "${UNEXPECTED[@]}" "${VIEWERS[@]}")
    while ((SECONDS < deadline)); do
        found=$(drv wait-any 3000 "${titles[@]}")
        if [[ "$found" != FOUND* ]]; then
            if ! wait_window "$MAIN_TITLE" 500 && ! kill -0 "$APP_PID" 2>/dev/null; then break; fi
            if ! wait_window "$MAIN_TITLE" 500 && [[ -n "$viewer_seen" ]]; then break; fi
            continue
        fi
        title=$(cut -f3 <<<"$found")
        if [[ "$title" == "Error running"* || "$title" == *[Ww]ord[Pp]ad* ]]; then
            # The viewer opens as "Document - Wine Wordpad" and takes the file's name once loaded.
            viewer_seen=$title
            sleep 2
            shot viewer-removal-results
            drv click "$title" OK >/dev/null
            close_viewers 1000
            continue
        fi
        if [[ -z "${shot_taken[$title]:-}" ]]; then
            sleep 0.7
            kind=prompt
            [[ -z "${ANSWER[$title]:-}" ]] && kind=window
            shot "$kind-$(shot_name "$title")"
            shot_taken[$title]=1
            pd=$(drv dump "$title")
            note "$pd"
            printf '%s\n' "$pd" >"$OUT/results/dump-removal-$(shot_name "$title").txt"
            # The body must be tall enough for every display line (about 17 px a line at 12 points).
            clipped+=$(awk -F'\t' -v t="$title" '$1 == "CHILD" && $2 ~ /^(RichEdit|RICHEDIT)/ && $9 == 1 && $11 > 0 && $7 < $11 * 14 {
                printf "%s: %d lines in a %d px body; ", t, $11, $7 }' <<<"$pd")
        fi
        if [[ "$title" == "Confirm Remove Mod" && -z "${confirm_dump:-}" ]]; then
            confirm_dump=$(drv dump "Confirm Remove Mod")
            note "$confirm_dump"
        fi
        if [[ -n "${ANSWER[$title]:-}" ]]; then
            seen+=("$title")
            click "$title" "${ANSWER[$title]}"
            wait_gone "$title" 10000
        else
            seen+=("UNEXPECTED $title: $(drv text "$title" | cut -f2 | tr '\n' ' ')")
            click "$title" OK || drv close "$title" >/dev/null
            wait_gone "$title" 10000
        fi
    done
    stop_app 20
    close_viewers 8000
    check_working_copy "complete removal, after exit"
    note "prompts seen: ${seen[*]}; viewer: $viewer_seen"

    if [[ -n "${confirm_dump:-}" ]]; then
        why=$(check_confirm_layout "$confirm_dump")
        if [[ -z "$why" ]]; then pass confirm-layout; else fail confirm-layout "$why"; fi
    else
        fail confirm-layout "the confirmation prompt was not seen"
    fi

    if [[ -z "$clipped" ]]; then pass prompt-text-visible; else fail prompt-text-visible "$clipped"; fi

    seen_joined=$(IFS='|'; echo "${seen[*]}")
    if [[ "$seen_joined" != "$EXPECTED_PROMPTS" ]]; then
        fail removal-prompts "prompts were: $seen_joined"
    else
        pass removal-prompts
    fi
    if [[ -f "$APP/uninstall/removal_results.rtf" ]]; then
        gui_log="$OUT/results/gui-removal_results.rtf"
        cp "$APP/uninstall/removal_results.rtf" "$gui_log"
    fi
    tree_state >"$OUT/results/gui-tree.txt"

    # What the disk must hold afterwards, whoever ran the removal.
    why=""
    for f in override/mod_a.tga override/mod_b.uti override/sub/mod_c.tga override/qd_item.uti override/restore_me.2da.original; do
        [[ -e "$GAME/$f" ]] && why+="$f still there; "
    done
    [[ -f "$GAME/override/players_own.tga" && -f "$GAME/Movies/intro.bik" && -f "$GAME/dialog.tlk" ]] || why+="a file of the player is gone; "
    [[ "$(cat "$GAME/override/restore_me.2da" 2>/dev/null)" == "2DA V2.0 game original" ]] || why+="restore_me.2da is not the original; "
    [[ "$(cat "$GAME/override/appearance.2da" 2>/dev/null)" == "2DA V2.0 appearance before the mod" ]] || why+="appearance.2da not restored; "
    [[ "$(cat "$APP/Backup Uninstall/appearance.2da" 2>/dev/null)" == "2DA V2.0 appearance as the mod changed it" ]] || why+="no displaced appearance.2da in Backup Uninstall; "
    [[ "$(cat "$APP/Backup Uninstall/original install backup.appearance.2da" 2>/dev/null)" == "2DA V2.0 appearance before the mod" ]] || why+="no safety copy in Backup Uninstall; "
    [[ -e "$APP/backup/appearance.2da" ]] && why+="the backup was not moved; "
    [[ -n "$gui_log" ]] || why+="no uninstall\\removal_results.rtf; "
    if [[ -z "$why" ]]; then pass removal-disk; else fail removal-disk "$why"; fi
else
    fail startup-normal "no main window titled \"$MAIN_TITLE\": $(situation)"
    fail confirm-layout "no main window"
    fail removal-prompts "no main window"
    fail prompt-text-visible "no main window"
    fail removal-disk "no main window"
fi
stop_app 5

# The same removal by the console front end, on a fresh copy laid out at the same place.
if [[ ! -x "$CONSOLE" ]]; then
    fail removal-log "zelvane-console not found at $CONSOLE"
elif [[ -z "$gui_log" ]]; then
    fail removal-log "the GUI saved no removal log"
else
    layout full
    printf '%s\n' "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|$GAME_WIN" >"$OUT/results/registry.txt"
    printf '%s\n' "${CONSOLE_ANSWERS[@]}" >"$OUT/results/answers.txt"
    timeout 120 "$CONSOLE" --program-folder "$APP" --registry "$OUT/results/registry.txt" \
        --answers "$OUT/results/answers.txt" --no-open >"$OUT/results/console-output.txt" 2>&1
    note "console exit status $?"
    tree_state >"$OUT/results/console-tree.txt"
    if [[ ! -f "$APP/uninstall/removal_results.rtf" ]]; then
        fail removal-log "the console saved no removal log: $(tail -n 3 "$OUT/results/console-output.txt" | tr '\n' ' ')"
    else
        cp "$APP/uninstall/removal_results.rtf" "$OUT/results/console-removal_results.rtf"
        if cmp -s "$gui_log" "$OUT/results/console-removal_results.rtf"; then
            pass removal-log
        else
            diff -u --strip-trailing-cr "$OUT/results/console-removal_results.rtf" "$gui_log" >"$OUT/results/removal_results.diff"
            first=$(cmp "$gui_log" "$OUT/results/console-removal_results.rtf" 2>&1 | head -n 1)
            fail removal-log "the GUI's log differs from the console's ($first; see results/removal_results.diff)"
        fi
        if diff -q "$OUT/results/gui-tree.txt" "$OUT/results/console-tree.txt" >/dev/null; then
            pass removal-same-files
        else
            diff -u "$OUT/results/console-tree.txt" "$OUT/results/gui-tree.txt" >"$OUT/results/tree.diff"
            fail removal-same-files "the folders differ after the two removals (see results/tree.diff)"
        fi
    fi
fi

# ---------------------------------------------------------------------------------------------
# (i) what a new user meets beyond the main path: the weight of prompt text, prompts that fit the
# screen, the keyboard with the focus in the information document, the open-file dialog's place,
# the disabled icon, and the game choice
# ---------------------------------------------------------------------------------------------
# The work area of the screen: left top right bottom.
read -r _ WORK_L WORK_T WORK_R WORK_B _ _ < <(drv work-area | grep '^WORKAREA')
note "work area: $WORK_L $WORK_T $WORK_R $WORK_B"

# Problems of one dumped window: outside the work area, or a visible child outside its client area.
outside_work_area() {
    awk -F'\t' -v L="$WORK_L" -v T="$WORK_T" -v R="$WORK_R" -v B="$WORK_B" '
        $1 == "WINDOW" { title = $3; if ($4 < L || $5 < T || $4 + $6 > R || $5 + $7 > B)
            printf "\"%s\" at %d,%d %dx%d is outside the work area %d,%d-%d,%d; ", title, $4, $5, $6, $7, L, T, R, B }
        $1 == "CLIENT" { cw = $2; ch = $3 }
        $1 == "CHILD" && $9 == 1 && ($4 < 0 || $5 < 0 || $4 + $6 > cw || $5 + $7 > ch) {
            printf "\"%s\": %s \"%s\" at %d,%d %dx%d is outside its %dx%d window; ", title, $2, $3, $4, $5, $6, $7, cw, ch }' "$1"
}

# Answers prompts by title (MY_ANSWER) until the window STOP comes; keeps each prompt's dump.
# Returns 1 when STOP does not come within the time.
declare -A MY_ANSWER=()
DUMP_TAG=more
answer_until() {
    local stop=$1 found title deadline=$((SECONDS + 120))
    local titles=("$stop" "${!MY_ANSWER[@]}" "${UNEXPECTED[@]}")
    while ((SECONDS < deadline)); do
        found=$(drv wait-any 3000 "${titles[@]}")
        [[ "$found" == FOUND* ]] || { kill -0 "$APP_PID" 2>/dev/null || return 1; continue; }
        title=$(cut -f3 <<<"$found")
        [[ "$title" == "$stop" ]] && return 0
        sleep 0.5
        drv dump "$title" >"$OUT/results/dump-$DUMP_TAG-$(shot_name "$title").txt"
        if [[ -n "${MY_ANSWER[$title]:-}" ]]; then
            click "$title" "${MY_ANSWER[$title]}"
        else
            note "unexpected window \"$title\" while waiting for \"$stop\""
            click "$title" OK || drv close "$title" >/dev/null
        fi
        wait_gone "$title" 10000
    done
    return 1
}

# Stroke weight of the visible rich-edit text of a window, in hundredths of a pixel.
ink_weight() { drv ink "$1" | awk -F'\t' '$1 == "INK" { print $4 }'; }
# Regular 12-point body text runs about 1.3 dark pixels across a stroke under Wine, bold about 2.3.
REGULAR_INK_MAX=${ZELVANE_GUI_REGULAR_INK_MAX:-180}

# A description whose confirmation text has no emphasis at all: every word must be regular.
layout full
{
    crlf '#game=2' '#confirm_message_begin#' \
        'Plain words without any emphasis, written to be read at a regular weight.' \
        'Nothing in these two lines asks for bold letters.' \
        '#confirm_message_end#' '#file_list' 'override\mod_a.tga'
} >"$APP/uninstall/uninstall_data.ini"
if launch "$MAIN_TITLE"; then
    sleep 1
    # The focus in the information document, by a real click in it.
    drv mouse-click "$MAIN_TITLE" RichEdit 40 40 >>"$OUT/harness.log"
    sleep 0.5
    focus=$(drv focus "$MAIN_TITLE")
    note "focus after the click in the document: $focus"
    if [[ "$focus" != *"	RichEdit"* && "$focus" != *"	RICHEDIT"* ]]; then
        fail document-tab-to-buttons "a click in the information document did not give it the focus ($focus)"
    else
        drv press-key "$MAIN_TITLE" 0x09 >/dev/null
        sleep 0.5
        focus=$(drv focus "$MAIN_TITLE")
        if [[ "$focus" == *"	Orvo_Button	$CMD_REMOVE"* ]]; then
            pass document-tab-to-buttons
        else
            fail document-tab-to-buttons "Tab in the information document left the focus at: $focus"
        fi
    fi

    # Alt+M with the focus in the document writes the usage guide.
    usage="$APP/uninstall/Zelvane Usage.rtf"
    rm -f "$usage"
    drv mouse-click "$MAIN_TITLE" RichEdit 40 40 >>"$OUT/harness.log"
    sleep 0.5
    drv press-key "$MAIN_TITLE" 0x4D alt >/dev/null
    for _ in $(seq 50); do [[ -f "$usage" ]] && break; sleep 0.2; done
    if [[ -f "$usage" ]]; then pass document-alt-m; else fail document-alt-m "Alt+M in the information document wrote no usage guide"; fi
    close_viewers 4000
    wait_window "$MAIN_TITLE" 5000

    # Alt+R with the focus in the document opens the confirmation; its plain body is regular.
    drv mouse-click "$MAIN_TITLE" RichEdit 40 40 >>"$OUT/harness.log"
    sleep 0.5
    drv press-key "$MAIN_TITLE" 0x52 alt >/dev/null
    if wait_window "Confirm Remove Mod" 10000; then
        pass document-alt-r
    else
        fail document-alt-r "Alt+R in the information document opened no confirmation"
        click "$MAIN_TITLE" "$CMD_REMOVE"
    fi
    if wait_window "Confirm Remove Mod" 10000; then
        sleep 0.7
        shot prompt-plain-confirmation
        weight=$(ink_weight "Confirm Remove Mod")
        note "ink of the plain confirmation body: $weight"
        if [[ -z "$weight" ]]; then
            fail prompt-body-regular-weight "the body's pixels could not be read"
        elif ((weight > REGULAR_INK_MAX)); then
            fail prompt-body-regular-weight "a body without \\b is drawn bold (mean stroke run $weight/100 px, regular text stays below $REGULAR_INK_MAX/100)"
        else
            pass prompt-body-regular-weight
        fi
        drv press-key "Confirm Remove Mod" 0x4E alt >/dev/null
        wait_gone "Confirm Remove Mod" 5000 || { click "Confirm Remove Mod" "&No"; wait_gone "Confirm Remove Mod" 5000; }
    else
        fail prompt-body-regular-weight "no confirmation prompt"
    fi
    close_main "$MAIN_TITLE"
else
    for name in document-tab-to-buttons document-alt-m document-alt-r prompt-body-regular-weight; do
        fail "$name" "no main window titled \"$MAIN_TITLE\""
    done
fi
stop_app 5
check_working_copy "keyboard and weight checks"

# The open-file dialog: appearance.2da only in a subfolder, "&No" to the found file, and the
# dialog must sit centred on the screen at its final size.
layout full
mv "$GAME/override/appearance.2da" "$GAME/override/sub/appearance.2da"
DUMP_TAG=locate
MY_ANSWER=(
    ["Confirm Remove Mod"]="&Yes"
    ["Confirm Delete in Subfolder"]="&Yes"
    ["Confirm Delete"]="&Yes"
    ["Confirm Restore"]="&Yes"
    ["Confirm appearance.2da replacement"]="&No"
)
if launch "$MAIN_TITLE"; then
    click "$MAIN_TITLE" "$CMD_REMOVE"
    if answer_until "Locate appearance.2da"; then
        sleep 1
        dd=$(drv dump "Locate appearance.2da")
        note "$dd"
        shot open-file-dialog
        read -r _ _ sw sh < <(drv work-area | grep '^WORKAREA' | awk -F'\t' '{ print $1, $2, $6, $7 }')
        x=$(dump_window "$dd" 4); y=$(dump_window "$dd" 5); w=$(dump_window "$dd" 6); h=$(dump_window "$dd" 7)
        if near "$x" $(((sw - w) / 2)) && near "$y" $(((sh - h) / 2)); then
            pass open-file-dialog-centred
        else
            fail open-file-dialog-centred "the dialog ($w x $h) is at $x,$y; centred on the $sw x $sh screen it is at $(((sw - w) / 2)),$(((sh - h) / 2))"
        fi
        drv close "Locate appearance.2da" >/dev/null
    else
        fail open-file-dialog-centred "no \"Locate appearance.2da\" dialog"
    fi
    stop_app 3
else
    fail open-file-dialog-centred "no main window titled \"$MAIN_TITLE\""
fi
stop_app 3
close_viewers 1000

# The game choice, when the description names no game.
layout full
{ crlf '#game_select=true'; full_description | grep -v '^#game='; } >"$APP/uninstall/uninstall_data.ini"
DUMP_TAG=choose
MY_ANSWER=(["Confirm Remove Mod"]="&Yes")
if launch "$MAIN_TITLE"; then
    click "$MAIN_TITLE" "$CMD_REMOVE"
    if answer_until "Choose Game"; then
        sleep 0.7
        shot prompt-choose-game
        drv dump "Choose Game" >"$OUT/results/dump-choose-choose-game.txt"
        gd=$(cat "$OUT/results/dump-choose-choose-game.txt")
        if [[ -n "$(dump_child "$gd" "Kotor &1" 4)" && -n "$(dump_child "$gd" "Kotor &2 TSL" 4)" && -n "$(dump_child "$gd" "&Abort" 4)" ]]; then
            pass game-choice-prompt
        else
            fail game-choice-prompt "the game choice lacks one of Kotor &1, Kotor &2 TSL, &Abort"
        fi
        click "Choose Game" "&Abort"
        wait_gone "Choose Game" 5000
        sleep 1
        for t in "Aborting" "Shutting Down"; do
            if wait_window "$t" 2000; then shot "window-$(shot_name "$t")"; click "$t" OK || click "$t" "&OK" || click "$t" "&Ok"; fi
        done
    else
        fail game-choice-prompt "no \"Choose Game\" prompt"
    fi
    stop_app 5
else
    fail game-choice-prompt "no main window titled \"$MAIN_TITLE\""
fi
stop_app 3
check_working_copy "game choice"

# Every prompt and dialog seen in this run lies inside the work area, every button and text of it
# inside the window.
why=""
dumps=0
for f in "$OUT"/results/dump-*.txt; do
    [[ -f "$f" ]] || continue
    dumps=$((dumps + 1))
    why+=$(outside_work_area "$f")
done
if ((dumps == 0)); then
    fail prompts-inside-work-area "no prompt was seen"
elif [[ -z "$why" ]]; then
    pass prompts-inside-work-area
else
    fail prompts-inside-work-area "$why"
fi

# The disabled "Remove Mod" shows its icon in greys, not as one flat shape.
layout badgame
if launch "Oops!"; then
    click "Oops!" OK
    wait_gone "Oops!" 10000
    if wait_window "$DESIGN_TITLE" 15000; then
        sleep 1
        levels=$(drv icon-levels "$DESIGN_TITLE" "$CMD_REMOVE")
        note "disabled icon: $levels"
        distinct=$(awk -F'\t' '$1 == "ICON" { print $3 }' <<<"$levels")
        if [[ -z "$distinct" ]]; then
            fail disabled-icon-greyed "the icon of the disabled button could not be read: $levels"
        elif ((distinct < 4)); then
            fail disabled-icon-greyed "the disabled icon is a flat shape ($distinct grey levels)"
        else
            pass disabled-icon-greyed
        fi
        close_main "$DESIGN_TITLE"
    else
        fail disabled-icon-greyed "no main window after the Oops! box"
    fi
else
    fail disabled-icon-greyed "no Oops! box"
fi
stop_app 5

# The screenshots of this run, for the documentation: ZELVANE_GUI_SCREENSHOTS=docs/screenshots.
if [[ -n "${ZELVANE_GUI_SCREENSHOTS:-}" ]]; then
    mkdir -p "$ZELVANE_GUI_SCREENSHOTS"
    cp "$OUT"/screenshots/*.png "$ZELVANE_GUI_SCREENSHOTS"/ && note "screenshots copied to $ZELVANE_GUI_SCREENSHOTS"
fi

# ---------------------------------------------------------------------------------------------
# (j) without the game's registry entry, the folder dialog opens on the folder GOG registered for
# the game: the player only confirms it
# ---------------------------------------------------------------------------------------------
BROWSE_TITLE="Browse for Folder"
layout full
crlf '#game=2' '#file_list' 'override\mod_a.tga' >"$APP/uninstall/uninstall_data.ini"
for view in 32 64; do
    wine_run 60 reg delete 'HKLM\Software\LucasArts\KotOR2' /f "/reg:$view" >>"$OUT/harness.log"
done
wine_run 60 reg add 'HKLM\Software\GOG.com\Games\1421404581' /v path /t REG_SZ /d "$GAME_WIN" /f /reg:32 >>"$OUT/harness.log"
# Wine's folder dialog finds its way to a folder by comparing the folders on the way with the times
# they carry, and a folder read for the first time since it changed takes a new access time
# (relatime) while the dialog walks: each folder on the way is read once first.
folder=$GAME
while [[ "$folder" != / ]]; do
    ls "$folder" >/dev/null
    folder=$(dirname "$folder")
done
DUMP_TAG=browse
MY_ANSWER=(["Confirm Remove Mod"]="&Yes" ["Error"]="&Ok")
if launch "$MAIN_TITLE"; then
    click "$MAIN_TITLE" "$CMD_REMOVE"
    if answer_until "$BROWSE_TITLE"; then
        # Wine selects the folder as it lists the folders on the way: that can take a while.
        selection=$(drv wait-selection "$BROWSE_TITLE" "${GAME//\//\\}" 60000)
        note "folder dialog: $selection"
        shot browse-for-folder-registered
        drv dump "$BROWSE_TITLE" >"$OUT/results/dump-browse-for-folder.txt"
        if [[ "$selection" != SELECTED* ]]; then
            fail browse-starts-on-registered-folder "the folder dialog did not open on $GAME_WIN, the folder GOG registered: $selection"
            click "$BROWSE_TITLE" Cancel
        else
            # Only OK: the run goes on in the folder the dialog opened on.
            click "$BROWSE_TITLE" OK
            wait_gone "$BROWSE_TITLE" 10000
            MY_ANSWER=()
            answer_until "$MAIN_TITLE-never" >/dev/null
            if [[ -e "$GAME/override/mod_a.tga" || ! -f "$APP/uninstall/removal_results.rtf" ]]; then
                fail browse-starts-on-registered-folder "OK in the folder dialog did not remove the mod from $GAME_WIN"
            else
                pass browse-starts-on-registered-folder
            fi
        fi
        stop_app 20
        close_viewers 4000
    else
        fail browse-starts-on-registered-folder "no \"$BROWSE_TITLE\" dialog after the \"Error\" prompt"
    fi
else
    fail browse-starts-on-registered-folder "no main window titled \"$MAIN_TITLE\""
fi
stop_app 5
close_viewers 1000
wine_run 60 reg delete 'HKLM\Software\GOG.com' /f /reg:32 >>"$OUT/harness.log"
for view in 32 64; do
    wine_run 60 reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$GAME_WIN" /f "/reg:$view" >>"$OUT/harness.log"
done

# ---------------------------------------------------------------------------------------------
# (g) the working copy never stays behind
# ---------------------------------------------------------------------------------------------
if ((${#WORKING_COPY_LEFT[@]} == 0)); then
    pass no-working-copy
else
    fail no-working-copy "uninstall_data20A.ini left after: ${WORKING_COPY_LEFT[*]}"
fi

finish
