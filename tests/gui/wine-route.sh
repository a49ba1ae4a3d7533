# Sourced by the harnesses that run a Windows build under Wine (tests/gui/run-gui-tests.sh, the
# GUI; tests/win32/run-console-wine-tests.sh, zelvane-console.exe): which Wine loader runs the
# program, by which route, the prefix it boots, and how a harness ends as skipped, loudly, where
# 32-bit Wine cannot run.
#
# The i686 build runs under the 32-bit Wine loader in a 32-bit prefix (WINEARCH=win32). Where the
# kernel refuses 32-bit Linux programs, the whole harness runs again inside i386-namespace.sh, whose
# private binfmt_misc hands them to qemu-i386-static. ZELVANE_I386_ROUTE chooses: "auto" (the
# default: the kernel when it runs 32-bit programs, else the namespace), "native" or "qemu".
# Where no route runs 32-bit Wine at all, the run ends as skipped (status 77) and says so loudly;
# ZELVANE_REQUIRE_I686=1 makes that a failure instead.
#
# The harness defines abort_all CHECK WHY (ends the run as a failed check), cleanup (stops what it
# started), show_log_end N and note TEXT (its log, $OUT/harness.log), and sets BUILD (i686 or
# x86_64), OUT, NATIVE_DIR (the native build) and WINE_SUBJECT and WINE_TESTS for the messages
# ("zelvane.exe" and "GUI").

WINE_ROUTE_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINE32=/usr/lib/wine/wine
WINE=""
WINESERVER=""
route=""

# PE machine of a Windows program: i386 or x86_64 (empty when it is no PE file).
pe_machine() {
    local offset machine
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [[ -n "$offset" ]] || return 0
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case "$machine" in 014c) echo i386 ;; 8664) echo x86_64 ;; esac
}

runs_32_bit() { [[ -x "$WINE32" ]] && [[ "$(timeout 120 "$WINE32" --version 2>/dev/null)" == wine-* ]]; }

# This machine cannot run 32-bit Wine: no route to it, or a 32-bit prefix that does not boot. With
# ZELVANE_REQUIRE_I686=1 that is a failed check; otherwise the run ends as skipped (status 77, which
# CTest reports as "Skipped" and tools/test-all.sh repeats at its end), saying loudly that the
# shipped build was not run. A check that fails once Wine runs is always a failure.
i386_unavailable() {
    if [[ "${ZELVANE_REQUIRE_I686:-0}" == 1 ]]; then abort_all wine32 "$1"; fi
    [[ "${2:-}" == remembered ]] || printf '%s\n%s\n' "$(i386_machine_key)" "$1" >"$I386_VERDICT" 2>/dev/null
    echo "SKIP $BUILD/wine32: $1"
    echo "!!! the shipped i686 $WINE_SUBJECT was NOT run under Wine on this machine: none of its $WINE_TESTS checks ran"
    echo "!!! (ZELVANE_REQUIRE_I686=1 makes this a failure)"
    show_log_end 15
    cleanup
    exit 77
}

# Finding out that no route runs 32-bit Wine takes minutes (a boot through qemu that does not end);
# the verdict is kept beside the native build for the other harness of the same build, for this
# kernel and this Wine, for six hours. Deleting the file makes the next harness try again.
I386_VERDICT="$NATIVE_DIR/i386-wine-verdict.txt"
i386_machine_key() { echo "$(uname -r) $(stat -c %Y "$WINE32" 2>/dev/null) $(command -v qemu-i386-static)"; }
i386_remembered_verdict() {
    [[ -z "${ZELVANE_I386_NAMESPACE:-}" && -n "$(find "$I386_VERDICT" -mmin -360 2>/dev/null)" ]] || return 0
    [[ "$(sed -n 1p "$I386_VERDICT")" == "$(i386_machine_key)" ]] || return 0
    i386_unavailable "$(sed -n 2p "$I386_VERDICT") (found by an earlier Wine harness of this build at $(date -r "$I386_VERDICT" +%H:%M); delete $I386_VERDICT to try again)" remembered
}

