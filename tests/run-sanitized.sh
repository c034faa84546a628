#!/bin/sh
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer (no recovery) in
# build-asan and runs them through CTest. Any memory error, leak or undefined behaviour fails
# the test that caused it. Extra arguments go to ctest.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/.."
BUILD=build-asan

echo "== configuring $BUILD with the sanitizers"
cmake -S . -B "$BUILD" -DTARVENLOFT_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
echo "== building the unit tests"
cmake --build "$BUILD" -j"$(nproc)" --target unit_tests
# Leaks are checked at exit of every test process; a report stops with a failure.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:halt_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
echo "== running the unit tests under the sanitizers"
cd "$BUILD"
ctest --output-on-failure -L unit -j"$(nproc)" "$@"
