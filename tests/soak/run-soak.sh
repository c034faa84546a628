#!/bin/sh
# Builds the program (in build/) and soaks the map editor in a private Xvfb display for
# SECONDS (default 600: 36,000 frames at 60 fps), sampling resident memory and CPU time.
# Not part of CI; takes as long as it is told to. Usage: tests/soak/run-soak.sh [SECONDS]
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tarvenloft
cd build
python3 ../tests/soak/soak.py "${1:-600}" "$(pwd)/tarvenloft"
