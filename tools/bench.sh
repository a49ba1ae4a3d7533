#!/usr/bin/env bash
# Builds the benchmarks (Release) and measures the file-list phase over synthetic override trees of
# 500, 5,000 and 50,000 files (500 nested folders at full size, 5,000 list entries of which 2,000
# were moved into subfolders), with the search walking the tree for every entry and with the index.
#   tools/bench.sh            in-memory trees (directory entries read are counted)
#   tools/bench.sh --disk     also the same trees on disk under /tmp (the walk of the largest takes minutes)
# Extra arguments go to the benchmark program, e.g. --benchmark_filter=divisor:10/
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build/bench}
if [[ "${1:-}" == "--disk" ]]; then
    export ZELVANE_BENCH_DISK=1
    shift
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVANE_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target zelvane_bench
"$build/bench/zelvane_bench" --benchmark_out="$build/file_list.json" --benchmark_out_format=json "$@"
echo "JSON results: $build/file_list.json"
