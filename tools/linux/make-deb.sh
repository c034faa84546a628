#!/bin/sh
# Makes the Debian package build-deb/tarvenloft_VERSION_ARCH.deb: installs what is missing, builds
# the program without its tests in a build directory of its own, with Debian's hardening flags,
# and packs it with CPack. Prints the package's path, and nothing else, on standard output.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
./install-deps.sh editor package >&2
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVENLOFT_BUILD_TESTS=OFF \
    -DTARVENLOFT_BUILD_TOOLS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-deb -j"$(nproc)" >/dev/null
cd build-deb
report=$(cpack -G DEB)
# CPack names the package in its last line: "CPack: - package: PATH generated."
echo "$report" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
