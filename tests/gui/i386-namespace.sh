#!/usr/bin/env bash
# Runs COMMAND where 32-bit Linux programs run, also on a kernel that refuses them: in a private user
# and mount namespace whose own binfmt_misc hands every i386 ELF program to qemu-i386-static (Linux
# 6.7 and later; needs unshare and qemu-user-static). The 32-bit Wine, and so the i686 build, then
# run under COMMAND, with ZELVANE_I386_NAMESPACE=1 in its environment.
#
#   tests/gui/i386-namespace.sh COMMAND [ARG...]
#
# Where the namespace, the mount, the handler or a first 32-bit program fails, prints "i386
# namespace unavailable: WHY" (also into $ZELVANE_I386_NAMESPACE_REPORT) and exits with 97.
set -uo pipefail
QEMU=${ZELVANE_QEMU_I386:-/usr/bin/qemu-i386-static}
PROBE=/usr/lib/wine/wine
unavailable() {
    echo "i386 namespace unavailable: $*" >&2
    [[ -z "${ZELVANE_I386_NAMESPACE_REPORT:-}" ]] || echo "$*" >"$ZELVANE_I386_NAMESPACE_REPORT"
    exit 97
}

if [[ "${1:-}" != --inside ]]; then
    command -v unshare >/dev/null || unavailable "unshare is not installed (util-linux)"
    [[ -x "$QEMU" ]] || unavailable "$QEMU is missing (tools/install-deps.sh --windows installs qemu-user-static)"
    why=$(unshare --user --map-root-user --mount true 2>&1) || unavailable "no user and mount namespace here: $why"
    exec unshare --user --map-root-user --mount -- "$0" --inside "$@"
fi
shift
binfmt=/proc/sys/fs/binfmt_misc
why=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1) || unavailable "binfmt_misc cannot be mounted here: $why"
# i386 ELF executables and shared objects; F opens the interpreter now, P keeps argv[0].
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
why=$( { printf '%s' ":zelvane-i386:M::$magic:$mask:$QEMU:FP" >"$binfmt/register"; } 2>&1) ||
    unavailable "the i386 handler could not be registered: $why"
version=$(timeout 120 "$PROBE" --version 2>&1)
[[ "$version" == wine-* ]] || unavailable "the 32-bit $PROBE does not run through $QEMU: $version"
# With qemu's default 4 GiB less a page, the 32-bit Wine's reservation above 0x7ffe0000 does not fit
# and every Wine process fails to map the shared user data; less space splits it cleanly, and
# 0x90000000 starts a process about three times sooner than 0xc0000000.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x90000000} ZELVANE_I386_NAMESPACE=1
exec "$@"
