#!/bin/sh
# Tests the Windows build under Wine: unzips the release archive that tools/windows/build.sh
# made and runs test_windows.py on it, one test at a time, each in its own Xvfb display and
# Wine prefix. Installs what the tests need, and builds the Linux helper that sends the window
# manager's close request. Extra arguments go to unittest (a test name, say).
#
# Usage: tests/wine/run-wine-tests.sh [-b BUILD] [unittest arguments]   (BUILD: build-windows)
#
# SPDX-License-Identifier: MIT
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
BUILD=$REPO/build-windows
if [ "${1:-}" = "-b" ]; then
    BUILD=$2
    shift 2
fi

"$REPO/install-deps.sh" wine

VERSION=$(sed -n 's/^project(Tarvenloft VERSION \([0-9.]*\).*/\1/p' "$REPO/CMakeLists.txt")
ZIP=$BUILD/tarvenloft-$VERSION-windows.zip
if [ ! -f "$ZIP" ]; then
    echo "No $ZIP: run tools/windows/build.sh first." >&2
    exit 1
fi
UNZIPPED=$(mktemp -d)
trap 'rm -rf "$UNZIPPED"' EXIT
unzip -q "$ZIP" -d "$UNZIPPED"
# The editor set, which the wine set includes, brings the C compiler and Xlib's headers.
cc -O2 -o "$UNZIPPED/close_request" "$REPO/tests/window/close_request.c" -lX11
export TARVENLOFT_BINARY="$HERE/wine-program.sh"
export TARVENLOFT_RUNTIME="$UNZIPPED/tarvenloft-$VERSION"
export TARVENLOFT_CLOSE_REQUEST="$UNZIPPED/close_request"
[ $# -gt 0 ] || set -- test_windows
cd "$HERE"
python3 -m unittest -v "$@"
