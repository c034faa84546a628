#!/bin/sh
# Builds the libraries of the Windows program, static, for 64-bit Windows: zlib, libpng 1.6,
# Allegro 4.4 with its PNG add-on and pugixml, from Debian's source packages, Allegro mended by
# our patches.
# Installs them into DEPS/prefix, with the pkg-config files that the program's build reads.
# Called by build.sh, which decides when the libraries must be built again.
#
# Usage: tools/windows/build-deps.sh DEPS
#
# SPDX-License-Identifier: MIT
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
DEPS=$1
TOOLCHAIN=$HERE/mingw-w64-x86_64.cmake
JOBS=${JOBS:-2}
SRC=$DEPS/src
OBJ=$DEPS/obj
LOGS=$DEPS/logs
PREFIX=$DEPS/prefix
RELEASE=$(. /etc/os-release && echo "$VERSION_CODENAME")

mkdir -p "$SRC" "$OBJ" "$LOGS" "$PREFIX/lib/pkgconfig" "$PREFIX/include"

# Runs a command with its output in LOGS/NAME.log; shows the end of the log if it fails.
logged() {
    if ! quiet "$@"; then
        tail -n 40 "$LOGS/$1.log" >&2
        echo "build-deps: $1 failed; whole log: $LOGS/$1.log" >&2
        exit 1
    fi
}

# Runs a command with its output in LOGS/NAME.log and returns its status.
quiet() {
    name=$1
    shift
    "$@" >"$LOGS/$name.log" 2>&1
}

