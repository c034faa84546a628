#!/bin/sh
# Cross-builds Tarvenloft for 64-bit Windows on Debian 12 and makes the release archive.
#
# Installs what it needs (Debian's mingw-w64 among it), builds zlib, libpng, Allegro and pugixml
# as static Windows libraries from Debian's source packages into BUILD/deps (once: later runs
# reuse them until the library recipe, the patches or the toolchain file change),
# cross-compiles BUILD/tarvenloft.exe and packs BUILD/tarvenloft-VERSION-windows.zip: one
# folder with the program, the runtime tree beside it, a read-me for Windows users and the
# licence (LICENSE, then the terms of the font glyphs from tools/linux/copyright and pugixml's).
#
# Usage: tools/windows/build.sh [BUILD]     (BUILD defaults to build-windows in the repository)
#
# SPDX-License-Identifier: MIT
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
BUILD=${1:-$REPO/build-windows}
mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
DEPS=$BUILD/deps
TOOLCHAIN=$HERE/mingw-w64-x86_64.cmake
export JOBS=${JOBS:-2}
VERSION=$(sed -n 's/^project(Tarvenloft VERSION \([0-9.]*\).*/\1/p' "$REPO/CMakeLists.txt")
NAME=tarvenloft-$VERSION

echo "== installing what the cross build needs"
"$REPO/install-deps.sh" windows
"$HERE/deb-src.sh"

# The libraries are built again when anything that makes them changes; the program too then,
# since its build keeps the toolchain's flags from its first configuration.
recipe=$(cat "$HERE/build-deps.sh" "$TOOLCHAIN" "$HERE"/patches/*.patch | sha256sum | cut -c1-16)
if [ "$(cat "$DEPS/recipe" 2>/dev/null || true)" = "$recipe" ]; then
    echo "== libraries: built before, in $DEPS"
else
    rm -rf "$DEPS" "$BUILD/program"
    "$HERE/build-deps.sh" "$DEPS"
    echo "$recipe" >"$DEPS/recipe"
fi

echo "== building tarvenloft.exe"
cmake -S "$REPO" -B "$BUILD/program" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DTARVENLOFT_WINDOWS_DEPS="$DEPS/prefix" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s -DTARVENLOFT_BUILD_TESTS=OFF \
    >"$BUILD/program-configure.log"
cmake --build "$BUILD/program" --target tarvenloft -j"$JOBS"
cp "$BUILD/program/tarvenloft.exe" "$BUILD/tarvenloft.exe"

echo "== packing $NAME-windows.zip"
# The runtime tree stands beside the program, so that the program started from the unzipped
# folder (by a double click) finds its files in its working directory.
STAGE=$BUILD/package/$NAME
rm -rf "$BUILD/package"
mkdir -p "$STAGE"
cp "$BUILD/tarvenloft.exe" "$STAGE/"
cp -R "$REPO/runtime/." "$STAGE/"
sed -e "s/@VERSION@/$VERSION/" -e "s/\$/\r/" "$HERE/README.txt" >"$STAGE/README.txt"
{
    cat "$REPO/LICENSE"
    printf '\n\nThe bitmap fonts (system\\images\\fonts) and the captions of the language buttons\n'
    printf '(system\\images\\buttons) are drawn from the DejaVu fonts, under these terms:\n\n'
    awk '/^$/ { fonts = 0 }
        /^Files: / { fonts = ($2 == "runtime/system/images/fonts/*") }
        /^[^ ]/ { field = $1 }
        fonts && /^ / && (field == "Copyright:" || field == "License:") {
            if (field != last) { if (last != "") print ""; last = field }
            sub(/^ /, ""); if ($0 == ".") $0 = ""; print
        }' "$REPO/tools/linux/copyright"
    # pugixml is linked into the program, and its licence asks for its notice in every copy.
    printf '\n\nThe program contains pugixml, which reads and writes its map files, under '
    printf 'these terms:\n\n'
    cat "$(ls -d "$DEPS"/src/pugixml-*/)LICENSE.md"
} | sed -e "s/\$/\r/" >"$STAGE/LICENSE.txt"
# The same sources give the same archive: fixed times, sorted names, no Unix extras.
export TZ=UTC
stamp=$(git -C "$REPO" log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null ||
    date +%Y%m%d%H%M.%S)
find "$STAGE" -exec touch -h -t "$stamp" {} +
rm -f "$BUILD/$NAME-windows.zip"
(cd "$BUILD/package" && find "$NAME" | LC_ALL=C sort | zip -q -X -9 -@ "$BUILD/$NAME-windows.zip")

echo "== done"
echo "   $BUILD/tarvenloft.exe"
echo "   $BUILD/$NAME-windows.zip ($(stat -c %s "$BUILD/$NAME-windows.zip") bytes)"
