#!/usr/bin/env bash
# Installs what building and testing Zelvane needs on Debian (run as root). Idempotent.
#   tools/install-deps.sh            native build and tests
#   tools/install-deps.sh --windows  also the mingw-w64 cross compilers, the GoogleTest sources they
#                                    build the Windows tests from, Wine and Xvfb, and
#                                    qemu-user-static for 32-bit Wine on kernels without IA-32 emulation
set -euo pipefail

native=(cmake g++ make dpkg-dev man-db groff-base libgtest-dev libgmock-dev libcli11-dev libfmt-dev libbenchmark-dev clang libclang-rt-14-dev clang-format clang-tidy strace lintian
        # the tests on real mounts of shared Windows partitions (tests/e2e/console_mounts_test.cpp)
        ntfs-3g exfat-fuse exfatprogs fuse3 mount)
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine64 wine32:i386 xvfb xdotool imagemagick x11-utils zip unzip qemu-user-static util-linux)

want=("${native[@]}")
if [[ "${1:-}" == "--windows" ]]; then
    want+=("${windows[@]}")
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        rm -f /var/lib/apt/periodic/zelvane-updated
    fi
fi

missing=()
for pkg in "${want[@]}"; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$pkg")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
