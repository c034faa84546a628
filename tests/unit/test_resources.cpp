/*
 * Tarvenloft unit tests - the shipped resource set.
 *
 * Reads the committed files under runtime/ and checks that they follow the
 * formats the program reads: font images with their marker rows and a
 * drawn glyph for every printable Latin-1 code, language files with every
 * menu label in Latin-1 and narrow enough for its button, the settings file
 * as the program tokenises it, the tileset's 25 tiles, the pointer's hot
 * spot and the three states of every button.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "header.h"

#include <loadpng.h>

namespace
{

const std::string tRuntime = std::string(TARVENLOFT_RUNTIME_DIR) + "/";

struct stBitmapFree
{
    void operator()(BITMAP* b) const
    {
        destroy_bitmap(b);
    }
};
using tBitmap = std::unique_ptr<BITMAP, stBitmapFree>;

tBitmap resLoad(const std::string& tFile)
{
    loadpng_init();
    return tBitmap(load_bitmap((tRuntime + tFile).c_str(), nullptr));
}

bool resIsMask(BITMAP* b, int iX, int iY)
{
    int c = getpixel(b, iX, iY);
    return c == makecol(255, 0, 255) || c == makecol(255, 128, 255);
}

int resBrightness(int iColour)
{
    return getr(iColour) + getg(iColour) + getb(iColour);
}

/* Mean brightness of the non-mask pixels of a bitmap. */
double resMeanBrightness(BITMAP* b)
{
    double dSum = 0;
    int iCount = 0;
    for (int y = 0; y < b->h; y++)
    {
        for (int x = 0; x < b->w; x++)
        {
            if (!resIsMask(b, x, y))
            {
                dSum += resBrightness(getpixel(b, x, y));
                iCount++;
            }
        }
    }
    return iCount ? dSum / iCount : 0;
}

std::string resReadFile(const std::string& tFile)
{
    std::string tData;
    std::FILE* pFile = std::fopen((tRuntime + tFile).c_str(), "rb");
    if (pFile == nullptr)
    {
        return tData;
    }
    int c;
    while ((c = std::fgetc(pFile)) != EOF)
    {
        tData += static_cast<char>(c);
    }
    std::fclose(pFile);
    return tData;
}

/* ----- Fonts -------------------------------------------------------------------------------- */

struct stFontFile
{
    const char* cPath;
    int iW;
    int iH;
};

const stFontFile sSmallFont = {"system/images/fonts/standard.bmp", 8, 8};
const stFontFile sLargeFont = {"system/images/fonts/lat16w.bmp", 16, 16};

// The Latin-1 characters, and 127, which holds the stand-in for a character without a glyph.
bool resPrintable(int k)
{
    return (k >= 32 && k <= 127) || k >= 160;
}

bool resBlankByDesign(int k)
{
    return k == 32 || k == 160;  // space and no-break space
}

/* Advance width of code k, read from its marker row as the program reads it. */
int resAdvance(BITMAP* b, const stFontFile& f, int k)
{
    for (int j = 0; j < f.iW; j++)
    {
        if (getpixel(b, (k % 16 + 1) * f.iW + j, f.iH + (k / 16) * (f.iH + 1)) ==
            makecol(0, 0, 255))
        {
            return j;
        }
    }
    return f.iW;
}

/* Counts the pixels of code k's glyph rectangle that would be drawn, and the light and dark
   ones among them. */
void resGlyphInk(BITMAP* b, const stFontFile& f, int k, int& iInk, int& iLight, int& iDark)
{
    iInk = iLight = iDark = 0;
    for (int y = 0; y < f.iH; y++)
    {
        for (int x = 0; x < f.iW; x++)
        {
            int iX = (k % 16 + 1) * f.iW + x;
            int iY = (k / 16 + 1) * (f.iH + 1) + y;
            int c = getpixel(b, iX, iY);
            if (resIsMask(b, iX, iY) || c == makecol(0, 0, 255))
            {
                continue;
            }
            iInk++;
            iLight += resBrightness(c) > 540 ? 1 : 0;
            iDark += resBrightness(c) < 150 ? 1 : 0;
        }
    }
}

