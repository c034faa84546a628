#!/bin/sh
# Installs what building and running need, builds Tarvenloft without its tests and starts it on
# your display from runtime/, with the arguments given (a map file, or an option).
#
# The program runs in runtime/, so a map file named relative to the directory you are in (one
# argument that does not start with "-", or one after "--") is made absolute first, as your
# shell names that directory, and is kept where you meant.
#
# SPDX-License-Identifier: MIT
set -eu
map=""
case "$#:${1-}" in
    1: | 1:-*) ;;
    1:*) map=$1 ;;
    2:--) map=$2 ;;
esac
case $map in
    "" | /*) ;;
    *)
        start=$(pwd -L)
        set -- -- "${start%/}/$map"
        ;;
esac
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ]; then
    echo "Tarvenloft needs an X display to open its window, and DISPLAY is not set." >&2
    exit 1
fi
./install-deps.sh editor
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENLOFT_BUILD_TESTS=OFF >/dev/null
cmake --build build --target tarvenloft -j"$(nproc)"
cd runtime
exec ../build/tarvenloft "$@"
