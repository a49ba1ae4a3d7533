#!/usr/bin/env bash
# Runs a Windows build under Wine: zelvane.exe in a private Xvfb judged by zelvane-gui-driver.exe (and
# screenshots), --console zelvane-console.exe against the POSIX console, --units the Win32 unit tests.
#   tests/gui/run-gui-tests.sh [--console|--units] BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR
# The i686 build runs under 32-bit Wine (through qemu-i386-static in a private user namespace where the kernel
# refuses 32-bit programs); where no route runs it, a loud skip (77), a failure with ZELVANE_REQUIRE_I686=1.
set -uo pipefail
ARGS=("$@")
[[ "${1:-}" == --i386-namespace ]] && INSIDE=1 && shift
KIND=gui
[[ "${1:-}" == --console || "${1:-}" == --units ]] && KIND=${1#--} && shift
(($# == 3)) || { echo "usage: $0 [--console|--units] BUILD_WIN32_DIR BUILD_NATIVE_DIR OUT_DIR" >&2 && exit 2; }
WIN32_DIR=$(realpath -m "$1") NATIVE_DIR=$(realpath -m "$2") OUT=$(realpath -m "$3")
EXE=$WIN32_DIR/app/win32/zelvane.exe
[[ $KIND == console ]] && EXE=$WIN32_DIR/app/console/zelvane-console.exe
[[ $KIND == units ]] && EXE=$WIN32_DIR/tests/win32/zelvane_win32_unit_tests.exe
DRIVER=$WIN32_DIR/tests/gui/driver/zelvane-gui-driver.exe CONSOLE=$NATIVE_DIR/app/console/zelvane-console
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE32=/usr/lib/wine/wine QEMU=${ZELVANE_QEMU_I386:-/usr/bin/qemu-i386-static}
rm -rf "$OUT"/{screenshots,run,wineprefix,console-removal_results.rtf,display,wine.log}
mkdir -p "$OUT/run" "$OUT/screenshots"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# No route runs 32-bit Wine here: a loud skip.
no_i386() {
    [[ "${ZELVANE_REQUIRE_I686:-0}" == 1 ]] && echo "FAIL $BUILD/wine32: $1" && exit 1
    echo "SKIP $BUILD/wine32: $1"
    echo "!!! the shipped i686 $(basename "$EXE") was NOT run under Wine on this machine: none of its checks ran"
    echo "!!! (ZELVANE_REQUIRE_I686=1 makes this a failure)"
    wineserver -k 2>/dev/null
    exit 77
}
# Inside the namespace the reason goes to the harness outside, which skips with it.
no_route() {
    [[ -n "${INSIDE:-}" ]] && echo "$1" >"$OUT/i386-namespace.txt" && exit 97
    no_i386 "no route to run 32-bit Wine: $1"
}

offset=$(od -An -tu4 -j60 -N4 "$EXE" 2>/dev/null | tr -d ' ')
case "$([[ -n "$offset" ]] && od -An -tx2 -j$((offset + 4)) -N2 "$EXE" | tr -d ' ')" in
    8664) BUILD=x86_64 WINE=$(command -v wine64 || echo /usr/lib/wine/wine64) WINEARCH=win64 limit=240 ;;
    014c) BUILD=i686 WINE=$WINE32 WINEARCH=win32 limit=240 ;;
    *) echo "FAIL $(basename "$EXE"): not found or no Windows program" && exit 1 ;;
esac
export WINEARCH WINELOADER=$WINE
if [[ $BUILD == i686 && -n "${INSIDE:-}" ]]; then
    binfmt=/proc/sys/fs/binfmt_misc
    why=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1) || no_route "binfmt_misc cannot be mounted here: $why"
    # i386 ELF executables and shared objects; F opens the interpreter now, P keeps argv[0].
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    why=$( { printf '%s' ":zelvane-i386:M::$magic:$mask:$QEMU:FP" >"$binfmt/register"; } 2>&1) ||
        no_route "the i386 handler could not be registered: $why"
    version=$(timeout 120 "$WINE32" --version 2>&1)
    [[ "$version" == wine-* ]] || no_route "the 32-bit $WINE32 does not run through $QEMU: $version"
    # In qemu's default 4 GiB less a page, the 32-bit Wine's reservation above 0x7ffe0000 does not fit;
    # 0x90000000 starts a process three times sooner than 0xc0000000. A boot slower than 30 s: so is all.
    export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x90000000}
    limit=${ZELVANE_I386_BOOT_SECONDS:-30}
