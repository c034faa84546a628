/*
 * Tarvenloft unit tests - bitmap fonts and text objects.
 *
 * Fonts are synthetic images written to a temporary directory: every glyph
 * cell is filled with a colour that names its code (red = code, green 200,
 * blue 40), so the pixels of the back buffer tell which glyph was drawn
 * where, and counting non-background pixels tells how many were drawn.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "text.h"

namespace
{

// The current temporary directory; removed at exit too, since death-test children never tear down.
struct TxtTempDir
{
    std::string tPath;
    ~TxtTempDir()
    {
        if (!tPath.empty())
        {
            std::error_code ec;
            std::filesystem::remove_all(tPath, ec);
        }
    }
};
TxtTempDir txtTemp;

int txtGlyphColour(int k)
{
    return makecol(k, 200, 40);
}

// A font image of W x H cells; widths maps codes to the offset of their blue marker pixel.
BITMAP* txtMakeFontImage(int W, int H, const std::map<int, int>& widths)
{
    BITMAP* bmp = create_bitmap(17 * W, 17 * (H + 1) - 1);
    clear_to_color(bmp, makecol(0, 0, 0));
    for (int k = 0; k < 256; k++)
    {
        int x = (k % 16 + 1) * W;
        int y = (k / 16 + 1) * (H + 1);
        rectfill(bmp, x, y, x + W - 1, y + H - 1, txtGlyphColour(k));
        auto it = widths.find(k);
        if (it != widths.end())
        {
            putpixel(bmp, x + it->second, y - 1, makecol(0, 0, 255));
        }
    }
    return bmp;
}

std::string txtSave(BITMAP* bmp, const std::string& tName)
{
    std::string tFile = txtTemp.tPath + "/" + tName;
    EXPECT_EQ(save_bitmap(tFile.c_str(), bmp, NULL), 0);
    destroy_bitmap(bmp);
    return tFile;
}

class Text : public testing::Test
{
  protected:
    void SetUp() override
    {
        char cTemplate[] = "/tmp/tarvenloft_text_XXXXXX";
        ASSERT_NE(mkdtemp(cTemplate), nullptr);
        txtTemp.tPath = cTemplate;
        for (int i = 0; i < iTotalFonts; i++)
        {
            destroy_bitmap(sFont[i].bSource);
            sFont[i] = stFont();
        }
        for (int i = 0; i < iTotalTObjects; i++)
        {
            sText[i] = stTextObject();
        }
        mBuffer = create_bitmap(640, 480);
        clear_to_color(mBuffer, makecol(9, 9, 9));
        // Font 1: 8 x 8 cells. Code 1 width 0, 3 width 5, 4 width 2 (first blue), 233 width 3.
        BITMAP* bmp = txtMakeFontImage(8, 8, {{1, 0}, {3, 5}, {4, 2}, {233, 3}});
        putpixel(bmp, 5 * 8 + 1, 8, makecol(0, 0, 254));  // code 4: near-blue before its blue
        putpixel(bmp, 5 * 8 + 6, 8, makecol(0, 0, 255));  // and a second blue after it
        putpixel(bmp, 3 * 8 + 3, 8, makecol(0, 0, 254));  // code 2: near-blue only
        // Glyph 'q' (113): a light pink and a mask pixel inside the cell.
        int qx = (113 % 16 + 1) * 8;
        int qy = (113 / 16 + 1) * 9;
        putpixel(bmp, qx + 2, qy + 3, makecol(255, 128, 255));
        putpixel(bmp, qx + 4, qy + 3, makecol(255, 0, 255));
        tFont8 = txtSave(bmp, "font8.bmp");
        tFont16 = txtSave(txtMakeFontImage(16, 16, {}), "font16.bmp");
        txtSetFont(1, tFont8.c_str(), 8, 8);
        txtSetFont(2, tFont16.c_str(), 16, 16);
    }
    void TearDown() override
    {
        destroy_bitmap(mBuffer);
        mBuffer = NULL;
        std::error_code ec;
        std::filesystem::remove_all(txtTemp.tPath, ec);
        txtTemp.tPath.clear();
    }

    // The code of the glyph whose colour is at (x, y), or -1 for anything else.
    int GlyphAt(int x, int y)
    {
        int c = getpixel(mBuffer, x, y);
        if (getg(c) != 200 || getb(c) != 40)
        {
            return -1;
        }
        return getr(c);
    }
    // Pixels that are not the background.
    int Ink()
    {
        int n = 0;
        for (int y = 0; y < mBuffer->h; y++)
        {
            for (int x = 0; x < mBuffer->w; x++)
            {
                n += getpixel(mBuffer, x, y) != makecol(9, 9, 9);
            }
        }
        return n;
    }
    void Clear()
    {
        clear_to_color(mBuffer, makecol(9, 9, 9));
    }

    std::string tFont8;
    std::string tFont16;
};

TEST_F(Text, GlyphWidthsComeFromTheMarkerRows)
{
    EXPECT_EQ(sFont[1].iWidthSource, 8);
    EXPECT_EQ(sFont[1].iHeight, 8);
    EXPECT_EQ(txtWidthOfChar(1, 1), 0);  // blue in the first column
    EXPECT_EQ(txtWidthOfChar(1, 2), 8);  // no blue
    EXPECT_EQ(txtWidthOfChar(1, 3), 5);  // blue at offset 5
    EXPECT_EQ(txtWidthOfChar(1, 4), 2);  // the first of two blue pixels
    EXPECT_EQ(txtWidthOfChar(1, 'a'), 8);
    EXPECT_EQ(txtWidthOfChar(1, 233), 3);
    EXPECT_EQ(txtWidthOfChar(1, (char)233), 3);  // a signed char is the same code
    EXPECT_EQ(txtWidthOfChar(2, 'a'), 16);
    EXPECT_EQ(txtCheckWordLength(1, ""), 0);
    EXPECT_EQ(txtCheckWordLength(1, std::string("a\x03\x01\xe9/n")), 8 + 5 + 0 + 3 + 16);
}

TEST_F(Text, GlyphsAreDrawnFromTheirCellsAndAdvanceByTheirWidths)
{
    txtOut(1, 20, 30,
           std::string("A\x03"
                       "B\xe9"
                       "C"),
           -1, -1);
    EXPECT_EQ(GlyphAt(20, 30), 'A');
    EXPECT_EQ(GlyphAt(27, 37), 'A');
    EXPECT_EQ(GlyphAt(28, 30), 3);
    EXPECT_EQ(GlyphAt(33, 30), 'B');  // code 3 advances 5
    EXPECT_EQ(GlyphAt(41, 30), 233);  // a byte above 127 is code 233, from row 14
    EXPECT_EQ(GlyphAt(44, 30), 'C');  // code 233 advances 3, C covers its right part
    EXPECT_EQ(GlyphAt(51, 37), 'C');
    EXPECT_EQ(GlyphAt(52, 30), -1);
    EXPECT_EQ(GlyphAt(20, 38), -1);
    EXPECT_EQ(GlyphAt(20, 29), -1);
}

TEST_F(Text, PinkAndMaskPixelsAreNeverDrawn)
{
    txtOut(1, 10, 10, "q", -1, -1);
    EXPECT_EQ(getpixel(mBuffer, 12, 13), makecol(9, 9, 9));
    EXPECT_EQ(getpixel(mBuffer, 14, 13), makecol(9, 9, 9));
    EXPECT_EQ(GlyphAt(13, 13), 'q');
    EXPECT_EQ(Ink(), 64 - 2);
}

TEST_F(Text, CountLimitsTheCharactersDrawn)
{
    txtOut(1, 0, 0, "abcdef", -1, 3);
    EXPECT_EQ(Ink(), 3 * 64);
    EXPECT_EQ(GlyphAt(16, 0), 'c');
    Clear();
    txtOut(1, 0, 0, "abcdef", -1, 0);
    EXPECT_EQ(Ink(), 0);
    txtOut(1, 0, 0, "", -1, -1);
    EXPECT_EQ(Ink(), 0);
}

// The look-ahead word is measured without the space, against an absolute margin.
TEST_F(Text, WrapsOnlyWhenTheNextWordPassesTheMargin)
{
    std::string tFirst(21, 'a');                    // 168 pixels: the pen is at 268 at the space
    txtOut(1, 100, 50, tFirst + " bbbb", 300, -1);  // 268 + 32 = 300: stays
    EXPECT_EQ(GlyphAt(268, 50), ' ');
    EXPECT_EQ(GlyphAt(276, 50), 'b');
    EXPECT_EQ(GlyphAt(100, 58), -1);
    Clear();
    txtOut(1, 100, 50, tFirst + " bbbbb", 300, -1);  // 268 + 40 = 308: wraps
    EXPECT_EQ(GlyphAt(268, 50), -1);                 // the space is dropped
    EXPECT_EQ(GlyphAt(100, 58), 'b');
    EXPECT_EQ(GlyphAt(132, 58), 'b');
    EXPECT_EQ(Ink(), (21 + 5) * 64);
}

TEST_F(Text, WrapLooksAheadPastTheRevealedCharacters)
{
    // Only "aaaa " is counted, yet the space already sees the long word and breaks.
    txtOut(1, 100, 50, "aaaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", 300, 5);
    EXPECT_EQ(GlyphAt(132, 50), -1);
    EXPECT_EQ(GlyphAt(100, 58), 'b');  // the character the wrap leaves current is drawn
    EXPECT_EQ(Ink(), 5 * 64);
}

TEST_F(Text, MarginZeroOrNegativeNeverWraps)
{
    std::string t(60, 'a');
    t += " b";
    for (int iMargin : {0, -1})
    {
        Clear();
        txtOut(1, 0, 0, t, iMargin, -1);
        EXPECT_EQ(GlyphAt(488, 0), 'b') << iMargin;
        EXPECT_EQ(GlyphAt(0, 8), -1) << iMargin;
    }
}

TEST_F(Text, NewLineSwallowsTheNextCharacter)
{
    txtOut(1, 40, 10, "ab/n cd", -1, -1);
    EXPECT_EQ(GlyphAt(48, 10), 'b');
    EXPECT_EQ(GlyphAt(40, 18), 'c');
    EXPECT_EQ(GlyphAt(48, 18), 'd');
    EXPECT_EQ(Ink(), 4 * 64);
    Clear();
    txtOut(1, 40, 10, "ab/ncd", -1, -1);
    EXPECT_EQ(GlyphAt(40, 18), 'd');
    EXPECT_EQ(Ink(), 3 * 64);
}

TEST_F(Text, ParagraphMovesDownOneAndAHalfLines)
{
    txtOut(1, 40, 10, "ab/p cd", -1, -1);
    EXPECT_EQ(GlyphAt(40, 22), 'c');  // 10 + 8 + 4
    EXPECT_EQ(GlyphAt(40, 21), -1);
    EXPECT_EQ(Ink(), 4 * 64);
    Clear();
    txtOut(2, 40, 10, "ab/pcd", -1, -1);
    EXPECT_EQ(GlyphAt(40, 34), 'd');  // 10 + 16 + 8, the c swallowed
    EXPECT_EQ(GlyphAt(40, 33), -1);
    EXPECT_EQ(Ink(), 3 * 256);
}

TEST_F(Text, MarkersAreTestedOnceEachInOrder)
{
    txtOut(1, 0, 0, "ab/wcd", -1, -1);  // joined, nothing shown
    EXPECT_EQ(GlyphAt(16, 0), 'c');
    EXPECT_EQ(Ink(), 4 * 64);
    Clear();
    txtOut(1, 0, 0, "a/n /n b", -1, -1);  // the second "/n" is drawn
    EXPECT_EQ(GlyphAt(0, 8), '/');
    EXPECT_EQ(GlyphAt(8, 8), 'n');
    EXPECT_EQ(GlyphAt(24, 8), 'b');
    Clear();
    txtOut(1, 0, 0, "a/n /p b", -1, -1);  // both in one step: 8 + 12
    EXPECT_EQ(GlyphAt(0, 20), 'b');
    EXPECT_EQ(Ink(), 2 * 64);
    Clear();
    txtOut(1, 0, 0, "a/w/nxb", -1, -1);  // a join, then a break in the same step
    EXPECT_EQ(GlyphAt(0, 8), 'b');
    EXPECT_EQ(Ink(), 2 * 64);
}

// Texts that end in a marker or a wrap: drawing stops at the end, no terminator glyph.
TEST_F(Text, NothingIsDrawnPastTheEndOfTheText)
{
    struct stCase
    {
        std::string tText;
        int iMargin;
        int iGlyphs;
    };
    const stCase cases[] = {
        {"ab/n", -1, 2},   {"ab/nX", -1, 2},    {"ab/p", -1, 2},  {"ab/pX", -1, 2}, {"ab/w", -1, 2},
        {"ab/", -1, 3},    {"/", -1, 1},        {"/n", -1, 0},    {"/p", -1, 0},    {"/w", -1, 0},
        {"aaaaa ", 30, 5}, {"aaaaa   ", 30, 5}, {"aa/n ", -1, 2},
    };
    for (const stCase& c : cases)
    {
        Clear();
        // Built with -D_GLIBCXX_ASSERTIONS, an index past the end of the text aborts here.
        txtOut(1, 0, 0, c.tText, c.iMargin, -1);
        EXPECT_EQ(Ink(), c.iGlyphs * 64) << "text \"" << c.tText << "\"";
        for (int y = 0; y < 40; y++)
        {
            for (int x = 0; x < 64; x++)
            {
                ASSERT_NE(GlyphAt(x, y), 0) << "glyph 0 drawn for \"" << c.tText << "\"";
            }
        }
    }
    Clear();
    txtOut(1, 0, 0, "ab/", -1, -1);
    EXPECT_EQ(GlyphAt(16, 0), '/');
}

TEST_F(Text, CentringUsesHalfTheWholeWidth)
{
    txtCenter(1, 100, 50, "abcd", -1);
    EXPECT_EQ(GlyphAt(84, 50), 'a');
    EXPECT_EQ(GlyphAt(83, 50), -1);
    EXPECT_EQ(GlyphAt(115, 50), 'd');
    Clear();
    txtCenter(1, 100, 50, std::string("ab\x03"), -1);  // 21 / 2 = 10
    EXPECT_EQ(GlyphAt(90, 50), 'a');
    EXPECT_EQ(GlyphAt(89, 50), -1);
    Clear();
    txtCenter(1, 100, 50, "abcd", 2);  // a partial text starts at its final left edge
    EXPECT_EQ(GlyphAt(84, 50), 'a');
    EXPECT_EQ(GlyphAt(92, 50), 'b');
    EXPECT_EQ(Ink(), 2 * 64);
    Clear();
    txtCenter(1, 100, 50, "ab/n cd", -1);  // 7 * 8 / 2 = 28; the second line starts there too
    EXPECT_EQ(GlyphAt(72, 58), 'c');
    EXPECT_EQ(GlyphAt(71, 58), -1);
    Clear();
    txtCenter(1, 100, 50, "", -1);
    EXPECT_EQ(Ink(), 0);
}

TEST_F(Text, CentredTextNeverWraps)
{
    txtNew(0, 320, 0, std::string(30, 'a') + " " + std::string(30, 'b'), 1, 100, 1, 0);
    txtDisplay();
    EXPECT_EQ(GlyphAt(76, 0), 'a');   // 320 - 244
    EXPECT_EQ(GlyphAt(324, 0), 'b');  // the b's stay on the first line
    EXPECT_EQ(Ink(), 61 * 64);
}

TEST_F(Text, NewKillAndKillAll)
{
    txtNew(7, 11, 12, "hello", 2, 300, 0, 0);
    EXPECT_TRUE(sText[7].bActive);
    EXPECT_EQ(sText[7].iToPrint, 5);
    EXPECT_EQ(sText[7].iX, 11);
    EXPECT_EQ(sText[7].iY, 12);
    EXPECT_EQ(sText[7].iFont, 2);
    EXPECT_EQ(sText[7].iWidth, 300);
    EXPECT_EQ(sText[7].iAlign, 0);
    EXPECT_EQ(sText[7].tText, "hello");
    txtKill(7);
    EXPECT_FALSE(sText[7].bActive);
    EXPECT_EQ(sText[7].tText, "hello");
    txtDisplay();
    EXPECT_EQ(Ink(), 0);

    txtNew(7, 0, 0, "ab", 1, -1, 0, 2);  // a fresh object in the killed slot
    EXPECT_TRUE(sText[7].bActive);
    EXPECT_EQ(sText[7].iToPrint, 0);
    EXPECT_EQ(sText[7].iTillNext, 0);
    for (int i = 0; i < iTotalTObjects; i += 11)
    {
        txtNew(i, 0, 0, "x", 1, -1, 0, 0);
    }
    txtKillAll();
    for (int i = 0; i < iTotalTObjects; i++)
    {
        EXPECT_FALSE(sText[i].bActive) << i;
    }
}

// Reveal counts per frame, checked on the object and on the drawn pixels.
TEST_F(Text, TypewriterSpeeds)
{
    struct stCase
    {
        int iSpeed;
        std::vector<int> vCounts;
    };
    const stCase cases[] = {
        {0, {7, 7, 7}},
        {1, {1, 2, 3, 4, 5, 6, 7, 7}},
        {3, {3, 6, 7, 7}},
        {-2, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4}},
    };
    for (const stCase& c : cases)
    {
        txtNew(4, 0, 0, "abcdefg", 1, -1, 0, c.iSpeed);
        for (size_t iFrame = 0; iFrame < c.vCounts.size(); iFrame++)
        {
            Clear();
            txtDisplay();
            EXPECT_EQ(sText[4].iToPrint, c.vCounts[iFrame])
                << "speed " << c.iSpeed << " frame " << iFrame;
            EXPECT_EQ(Ink(), c.vCounts[iFrame] * 64) << "speed " << c.iSpeed << " frame " << iFrame;
        }
    }
}

TEST_F(Text, DisplayDrawsSlotsInOrderAndSkipsOtherAlignments)
{
    txtNew(5, 0, 0, "a", 1, -1, 0, 0);
    txtNew(3, 0, 0, "b", 1, -1, 0, 0);
    txtNew(9, 100, 100, "abc", 1, -1, 2, 1);  // advances, draws nothing
    txtDisplay();
    EXPECT_EQ(GlyphAt(0, 0), 'a');  // slot 5 over slot 3
    EXPECT_EQ(Ink(), 64);
    EXPECT_EQ(sText[9].iToPrint, 1);
}

TEST_F(Text, SettingASlotAgainUsesTheNewImage)
{
    tFont8 = txtSave(txtMakeFontImage(8, 8, {{'a', 6}}), "font8b.bmp");
    txtSetFont(1, tFont8.c_str(), 8, 8);
    EXPECT_EQ(txtWidthOfChar(1, 'a'), 6);
    EXPECT_EQ(txtWidthOfChar(1, 3), 8);
}

// Replacing a font many times must not keep the old images: the heap stays flat.
TEST_F(Text, SettingASlotAgainReleasesThePreviousImage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "heap figures are the sanitizer's own";
#endif
    for (int i = 0; i < 3; i++)
    {
        txtSetFont(1, tFont16.c_str(), 16, 16);
    }
    struct mallinfo2 before = mallinfo2();
    for (int i = 0; i < 30; i++)
    {
        txtSetFont(1, tFont16.c_str(), 16, 16);  // each image is 272 x 288 x 4 bytes
    }
    struct mallinfo2 after = mallinfo2();
    long iGrowth = (long)(after.uordblks + after.hblkhd) - (long)(before.uordblks + before.hblkhd);
    EXPECT_LT(iGrowth, 1000000L);
}

// A POSIX parent sees only the low 8 bits of an exit code: 401 arrives as 145.
const int iFontStatus = iExitFont & 0xFF;

// Without a display the library prints its messages to stdout; death tests read stderr.
void txtMessagesToStderr()
{
    fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

TEST_F(Text, UnreadableFontImageStopsWithItsName)
{
    std::string tMissing = txtTemp.tPath + "/no_such_font.bmp";
    EXPECT_EXIT(txtMessagesToStderr(); txtSetFont(1, tMissing.c_str(), 8, 8),
                                       testing::ExitedWithCode(iFontStatus), "no_such_font\\.bmp");
    std::string tBroken = txtTemp.tPath + "/garbage_font.bmp";  // an empty file
    FILE* f = fopen(tBroken.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_EXIT(txtMessagesToStderr(); txtSetFont(1, tBroken.c_str(), 8, 8),
                                       testing::ExitedWithCode(iFontStatus), "garbage_font\\.bmp");
}

TEST_F(Text, FontImageTooSmallForItsCellsStopsWithItsName)
{
    std::string tNarrow = txtSave(create_bitmap(135, 152), "narrow_font.bmp");
    std::string tShort = txtSave(create_bitmap(136, 151), "short_font.bmp");
    EXPECT_EXIT(txtMessagesToStderr(); txtSetFont(1, tNarrow.c_str(), 8, 8),
                                       testing::ExitedWithCode(iFontStatus), "narrow_font\\.bmp");
    EXPECT_EXIT(txtMessagesToStderr(); txtSetFont(1, tShort.c_str(), 8, 8),
                                       testing::ExitedWithCode(iFontStatus), "short_font\\.bmp");
    EXPECT_EXIT(txtMessagesToStderr(); txtSetFont(2, tFont8.c_str(), 16, 16),
                                       testing::ExitedWithCode(iFontStatus), "font8\\.bmp");
    // The exact size is enough.
    std::string tExact = txtSave(create_bitmap(136, 152), "exact_font.bmp");
    txtSetFont(3, tExact.c_str(), 8, 8);
    EXPECT_NE(sFont[3].bSource, nullptr);
}

}  // namespace
