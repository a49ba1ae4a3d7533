#!/usr/bin/env bash
# Runs a command where 32-bit Linux programs run, also on a kernel that refuses them (no IA-32
# emulation): in a private user and mount namespace with its own binfmt_misc, in which every i386
# ELF program is handed to qemu-i386-static. The 32-bit Wine loader, and so the i686 zelvane.exe,
# then run under the command.
#
#   tests/gui/i386-namespace.sh COMMAND [ARG...]
#
# When the namespace, the binfmt_misc mount, the handler or a first 32-bit program fails, prints
# "i386 namespace unavailable: WHY" on standard error (and into the file named by
# ZELVANE_I386_NAMESPACE_REPORT, when set) and exits with status 97 without running COMMAND.
# Otherwise runs COMMAND with ZELVANE_I386_NAMESPACE=1 in its environment and exits with its status.
# Needs unshare (util-linux) and qemu-i386-static (qemu-user-static); a kernel whose binfmt_misc
# can be mounted inside a user namespace (Linux 6.7 and later).
set -uo pipefail

QEMU=${ZELVANE_QEMU_I386:-/usr/bin/qemu-i386-static}
PROBE=${ZELVANE_I386_PROBE:-/usr/lib/wine/wine}
UNAVAILABLE=97

unavailable() {
    echo "i386 namespace unavailable: $*" >&2
    if [[ -n "${ZELVANE_I386_NAMESPACE_REPORT:-}" ]]; then echo "$*" >"$ZELVANE_I386_NAMESPACE_REPORT"; fi
    exit "$UNAVAILABLE"
}

if [[ "${1:-}" != --inside ]]; then
    (($# > 0)) || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
    command -v unshare >/dev/null || unavailable "unshare is not installed (util-linux)"
    [[ -x "$QEMU" ]] || unavailable "$QEMU is missing (tools/install-deps.sh --windows installs qemu-user-static)"
    [[ -x "$PROBE" ]] || unavailable "$PROBE is missing (tools/install-deps.sh --windows installs wine32:i386)"
    if ! why=$(unshare --user --map-root-user --mount true 2>&1); then
        unavailable "no user and mount namespace can be made here: $why"
    fi
    exec unshare --user --map-root-user --mount -- "$0" --inside "$@"
fi
shift

# The mount namespace of unshare is private: this binfmt_misc and its handler stay in it.
binfmt=/proc/sys/fs/binfmt_misc
if ! why=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1); then
    unavailable "binfmt_misc cannot be mounted inside a user namespace on this kernel: $why"
fi
# i386 ELF executables and shared objects (e_ident class 32-bit, little-endian; e_machine 3).
# F opens the interpreter now, so it serves every mount namespace below; P keeps argv[0].
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
if ! why=$( { printf '%s' ":zelvane-i386:M::$magic:$mask:$QEMU:FP" >"$binfmt/register"; } 2>&1); then
    unavailable "the i386 handler for $QEMU could not be registered: $why"
fi
grep -qx enabled "$binfmt/zelvane-i386" 2>/dev/null || unavailable "the i386 handler is registered but not enabled"
if ! version=$(timeout 120 "$PROBE" --version 2>&1) || [[ "$version" != wine-* ]]; then
    unavailable "the 32-bit program $PROBE does not run through $QEMU: $version"
fi

# qemu gives a 32-bit guest 4 GiB less one page by default. The 32-bit Wine then reserves "from
# 0x7ffe0000 to the end of the address space" in one piece that does not fit, and its own clean-up
# of the misplaced piece wraps past 4 GiB and fails, leaving the page of the shared user data to the
# next mapping: every Wine process ends with "failed to map the shared user data". With less space
# the reservation splits cleanly; Wine still needs some above 0x80000000. Each Wine process start
# also searches all of that space page by page under qemu: 0x90000000 starts a process about three
# times sooner than 0xc0000000.
export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0x90000000}
export ZELVANE_I386_NAMESPACE=1
exec "$@"