elif [[ $BUILD == i686 ]]; then
    [[ -x "$WINE32" ]] || no_i386 "$WINE32 is missing (tools/install-deps.sh --windows installs wine32:i386)"
    if ! timeout 20 "$WINE32" --version 2>/dev/null | grep -q '^wine-'; then
        echo "note: $BUILD build under 32-bit Wine through qemu-i386-static in a private user namespace"
        command -v unshare >/dev/null || no_route "unshare is not installed (util-linux)"
        [[ -x "$QEMU" ]] || no_route "$QEMU is missing (tools/install-deps.sh --windows installs qemu-user-static)"
        why=$(unshare --user --map-root-user --mount true 2>&1) || no_route "no user and mount namespace here: $why"
        rm -f "$OUT/i386-namespace.txt"
        unshare --user --map-root-user --mount -- "$0" --i386-namespace "${ARGS[@]}"
        status=$?
        ((status == 97)) && no_route "$(cat "$OUT/i386-namespace.txt")"
        exit "$status"
    fi
fi
# A cold 32-bit prefix can crash in Wine's services when the server comes and goes: it starts first. A
# 64-bit boot is waited for to its end. Then one server for the whole run: every program start is quick.
[[ $BUILD == x86_64 ]] || wineserver -p >>"$OUT/wine.log" 2>&1
env -u DISPLAY timeout "$limit" "$WINE" wineboot -i >>"$OUT/wine.log" 2>&1
status=$?
[[ $BUILD == i686 ]] && ((status == 124)) &&
    no_i386 "the 32-bit prefix did not boot within $limit s; 32-bit Wine programs crash or are too slow here"
[[ $BUILD == i686 ]] || timeout 120 wineserver -w
wineserver -p >>"$OUT/wine.log" 2>&1
[[ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]] ||
    { echo "FAIL $BUILD/setup: wineboot made no prefix (see $OUT/wine.log)" && exit 1; }
[[ $KIND == units || -f "$DRIVER" && -x "$CONSOLE" ]] || { echo "FAIL $BUILD/setup: no $DRIVER or $CONSOLE" && exit 1; }
# Wine draws the window frames itself, as Xvfb has no window manager (nor waits seconds for one to hide a
# window); the game's registry entry names the folder the driver lays out, in the view the program reads.
reg() { timeout 60 "$WINE" reg "$@" >>"$OUT/wine.log" 2>&1; }
reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
reg add 'HKLM\Software\LucasArts\KotOR2' /v Path /t REG_SZ /d "$(winpath "$OUT/run/game")" /f /reg:32
trap 'timeout 30 wineserver -k >/dev/null 2>&1; [[ -z "${XVFB_PID:-}" ]] || kill "$XVFB_PID" 2>/dev/null' EXIT

# Xvfb at 1024x768 on a display it finds free, for the windows; a console program opens none.
unset DISPLAY
if [[ $KIND != console ]]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$OUT/display" >>"$OUT/wine.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do [[ -s "$OUT/display" ]] && break || sleep 0.1; done
    [[ -s "$OUT/display" ]] || { echo "FAIL $BUILD/setup: Xvfb did not start" && exit 1; }
    export DISPLAY=":$(cat "$OUT/display")"
fi
if [[ $KIND == units ]]; then
    timeout 300 "$WINE" "$EXE" 2>>"$OUT/wine.log" | tr -d '\r'
    exit "${PIPESTATUS[0]}"
fi