class ResourceFont : public testing::TestWithParam<stFontFile>
{
  protected:
    void SetUp() override
    {
        font = resLoad(GetParam().cPath);
        ASSERT_NE(font, nullptr) << GetParam().cPath;
    }
    tBitmap font;
};

TEST_P(ResourceFont, ImageHasTheGridSize)
{
    const stFontFile& f = GetParam();
    EXPECT_EQ(font->w, 17 * f.iW);
    EXPECT_EQ(font->h, 17 * (f.iH + 1) - 1);
}

TEST_P(ResourceFont, MarkerRowsHoldOnlyMaskAndOneBlueMarker)
{
    const stFontFile& f = GetParam();
    for (int k = 0; k < 256; k++)
    {
        int iBlue = 0;
        for (int j = 0; j < f.iW; j++)
        {
            int iX = (k % 16 + 1) * f.iW + j;
            int iY = f.iH + (k / 16) * (f.iH + 1);
            if (getpixel(font.get(), iX, iY) == makecol(0, 0, 255))
            {
                iBlue++;
            }
            else
            {
                EXPECT_TRUE(resIsMask(font.get(), iX, iY)) << "ink in the marker row of " << k;
            }
        }
        EXPECT_LE(iBlue, 1) << "code " << k;
    }
}

TEST_P(ResourceFont, EveryPrintableCodeHasAWidthAndDrawsSomething)
{
    const stFontFile& f = GetParam();
    for (int k = 0; k < 256; k++)
    {
        int iInk, iLight, iDark;
        resGlyphInk(font.get(), f, k, iInk, iLight, iDark);
        int iAdvance = resAdvance(font.get(), f, k);
        if (!resPrintable(k))
        {
            EXPECT_EQ(iInk, 0) << "control code " << k << " is not blank";
            EXPECT_EQ(iAdvance, 0) << "control code " << k;
            continue;
        }
        EXPECT_GT(iAdvance, 0) << "code " << k;
        if (!resBlankByDesign(k))
        {
            EXPECT_GT(iInk, 0) << "code " << k << " draws nothing";
            EXPECT_GT(iLight, 0) << "code " << k << " has no light pixel to show on black";
        }
    }
}

TEST_P(ResourceFont, GlyphsHaveADarkEdgeForLightBackgrounds)
{
    const stFontFile& f = GetParam();
    for (int k = 33; k < 256; k++)
    {
        int iInk, iLight, iDark;
        resGlyphInk(font.get(), f, k, iInk, iLight, iDark);
        if (resPrintable(k) && !resBlankByDesign(k))
        {
            EXPECT_GT(iDark, 0) << "code " << k;
        }
    }
}

std::string resFontName(const testing::TestParamInfo<stFontFile>& param)
{
    return param.param.iW == 8 ? "Small" : "Large";
}

INSTANTIATE_TEST_SUITE_P(Resource, ResourceFont, testing::Values(sSmallFont, sLargeFont),
                         resFontName);

TEST(ResourceFontLarge, IsProportional)
{
    tBitmap font = resLoad(sLargeFont.cPath);
    ASSERT_NE(font, nullptr);
    int iNarrow = resAdvance(font.get(), sLargeFont, 'i');
    int iWide = resAdvance(font.get(), sLargeFont, 'W');
    EXPECT_LT(iNarrow, 8);
    EXPECT_GT(iWide, 10);
    EXPECT_LT(iNarrow * 2, iWide);
}

/* The language screen centres this line at x = 320 on a 640-pixel screen; it must leave a
   margin of 8 pixels on either side. */
TEST(ResourceFontLarge, LanguageScreenHintFitsTheScreen)
{
    tBitmap font = resLoad(sLargeFont.cPath);
    ASSERT_NE(font, nullptr);
    const std::string tHint =
        "You may change this setting later by selecting \"Options\" from the main menu.";
    int iWidth = 0;
    for (unsigned char c : tHint)
    {
        iWidth += resAdvance(font.get(), sLargeFont, c);
    }
    EXPECT_LE(iWidth, 624);
    EXPECT_GT(iWidth, 300) << "the advances are implausibly small";
}

/* ----- Language files ------------------------------------------------------------------------- */

const char* cLanguages[4] = {"EN", "SW", "DU", "SP"};
const char* cKeys[8] = {"prop_ed", "save", "restore", "faction_ed",
                        "prep_ed", "help", "quit",    "continue"};

