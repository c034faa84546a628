#!/bin/sh
# Builds the program (in build/) and checks one scripted real-window session under valgrind
# memcheck: fails on any invalid read or write, use of uninitialised memory, bad free, or memory
# definitely lost. Needs Xvfb, xdotool, ImageMagick and valgrind (install-deps.sh).
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
echo "== building the program"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tarvenloft
echo "== scripted session under valgrind memcheck"
cd build
python3 ../tests/leakcheck/leakcheck.py "$(pwd)/tarvenloft"
