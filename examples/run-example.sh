#!/usr/bin/env bash
# Removes the bundled example mod from a fresh copy of the bundled synthetic K2 game folder with
# the console front end, answering "Yes" to every prompt.
#   examples/run-example.sh BUILD_DIR
# Prints the transcript (which ends with the removal log rendered for the terminal and a summary of
# the run), and the game and program folders afterwards; exits with the console's status.
set -uo pipefail

if (($# != 1)); then
    echo "usage: $0 BUILD_DIR" >&2
    exit 3
fi
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)" || exit 3
console="$build/app/console/zelvane-console"
if [[ ! -x "$console" ]]; then
    echo "$console not found: build the target zelvane-console first" >&2
    exit 3
fi

run="$build/example-run"
rm -rf "$run"
mkdir -p "$run"
cp -a "$here/mod" "$run/mod"
cp -a "$here/game" "$run/game"

# The registry stand-in: the K2 key names the game copy (Wine form of its host path).
game_windows="Z:${run//\//\\}\\game"
printf 'HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|%s\n' "$game_windows" > "$run/registry.txt"

# Yes to everything: the confirmation, the file found in a subfolder, the queued delete, the
# queued restore, the 2da restore and the author's closing instructions.
cat > "$run/answers.txt" <<'ANSWERS'
# Remove Example Robes? -> Yes
0
# Confirm Delete in Subfolder -> Yes
0
# Confirm Delete (ex_robe_notes.txt) -> Yes
0
# Confirm Restore (ex_robe_icon.tga) -> Yes
0
# Confirm appearance.2da replacement -> Yes
0
# Almost done -> Ok
0
ANSWERS

echo "== Game folder before the run ($run/game) =="
(cd "$run/game" && find . -type f | sort)
echo

echo "== Transcript =="
"$console" --no-open --no-color --program-folder "$run/mod" --registry "$run/registry.txt" \
    --answers "$run/answers.txt"
status=$?
echo "== zelvane-console exited with status $status =="
echo

echo "== Game folder afterwards ($run/game) =="
(cd "$run/game" && find . -type f | sort)
echo
echo "== Program folder afterwards ($run/mod) =="
(cd "$run/mod" && find . -type f | sort)
exit "$status"
