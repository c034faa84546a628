/*
 * Tarvenloft unit tests - entry point.
 *
 * Starts the library without a display (memory bitmaps only) at 32-bit
 * colour, once for the whole run. Tests that need another depth set it and
 * put it back.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include "header.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The library runs threads of its own; forked death tests must re-execute the binary.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
    {
        return 1;
    }
    set_color_depth(32);
    return RUN_ALL_TESTS();
}
