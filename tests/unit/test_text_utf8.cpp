/*
 * Tarvenloft unit tests - UTF-8 text in the bitmap fonts' characters.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_utf8.h"

namespace
{

const char S = (char)giStandInChar;

TEST(TextUtf8, EachCharacterBecomesItsGlyphOrOneStandIn)
{
    // ASCII, Latin-1 letters (two bytes each), Cyrillic, CJK and an emoji (one stand-in each),
    // a C1 control and DEL (no glyph), then malformed bytes: a Latin-1 byte on its own, an
    // overlong slash, an encoded surrogate, and a CJK character cut short at the end.
    const std::string tIn = "Map caf\xC3\xA9 \xC3\x85"
                            "by \xD0\x96\xE4\xB8\xAD\xF0\x9F\x98\x80 \xC2\x85\x7F"
                            " \xE9. \xC0\xAF \xED\xA0\x80 \xE4\xB8";
    const std::string tWant = std::string("Map caf\xE9 \xC5") + "by " + S + S + S + " " + S + S +
                              " " + S + ". " + S + S + " " + S + S + S + " " + S + S;
    EXPECT_EQ(txtFromUtf8(tIn), tWant);
    EXPECT_EQ(txtFromUtf8(""), "");
    EXPECT_EQ(txtGlyphOf(0xFF), 0xFF);
    EXPECT_EQ(txtGlyphOf(0xA0), 0xA0);
    EXPECT_EQ(txtGlyphOf(0x9F), giStandInChar);
    EXPECT_EQ(txtGlyphOf(0x100), giStandInChar);
    EXPECT_EQ(txtGlyphOf(10), giStandInChar);
}

TEST(TextUtf8, AppendedCharactersDecodeAgainAndStepBackWhole)
{
    const std::vector<int> vCodes = {'a', 0xE9, 0x416, 0x4E2D, 0x1F600, 0x10FFFF};
    std::string tText;
    for (int iCode : vCodes)
    {
        txtAppendUtf8(tText, iCode);
    }
    txtAppendUtf8(tText, 0xD800);    // a surrogate is no character
    txtAppendUtf8(tText, 0x110000);  // nor is anything past U+10FFFF
    EXPECT_EQ(tText.size(), 1u + 2 + 2 + 3 + 4 + 4);
    std::vector<int> vRead;
    std::vector<size_t> vStarts;
    for (size_t i = 0; i < tText.size();)
    {
        int iCode;
        vStarts.push_back(i);
        i += txtUtf8Char(tText, i, iCode);
        vRead.push_back(iCode);
    }
    EXPECT_EQ(vRead, vCodes);
    size_t iAt = tText.size();
    for (size_t k = vStarts.size(); k-- > 0;)
    {
        iAt = txtUtf8Before(tText, iAt);
        EXPECT_EQ(iAt, vStarts[k]);
    }
    EXPECT_EQ(txtUtf8Before(tText, 0), 0u);
    // A stray continuation byte after a whole character is a character of its own.
    EXPECT_EQ(txtUtf8Before("\xC3\xA9\xA9", 3), 2u);
    EXPECT_EQ(txtUtf8Before("\xC3\xA9\xA9", 2), 0u);
}

}  // namespace
