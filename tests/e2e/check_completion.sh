#!/usr/bin/env bash
# The bash completion of zelvane-console loads in bash and completes exactly the options --help
# lists, folders after --program-folder and files after --answers.
#   check_completion.sh COMPLETION_FILE ZELVANE_CONSOLE
set -euo pipefail
completion=$1
console=$2

# shellcheck source=/dev/null
source "$completion"
[[ $(complete -p zelvane-console) == *"-F _zelvane_console"* ]] || { echo "no completion for zelvane-console" >&2; exit 1; }

complete_words() {
    COMP_WORDS=(zelvane-console "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _zelvane_console
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

help_options=$("$console" --help | grep -oE '^  (-h,)?--[a-z-]+' | sed 's/^  \(-h,\)\{0,1\}//' | LC_ALL=C sort)
offered=$(complete_words --)
if [[ "$offered" != "$help_options" ]]; then
    echo "completion offers:" >&2; echo "$offered" >&2
    echo "--help lists:" >&2; echo "$help_options" >&2
    exit 1
fi
[[ $(complete_words --che) == "--check" ]] || { echo "--che does not complete to --check" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/MyMod/uninstall"
touch "$work/answers.txt"
cd "$work"
[[ $(complete_words --program-folder My) == "MyMod" ]] || { echo "no folder after --program-folder" >&2; exit 1; }
[[ $(complete_words My) == "MyMod" ]] || { echo "no folder for MODDIR" >&2; exit 1; }
[[ $(complete_words --answers ans) == "answers.txt" ]] || { echo "no file after --answers" >&2; exit 1; }
[[ -z $(complete_words ans) ]] || { echo "a file offered for MODDIR" >&2; exit 1; }
echo "completion ok"