# The one file or directory that matches a pattern, or an error.
only() {
    set -- $1
    if [ $# -ne 1 ] || [ ! -e "$1" ]; then
        echo "build-deps: expected one match, found: $*" >&2
        exit 1
    fi
    echo "$1"
}

# Checks a file against the size and SHA-256 sum that a .dsc gives for it.
check_against_dsc() {
    dsc=$1
    file=$2
    want=$(awk -v f="$(basename "$file")" '/^Checksums-Sha256:/ { s = 1; next }
                                            /^[^ ]/ { s = 0 }
                                            s && $3 == f { print $1, $2 }' "$dsc")
    have="$(sha256sum <"$file" | cut -d' ' -f1) $(stat -c %s "$file")"
    if [ -z "$want" ] || [ "$want" != "$have" ]; then
        echo "build-deps: $file does not match $dsc (want '$want', have '$have')" >&2
        exit 1
    fi
}

cmake_for_windows() {
    cmake -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DTARVENLOFT_WINDOWS_DEPS="$PREFIX" \
        -DCMAKE_PREFIX_PATH="$PREFIX" -DCMAKE_INSTALL_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release "$@"
}

echo "== fetching the sources of zlib, libpng1.6 and allegro4.4"
cd "$SRC"
# apt checks every download against the archive's signed index; apt-get source also unpacks
# zlib and libpng with Debian's patches. The newest versions carry the security suite's fixes,
# but not every archive serves that suite's sources (ours does not): then the release's own.
if ! quiet fetch-zlib-libpng apt-get source zlib libpng1.6; then
    echo "   no sources of the newest versions here: taking those of $RELEASE itself"
    find . -mindepth 1 -delete
    logged fetch-zlib-libpng apt-get source "zlib/$RELEASE" "libpng1.6/$RELEASE"
fi
echo "   $(cd "$SRC" && echo zlib_*.dsc libpng1.6_*.dsc)"
# Allegro: the release's own version, which our patches are made for; only the .dsc and the
# upstream tarball. The Debian patch tarball concerns the Linux packages, and some archives do
# not serve it, which makes a plain apt-get source fail before unpacking; so the tarball is
# checked against the .dsc and unpacked here.
logged fetch-allegro-dsc apt-get source --download-only --dsc-only "allegro4.4/$RELEASE"
logged fetch-allegro-tar apt-get source --download-only --tar-only "allegro4.4/$RELEASE"
check_against_dsc "$(only 'allegro4.4_*.dsc')" "$(only 'allegro4.4_*.orig.tar.gz')"
tar xzf "$(only 'allegro4.4_*.orig.tar.gz')"
# pugixml: the newest version with the release's as the fallback, as for zlib and libpng. apt
# checks the download against the archive's signed index and unpacks it with dpkg-source, which
# checks every file against the .dsc; the upstream tarball is checked here once more.
echo "== fetching the sources of pugixml"
if ! quiet fetch-pugixml apt-get source pugixml; then
    echo "   no sources of the newest version here: taking those of $RELEASE itself"
    find . -mindepth 1 -maxdepth 1 -name 'pugixml*' -exec rm -rf {} +
    logged fetch-pugixml apt-get source "pugixml/$RELEASE"
fi
check_against_dsc "$(only 'pugixml_*.dsc')" "$(only 'pugixml_*.orig.tar.*')"
echo "   $(cd "$SRC" && echo pugixml_*.dsc)"
ZLIB_SRC=$(only "$SRC/zlib-*/")
PUGIXML_SRC=$(only "$SRC/pugixml-*/")
PNG_SRC=$(only "$SRC/libpng1.6-*/")
ALLEGRO_SRC=$(only "$SRC/allegro-4.4.*/")

echo "== patching Allegro"
for p in "$HERE"/patches/*.patch; do
    echo "   $(basename "$p")"
    patch -d "$ALLEGRO_SRC" -p1 --forward --quiet <"$p"
done

echo "== building zlib"
# Only the static target: the DFSG tarball lacks the resource file of the DLL.
logged zlib-configure cmake_for_windows -S "$ZLIB_SRC" -B "$OBJ/zlib"
logged zlib-build cmake --build "$OBJ/zlib" --target zlibstatic -j"$JOBS"
cp "$OBJ/zlib/libzlibstatic.a" "$PREFIX/lib/libz.a"
cp "$ZLIB_SRC/zlib.h" "$OBJ/zlib/zconf.h" "$PREFIX/include/"

echo "== building pugixml"
logged pugixml-configure cmake_for_windows -S "$PUGIXML_SRC" -B "$OBJ/pugixml" \
    -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
logged pugixml-build cmake --build "$OBJ/pugixml" -j"$JOBS"
logged pugixml-install cmake --install "$OBJ/pugixml"

echo "== building libpng"
logged libpng-configure cmake_for_windows -S "$PNG_SRC" -B "$OBJ/libpng" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DZLIB_ROOT="$PREFIX"
logged libpng-build cmake --build "$OBJ/libpng" -j"$JOBS"
logged libpng-install cmake --install "$OBJ/libpng"

echo "== building Allegro and its PNG add-on"
logged allegro-configure cmake_for_windows -S "$ALLEGRO_SRC" -B "$OBJ/allegro" \
    -DSHARED=OFF -DWANT_LOADPNG=ON -DWANT_ALLEGROGL=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF \
    -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF
logged allegro-build cmake --build "$OBJ/allegro" -j"$JOBS"
logged allegro-install cmake --install "$OBJ/allegro"

# The map file's libraries, static: zlib's CMake build installs no pkg-config file, and
# pugixml's names the build machine's paths; these are the ones the program's build asks for.
cat >"$PREFIX/lib/pkgconfig/zlib.pc" <<PC
prefix=$PREFIX
Name: zlib
Description: zlib, static, for Windows
Version: $(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$ZLIB_SRC/zlib.h")
Cflags: -I\${prefix}/include
Libs: -L\${prefix}/lib -lz
PC
cat >"$PREFIX/lib/pkgconfig/pugixml.pc" <<PC
prefix=$PREFIX
Name: pugixml
Description: pugixml, static, for Windows
Version: $(basename "$PUGIXML_SRC" | sed 's/^pugixml-//')
Cflags: -I\${prefix}/include
Libs: -L\${prefix}/lib -lpugixml
PC

# Allegro installs no pkg-config files on Windows. These are the ones the program's build asks
# for, as on Linux; static linking needs ALLEGRO_STATICLINK in every compile and the Win32 and
# DirectX libraries after Allegro's. loadpng requires allegro, so its libraries come first.
cat >"$PREFIX/lib/pkgconfig/allegro.pc" <<PC
prefix=$PREFIX
Name: allegro
Description: Allegro 4.4, static, for Windows
Version: 4.4.3
Cflags: -DALLEGRO_STATICLINK -I\${prefix}/include
Libs: -L\${prefix}/lib -lalleg -lkernel32 -luser32 -lgdi32 -lcomdlg32 -lole32 -ldinput -lddraw -ldxguid -lwinmm -ldsound
PC
cat >"$PREFIX/lib/pkgconfig/loadpng.pc" <<PC
prefix=$PREFIX
Name: loadpng
Description: PNG add-on of Allegro 4.4, static, for Windows
Version: 4.4.3
Requires: allegro
Cflags: -I\${prefix}/include
Libs: -L\${prefix}/lib -lloadpng -lpng16 -lz
PC