# choose_wine_loader ARCH HARNESS [ARG...]: sets WINE and WINESERVER for a program of that PE
# machine. For the qemu route, outside the namespace, runs HARNESS ARG... again inside it and ends
# with its status.
choose_wine_loader() {
    local arch=$1
    shift
    if [[ "$arch" == i386 ]]; then
        # The 32-bit loader in a 32-bit prefix; the kernel runs it, or qemu-i386-static in a namespace.
        [[ -x "$WINE32" ]] || abort_all wine32 "$WINE32 is missing (tools/install-deps.sh --windows installs wine32:i386)"
        i386_remembered_verdict
        route=${ZELVANE_I386_ROUTE:-auto}
        if [[ -n "${ZELVANE_I386_NAMESPACE:-}" ]]; then
            route=qemu
        elif [[ "$route" == auto ]]; then
            if runs_32_bit; then route=native; else route=qemu; fi
        fi
        case "$route" in
            native)
                runs_32_bit || abort_all wine32 "this kernel does not run the 32-bit Wine loader $WINE32 (set ZELVANE_I386_ROUTE=qemu or auto)"
                echo "note: $BUILD build under 32-bit Wine, run by the kernel"
                ;;
            qemu)
                if [[ -z "${ZELVANE_I386_NAMESPACE:-}" ]]; then
                    # The whole harness again, inside the namespace: Xvfb and Wine too.
                    echo "note: $BUILD build under 32-bit Wine through qemu-i386-static in a private user namespace"
                    local report="$OUT/i386-namespace.txt" status
                    rm -f "$report"
                    ZELVANE_I386_NAMESPACE_REPORT=$report "$WINE_ROUTE_HERE/i386-namespace.sh" "$@"
                    status=$?
                    if ((status == 97)) && [[ -f "$report" ]]; then
                        echo "!!! the i686 build cannot run here: $(cat "$report")"
                        echo "!!! the i686 $WINE_TESTS tests need qemu-i386-static and a user namespace with its own binfmt_misc"
                        i386_unavailable "no route to run 32-bit Wine: $(cat "$report")"
                    fi
                    exit "$status"
                fi
                ;;
            *) abort_all wine32 "ZELVANE_I386_ROUTE is \"$route\"; it is auto, native or qemu" ;;
        esac
        WINE=$WINE32
        export WINELOADER=$WINE
        note "$BUILD build, 32-bit Wine route: $route"
    elif command -v wine >/dev/null && runs_32_bit; then
        # "wine" where the 32-bit loader works (it starts 64-bit programs too); the 64-bit loader alone
        # on machines whose kernel cannot run 32-bit programs.
        WINE=$(command -v wine)
    elif command -v wine64 >/dev/null; then
        WINE=$(command -v wine64)
        export WINELOADER=$WINE
    elif [[ -x /usr/lib/wine/wine64 ]]; then
        WINE=/usr/lib/wine/wine64
        export WINELOADER=$WINE
    else
        abort_all setup "no usable Wine loader (tests/gui/install-deps.sh installs wine, wine64, wine32:i386)"
    fi
    WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    note "wine loader: $WINE, server: $WINESERVER"
}

# boot_wine_prefix ARCH: boots $WINEPREFIX for a program of that PE machine and keeps one server
# running for the rest of the harness.
boot_wine_prefix() {
    if [[ "$1" == i386 ]]; then
        # A cold first start of a 32-bit prefix can crash in Wine's own services when the server comes
        # and goes under them: the server is started first and kept, then the prefix is booted.
        export WINEARCH=win32
        mkdir -p "$WINEPREFIX"
        "$WINESERVER" -p >>"$OUT/harness.log" 2>&1
        # The kernel boots it in seconds; through qemu it can take many minutes, and then every one of
        # the harness's Wine processes is as slow: a boot over the limit ends the run as a failure.
        local boot_limit=${ZELVANE_I386_BOOT_SECONDS:-180} boot_start=$SECONDS
        timeout "$boot_limit" "$WINE" wineboot -i >>"$OUT/harness.log" 2>&1
        if (($? == 124)); then
            i386_unavailable "the 32-bit prefix did not boot within $boot_limit s (route: $route); its programs crash or are too slow here"
        fi
        note "32-bit prefix booted in $((SECONDS - boot_start)) s (route: $route)"
        [[ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]] ||
            i386_unavailable "wineboot did not create the 32-bit prefix $WINEPREFIX (route: $route)"
    else
        export WINEARCH=win64
        timeout 240 "$WINE" wineboot -i >>"$OUT/harness.log" 2>&1
        timeout 120 "$WINESERVER" -w >>"$OUT/harness.log" 2>&1
        [[ -f "$WINEPREFIX/system.reg" ]] || abort_all setup "wineboot did not create the prefix $WINEPREFIX"
        # Keep one server for the whole run: every program start is then quick.
        "$WINESERVER" -p >>"$OUT/harness.log" 2>&1
    fi
}

# judge_wine_start ARCH SECONDS WHAT: a first start of WHAT under Wine took SECONDS. Every check
# starts programs many times: a slow start (32-bit Wine through qemu) would run for hours.
judge_wine_start() {
    local start_limit=${ZELVANE_WINE_START_SECONDS:-5}
    ((${2} > start_limit)) || return 0
    local slow="a $3 start under Wine took $2 s (limit $start_limit s); at this speed the $WINE_TESTS tests would take hours"
    # Through qemu that is this machine's speed, not a fault of the program.
    if [[ "$1" == i386 && "$route" == qemu ]]; then i386_unavailable "$slow (route: qemu)"; fi
    abort_all setup "$slow"
}
