#!/usr/bin/env bash
# Builds the stand-in program (development aid only): tests/gui/standin/build.sh OUT.exe [i686|x86_64]
set -euo pipefail
arch=${2:-x86_64}
"$arch-w64-mingw32-g++" -std=c++20 -O1 -Wall -Wextra -Werror -static -mwindows -o "$1" \
    "$(dirname "$0")/standin.cpp" -lmsimg32 -lshell32