/* Reads "[key] text^" entries and "#" comment lines the way the program's parser does. */
std::map<std::string, std::string> resParseLanguage(const std::string& tData)
{
    std::map<std::string, std::string> sEntries;
    size_t i = 0;
    while (i < tData.size())
    {
        char c = tData[i++];
        if (c == '#')
        {
            while (i < tData.size() && tData[i++] != '\n')
            {
            }
        }
        else if (c == '[')
        {
            std::string tKey;
            std::string tText;
            while (i < tData.size() && tData[i] != ']')
            {
                tKey += tData[i++];
            }
            i++;
            while (i < tData.size() && tData[i] == ' ')
            {
                i++;
            }
            while (i < tData.size() && tData[i] != '^')
            {
                tText += tData[i] == '\n' ? ' ' : tData[i];
                i++;
            }
            i++;
            sEntries.emplace(tKey, tText);
        }
    }
    return sEntries;
}

std::string resLanguageFile(const char* cCode)
{
    return std::string("system/text/") + cCode + "/map_editor.txt";
}

TEST(ResourceLanguage, ParserReadsEntriesAndSkipsComments)
{
    auto sEntries = resParseLanguage("# [x] not this^\n[a]   one\ntwo^ # tail [y] no^\n[b]^\n");
    ASSERT_EQ(sEntries.size(), 2u);
    EXPECT_EQ(sEntries["a"], "one two");
    EXPECT_EQ(sEntries["b"], "");
}

TEST(ResourceLanguage, EveryFileStartsWithACommentAndHoldsAllEightLabels)
{
    for (const char* cCode : cLanguages)
    {
        std::string tData = resReadFile(resLanguageFile(cCode));
        ASSERT_FALSE(tData.empty()) << cCode;
        EXPECT_EQ(tData[0], '#') << cCode;
        auto sEntries = resParseLanguage(tData);
        for (const char* cKey : cKeys)
        {
            ASSERT_EQ(sEntries.count(cKey), 1u) << cCode << " lacks " << cKey;
            EXPECT_FALSE(sEntries[cKey].empty()) << cCode << " " << cKey;
        }
    }
}

TEST(ResourceLanguage, OtherLanguagesAreTranslated)
{
    auto sEnglish = resParseLanguage(resReadFile(resLanguageFile("EN")));
    for (int iLang = 1; iLang < 4; iLang++)
    {
        auto sEntries = resParseLanguage(resReadFile(resLanguageFile(cLanguages[iLang])));
        int iSame = 0;
        for (const char* cKey : cKeys)
        {
            iSame += sEntries[cKey] == sEnglish[cKey] ? 1 : 0;
        }
        EXPECT_LE(iSame, 2) << cLanguages[iLang] << " copies the English labels";
    }
}

TEST(ResourceLanguage, FilesAreLatin1NotUtf8)
{
    bool bAnyAccent = false;
    for (const char* cCode : cLanguages)
    {
        std::string tData = resReadFile(resLanguageFile(cCode));
        for (size_t i = 0; i + 1 < tData.size(); i++)
        {
            unsigned char c = static_cast<unsigned char>(tData[i]);
            unsigned char cNext = static_cast<unsigned char>(tData[i + 1]);
            EXPECT_FALSE((c == 0xC2 || c == 0xC3) && cNext >= 0x80 && cNext <= 0xBF)
                << cCode << ": UTF-8 sequence at byte " << i;
            bAnyAccent = bAnyAccent || c >= 0xC0;
        }
    }
    EXPECT_TRUE(bAnyAccent) << "the Swedish and Spanish labels need accented letters";
}

TEST(ResourceLanguage, EveryLabelByteHasAGlyphAndTheLabelFitsItsButton)
{
    tBitmap font = resLoad(sLargeFont.cPath);
    ASSERT_NE(font, nullptr);
    for (const char* cCode : cLanguages)
    {
        auto sEntries = resParseLanguage(resReadFile(resLanguageFile(cCode)));
        for (const char* cKey : cKeys)
        {
            int iWidth = 0;
            for (unsigned char c : sEntries[cKey])
            {
                int iInk, iLight, iDark;
                resGlyphInk(font.get(), sLargeFont, c, iInk, iLight, iDark);
                EXPECT_TRUE(c == ' ' || iInk > 0) << cCode << " " << cKey << ": byte " << int(c);
                iWidth += resAdvance(font.get(), sLargeFont, c);
            }
            EXPECT_GT(iWidth, 0) << cCode << " " << cKey;
            EXPECT_LE(iWidth, 232) << cCode << " " << cKey << " is too wide for its button";
        }
    }
}

