# Sourced by the harnesses that run a Windows build under Wine. The harness sets OUT and NATIVE_DIR
# and calls wine_route EXE WHAT HARNESS [ARG...]: BUILD (i686 or x86_64) names the build of EXE,
# WINE its loader, and $OUT/wineprefix is booted for it.
# The i686 build runs under the 32-bit loader in a 32-bit prefix. Where the kernel refuses 32-bit
# programs the whole harness runs again inside i386-namespace.sh, which hands them to
# qemu-i386-static. Where no route runs 32-bit Wine the harness ends as skipped (77), loudly, and the
# verdict is kept in $NATIVE_DIR/i386-wine-verdict.txt for six hours (delete it to try again);
# ZELVANE_REQUIRE_I686=1 makes that a failure.
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE32=/usr/lib/wine/wine
VERDICT="$NATIVE_DIR/i386-wine-verdict.txt"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [[ -n "$offset" ]] && case "$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')" in
        014c) echo i386 ;;
        8664) echo x86_64 ;;
    esac
}

verdict_key() { echo "$(uname -r) $(stat -c %Y "$WINE32" 2>/dev/null) $(command -v qemu-i386-static)"; }

# No route runs 32-bit Wine here: a loud skip, remembered for the next harness of this build.
no_i386() {
    if [[ "${ZELVANE_REQUIRE_I686:-0}" == 1 ]]; then
        echo "FAIL $BUILD/wine32: $1"
        exit 1
    fi
    [[ "${2:-}" == remembered ]] || printf '%s\n%s\n' "$(verdict_key)" "$1" >"$VERDICT"
    echo "SKIP $BUILD/wine32: $1"
    echo "!!! the shipped i686 $WHAT was NOT run under Wine on this machine: none of its checks ran"
    echo "!!! (ZELVANE_REQUIRE_I686=1 makes this a failure)"
    wineserver -k 2>/dev/null
    exit 77
}

wine_route() {
    local exe=$1 arch limit status
    WHAT=$2
    arch=$(pe_machine "$exe")
    [[ -n "$arch" ]] || { echo "FAIL $(basename "$exe"): not found or no Windows program"; exit 1; }
    BUILD=x86_64
    WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
    export WINEARCH=win64 WINELOADER=$WINE
    limit=240
    if [[ "$arch" == i386 ]]; then
        BUILD=i686 WINE=$WINE32 WINEARCH=win32 WINELOADER=$WINE32
        if [[ -z "${ZELVANE_I386_NAMESPACE:-}" && -n "$(find "$VERDICT" -mmin -360 2>/dev/null)" &&
            "$(sed -n 1p "$VERDICT")" == "$(verdict_key)" ]]; then
            no_i386 "$(sed -n 2p "$VERDICT") (found at $(date -r "$VERDICT" +%H:%M); delete $VERDICT to try again)" remembered
        fi
        [[ -x "$WINE32" ]] || no_i386 "$WINE32 is missing (tools/install-deps.sh --windows installs wine32:i386)"
        if [[ -n "${ZELVANE_I386_NAMESPACE:-}" ]]; then
            # A first Wine process through qemu that has not booted the prefix in 30 s: every
            # later start is as slow, and the checks would take hours.
            limit=${ZELVANE_I386_BOOT_SECONDS:-30}
        elif ! timeout 20 "$WINE32" --version 2>/dev/null | grep -q '^wine-'; then
            echo "note: $BUILD build under 32-bit Wine through qemu-i386-static in a private user namespace"
            rm -f "$OUT/i386-namespace.txt"
            ZELVANE_I386_NAMESPACE_REPORT="$OUT/i386-namespace.txt" "$(dirname "${BASH_SOURCE[0]}")/i386-namespace.sh" "${@:3}"
            status=$?
            ((status == 97)) && no_i386 "no route to run 32-bit Wine: $(cat "$OUT/i386-namespace.txt")"
            exit "$status"
        fi
    fi
    # A cold 32-bit prefix can crash in Wine's own services when the server comes and goes under
    # them: its server is started first. A 64-bit boot is waited for to its end (until then every
    # program waits for it).
    mkdir -p "$WINEPREFIX"
    [[ "$BUILD" == x86_64 ]] || wineserver -p >>"$OUT/wine.log" 2>&1
    env -u DISPLAY timeout "$limit" "$WINE" wineboot -i >>"$OUT/wine.log" 2>&1
    status=$?
    if [[ "$BUILD" == i686 ]] && ((status == 124)); then
        no_i386 "the 32-bit prefix did not boot within $limit s; 32-bit Wine programs crash or are too slow here"
    fi
    [[ "$BUILD" == i686 ]] || timeout 120 wineserver -w
    # One server for the whole run: every program start is then quick.
    wineserver -p >>"$OUT/wine.log" 2>&1
    [[ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]] || { echo "FAIL $BUILD/setup: wineboot made no prefix (see $OUT/wine.log)"; exit 1; }
}

# Starts Xvfb at 1024x768 on a free display for the windows.
start_xvfb() {
    local n
    for n in $(seq 91 160); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >>"$OUT/wine.log" 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
        kill -0 "$XVFB_PID" 2>/dev/null && export DISPLAY=":$n" && return 0
    done
    echo "FAIL $BUILD/setup: could not start Xvfb on a free display"
    exit 1
}
stop_wine() { timeout 30 wineserver -k >/dev/null 2>&1; [[ -z "${XVFB_PID:-}" ]] || kill "$XVFB_PID" 2>/dev/null; }
