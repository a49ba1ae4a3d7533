#!/usr/bin/env bash
# Builds the package a mod author ships: dist/zelvane-<version>-windows.zip holding the stripped
# 32-bit zelvane.exe, beside it zelvane-console.exe (the authors' check of a description), an
# example uninstall folder (the bundled example mod's), a blank commented description to start
# from (uninstall_data.template.ini), the usage guide and the licence (LICENSE.txt: MIT, so the
# program may be shipped with any mod).
#   tools/release.sh            build (Release, i686) and package
# Needs the mingw-w64 i686 cross compiler and zip (tools/install-deps.sh --windows installs them).
set -euo pipefail
if (($# > 0)); then
    sed -n '2,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
    [[ "$1" == "-h" || "$1" == "--help" ]] && exit 0
    exit 2
fi

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}

for tool in cmake i686-w64-mingw32-strip zip; do
    command -v "$tool" >/dev/null || { echo "release: $tool is not installed (tools/install-deps.sh --windows)" >&2; exit 1; }
done

VERSION=$(sed -n 's/^project(Zelvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n "$VERSION" ]] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
NAME="zelvane-$VERSION-windows"
BUILD=${ZELVANE_RELEASE_BUILD:-build/release-i686}  # tools/test-all.sh reuses its own i686 build
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build "$BUILD" -j2 --target zelvane zelvane-console

STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
PACKAGE="$STAGE/$NAME"
mkdir -p "$PACKAGE/uninstall"
i686-w64-mingw32-strip -o "$PACKAGE/zelvane.exe" "$BUILD/app/win32/zelvane.exe"
i686-w64-mingw32-strip -o "$PACKAGE/zelvane-console.exe" "$BUILD/app/console/zelvane-console.exe"
cp examples/mod/uninstall/uninstall_data.ini examples/mod/uninstall/uninstall_info.rtf "$PACKAGE/uninstall/"
cp examples/uninstall_data.template.ini "$PACKAGE/"
sed 's/$/\r/' LICENSE >"$PACKAGE/LICENSE.txt"  # Windows line ends, for Notepad
# The guide as "For Modders" writes it: the embedded guide with the version line after its title block.
version_line='\pard\qc\cf2\b\fs24 This was made with version: \cf1 '"$VERSION"'\cf0\par'
sed 's/\r$//' resources/usage_guide.rtf |
    VERSION_LINE=$version_line awk '{ printf "%s\r\n", $0 } NR == 10 { printf "%s\r\n", ENVIRON["VERSION_LINE"] }' \
        >"$PACKAGE/Zelvane Usage.rtf"

# The same files give the same archive: the time of the last commit on every entry, no extra fields.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date -u +%Y%m%d%H%M.%S)
find "$PACKAGE" -exec touch -t "$stamp" {} +
mkdir -p dist
rm -f "dist/$NAME.zip"
(cd "$STAGE" && find "$NAME" | LC_ALL=C sort | zip -q -X -D "$ROOT/dist/$NAME.zip" -@)
echo "dist/$NAME.zip:"
unzip -l "dist/$NAME.zip" | sed -n '4,$p'