/* ----- Settings file ------------------------------------------------------------------------ */

TEST(ResourceSettings, ShipsWindowedModeNoDebugAutoScaleMapFilesAndNoLanguage)
{
    std::string tData = resReadFile("data/settings.ini");
    ASSERT_FALSE(tData.empty());
    // Tokenise as the program does: "#" as a token of its own skips to the end of the line.
    std::map<std::string, std::string> sValues;
    std::vector<std::string> sTokens;
    size_t i = 0;
    while (i < tData.size())
    {
        while (i < tData.size() && std::isspace(static_cast<unsigned char>(tData[i])))
        {
            i++;
        }
        std::string tToken;
        while (i < tData.size() && !std::isspace(static_cast<unsigned char>(tData[i])))
        {
            tToken += tData[i++];
        }
        if (tToken == "#")
        {
            while (i < tData.size() && tData[i++] != '\n')
            {
            }
        }
        else if (!tToken.empty())
        {
            sTokens.push_back(tToken);
        }
    }
    std::vector<std::string> sExpected = {"WindowedMode", "ON",   "DebugMode", "OFF",
                                          "DisplayScale", "AUTO", "MapFiles",  "ON"};
    EXPECT_EQ(sTokens, sExpected);
    EXPECT_NE(tData.find("Language"), std::string::npos) << "a comment should explain Language";
}

TEST(ResourceSettings, EveryCommentMarkIsATokenOfItsOwn)
{
    std::string tData = resReadFile("data/settings.ini");
    for (size_t i = 0; i < tData.size(); i++)
    {
        if (tData[i] == '#' && (i == 0 || tData[i - 1] == '\n'))
        {
            ASSERT_LT(i + 1, tData.size());
            EXPECT_TRUE(tData[i + 1] == ' ' || tData[i + 1] == '\n') << "at byte " << i;
        }
    }
}

/* ----- Tileset ---------------------------------------------------------------------------- */

TEST(ResourceTileset, HoldsTwentyFiveDistinctTexturedTiles)
{
    tBitmap tiles = resLoad("system/images/tilesets/001.png");
    ASSERT_NE(tiles, nullptr);
    ASSERT_GE(tiles->w, 64);
    ASSERT_GE(tiles->h, 48 * 26);
    int iOverhanging = 0;
    int iFlat = 0;
    for (int v = 1; v <= 25; v++)
    {
        std::set<int> sColours;
        int iCellMask = 0;
        int iTopInk = 0;
        for (int y = 0; y < 48; y++)
        {
            for (int x = 32; x < 64; x++)
            {
                bool bMask = resIsMask(tiles.get(), x, 48 * v + y);
                iCellMask += (y >= 16 && bMask) ? 1 : 0;
                iTopInk += (y < 16 && !bMask) ? 1 : 0;
                sColours.insert(getpixel(tiles.get(), x, 48 * v + y));
            }
        }
        // The editor paints one layer, so every cell footprint must cover its cell.
        EXPECT_EQ(iCellMask, 0) << "tile " << v << " has holes in its cell";
        EXPECT_GE(sColours.size(), 12u) << "tile " << v << " is not textured";
        iOverhanging += iTopInk > 20 ? 1 : 0;
        iFlat += iTopInk == 0 ? 1 : 0;
        for (int w = 1; w < v; w++)
        {
            int iDiffer = 0;
            for (int y = 0; y < 48; y++)
            {
                for (int x = 32; x < 64; x++)
                {
                    iDiffer +=
                        getpixel(tiles.get(), x, 48 * v + y) != getpixel(tiles.get(), x, 48 * w + y)
                            ? 1
                            : 0;
                }
            }
            EXPECT_GT(iDiffer, 32 * 48 / 4) << "tiles " << w << " and " << v << " look alike";
        }
    }
    EXPECT_GE(iOverhanging, 5) << "trees, walls and rocks should rise over the cell above";
    EXPECT_GE(iFlat, 12) << "flat ground keeps its top rows transparent";
}

