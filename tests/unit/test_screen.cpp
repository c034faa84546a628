/*
 * Tarvenloft unit tests - presenting frames and fading between screens.
 *
 * Runs on the stand-in display of fake_display.h: every retrace records
 * the back buffer's corner pixel, so each step of a fade can be read back.
 * The fades are tested with a white picture over black, where the library's
 * translucent mix of the two has a red value equal to the alpha used.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cmath>

#include "fake_display.h"
#include "screen.h"
#include "screen_fade.h"
#include "display_mode.h"

namespace
{
class ScreenTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        set_color_depth(32);
        cDisplay.Open();
        sys_bUseVSync = false;
        solid_mode();
        set_trans_blender(0, 0, 0, 127);
        iWhite = makecol(255, 255, 255);
        iBlack = makecol(0, 0, 0);
    }

    void TearDown() override
    {
        cDisplay.Close();
        sys_bUseVSync = true;
        set_color_depth(32);
        set_trans_blender(0, 0, 0, 127);
    }

    // Red values of the back buffer's corner at each retrace: the alphas of the fade steps.
    static std::vector<int> Alphas()
    {
        std::vector<int> vAlphas;
        for (int iPixel : fake::vBufferAtRetrace)
        {
            vAlphas.push_back(getr(iPixel));
        }
        return vAlphas;
    }

    // Number of pixels of mBitmap that are not iColor.
    static int Other(BITMAP* mBitmap, int iColor)
    {
        int iCount = 0;
        for (int y = 0; y < mBitmap->h; y++)
        {
            for (int x = 0; x < mBitmap->w; x++)
            {
                iCount += getpixel(mBitmap, x, y) != iColor;
            }
        }
        return iCount;
    }

    // What the blender does to white over black at iAlpha right now.
    static int BlendNow()
    {
        BITMAP* mWhite = create_bitmap(2, 2);
        BITMAP* mOut = create_bitmap(2, 2);
        clear_to_color(mWhite, makecol(255, 255, 255));
        clear_to_color(mOut, makecol(0, 0, 0));
        draw_trans_sprite(mOut, mWhite, 0, 0);
        int iRed = getr(getpixel(mOut, 0, 0));
        destroy_bitmap(mWhite);
        destroy_bitmap(mOut);
        return iRed;
    }

    fake::CFakeDisplay cDisplay;
    int iWhite = 0;
    int iBlack = 0;
};

int Mix(int iPicture, int iColour, int iAlpha)
{
    return iColour + static_cast<int>(std::floor((iPicture - iColour) * (iAlpha + 1) / 256.0));
}

std::vector<int> Range(int iFrom, int iTo, int iStep)
{
    std::vector<int> v;
    for (int a = iFrom; iStep > 0 ? a <= iTo : a >= iTo; a += iStep)
    {
        v.push_back(a);
    }
    return v;
}

TEST_F(ScreenTest, DisplayCopiesTheWholeBackBufferToTheScreen)
{
    clear_to_color(mBuffer, makecol(10, 20, 30));
    rectfill(mBuffer, 600, 440, 639, 479, makecol(200, 0, 0));
    screenDisplay();
    EXPECT_EQ(makecol(10, 20, 30), getpixel(screen, 0, 0));
    EXPECT_EQ(makecol(200, 0, 0), getpixel(screen, 639, 479));
    EXPECT_EQ(makecol(10, 20, 30), getpixel(screen, 599, 479));
    EXPECT_TRUE(fake::vBufferAtRetrace.empty());  // no retrace wait with vsync off
}

TEST_F(ScreenTest, DisplayWaitsForTheRetraceBeforeCopying)
{
    sys_bUseVSync = true;
    clear_to_color(mBuffer, iWhite);
    screenDisplay();
    ASSERT_EQ(1u, fake::vScreenAtRetrace.size());
    EXPECT_EQ(iBlack, fake::vScreenAtRetrace[0]);  // the screen was still the old frame
    EXPECT_EQ(0, Other(screen, iWhite));
}

TEST_F(ScreenTest, GetCopiesTheBackBufferClippedToTheTarget)
{
    clear_to_color(mBuffer, makecol(1, 2, 3));
    putpixel(mBuffer, 639, 479, makecol(9, 9, 9));
    BITMAP* mSmall = create_bitmap(100, 50);
    BITMAP* mLarge = create_bitmap(800, 600);
    clear_to_color(mLarge, iWhite);
    screenGet(mSmall);
    screenGet(mLarge);
    EXPECT_EQ(0, Other(mSmall, makecol(1, 2, 3)));
    EXPECT_EQ(makecol(9, 9, 9), getpixel(mLarge, 639, 479));
    EXPECT_EQ(iWhite, getpixel(mLarge, 640, 479));
    EXPECT_EQ(iWhite, getpixel(mLarge, 639, 480));
    // 640 x 480 copied, everything else of the large bitmap untouched
    EXPECT_EQ(800 * 600 - 640 * 480, Other(mLarge, makecol(1, 2, 3)) - 1);
    destroy_bitmap(mSmall);
    destroy_bitmap(mLarge);
}

TEST_F(ScreenTest, FadeInShowsEveryAlphaFromZeroBelow255)
{
    struct
    {
        int iSpeed;
        std::vector<int> vAlphas;
    } sCases[] = {
        {16, Range(0, 254, 16)},
        {0, Range(0, 254, 16)},
        {-7, Range(0, 254, 16)},
        {1, Range(0, 254, 1)},
        {17, Range(0, 254, 17)},
        {255, {0}},
        {300, {0}},
    };
    for (const auto& sCase : sCases)
    {
        SCOPED_TRACE(sCase.iSpeed);
        fake::vBufferAtRetrace.clear();
        clear_to_color(mBuffer, iWhite);
        screenIn(sCase.iSpeed, iBlack);
        EXPECT_EQ(sCase.vAlphas, Alphas());
        // the last blend stays in the back buffer, is on the screen, and the blender keeps its
        // alpha
        const int iLast = sCase.vAlphas.back();
        EXPECT_EQ(0, Other(mBuffer, makecol(iLast, iLast, iLast)));
        EXPECT_EQ(0, Other(screen, makecol(iLast, iLast, iLast)));
        EXPECT_EQ(iLast, BlendNow());
    }
    EXPECT_EQ(16u, Range(0, 254, 16).size());
    EXPECT_EQ(255u, Range(0, 254, 1).size());
}

TEST_F(ScreenTest, FadeOutShowsEveryAlphaFrom255AboveZeroThenTheColour)
{
    struct
    {
        int iSpeed;
        std::vector<int> vAlphas;
    } sCases[] = {
        {16, Range(255, 1, -16)},
        {0, Range(255, 1, -16)},
        {1, Range(255, 1, -1)},
        {255, {255}},
        {300, {255}},
        {100, {255, 155, 55}},
    };
    const int iBlue = makecol(0, 0, 255);
    for (const auto& sCase : sCases)
    {
        SCOPED_TRACE(sCase.iSpeed);
        fake::vBufferAtRetrace.clear();
        clear_to_color(mBuffer, iWhite);
        // over black the red value of each step is its alpha
        screenOut(sCase.iSpeed, iBlack);
        EXPECT_EQ(sCase.vAlphas, Alphas());
        const int iLast = sCase.vAlphas.back();
        EXPECT_EQ(0, Other(mBuffer, makecol(iLast, iLast, iLast)));
        EXPECT_EQ(0, Other(screen, iBlack));
        EXPECT_EQ(iLast, BlendNow());
        // and over another colour the screen ends in that colour
        clear_to_color(mBuffer, iWhite);
        screenOut(sCase.iSpeed, iBlue);
        EXPECT_EQ(0, Other(screen, iBlue));
    }
    EXPECT_EQ(16u, Range(255, 1, -16).size());
    EXPECT_EQ(15, Range(255, 1, -16).back());
}

TEST_F(ScreenTest, FadeStepsFillWithTheColourUnderThePicture)
{
    // alpha 0, the only step of a step of 255, is the plain colour
    clear_to_color(mBuffer, iWhite);
    screenIn(255, makecol(0, 0, 255));
    EXPECT_EQ(0, Other(screen, makecol(0, 0, 255)));
    // a later step mixes the picture over the colour, channel by channel, as the library's
    // blender does: c + floor((p - c)(a + 1) / 256)
    clear_to_color(mBuffer, makecol(255, 40, 0));
    screenIn(200, makecol(0, 40, 255));
    const int iMix = getpixel(screen, 320, 240);
    EXPECT_EQ(Mix(255, 0, 200), getr(iMix));
    EXPECT_EQ(Mix(40, 40, 200), getg(iMix));
    EXPECT_EQ(Mix(0, 255, 200), getb(iMix));
}

TEST_F(ScreenTest, WithVSyncEachFadeStepWaitsTwice)
{
    sys_bUseVSync = true;
    clear_to_color(mBuffer, iWhite);
    screenIn(16, iBlack);
    EXPECT_EQ(32u, fake::vBufferAtRetrace.size());
    fake::vBufferAtRetrace.clear();
    clear_to_color(mBuffer, iWhite);
    screenOut(100, iBlack);
    EXPECT_EQ((std::vector<int>{255, 255, 155, 155, 55, 55}), Alphas());
}

TEST_F(ScreenTest, FadeWithoutMemoryForTheSnapshotJustPresents)
{
    clear_to_color(mBuffer, iWhite);
    const int iBlue = makecol(0, 0, 255);
    // no bitmap can be made at a colour depth the library does not know
    set_color_depth(7);
    screenIn(16, iBlack);
    set_color_depth(32);
    EXPECT_TRUE(fake::vBufferAtRetrace.empty());
    EXPECT_EQ(0, Other(mBuffer, iWhite));
    EXPECT_EQ(0, Other(screen, iWhite));

    set_color_depth(7);
    screenOut(16, iBlue);
    set_color_depth(32);
    EXPECT_TRUE(fake::vBufferAtRetrace.empty());
    EXPECT_EQ(0, Other(mBuffer, iWhite));
    EXPECT_EQ(0, Other(screen, iBlue));
}
// A display larger than the picture: 1400 x 1000 holds it at 2x with borders of 60 and 20.
class ScaledScreenTest : public testing::TestWithParam<int>
{
  protected:
    void SetUp() override
    {
        set_color_depth(GetParam());
        cDisplay.Open(1400, 1000);
        clear_to_color(screen, makecol(9, 9, 9));
        sys_bUseVSync = false;
        screenReset(2, 60, 20);
    }

    void TearDown() override
    {
        screenReset(1, 0, 0);
        cDisplay.Close();
        sys_bUseVSync = true;
        set_color_depth(32);
        mouse_x = mouse_y = mouse_b = 0;
    }

    // Every picture pixel must be a 2 x 2 block of its colour at (60, 20) + 2 (x, y), and the
    // display around the picture black.
    void ExpectScaledPicture()
    {
        for (int y = 0; y < screen->h; y++)
        {
            for (int x = 0; x < screen->w; x++)
            {
                const int iPx = (x - 60) / 2, iPy = (y - 20) / 2;
                const bool bIn = x >= 60 && y >= 20 && iPx < 640 && iPy < 480;
                const int iWant = bIn ? getpixel(mBuffer, iPx, iPy) : makecol(0, 0, 0);
                ASSERT_EQ(iWant, getpixel(screen, x, y)) << "display pixel " << x << "," << y;
            }
        }
    }

    fake::CFakeDisplay cDisplay;
};

TEST_P(ScaledScreenTest, EveryPicturePixelIsABlockOfItsColourCentredOnBlack)
{
    for (int y = 0; y < 480; y++)
    {
        for (int x = 0; x < 640; x++)
        {
            putpixel(mBuffer, x, y, makecol(x & 255, y & 255, (x * 7 + y * 3) & 255));
        }
    }
    screenDisplay();
    ExpectScaledPicture();
    // A later frame that changes a few pixels far apart sends them, and only they change.
    putpixel(mBuffer, 0, 0, makecol(255, 255, 255));
    putpixel(mBuffer, 639, 479, makecol(0, 0, 255));
    rectfill(mBuffer, 300, 200, 340, 210, makecol(255, 0, 0));
    screenDisplay();
    ExpectScaledPicture();
    // Rows of one colour are compared with a row of that colour: a single pixel, and a whole row
    // of another colour, must still reach the display.
    clear_to_color(mBuffer, makecol(0, 0, 80));
    screenDisplay();
    putpixel(mBuffer, 320, 100, makecol(0, 0, 81));
    hline(mBuffer, 0, 101, 639, makecol(80, 0, 0));
    screenDisplay();
    ExpectScaledPicture();
}

TEST_P(ScaledScreenTest, PointerMapsBackToPicturePixelsAndOutsideHoldsNoButton)
{
    screenMapPointer(60 + 447, 20 + 100, 1, true);
    EXPECT_EQ(223, mouse_x);  // cell 6
    EXPECT_EQ(1, mouse_b);
    screenMapPointer(60 + 448, 20 + 959, 1, true);
    EXPECT_EQ(224, mouse_x);  // cell 7
    EXPECT_EQ(479, mouse_y);
    screenMapPointer(60 + 1279, 20, 3, true);
    EXPECT_EQ(639, mouse_x);
    EXPECT_EQ(3, mouse_b);
    // On the black border: the nearest edge pixel, and no button held.
    screenMapPointer(59, 1, 1, true);
    EXPECT_EQ(0, mouse_x);
    EXPECT_EQ(0, mouse_y);
    EXPECT_EQ(0, mouse_b);
    screenMapPointer(1399, 999, 1, true);
    EXPECT_EQ(639, mouse_x);
    EXPECT_EQ(479, mouse_y);
    EXPECT_EQ(0, mouse_b);
    screenMapPointer(400, 400, 1, false);  // outside the window altogether
    EXPECT_EQ(0, mouse_b);
}

INSTANTIATE_TEST_SUITE_P(Depths, ScaledScreenTest, testing::Values(32, 16));

TEST(DisplayScaleTest, LargestWholeFactorThatFitsTheDesktop)
{
    struct
    {
        int iWidth, iHeight, iWindow, iFull;
    } sDesktops[] = {{1920, 1080, 2, 2}, {1680, 1050, 2, 2}, {2560, 1440, 2, 3}, {3840, 2160, 4, 4},
                     {1366, 768, 1, 1},  {640, 480, 1, 1},   {320, 200, 1, 1}};
    for (const auto& d : sDesktops)
    {
        EXPECT_EQ(d.iWindow, modeChooseScale(giScaleAuto, d.iWidth, d.iHeight, false))
            << d.iWidth << "x" << d.iHeight;
        EXPECT_EQ(d.iFull, modeChooseScale(giScaleAuto, d.iWidth, d.iHeight, true))
            << d.iWidth << "x" << d.iHeight;
    }
    // A named factor where it fits, else the largest that does; without one, a window keeps
    // the picture's size and the full screen takes the largest.
    EXPECT_EQ(3, modeChooseScale(3, 3840, 2160, false));
    EXPECT_EQ(2, modeChooseScale(8, 1920, 1080, false));
    EXPECT_EQ(1, modeChooseScale(giScaleUnset, 3840, 2160, false));
    EXPECT_EQ(4, modeChooseScale(giScaleUnset, 3840, 2160, true));
}
}  // namespace
