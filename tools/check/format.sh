#!/bin/sh
# Fails when a C or C++ file of the repository is not as clang-format (.clang-format) makes it,
# and shows where. Usage: tools/check/format.sh
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
if ! git ls-files '*.c' '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; then
    echo "not formatted as above: clang-format -i FILE mends it"
    exit 1
fi
echo "every C and C++ file is formatted"
