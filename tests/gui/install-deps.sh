#!/usr/bin/env bash
# Installs what the GUI tests need on Debian (run as root): Xvfb, xdotool, ImageMagick, Wine with
# its 32-bit part, the mingw-w64 compilers for the driver, and qemu-user-static and unshare, which
# run the 32-bit Wine where the kernel refuses 32-bit programs. Idempotent: installs only what is missing.
set -euo pipefail

packages=(xvfb xdotool imagemagick wine wine64 wine32:i386 g++-mingw-w64-i686 g++-mingw-w64-x86-64 qemu-user-static util-linux)

added_arch=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added_arch=1
fi

missing=()
for pkg in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$pkg")
done
if ((${#missing[@]})) || ((added_arch)); then
    apt-get update -q
fi
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
