#!/bin/sh
# Installs the Debian packages that Tarvenloft's build, program, tests and tools need.
# Does nothing when they are all there; safe to run any number of times.
set -eu

PACKAGES="build-essential cmake pkg-config liballegro4-dev libloadpng4-dev libpng-dev
libgtest-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core fonts-dejavu-extra python3 xvfb xauth xdotool imagemagick
x11-utils clang libclang-rt-14-dev valgrind"

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
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
