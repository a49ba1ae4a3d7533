#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on the portable core and the POSIX code, the sources of the native
# build: every finding fails. The tests, benchmarks and fuzz targets are not checked.
#   tools/tidy.sh [BUILD_DIR]   BUILD_DIR (default build/native) was configured with
#                               -DCMAKE_EXPORT_COMPILE_COMMANDS=ON and built
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
jobs=${JOBS:-2}

if [[ ! -f "$build/compile_commands.json" ]]; then
    echo "tidy: $build/compile_commands.json missing: configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 64
fi
# The build's GCC-only warning switches (-Wno-restrict) mean nothing to clang.
run-clang-tidy -p "$build" -j "$jobs" -quiet -extra-arg=-Wno-unknown-warning-option \
    "^$PWD/(app|description|platform|prompts|removal|tables|util|widgets)/"
