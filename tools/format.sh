#!/usr/bin/env bash
# Applies .clang-format to every tracked C++ source and header.
#   tools/format.sh           rewrites the files in place
#   tools/format.sh --check   changes nothing; lists every place that differs and fails if one does
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=${CLANG_FORMAT:-clang-format}
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.hpp' '*.h')

case "${1:-}" in
    "") printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$clang_format" -i --style=file ;;
    --check) printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$clang_format" --dry-run --Werror --style=file ;;
    *) echo "usage: tools/format.sh [--check]" >&2; exit 64 ;;
esac
