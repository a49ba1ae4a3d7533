#!/usr/bin/env bash
# Builds the console front end and removes the bundled example mod from a fresh copy of the
# bundled synthetic game folder. Run as root on a fresh Debian machine (it installs what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"${JOBS:-2}" --target zelvane-console
exec examples/run-example.sh build/native
