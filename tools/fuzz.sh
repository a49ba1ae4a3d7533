#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a fixed time on a copy
# of its seeds, so that fuzz/corpus/ stays as it is in the repository. The description target
# (loader_fuzzer) is seeded as well with every description of the check gallery
# (tests/description/check_gallery/*/uninstall/*.ini) and the bundled example's.
#   tools/fuzz.sh [--merge] [TARGET...]
#     --merge   afterwards, minimise what the runs found into fuzz/corpus/<target>/
#     TARGET    loader_fuzzer, paths_fuzzer, rtf_fuzzer, removal_fuzzer, tables_fuzzer (default: all)
#   FUZZ_SECONDS    seconds per target (default 60)
#   FUZZ_BUILD_DIR  build folder (default build/fuzz)
#   FUZZ_WORK_DIR   corpus copies, logs and crashing inputs (default build/fuzz-work)
# Exits non-zero when any target finds a crash, a leak, a time-out or a sanitizer report, and
# says where the input that caused it is kept.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=$(realpath -m "${FUZZ_BUILD_DIR:-build/fuzz}")
work=$(realpath -m "${FUZZ_WORK_DIR:-build/fuzz-work}")
jobs=${JOBS:-2}
all_targets=(loader_fuzzer paths_fuzzer rtf_fuzzer removal_fuzzer tables_fuzzer)

merge=0
targets=()
for arg in "$@"; do
    case "$arg" in
        --merge) merge=1 ;;
        -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
        *) targets+=("$arg") ;;
    esac
done
((${#targets[@]})) || targets=("${all_targets[@]}")

# The longest input each target is given: descriptions and RTF bodies as large as a careless mod
# might ship (large enough that quadratic work shows as a time-out), paths as long as any path.
max_len_of() {
    case "$1" in
        paths_fuzzer) echo 4096 ;;
        removal_fuzzer) echo 1024 ;;
        *) echo 65536 ;;
    esac
}
dict_of() {
    case "$1" in
        loader_fuzzer) echo fuzz/dict/loader_fuzzer.dict ;;
        rtf_fuzzer) echo fuzz/dict/rtf.dict ;;
        tables_fuzzer) echo fuzz/dict/tables_fuzzer.dict ;;
        *) echo "" ;;
    esac
}

echo "Building the fuzz targets in $build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DZELVANE_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for target in "${targets[@]}"; do
    binary="$build/fuzz/$target"
    seeds="fuzz/corpus/$target"
    dir="$work/$target"
    [[ -x "$binary" ]] || { echo "no fuzz target $target in $build" >&2; exit 2; }
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/artifacts"
    [[ -d "$seeds" ]] && cp -R "$seeds/." "$dir/corpus/"
    # The gallery's descriptions are copied into a second corpus folder, which takes no
    # new inputs, so that --merge does not copy them into fuzz/corpus/.
    gallery=()
    if [[ "$target" == loader_fuzzer ]]; then
        gallery=("$dir/gallery")
        mkdir -p "$dir/gallery"
        for ini in tests/description/check_gallery/*/uninstall/*.ini examples/mod/uninstall/uninstall_data.ini; do
            [[ -f "$ini" ]] && cp "$ini" "$dir/gallery/$(basename "$(dirname "$(dirname "$ini")")").ini"
        done
    fi
    args=(-max_total_time="$seconds" -max_len="$(max_len_of "$target")" -timeout=10 -rss_limit_mb=2048
          -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
    dict=$(dict_of "$target")
    [[ -n "$dict" ]] && args+=(-dict="$dict")

    echo "== $target: ${seconds} s (log: $dir/fuzz.log) =="
    status=0
    "$binary" "${args[@]}" "$dir/corpus" ${gallery[@]+"${gallery[@]}"} >"$dir/fuzz.log" 2>&1 || status=$?
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|Done )' "$dir/fuzz.log" || true
    if ((status != 0)) || [[ -n "$(ls -A "$dir/artifacts")" ]]; then
        echo "!! $target failed (exit $status):"
        grep -E 'ERROR:|SUMMARY:|runtime error|fuzz invariant broken|Test unit written' "$dir/fuzz.log" | head -20 || true
        for input in "$dir"/artifacts/*; do
            [[ -e "$input" ]] && echo "   input kept in $input"
        done
        echo "   reproduce: $binary $dir/artifacts/<input>"
        failed+=("$target")
        continue
    fi

    if ((merge)); then
        mkdir -p "$seeds"
        "$binary" -merge=1 -max_len="$(max_len_of "$target")" -timeout=10 -rss_limit_mb=2048 \
            "$seeds" "$dir/corpus" >"$dir/merge.log" 2>&1
        echo "merged new inputs into $seeds: $(grep -Eo '[0-9]+ new files with [0-9]+ new features added' "$dir/merge.log" || echo 'none')"
    fi
done

if ((${#failed[@]})); then
    echo "Fuzzing found problems in: ${failed[*]}"
    exit 1
fi
echo "Fuzzing found nothing in: ${targets[*]}"
