/*
 * Tarvenloft unit tests - colour passes.
 *
 * colorReplace and colorAlpha on memory bitmaps of 32 and 16 bits, checked
 * pixel by pixel against values packed at the bitmap's own depth.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <vector>

#include "color.h"

namespace
{

std::vector<int> colPixels(BITMAP* bmp)
{
    std::vector<int> v;
    for (int y = 0; y < bmp->h; y++)
    {
        for (int x = 0; x < bmp->w; x++)
        {
            v.push_back(getpixel(bmp, x, y));
        }
    }
    return v;
}

class ColorDepth : public testing::TestWithParam<int>
{
  protected:
    int iDepth = 0;
    BITMAP* bmp = NULL;
    int iBase = 0;
    int iPink = 0;
    int iMask = 0;

    void SetUp() override
    {
        set_color_depth(32);
        iDepth = GetParam();
        bmp = create_bitmap_ex(iDepth, 7, 5);
        ASSERT_NE(bmp, nullptr);
        iBase = makecol_depth(iDepth, 10, 20, 30);
        iPink = makecol_depth(iDepth, 255, 128, 255);
        iMask = makecol_depth(iDepth, 255, 0, 255);
        clear_to_color(bmp, iBase);
    }
    void TearDown() override
    {
        destroy_bitmap(bmp);
        set_color_depth(32);
    }
};

TEST_P(ColorDepth, ReplaceChangesExactlyTheMatchingPixels)
{
    int iOther = makecol_depth(iDepth, 0, 128, 255);
    putpixel(bmp, 0, 0, iPink);
    putpixel(bmp, 6, 4, iPink);
    putpixel(bmp, 3, 2, iPink);
    putpixel(bmp, 4, 2, iOther);
    colorReplace(bmp, iPink, iMask);
    for (int y = 0; y < bmp->h; y++)
    {
        for (int x = 0; x < bmp->w; x++)
        {
            bool bWasPink = (x == 0 && y == 0) || (x == 6 && y == 4) || (x == 3 && y == 2);
            int iExpected = bWasPink ? iMask : (x == 4 && y == 2 ? iOther : iBase);
            EXPECT_EQ(getpixel(bmp, x, y), iExpected) << "at " << x << "," << y;
        }
    }
}

TEST_P(ColorDepth, ReplaceWithoutMatchOrWithSameColourChangesNothing)
{
    putpixel(bmp, 2, 2, iMask);
    std::vector<int> vBefore = colPixels(bmp);
    colorReplace(bmp, iPink, iMask);
    EXPECT_EQ(colPixels(bmp), vBefore);
    colorReplace(bmp, iBase, iBase);
    EXPECT_EQ(colPixels(bmp), vBefore);
}

// The pass works on the bitmap's own rows: a sub-bitmap changes only its own area.
TEST_P(ColorDepth, ReplaceOnSubBitmapStaysInside)
{
    BITMAP* sub = create_sub_bitmap(bmp, 2, 1, 3, 2);
    ASSERT_NE(sub, nullptr);
    colorReplace(sub, iBase, iMask);
    for (int y = 0; y < bmp->h; y++)
    {
        for (int x = 0; x < bmp->w; x++)
        {
            bool bInside = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(getpixel(bmp, x, y), bInside ? iMask : iBase) << "at " << x << "," << y;
        }
    }
    destroy_bitmap(sub);
}

TEST_P(ColorDepth, ZeroSizedAndNullBitmapsAreLeftAlone)
{
    std::vector<int> vBefore = colPixels(bmp);
    BITMAP* empty = create_sub_bitmap(bmp, 1, 1, 0, 0);
    if (empty != NULL)
    {
        EXPECT_EQ(colorReplace(empty, iBase, iMask), 0);
        EXPECT_EQ(colorAlpha(empty), 0);
        destroy_bitmap(empty);
    }
    EXPECT_EQ(colorReplace(NULL, iBase, iMask), 0);
    EXPECT_EQ(colorAlpha(NULL), 0);
    EXPECT_EQ(colPixels(bmp), vBefore);
}

INSTANTIATE_TEST_SUITE_P(Depths, ColorDepth, testing::Values(16, 32));

// The 32-bit pixels are read and written as 32-bit values whatever the current depth is.
TEST(ColorAlpha, ThirtyTwoBitsGetsAlphaFromTheMaskColour)
{
    for (int iCurrent : {32, 16})
    {
        set_color_depth(iCurrent);
        BITMAP* bmp = create_bitmap_ex(32, 4, 1);
        putpixel(bmp, 0, 0, makecol32(10, 20, 30));
        putpixel(bmp, 1, 0, makecol32(255, 0, 255));
        putpixel(bmp, 2, 0, makeacol32(1, 2, 3, 77));
        putpixel(bmp, 3, 0, makecol32(255, 128, 255));
        colorAlpha(bmp);
        EXPECT_EQ(getpixel(bmp, 0, 0), makeacol32(10, 20, 30, 255)) << iCurrent;
        EXPECT_EQ(getpixel(bmp, 1, 0), makeacol32(255, 0, 255, 0)) << iCurrent;
        EXPECT_EQ(getpixel(bmp, 2, 0), makeacol32(1, 2, 3, 255)) << iCurrent;
        EXPECT_EQ(getpixel(bmp, 3, 0), makeacol32(255, 128, 255, 255)) << iCurrent;
        // A second pass finds the same mask and opaque pixels again.
        std::vector<int> vOnce = colPixels(bmp);
        colorAlpha(bmp);
        EXPECT_EQ(colPixels(bmp), vOnce) << iCurrent;
        destroy_bitmap(bmp);
    }
    set_color_depth(32);
}

// Without an alpha channel the pass must not change a single pixel, whatever the current depth.
TEST(ColorAlpha, SixteenBitsIsUnchanged)
{
    for (int iCurrent : {32, 16})
    {
        set_color_depth(iCurrent);
        BITMAP* bmp = create_bitmap_ex(16, 16, 16);
        for (int y = 0; y < 16; y++)
        {
            for (int x = 0; x < 16; x++)
            {
                putpixel(bmp, x, y, (y * 16 + x) * 257);
            }
        }
        putpixel(bmp, 0, 0, makecol16(255, 0, 255));
        std::vector<int> vBefore = colPixels(bmp);
        colorAlpha(bmp);
        EXPECT_EQ(colPixels(bmp), vBefore) << "current depth " << iCurrent;
        destroy_bitmap(bmp);
    }
    set_color_depth(32);
}

}  // namespace
