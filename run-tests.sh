#!/bin/sh
# Installs what is missing, builds Tarvenloft with its tests and runs every test through CTest.
# The real-window tests start their own private Xvfb displays.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")"
./install-deps.sh editor tests
# Tests named on, since ./run-editor.sh configures the same build directory without them.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENLOFT_BUILD_TESTS=ON \
    -DTARVENLOFT_BUILD_TOOLS=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j2 "$@"
