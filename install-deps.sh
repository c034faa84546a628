#!/bin/sh
# Installs the Debian packages that Tarvenloft needs, by set:
#   editor   building and running the program
#   tests    the unit and real-window tests, the artwork tools, the sanitizer run, fuzzing,
#            the memory check and the benchmarks (on top of the editor set)
#   package  making the Debian package and checking it (on top of the editor set)
#   windows  cross-building the Windows program (on top of the editor set)
#   wine     testing the Windows program under Wine (on top of the editor set)
# With no set named, installs editor, tests and package. Does nothing when they are all there;
# safe to run any number of times.
#
# SPDX-License-Identifier: MIT
set -eu

EDITOR="build-essential cmake pkg-config liballegro4-dev libloadpng4-dev libpng-dev libxrandr-dev
libxi-dev libpugixml-dev zlib1g-dev"
# tiled: the peer that the map file tests check our TMX files against (and tmxrasterizer).
# x11-apps: xwd, for the window benchmark's screenshots (ImageMagick's import, tried instead,
# failed to read the frame-rate box in about one screenshot in five), and xclock, the window
# that takes the focus away from the program in its comparison mode. x11-xserver-utils: xrandr,
# with which a window test makes one X screen of two monitors.
TESTS="clang-format libgtest-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core fonts-dejavu-extra python3
xvfb xauth xdotool imagemagick x11-utils x11-apps x11-xserver-utils clang libclang-rt-14-dev
valgrind tiled"
# file: CPack's dpkg-shlibdeps step needs it to tell the binaries whose libraries it looks up.
# shared-mime-info: update-mime-database, with which the package test reads the installed type
# of the map files.
PACKAGE="file lintian desktop-file-utils appstream shared-mime-info"
# dpkg-dev: apt-get source unpacks Debian's source packages with its dpkg-source.
WINDOWS="g++-mingw-w64-x86-64-win32 dpkg-dev patch zip"
# binutils-mingw-w64-x86-64: objdump, which reads the Windows program's header.
WINE="wine wine64 python3 xvfb xauth xdotool imagemagick x11-utils unzip binutils-mingw-w64-x86-64"

[ $# -eq 0 ] && set -- editor tests package
PACKAGES="$EDITOR"
for need in "$@"; do
    case "$need" in
        editor) ;;
        tests) PACKAGES="$PACKAGES $TESTS" ;;
        package) PACKAGES="$PACKAGES $PACKAGE" ;;
        windows) PACKAGES="$PACKAGES $WINDOWS" ;;
        wine) PACKAGES="$PACKAGES $WINE" ;;
        *) echo "usage: install-deps.sh [editor] [tests] [package] [windows] [wine]" >&2; exit 2 ;;
    esac
done

missing=""
for p in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
# Other apt runs may hold the lock for a while; wait for it instead of failing.
$SUDO apt-get -o DPkg::Lock::Timeout=900 update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y \
    --no-install-recommends $missing
