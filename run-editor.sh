#!/bin/sh
# Installs what is missing, builds Tarvenloft and starts it on your display from runtime/.
set -eu
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ]; then
    echo "Tarvenloft needs an X display to open its window, and DISPLAY is not set." >&2
    exit 1
fi
./install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tarvenloft -j"$(nproc)"
cd runtime
exec ../build/tarvenloft
