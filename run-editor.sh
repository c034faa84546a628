#!/bin/sh
# Installs what building and running need, builds Tarvenloft without its tests and starts it on
# your display from runtime/.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ]; then
    echo "Tarvenloft needs an X display to open its window, and DISPLAY is not set." >&2
    exit 1
fi
./install-deps.sh editor
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENLOFT_BUILD_TESTS=OFF >/dev/null
cmake --build build --target tarvenloft -j"$(nproc)"
cd runtime
exec ../build/tarvenloft
