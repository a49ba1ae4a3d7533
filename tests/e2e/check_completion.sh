#!/usr/bin/env bash
# The bash completion of zelvane-console loads in bash and completes exactly the options --help
# lists, folders after --program-folder and files after --answers.
#   check_completion.sh COMPLETION_FILE ZELVANE_CONSOLE
set -euo pipefail
# shellcheck source=/dev/null
source "$1"
[[ $(complete -p zelvane-console) == *"-F _zelvane_console"* ]] || { echo "no completion loaded" >&2; exit 1; }

# Completing the words after zelvane-console must offer exactly the first argument (sorted, one a line).
expect() {
    local expected=$1 offered
    shift
    COMP_WORDS=(zelvane-console "$@") COMP_CWORD=$# COMPREPLY=()
    _zelvane_console
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
    [[ $offered == "$expected" ]] || { printf 'after "%s": %s\nnot: %s\n' "$*" "$offered" "$expected" >&2; exit 1; }
}

expect "$("$2" --help | grep -oE '^  (-h,)?--[a-z-]+' | sed 's/^  \(-h,\)\{0,1\}//' | LC_ALL=C sort)" --
expect --check --che
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/MyMod/uninstall"
touch "$work/answers.txt"
cd "$work"
expect MyMod --program-folder My
expect MyMod My  # the program folder as MODDIR
expect answers.txt --answers ans
expect "" ans
echo "completion ok"