# The complete removal's folders (OUT/run/app, OUT/run/game) as the driver lays them out, and the POSIX
# console's removal in them, answering every prompt with its first button: the log the Windows programs
# must save byte for byte on the same removal.
R=$OUT/run
layout() { timeout 120 "$WINE" "$DRIVER" layout "$(winpath "$R")" >>"$OUT/wine.log" 2>&1; }
printf '0\n0\n0\n0\n0\n0\n' >"$OUT/answers.txt"
echo "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|$(winpath "$R/game")" >"$OUT/registry.txt"
layout && timeout 120 "$CONSOLE" --program-folder "$R/app" --registry "$OUT/registry.txt" --answers "$OUT/answers.txt" \
    --no-open >"$OUT/console-output.txt" 2>&1
cp "$R/app/uninstall/removal_results.rtf" "$OUT/console-removal_results.rtf" 2>/dev/null

if [[ $KIND == gui ]]; then
    timeout 1200 "$WINE" "$DRIVER" run "$(winpath "$EXE")" "$(winpath "$OUT")" 2>>"$OUT/wine.log" | sed -u 's/\r$//' |
        while IFS= read -r line; do
            [[ "$line" != "shot "* ]] && echo "$line" && continue
            import -display "$DISPLAY" -window root "$OUT/screenshots/${line#shot }.png" 2>>"$OUT/wine.log"
        done | tee "$OUT/driver.txt"
    [[ -z "${ZELVANE_GUI_SCREENSHOTS:-}" ]] || cp "$OUT"/screenshots/* "$ZELVANE_GUI_SCREENSHOTS"/
    # The verdict is the driver's summary; Wine's own exit status is no measure of it.
    grep -qx '[0-9]* passed, 0 failed' "$OUT/driver.txt"
    exit
fi

passed=0 failed=0
check() { # check NAME WHY: passes when WHY is empty
    if [[ -z "$2" ]]; then echo "PASS $BUILD/$1" && ((++passed)); else echo "FAIL $BUILD/$1: $2" && ((++failed)); fi
}
# The program's output and "exit N", through a file: services that Wine starts beside it would hold a pipe open.
windows() {
    timeout 120 "$WINE" "$EXE" "$@" >"$OUT/wine-output.txt" 2>&1
    echo "exit $?" | cat "$OUT/wine-output.txt" - | tr -d '\r'
}

help=$(windows --help)
check help "$([[ "$help" != *"exit 0" || "$help" == *--wine-prefix* || "$help" == *--registry* ]] &&
    echo "--help fails or offers an option of the Linux game search")"

# A complete removal from the program's own folder, as an author runs it.
layout && cp "$EXE" "$R/app/zelvane-console.exe"
out=$(cd "$R/app" && EXE=$R/app/zelvane-console.exe && windows --answers "$(winpath "$OUT/answers.txt")" --no-open)
check removal-log "$([[ "$out" == *"exit 0" ]] || echo "zelvane-console.exe ended with ${out##*$'\n'}")$(
    cmp -s "$R/app/uninstall/removal_results.rtf" "$OUT/console-removal_results.rtf" ||
    echo "the log differs from the POSIX console's ($R/app/uninstall/removal_results.rtf)")"

# A folder typed in UTF-8 (an answers file saved by Notepad) names the folder of that name.
layout
reg delete 'HKLM\Software\LucasArts\KotOR2' /f /reg:32
accented="$R/K$(printf '\xc3\xb6')tor"
mv "$R/game" "$accented"
printf '0\n0\n%s\n0\n0\n0\n0\n0\n0\n' "$(winpath "$accented")" >"$OUT/answers.txt"
out=$(windows --program-folder "$(winpath "$R/app")" --answers "$(winpath "$OUT/answers.txt")" --no-open)
check typed-folder-in-utf8 "$([[ "$out" == *"exit 0" && ! -e "$accented/override/mod_a.tga" ]] ||
    echo "the mod was not removed from the typed folder $accented")"

echo "$passed passed, $failed failed"
((failed == 0))