/* ----- Pointer and buttons -------------------------------------------------------------------- */

TEST(ResourcePointer, TipIsTheHotSpotAndTheArrowPointsUpLeft)
{
    tBitmap pointer = resLoad("system/images/mouse/pointer_01.bmp");
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->w, 64);
    EXPECT_EQ(pointer->h, 64);
    EXPECT_FALSE(resIsMask(pointer.get(), 32, 32));
    // Nothing above or left of the tip, arrow body below right of it.
    for (int i = 0; i < 32; i++)
    {
        EXPECT_TRUE(resIsMask(pointer.get(), i, 31)) << i;
        EXPECT_TRUE(resIsMask(pointer.get(), 31, i)) << i;
    }
    EXPECT_EQ(getpixel(pointer.get(), 34, 40), makecol(255, 255, 255));
    EXPECT_TRUE(resIsMask(pointer.get(), 0, 0));
    EXPECT_TRUE(resIsMask(pointer.get(), 63, 63));
}

struct stButtonSet
{
    const char* cName;
    int iMaxWidth;
    int iMinHeight;
    int iMaxHeight;
};

std::string resButtonName(const testing::TestParamInfo<stButtonSet>& param)
{
    return param.param.cName;
}

class ResourceButton : public testing::TestWithParam<stButtonSet>
{
};

TEST_P(ResourceButton, ThreeStatesOfOneSizeThatLookDifferent)
{
    const stButtonSet& set = GetParam();
    const std::string tBase = std::string("system/images/buttons/") + set.cName;
    tBitmap up = resLoad(tBase + "_u.png");
    tBitmap hover = resLoad(tBase + "_h.png");
    tBitmap down = resLoad(tBase + "_d.png");
    ASSERT_NE(up, nullptr);
    ASSERT_NE(hover, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_LE(up->w, set.iMaxWidth);
    EXPECT_GE(up->h, set.iMinHeight);
    EXPECT_LE(up->h, set.iMaxHeight);
    for (BITMAP* b : {hover.get(), down.get()})
    {
        ASSERT_EQ(b->w, up->w);
        ASSERT_EQ(b->h, up->h);
    }
    EXPECT_GT(resMeanBrightness(hover.get()), resMeanBrightness(up.get()) + 10);
    EXPECT_LT(resMeanBrightness(down.get()), resMeanBrightness(up.get()) - 10);
    EXPECT_TRUE(resIsMask(up.get(), 0, 0)) << "corners are rounded off";
    EXPECT_FALSE(resIsMask(up.get(), up->w / 2, up->h / 2));
}

INSTANTIATE_TEST_SUITE_P(
    Resource, ResourceButton,
    testing::Values(stButtonSet{"big_01", 256, 26, 39}, stButtonSet{"small_01", 144, 26, 39},
                    stButtonSet{"en", 96, 24, 104}, stButtonSet{"sw", 96, 24, 104},
                    stButtonSet{"du", 96, 24, 104}, stButtonSet{"sp", 96, 24, 104}),
    resButtonName);

TEST(ResourceButtonBig, IsTheFullMenuWidth)
{
    tBitmap up = resLoad("system/images/buttons/big_01_u.png");
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->w, 256);
}

TEST(ResourceButtonLanguage, FlagsDiffer)
{
    tBitmap en = resLoad("system/images/buttons/en_u.png");
    tBitmap sw = resLoad("system/images/buttons/sw_u.png");
    tBitmap du = resLoad("system/images/buttons/du_u.png");
    ASSERT_TRUE(en && sw && du);
    // Sweden is blue with a yellow cross; the Netherlands red, white and blue stripes.
    int cSw = getpixel(sw.get(), 12, 12);
    int cDu = getpixel(du.get(), 48, 9);
    EXPECT_GT(getb(cSw), getr(cSw) + 60);
    EXPECT_GT(getr(cDu), getb(cDu) + 60);
    EXPECT_NE(getpixel(en.get(), 48, 24), getpixel(sw.get(), 48, 24));
}

}  // namespace
