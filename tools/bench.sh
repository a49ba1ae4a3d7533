#!/usr/bin/env bash
# Builds the benchmark (Release) and measures whole removal runs over synthetic K2 installs of
# 500, 5,000 and 50,000 files in four layouts (see bench/benchmarks.cpp):
#   on disk    the real zelvane-console next to `find override -type f` + `xargs rm` of the same
#              files on an identical copy, medians of 3, ratio, time per file
#   in memory  the core on the in-memory file system, seam calls per entry
# Options:
#   --memory   only the in-memory runs (seconds)
#   --disk     only the runs on disk (a few minutes)
#   --tables   only the 2da table merge at 1,000 rows x 100 columns (seconds)
# Further arguments go to the benchmark program, e.g. --benchmark_filter=files:5000
# The tables of docs/performance.md are printed from the JSON by tools/bench_table.py.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build/bench}
filter=()
tables=0
while [[ $# -gt 0 ]]; do
    case "$1" in
        --memory) filter=(--benchmark_filter=Removal/memory); shift ;;
        --disk) filter=(--benchmark_filter=Removal/disk); shift ;;
        --tables) filter=(--benchmark_filter=Tables); tables=1; shift ;;
        -h|--help) sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"; exit 0 ;;
        *) break ;;
    esac
done
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVANE_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target zelvane_bench zelvane-console
((tables)) && exec "$build/bench/zelvane_bench" "${filter[@]}" "$@"
"$build/bench/zelvane_bench" --benchmark_out="$build/removal.json" --benchmark_out_format=json "${filter[@]}" "$@"
echo "JSON results: $build/removal.json"
python3 tools/bench_table.py "$build/removal.json"
