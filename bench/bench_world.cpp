/*
 * Tarvenloft benchmarks - the headless world the frames are drawn in.
 *
 * Loads the shipped resources at one colour depth and fills the map view,
 * and lays text out a second time, independently of txtOut, so that the bare
 * frames draw exactly the same glyphs with none of the program's own work.
 *
 * SPDX-License-Identifier: MIT
 */
#include "bench_world.h"

#include <cstring>

#include "buttons.h"
#include "editor_map.h"
#include "lang_parser.h"
#include "text.h"

static int iBenchDepth = 0;

void CMapEditorProbe::Select(int iTerrain)
{
    edit.iTerrain = iTerrain;
}

void CMapEditorProbe::FindMouse(int& iXPos, int& iYPos)
{
    edit.FindMouse_();
    iXPos = edit.iXPos;
    iYPos = edit.iYPos;
}

void CMapEditorProbe::OpenMenu()
{
    edit.MenuDisplay_();
}

// Values 1..25 in turn over all four layers of the view: every cell of every layer is drawn.
static void benchFillMap()
{
    int iNext = 0;
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int y = 0; y < giTilesHigh; y++)
        {
            for (int x = 0; x < giTilesWide; x++)
            {
                map.iTerrain[l][x][y] = 1 + iNext % 25;
                iNext++;
            }
        }
    }
}

void benchUseDepth(int iDepth)
{
    if (iDepth == iBenchDepth)
    {
        return;
    }
    benchCloseMenu();
    set_color_depth(iDepth);
    set_trans_blender(0, 0, 0, 127);
    if (mBuffer != NULL)
    {
        destroy_bitmap(mBuffer);
    }
    mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    txtSetFont(1, "system/images/fonts/standard.bmp", 8, 8);
    txtSetFont(2, "system/images/fonts/lat16w.bmp", 16, 16);
    map.LoadTiles("001");
    sys_tLanguage = "EN";
    parStrings(txt, "map_editor");
    benchFillMap();
    CMapEditorProbe::Select(iBenchTerrain);
    mouse_x = iBenchMouseX;
    mouse_y = iBenchMouseY;
    mouse_b = 0;
    sys_bDebugMode = true;
    iBenchDepth = iDepth;
}

void benchCloseMenu()
{
    butKillAll();
    txtKillAll();
}

std::vector<stBenchBlit> benchTileBlits()
{
    std::vector<stBenchBlit> vBlits;
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int y = 0; y < giTilesHigh; y++)
        {
            for (int x = 0; x < giTilesWide; x++)
            {
                int v = map.iTerrain[l][x][y];
                if (v != 0)
                {
                    vBlits.push_back({32, 48 * v, 32 * x, 32 * y - 16, 32, 48});
                }
            }
        }
    }
    return vBlits;
}

static int benchWidth(int iFont, const std::string& tText, size_t iFrom, size_t iTo)
{
    int iSum = 0;
    for (size_t i = iFrom; i < iTo && i < tText.size(); i++)
    {
        iSum += sFont[iFont].iWidth[(unsigned char)tText[i]];
    }
    return iSum;
}

static bool benchMarker(const std::string& tText, size_t i, char c)
{
    return i + 1 < tText.size() && tText[i] == '/' && tText[i + 1] == c;
}

std::vector<stBenchBlit> benchGlyphBlits(int iFont, int iX, int iY, const std::string& tText,
                                         int iMargin, int iCount)
{
    const stFont& f = sFont[iFont];
    std::vector<stBenchBlit> vBlits;
    size_t n = (iCount < 0 || iCount > (int)tText.size()) ? tText.size() : (size_t)iCount;
    int x = iX;
    int y = iY;
    size_t i = 0;
    while (i < n)
    {
        if (tText[i] == ' ' && iMargin > 0)
        {
            size_t iEnd = tText.find(' ', i + 1);
            if (x + benchWidth(iFont, tText, i + 1, iEnd) > iMargin)
            {
                while (i < tText.size() && tText[i] == ' ')
                {
                    i++;
                }
                y += f.iHeight;
                x = iX;
            }
        }
        if (benchMarker(tText, i, 'w'))
        {
            i += 2;
        }
        if (benchMarker(tText, i, 'n'))
        {
            i += 3;
            y += f.iHeight;
            x = iX;
        }
        if (benchMarker(tText, i, 'p'))
        {
            i += 3;
            y += f.iHeight + f.iHeight / 2;
            x = iX;
        }
        if (i >= tText.size())
        {
            break;
        }
        int k = (unsigned char)tText[i];
        vBlits.push_back({(k % 16 + 1) * f.iWidthSource, (k / 16 + 1) * (f.iHeight + 1), x, y,
                          f.iWidthSource, f.iHeight});
        x += f.iWidth[k];
        i++;
    }
    return vBlits;
}

std::vector<stBenchBlit> benchCenterBlits(int iFont, int iX, int iY, const std::string& tText)
{
    int iOffset = benchWidth(iFont, tText, 0, tText.size()) / 2;
    return benchGlyphBlits(iFont, iX - iOffset, iY, tText, -1, -1);
}

void benchBlitAll(BITMAP* mSource, const std::vector<stBenchBlit>& vBlits)
{
    for (const stBenchBlit& b : vBlits)
    {
        masked_blit(mSource, mBuffer, b.iSrcX, b.iSrcY, b.iDstX, b.iDstY, b.iW, b.iH);
    }
}

bool benchSameBitmap(BITMAP* mA, BITMAP* mB)
{
    if (mA->w != mB->w || mA->h != mB->h || bitmap_color_depth(mA) != bitmap_color_depth(mB))
    {
        return false;
    }
    size_t iRow = (size_t)mA->w * ((bitmap_color_depth(mA) + 7) / 8);
    for (int y = 0; y < mA->h; y++)
    {
        if (std::memcmp(mA->line[y], mB->line[y], iRow) != 0)
        {
            return false;
        }
    }
    return true;
}

// Prose of ordinary words, with a line break every 11 words, a paragraph every 37 and a joined
// word every 5: 2,000 characters that wrap, as a long help page would.
std::string benchLongText()
{
    static const char* const cWords[] = {"the",    "tileset", "holds", "every",   "terrain",
                                         "value",  "painted", "into",  "layers",  "of",
                                         "a",      "map",     "while", "battles", "unfold",
                                         "across", "rivers",  "hills", "and",     "forests"};
    std::string tText;
    int iWord = 0;
    while (tText.size() < 2000)
    {
        const char* cWord = cWords[(iWord * 7) % 20];
        iWord++;
        if (iWord % 5 == 0)
        {
            tText += "fore/wmost";
        }
        else
        {
            tText += cWord;
        }
        if (iWord % 37 == 0)
        {
            tText += " /p ";
        }
        else if (iWord % 11 == 0)
        {
            tText += " /n ";
        }
        else
        {
            tText += " ";
        }
    }
    tText.resize(2000);
    tText.back() = '.';
    return tText;
}
