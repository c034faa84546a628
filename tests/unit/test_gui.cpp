/*
 * Tarvenloft unit tests - the frame composer and the debug overlay.
 *
 * Frames run on the stand-in display of fake_display.h; each test makes a
 * frame tick pending before displayAll so that its wait returns at once.
 * The mouse pointer cannot be shown without a mouse driver, which the
 * headless library does not have; the real-window tests cover it.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "buttons.h"
#include "fake_display.h"
#include "gui_main.h"
#include "keyboard.h"
#include "screen.h"
#include "screen_fade.h"
#include "text.h"
#include "timing.h"

namespace
{
class GuiTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        set_color_depth(32);
        cDisplay.Open();
        sys_bUseVSync = false;
        sys_bFPS = false;
        for (int i = 0; i < KEY_MAX; i++)
        {
            key[i] = 0;
        }
        std::memset(&keycheck, 0, sizeof(keycheck));
        for (int i = 0; i < iTotalButtons; i++)
        {
            sButton[i] = stButton();
        }
        for (int i = 0; i < iTotalTObjects; i++)
        {
            sText[i].bActive = false;
        }
        bBlink = false;
        iBlinker = 0;
        mouse_x = 600;
        mouse_y = 20;
        mouse_b = 0;
        iSecond = 0;
        // the box's number is drawn in font 1: give it glyphs that are all mask colour, so the
        // text leaves the box's pixels as they are
        sOldFont = sFont[1];
        sFont[1] = stFont();
        sFont[1].bSource = create_bitmap(17 * 8, 17 * 9);
        clear_to_color(sFont[1].bSource, makecol(255, 0, 255));
        sFont[1].iHeight = 8;
        sFont[1].iWidthSource = 8;
        for (int i = 0; i < iTotalChars; i++)
        {
            sFont[1].iWidth[i] = 8;
        }
        solid_mode();
        set_trans_blender(0, 0, 0, 127);
        // a frame with Tab up lets go of any Tab latch an earlier test left behind
        Frame();
        sys_bDebugMode = false;
        clear_to_color(mBuffer, makecol(255, 255, 255));
        fake::vBufferAtRetrace.clear();
    }

    void TearDown() override
    {
        for (int i = 0; i < iTotalButtons; i++)
        {
            destroy_bitmap(sButton[i].mUp);
            destroy_bitmap(sButton[i].mDown);
            destroy_bitmap(sButton[i].mHover);
            sButton[i] = stButton();
        }
        key[KEY_TAB] = 0;
        key[KEY_ESC] = 0;
        sys_bDebugMode = false;
        sys_bUseVSync = true;
        destroy_bitmap(sFont[1].bSource);
        sFont[1] = sOldFont;
        cDisplay.Close();
    }

    static void Frame()
    {
        iWait = 1;
        displayAll();
    }

    // A button in slot iSlot made of plain memory images, so no image files are needed.
    static void Button(int iSlot, int iX, int iY, int iUp, int iHover)
    {
        stButton& sBut = sButton[iSlot];
        sBut.mUp = create_bitmap(64, 40);
        sBut.mDown = create_bitmap(64, 40);
        sBut.mHover = create_bitmap(64, 40);
        clear_to_color(sBut.mUp, iUp);
        clear_to_color(sBut.mDown, iUp);
        clear_to_color(sBut.mHover, iHover);
        sBut.iWidth = 64;
        sBut.iHeight = 40;
        sBut.iX = iX;
        sBut.iY = iY;
        sBut.bActive = true;
    }

    fake::CFakeDisplay cDisplay;
    stFont sOldFont = {};
};

// One channel of pure blue laid over iUnder by the translucent fill at iAlpha.
int OverBlue(int iUnder, int iBlue, int iAlpha)
{
    return iUnder + static_cast<int>(std::floor((iBlue - iUnder) * (iAlpha + 1) / 256.0));
}

TEST_F(GuiTest, TabSwitchesDebugModeOnceAfterItIsLetGo)
{
    key[KEY_TAB] = 1;
    for (int i = 0; i < 5; i++)
    {
        Frame();
        EXPECT_FALSE(sys_bDebugMode);  // holding changes nothing
    }
    key[KEY_TAB] = 0;
    Frame();
    EXPECT_TRUE(sys_bDebugMode);
    Frame();
    Frame();
    EXPECT_TRUE(sys_bDebugMode);
    key[KEY_TAB] = 1;
    Frame();
    key[KEY_TAB] = 0;
    Frame();
    EXPECT_FALSE(sys_bDebugMode);
}

TEST_F(GuiTest, TabSwitchAndKeyPressesDoNotTakeEachOthersRelease)
{
    key[KEY_TAB] = 1;
    Frame();
    key[KEY_TAB] = 0;
    Frame();
    EXPECT_TRUE(sys_bDebugMode);
    EXPECT_TRUE(keyCheck(KEY_TAB));  // the edge tables saw the same release
}

TEST_F(GuiTest, KeyReleasesAreReadyRightAfterTheFrame)
{
    key[KEY_ESC] = 1;
    Frame();
    EXPECT_FALSE(keyCheck(KEY_ESC));
    key[KEY_ESC] = 0;
    Frame();
    EXPECT_TRUE(keyCheck(KEY_ESC));
}

TEST_F(GuiTest, DebugModeDrawsTheTranslucentBoxInTheCorner)
{
    sys_bDebugMode = true;
    const int iWhite = makecol(255, 255, 255);
    Frame();
    const int iBox = makecol(OverBlue(255, 0, 127), OverBlue(255, 0, 127), 255);
    for (BITMAP* mBitmap : {mBuffer, screen})
    {
        EXPECT_EQ(iBox, getpixel(mBitmap, 8, 457));
        EXPECT_EQ(iBox, getpixel(mBitmap, 46, 472));
        EXPECT_EQ(iWhite, getpixel(mBitmap, 7, 457));
        EXPECT_EQ(iWhite, getpixel(mBitmap, 47, 472));
        EXPECT_EQ(iWhite, getpixel(mBitmap, 8, 456));
        EXPECT_EQ(iWhite, getpixel(mBitmap, 46, 473));
    }
    // drawing is opaque again afterwards
    rectfill(mBuffer, 0, 0, 3, 3, makecol(200, 10, 10));
    EXPECT_EQ(makecol(200, 10, 10), getpixel(mBuffer, 1, 1));
}

TEST_F(GuiTest, NoBoxOutsideDebugModeUnlessTheRateIsAskedFor)
{
    const int iWhite = makecol(255, 255, 255);
    Frame();
    EXPECT_EQ(iWhite, getpixel(screen, 8, 457));
    EXPECT_EQ(iWhite, getpixel(screen, 30, 465));
    sys_bFPS = true;
    Frame();
    sys_bFPS = false;
    EXPECT_NE(iWhite, getpixel(screen, 30, 465));
}

TEST_F(GuiTest, ButtonsAreUpdatedAndDrawnUnderTheBox)
{
    const int iRed = makecol(255, 0, 0);
    const int iGreen = makecol(0, 255, 0);
    Button(0, 0, 440, iRed, iGreen);
    sys_bDebugMode = true;
    Frame();
    EXPECT_EQ(iRed, getpixel(screen, 50, 450));
    EXPECT_EQ(makecol(OverBlue(255, 0, 127), 0, OverBlue(0, 255, 127)), getpixel(screen, 8, 457));
    // the pointer moves onto it: the same frame already shows the hover image
    mouse_x = 55;
    mouse_y = 445;
    clear_to_color(mBuffer, makecol(255, 255, 255));
    Frame();
    EXPECT_EQ(iGreen, getpixel(screen, 50, 450));
}

TEST_F(GuiTest, EachFrameIsPresentedAfterOneRetraceAndWaitsForATick)
{
    sys_bUseVSync = true;
    clear_to_color(mBuffer, makecol(1, 2, 3));
    Frame();
    EXPECT_EQ(1u, fake::vScreenAtRetrace.size());
    EXPECT_EQ(makecol(1, 2, 3), getpixel(screen, 639, 479));
    EXPECT_EQ(0, iWait);  // the pending tick was consumed
}

TEST_F(GuiTest, BoxAfterAFadeUsesTheFadesLastAlpha)
{
    screenIn(16, makecol(0, 0, 0));  // leaves the blender at 240
    clear_to_color(mBuffer, makecol(255, 255, 255));
    sys_bDebugMode = true;
    Frame();
    EXPECT_EQ(makecol(OverBlue(255, 0, 240), OverBlue(255, 0, 240), 255), getpixel(screen, 8, 457));
}
}  // namespace
