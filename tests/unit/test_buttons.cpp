/*
 * Tarvenloft unit tests - image buttons.
 *
 * The button images are PNG files this suite writes into a directory of
 * its own, laid out like the program's resource tree, which each test makes
 * its working directory. Every image is one plain colour, so the pixels of
 * the back buffer tell which image a button shows.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "buttons.h"

#include <loadpng.h>  // after the library header it builds on

namespace
{
std::string tImageRoot;  // directory holding system/images/buttons/ for the whole suite

// Writes a w x h PNG of one colour, with a light pink pixel at (1, 1) and a mask pixel at (2, 2).
void WriteImage(const std::string& tName, int w, int h, int iColor)
{
    BITMAP* mImage = create_bitmap(w, h);
    clear_to_color(mImage, iColor);
    putpixel(mImage, 1, 1, makecol(255, 128, 255));
    putpixel(mImage, 2, 2, makecol(255, 0, 255));
    const std::string tFile = tImageRoot + "/system/images/buttons/" + tName;
    ASSERT_EQ(0, save_png(tFile.c_str(), mImage, NULL)) << tFile;
    destroy_bitmap(mImage);
}

void RemoveImages()
{
    std::error_code sError;
    std::filesystem::remove_all(tImageRoot, sError);
}

class ButtonTest : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        set_color_depth(32);
        loadpng_init();
        char cDir[] = "/tmp/tarvenloft-buttons-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(cDir));
        tImageRoot = cDir;
        // removed at exit, which also covers the re-run copies of this binary that death tests
        // start and that end inside the test
        atexit(RemoveImages);
        std::filesystem::create_directories(tImageRoot + "/system/images/buttons");
        WriteImage("one_u.png", 100, 40, makecol(200, 0, 0));
        WriteImage("one_d.png", 100, 40, makecol(0, 200, 0));
        WriteImage("one_h.png", 100, 40, makecol(0, 0, 200));
        WriteImage("two_u.png", 100, 40, makecol(200, 200, 0));
        WriteImage("two_d.png", 100, 40, makecol(0, 200, 200));
        WriteImage("two_h.png", 100, 40, makecol(200, 200, 200));
        WriteImage("big_u.png", 400, 300, makecol(10, 10, 10));
        WriteImage("big_d.png", 400, 300, makecol(20, 20, 20));
        WriteImage("big_h.png", 400, 300, makecol(30, 30, 30));
        WriteImage("half_u.png", 100, 40, makecol(200, 0, 0));
        WriteImage("half_h.png", 100, 40, makecol(0, 0, 200));
    }

    void SetUp() override
    {
        set_color_depth(32);
        ASSERT_NE(nullptr, getcwd(cOldDir, sizeof(cOldDir)));
        ASSERT_EQ(0, chdir(tImageRoot.c_str()));
        for (int i = 0; i < iTotalButtons; i++)
        {
            sButton[i] = stButton();
        }
        bBlink = false;
        iBlinker = 0;
        mouse_x = 0;
        mouse_y = 0;
        mouse_b = 0;
        mOldBuffer = mBuffer;
        mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        Clear();
        iUp = makecol(200, 0, 0);
        iDown = makecol(0, 200, 0);
        iHover = makecol(0, 0, 200);
    }

    void TearDown() override
    {
        butKillAll();
        destroy_bitmap(mBuffer);
        mBuffer = mOldBuffer;
        mouse_x = 0;
        mouse_y = 0;
        mouse_b = 0;
        bBlink = false;
        iBlinker = 0;
        ASSERT_EQ(0, chdir(cOldDir));
    }

    static void Clear()
    {
        clear_to_color(mBuffer, makecol(0, 0, 0));
    }

    // Moves the pointer (iButtons is mouse_b) and runs one update.
    static void Mouse(int x, int y, int iButtons)
    {
        mouse_x = x;
        mouse_y = y;
        mouse_b = iButtons;
        butUpdate();
    }

    // The colour shown at (x, y) after drawing the buttons onto a black back buffer.
    static int Shown(int x, int y)
    {
        Clear();
        butDisplay();
        return getpixel(mBuffer, x, y);
    }

    char cOldDir[4096] = {};
    BITMAP* mOldBuffer = NULL;
    int iUp = 0;
    int iDown = 0;
    int iHover = 0;
};

TEST_F(ButtonTest, NewLoadsTheThreeImagesAndTakesItsSizeFromTheUpImage)
{
    butNew(5, 192, 60, "one", "", "", 3);
    const stButton& sBut = sButton[5];
    EXPECT_TRUE(sBut.bActive);
    ASSERT_NE(nullptr, sBut.mUp);
    ASSERT_NE(nullptr, sBut.mDown);
    ASSERT_NE(nullptr, sBut.mHover);
    EXPECT_EQ(100, sBut.iWidth);
    EXPECT_EQ(40, sBut.iHeight);
    EXPECT_EQ(3, sBut.iOffsetX);
    EXPECT_EQ(3, sBut.iOffsetY);
    EXPECT_EQ(iUp, getpixel(sBut.mUp, 50, 20));
    EXPECT_EQ(iDown, getpixel(sBut.mDown, 50, 20));
    EXPECT_EQ(iHover, getpixel(sBut.mHover, 50, 20));
}

TEST_F(ButtonTest, DrawsTheUpImageAtItsPlaceWithMaskButNoColourReplacement)
{
    butNew(0, 192, 60, "one", "", "", 0);
    EXPECT_EQ(iUp, Shown(192, 60));
    EXPECT_EQ(iUp, Shown(291, 99));
    EXPECT_EQ(makecol(0, 0, 0), Shown(191, 60));
    EXPECT_EQ(makecol(0, 0, 0), Shown(292, 100));
    EXPECT_EQ(makecol(255, 128, 255), Shown(193, 61));  // light pink stays visible
    EXPECT_EQ(makecol(0, 0, 0), Shown(194, 62));        // the mask colour is skipped
}

TEST_F(ButtonTest, HitBoxIncludesItsFarEdgesAndTheMargin)
{
    struct
    {
        int iMargin, iLeft, iRight, iTop, iBottom;
    } sCases[] = {{0, 192, 292, 60, 100}, {4, 188, 296, 56, 104}, {-10, 202, 282, 70, 90}};
    for (const auto& c : sCases)
    {
        SCOPED_TRACE(c.iMargin);
        butNew(0, 192, 60, "one", "", "", c.iMargin);
        const int iMidX = 242;
        const int iMidY = 80;
        const int iIn[][2] = {{c.iLeft, iMidY},   {c.iRight, iMidY}, {iMidX, c.iTop},
                              {iMidX, c.iBottom}, {c.iLeft, c.iTop}, {c.iRight, c.iBottom}};
        for (const auto& p : iIn)
        {
            Mouse(p[0], p[1], 0);
            EXPECT_TRUE(sButton[0].bHover) << p[0] << "," << p[1];
        }
        const int iOut[][2] = {{c.iLeft - 1, iMidY},
                               {c.iRight + 1, iMidY},
                               {iMidX, c.iTop - 1},
                               {iMidX, c.iBottom + 1}};
        for (const auto& p : iOut)
        {
            Mouse(p[0], p[1], 0);
            EXPECT_FALSE(sButton[0].bHover) << p[0] << "," << p[1];
        }
    }
}

TEST_F(ButtonTest, PressAndReleaseOverTheButtonLatchesOneClick)
{
    butNew(2, 192, 60, "one", "", "", 0);
    Mouse(200, 70, 0);
    EXPECT_EQ(iHover, Shown(200, 70));
    Mouse(200, 70, 1);
    EXPECT_TRUE(sButton[2].bDown);
    EXPECT_FALSE(sButton[2].bHover);
    EXPECT_EQ(iDown, Shown(200, 70));
    EXPECT_EQ(0, butCheck(2));
    Mouse(210, 75, 0);
    EXPECT_EQ(1, butCheck(2));
    EXPECT_EQ(1, butCheck(2));  // the latch stays
    Mouse(500, 300, 0);
    EXPECT_EQ(1, butCheck(2));
    butReset(2);
    EXPECT_EQ(0, butCheck(2));
    Mouse(200, 70, 0);  // hovering alone never clicks
    EXPECT_EQ(0, butCheck(2));
}

TEST_F(ButtonTest, DraggingOffWhileHeldCancelsThePress)
{
    butNew(0, 192, 60, "one", "", "", 0);
    Mouse(200, 70, 1);
    Mouse(400, 70, 1);
    EXPECT_FALSE(sButton[0].bDown);
    EXPECT_EQ(iUp, Shown(200, 70));
    Mouse(400, 70, 0);
    Mouse(200, 70, 0);
    EXPECT_EQ(0, butCheck(0));
    // back on while still held presses it again
    Mouse(200, 70, 1);
    Mouse(400, 70, 1);
    Mouse(200, 70, 1);
    EXPECT_TRUE(sButton[0].bDown);
    Mouse(200, 70, 0);
    EXPECT_EQ(1, butCheck(0));
}

TEST_F(ButtonTest, PressElsewhereAndReleaseOverTheButtonClicks)
{
    butNew(0, 192, 60, "one", "", "", 0);
    Mouse(10, 10, 1);
    Mouse(250, 80, 1);
    EXPECT_EQ(0, butCheck(0));
    Mouse(250, 80, 0);
    EXPECT_EQ(1, butCheck(0));
}

TEST_F(ButtonTest, OverlappingButtonsTheLowerSlotTakesThePointerTheHigherIsDrawnOnTop)
{
    butNew(3, 100, 100, "one", "", "", 0);
    butNew(7, 150, 100, "two", "", "", 0);
    Mouse(170, 120, 0);
    EXPECT_TRUE(sButton[3].bHover);
    EXPECT_FALSE(sButton[7].bHover);
    EXPECT_EQ(makecol(200, 200, 0), Shown(170, 120));  // slot 7's up image covers slot 3
    EXPECT_EQ(iHover, Shown(120, 120));
    Mouse(170, 120, 1);
    EXPECT_TRUE(sButton[3].bDown);
    EXPECT_FALSE(sButton[7].bDown);
    Mouse(170, 120, 0);
    EXPECT_EQ(1, butCheck(3));
    EXPECT_EQ(0, butCheck(7));
    // where only slot 7 lies, it takes the pointer
    Mouse(240, 120, 0);
    EXPECT_TRUE(sButton[7].bHover);
    EXPECT_FALSE(sButton[3].bHover);
}

TEST_F(ButtonTest, KilledButtonsReportNoClickAndGiveBackTheirImages)
{
    butNew(4, 192, 60, "one", "", "", 0);
    butNew(9, 0, 0, "two", "", "", 0);
    Mouse(200, 70, 1);
    Mouse(200, 70, 0);
    ASSERT_EQ(1, butCheck(4));
    butKill(4);
    EXPECT_FALSE(sButton[4].bActive);
    EXPECT_EQ(0, butCheck(4));
    EXPECT_EQ(nullptr, sButton[4].mUp);
    EXPECT_EQ(nullptr, sButton[4].mDown);
    EXPECT_EQ(nullptr, sButton[4].mHover);
    EXPECT_EQ(makecol(0, 0, 0), Shown(200, 70));
    EXPECT_EQ(makecol(200, 200, 0), Shown(20, 20));
    butKillAll();  // slots never set included
    EXPECT_FALSE(sButton[9].bActive);
    EXPECT_EQ(nullptr, sButton[9].mUp);
    EXPECT_EQ(makecol(0, 0, 0), Shown(20, 20));
}

TEST_F(ButtonTest, NewOnASlotThatClickedClearsTheLatch)
{
    butNew(1, 192, 60, "one", "", "", 0);
    Mouse(200, 70, 1);
    Mouse(200, 70, 0);
    ASSERT_EQ(1, butCheck(1));
    butKill(1);
    butNew(1, 192, 60, "one", "", "", 0);
    EXPECT_EQ(0, butCheck(1));
    Mouse(200, 70, 1);
    Mouse(200, 70, 0);
    ASSERT_EQ(1, butCheck(1));
    butNew(1, 0, 0, "two", "", "", 0);  // still active
    EXPECT_EQ(0, butCheck(1));
    EXPECT_EQ(makecol(200, 200, 0), Shown(10, 10));
}

TEST_F(ButtonTest, NewOnAnActiveSlotGivesBackTheOldImages)
{
    // each set of images takes about 1.4 MB; kept ones would pile up over the repeats
    butNew(0, 0, 0, "big", "", "", 0);
    const struct mallinfo2 sBefore = mallinfo2();
    for (int i = 0; i < 20; i++)
    {
        butNew(0, 0, 0, "big", "", "", 0);
    }
    const struct mallinfo2 sAfter = mallinfo2();
    const long iGrowth = static_cast<long>(sAfter.uordblks + sAfter.hblkhd) -
                         static_cast<long>(sBefore.uordblks + sBefore.hblkhd);
    EXPECT_LT(iGrowth, 2 * 1024 * 1024);
    EXPECT_EQ(makecol(10, 10, 10), Shown(100, 100));
}

TEST_F(ButtonTest, BlinkingAlternatesThreeFramesOwnImageThreeFramesUp)
{
    butNew(0, 192, 60, "one", "", "", 0);
    Mouse(200, 70, 0);
    butBlink(true);
    const int iExpected[] = {iHover, iHover, iUp, iUp, iUp, iHover, iHover, iHover, iUp};
    for (int iColor : iExpected)
    {
        EXPECT_EQ(iColor, Shown(200, 70)) << "blinker " << iBlinker;
    }
    Mouse(200, 70, 1);
    butBlink(true);
    const int iPressed[] = {iDown, iDown, iUp, iUp, iUp, iDown};
    for (int iColor : iPressed)
    {
        EXPECT_EQ(iColor, Shown(200, 70)) << "blinker " << iBlinker;
    }
    butBlink(false);
    for (int i = 0; i < 6; i++)
    {
        EXPECT_EQ(iDown, Shown(200, 70));
    }
    EXPECT_EQ(0, iBlinker);
}

TEST_F(ButtonTest, MissingImageStopsTheProgramNamingTheFile)
{
    // without a system driver the library writes its messages to standard output; the death
    // test reads standard error. A POSIX exit status keeps the low eight bits of the code.
    const int iStatus = iExitButton & 0xFF;
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            butNew(0, 0, 0, "nothere", "", "", 0);
        },
        testing::ExitedWithCode(iStatus), "system/images/buttons/nothere_u.png");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            butNew(0, 0, 0, "half", "", "", 0);
        },
        testing::ExitedWithCode(iStatus), "system/images/buttons/half_d.png");
}
}  // namespace
