/*
 * Tarvenloft tests - single key presses from the live key table.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstring>

#include "input_latch.h"
#include "keyboard.h"

class KeyboardTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        memset(keycheck.bDown, 0, sizeof(keycheck.bDown));
        memset(keycheck.bPressed, 0, sizeof(keycheck.bPressed));
        memset((void*)key, 0, KEY_MAX);
    }
    void TearDown() override
    {
        memset((void*)key, 0, KEY_MAX);
    }
    // One frame with iKey held (or not) while the frame samples the keyboard.
    void Frame(int iKey, bool bHeld)
    {
        key[iKey] = bHeld ? 1 : 0;
        keyUpdate();
    }
};

TEST_F(KeyboardTest, HoldingAKeyGivesOnePressOnRelease)
{
    for (int i = 0; i < 120; i++)
    {
        Frame(KEY_RIGHT, true);
        EXPECT_FALSE(keyCheck(KEY_RIGHT)) << "frame " << i;
    }
    Frame(KEY_RIGHT, false);
    EXPECT_TRUE(keyCheck(KEY_RIGHT));
    EXPECT_FALSE(keyCheck(KEY_RIGHT));
    Frame(KEY_RIGHT, false);
    EXPECT_FALSE(keyCheck(KEY_RIGHT));
}

// The library's table alone does not show a tap; the latch does (next test).
TEST_F(KeyboardTest, TapBetweenTwoSamplesRegistersNothing)
{
    keyUpdate();
    key[KEY_ESC] = 1;
    key[KEY_ESC] = 0;
    keyUpdate();
    EXPECT_FALSE(keyCheck(KEY_ESC));
}

TEST_F(KeyboardTest, ATapGivenToTheLatchMakesOnePress)
{
    latchTakeFrame();
    keyUpdate();
    latchKeyEvent(KEY_ESC);  // down and up again, as the library reports it, between two frames
    latchKeyEvent(KEY_ESC | 0x80);
    latchTakeFrame();
    bool bWasHeld = false;
    EXPECT_TRUE(keyEdge(bWasHeld, keyHeld(KEY_ESC), false));  // the moment it went down
    keyUpdate();
    EXPECT_FALSE(keyCheck(KEY_ESC));
    latchTakeFrame();
    EXPECT_TRUE(keyEdge(bWasHeld, keyHeld(KEY_ESC), true));  // and up
    keyUpdate();
    EXPECT_TRUE(keyCheck(KEY_ESC));
    EXPECT_FALSE(keyCheck(KEY_ESC));
    latchTakeFrame();
    keyUpdate();
    EXPECT_FALSE(keyCheck(KEY_ESC));
    EXPECT_FALSE(keyHeld(KEY_ESC));
}

// Ctrl+O tapped after the frame took its presses, Ctrl let go before the frame reads the keys
// and O still down in the library's table: the frame sees the chord.
TEST_F(KeyboardTest, AModifierLetGoBeforeTheFrameReadsTheKeysStillCountsWithTheKey)
{
    latchTakeFrame();
    key[KEY_LCONTROL] = 1;
    latchKeyEvent(KEY_LCONTROL);
    key[KEY_O] = 1;
    latchKeyEvent(KEY_O);
    key[KEY_LCONTROL] = 0;
    latchKeyEvent(KEY_LCONTROL | 0x80);
    EXPECT_TRUE(keyHeld(KEY_O));
    EXPECT_TRUE(keyControlHeld());
    key[KEY_O] = 0;
    latchKeyEvent(KEY_O | 0x80);
    latchTakeFrame();
    EXPECT_TRUE(keyControlHeld());  // and in the frame that takes it
    latchTakeFrame();
    EXPECT_FALSE(keyControlHeld());
}

// The library repeats a held key by reporting it down again, on its timer thread, which may do
// so just before the release: still one press.
TEST_F(KeyboardTest, ARepeatJustBeforeTheReleaseIsNoSecondPress)
{
    key[KEY_RIGHT] = 1;
    latchKeyEvent(KEY_RIGHT);
    latchTakeFrame();
    for (int i = 0; i < 20; i++)
    {
        Frame(KEY_RIGHT, true);
    }
    latchTakeFrame();
    latchKeyEvent(KEY_RIGHT);  // the repeat, after the frame took its presses
    key[KEY_RIGHT] = 0;        // and the release, before the frame samples the keys
    latchKeyEvent(KEY_RIGHT | 0x80);
    keyUpdate();
    int iPresses = keyCheck(KEY_RIGHT) ? 1 : 0;
    for (int i = 0; i < 3; i++)
    {
        latchTakeFrame();
        keyUpdate();
        iPresses += keyCheck(KEY_RIGHT) ? 1 : 0;
    }
    EXPECT_EQ(iPresses, 1);
}

// Ctrl held over one frame, S pressed after it and both let go before the next: the next frame
// still sees Ctrl with S, as the library saw them when S went down.
TEST_F(KeyboardTest, ALatchedKeyBringsTheModifiersHeldAsItWentDown)
{
    key[KEY_LCONTROL] = 1;
    latchKeyEvent(KEY_LCONTROL);
    latchTakeFrame();
    EXPECT_TRUE(keyControlHeld());
    latchKeyEvent(KEY_S);
    latchKeyEvent(KEY_S | 0x80);
    key[KEY_LCONTROL] = 0;
    latchKeyEvent(KEY_LCONTROL | 0x80);
    latchTakeFrame();
    EXPECT_TRUE(keyHeld(KEY_S));
    EXPECT_TRUE(keyControlHeld());
    EXPECT_FALSE(keyShiftHeld());
    latchTakeFrame();
    EXPECT_FALSE(keyControlHeld());
}

TEST_F(KeyboardTest, PendingPressWaitsUntilCollected)
{
    Frame(KEY_ESC, true);
    Frame(KEY_ESC, false);
    for (int i = 0; i < 500; i++)
    {
        keyUpdate();
    }
    EXPECT_TRUE(keyCheck(KEY_ESC));
}

TEST_F(KeyboardTest, SeveralReleasesLeaveOnePendingPress)
{
    for (int i = 0; i < 3; i++)
    {
        Frame(KEY_LEFT, true);
        Frame(KEY_LEFT, false);
    }
    EXPECT_TRUE(keyCheck(KEY_LEFT));
    EXPECT_FALSE(keyCheck(KEY_LEFT));
}

TEST_F(KeyboardTest, KeysAreTrackedIndependently)
{
    key[KEY_LEFT] = 1;
    key[KEY_RIGHT] = 1;
    keyUpdate();
    key[KEY_LEFT] = 0;
    keyUpdate();
    EXPECT_TRUE(keyCheck(KEY_LEFT));
    EXPECT_FALSE(keyCheck(KEY_RIGHT));
    key[KEY_RIGHT] = 0;
    keyUpdate();
    EXPECT_TRUE(keyCheck(KEY_RIGHT));
}

TEST_F(KeyboardTest, ResetDropsPendingPressesOnly)
{
    Frame(KEY_ESC, true);
    Frame(KEY_ESC, false);
    Frame(KEY_RIGHT, true);
    EXPECT_EQ(keyReset(), 0);
    EXPECT_FALSE(keyCheck(KEY_ESC));
    // The key held through the reset still counts when it is let go.
    Frame(KEY_RIGHT, false);
    EXPECT_TRUE(keyCheck(KEY_RIGHT));
}

TEST_F(KeyboardTest, CodesOutsideTheTableAreNeverPressed)
{
    for (int i = 0; i < 256; i++)
    {
        keycheck.bPressed[i] = true;
    }
    EXPECT_FALSE(keyCheck(-1));
    EXPECT_FALSE(keyCheck(256));
    EXPECT_FALSE(keyCheck(100000));
    EXPECT_FALSE(keyCheck(-100000));
    EXPECT_TRUE(keyCheck(255));  // inside the table, set by hand above
}

TEST_F(KeyboardTest, CodesAboveTheLibraryTableNeverRegister)
{
    Frame(KEY_RIGHT, true);
    Frame(KEY_RIGHT, false);
    for (int i = KEY_MAX; i < 256; i++)
    {
        EXPECT_FALSE(keyCheck(i)) << i;
    }
}
