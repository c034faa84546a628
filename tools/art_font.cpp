/*
 * Tarvenloft artwork tool - bitmap fonts rendered with FreeType.
 *
 * A font image holds 256 glyphs in a 16 x 16 grid of W x H cells: code k at
 * cell column k mod 16 + 1 and cell row k div 16 + 1, with a one-pixel
 * marker row above each row of cells. A blue pixel in the marker row at
 * offset j gives the glyph an advance of j; a marker row without blue gives
 * the full cell width. Everything that is not ink or marker is the mask
 * colour. Codes are Latin-1, so a code is its own Unicode code point; the
 * empty DEL cell, 127, holds the replacement character instead.
 *
 * The program draws glyphs in their own colours with a masked blit, without
 * blending, so the anti-aliased coverage from FreeType is turned into solid
 * pixels here: the 16 x 16 font gets light glyphs inside a dark outline (the
 * coverage blends body into outline, which keeps the curves smooth), the
 * 8 x 8 font gets hinted one-bit glyphs with a dark shadow down and right.
 * Either reads on black, on the menu buttons and on translucent panels.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace
{

/* Coverage of one rendered glyph, 0..255, with its placement against the pen. */
struct stCoverage
{
    int iWidth = 0;
    int iRows = 0;
    int iLeft = 0;     // ink start right of the pen
    int iTop = 0;      // ink top above the baseline
    int iAdvance = 0;  // pen advance in pixels
    std::vector<int> sValue;
};

const stRgb artInkTop = {255, 255, 255};
const stRgb artInkBottom = {222, 214, 190};
const stRgb artOutline = {12, 12, 20};

bool artPrintable(int iCode)
{
    return (iCode >= 32 && iCode <= 126) || iCode >= 160;
}

/* The character drawn into the cell of code k: Latin-1 k itself, and in the cell of 127, which
   Latin-1 leaves without a glyph, the replacement character U+FFFD, which the program shows for
   any character the fonts cannot. 0 for the cells that stay empty. */
int artCellChar(int k)
{
    return k == 127 ? 0xFFFD : (artPrintable(k) ? k : 0);
}

/* Renders one code into coverage; bMono asks for hinted one-bit glyphs. */
bool artRender(FT_Face face, int iCode, bool bMono, stCoverage& cov)
{
    FT_UInt iIndex = FT_Get_Char_Index(face, static_cast<FT_ULong>(iCode));
    FT_Int32 iFlags = FT_LOAD_RENDER | (bMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    if (FT_Load_Glyph(face, iIndex, iFlags) != 0)
    {
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bmp = slot->bitmap;
    cov.iWidth = static_cast<int>(bmp.width);
    cov.iRows = static_cast<int>(bmp.rows);
    cov.iLeft = slot->bitmap_left;
    cov.iTop = slot->bitmap_top;
    cov.iAdvance = static_cast<int>((slot->advance.x + 32) >> 6);
    cov.sValue.assign(static_cast<size_t>(cov.iWidth) * cov.iRows, 0);
    for (int y = 0; y < cov.iRows; y++)
    {
        const unsigned char* pRow = bmp.buffer + y * bmp.pitch;
        for (int x = 0; x < cov.iWidth; x++)
        {
            int iValue = bmp.pixel_mode == FT_PIXEL_MODE_MONO
                             ? ((pRow[x >> 3] >> (7 - (x & 7))) & 1) * 255
                             : pRow[x];
            cov.sValue[static_cast<size_t>(y) * cov.iWidth + x] = iValue;
        }
    }
    return true;
}

/* Highest ink above and lowest ink below the baseline over all printable codes. */
void artExtent(FT_Face face, bool bMono, int& iAscent, int& iDescent)
{
    iAscent = 0;
    iDescent = 0;
    for (int k = 0; k < 256; k++)
    {
        stCoverage cov;
        if (!artPrintable(k) || !artRender(face, k, bMono, cov) || cov.iRows == 0)
        {
            continue;
        }
        iAscent = std::max(iAscent, cov.iTop);
        iDescent = std::max(iDescent, cov.iRows - cov.iTop);
    }
}

/* Font parameters: the face size and the room the glyph decoration needs. */
struct stStyle
{
    bool bMono;      // one-bit hinted glyphs with a shadow (small font)
    int iPadLeft;    // columns left of the ink taken by the outline
    int iPadTop;     // rows above the ink
    int iPadBottom;  // rows below the ink
    int iBaseline;   // baseline row inside the cell
    int iMaxTop;     // ink above the baseline that fits; taller glyphs are rendered smaller
    int iSizeX;      // face size in pixels, across
    int iSizeY;      // face size in pixels, down
};

/* The 16 x 16 font: outlined anti-aliased glyphs. Paints cell (iCellX, iCellY). */
void artPaintOutlined(const stCoverage& cov, stImage& img, int iCellX, int iCellY, int iW, int iH,
                      const stStyle& style)
{
    const int iOx = style.iPadLeft + std::max(0, -cov.iLeft) + cov.iLeft;
    const int iOy = style.iBaseline - cov.iTop;
    std::vector<int> sCell(static_cast<size_t>(iW) * iH, 0);
    for (int y = 0; y < cov.iRows; y++)
    {
        for (int x = 0; x < cov.iWidth; x++)
        {
            int iCx = iOx + x;
            int iCy = iOy + y;
            if (iCx >= 0 && iCy >= 0 && iCx < iW && iCy < iH)
            {
                sCell[iCy * iW + iCx] = cov.sValue[static_cast<size_t>(y) * cov.iWidth + x];
            }
        }
    }
    for (int y = 0; y < iH; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            // Opaque where the glyph or its 8 neighbours carry noticeable ink.
            int iNear = 0;
            for (int dy = -1; dy <= 1; dy++)
            {
                for (int dx = -1; dx <= 1; dx++)
                {
                    int nx = x + dx;
                    int ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < iW && ny < iH)
                    {
                        iNear = std::max(iNear, sCell[ny * iW + nx]);
                    }
                }
            }
            if (iNear < 40)
            {
                continue;
            }
            double dRow = static_cast<double>(y) / (iH - 1);
            stRgb cInk = artMix(artInkTop, artInkBottom, dRow);
            double dCover = std::min(1.0, sCell[y * iW + x] / 200.0);
            artPut(img, iCellX + x, iCellY + y, artMix(artOutline, cInk, dCover));
        }
    }
}

/* The 8 x 8 font: one-bit glyphs with a shadow one pixel down and right. Returns the number of
   shadow pixels; iLift raises the glyph (for one that would lose its shadow below the cell). */
int artPaintShadowed(const stCoverage& cov, stImage& img, int iCellX, int iCellY, int iW, int iH,
                     const stStyle& style, int iLift)
{
    const int iOx = style.iPadLeft + std::max(0, -cov.iLeft) + cov.iLeft;
    const int iOy = style.iBaseline - cov.iTop - iLift;
    int iShadow = 0;
    std::vector<int> sCell(static_cast<size_t>(iW) * iH, 0);
    for (int y = 0; y < cov.iRows; y++)
    {
        for (int x = 0; x < cov.iWidth; x++)
        {
            int iCx = iOx + x;
            int iCy = iOy + y;
            if (iCx >= 0 && iCy >= 0 && iCx < iW && iCy < iH &&
                cov.sValue[static_cast<size_t>(y) * cov.iWidth + x] >= 128)
            {
                sCell[iCy * iW + iCx] = 1;
            }
        }
    }
    for (int y = 0; y < iH; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            if (sCell[y * iW + x])
            {
                artPut(img, iCellX + x, iCellY + y, {240, 240, 240});
            }
            else if (x > 0 && y > 0 && sCell[(y - 1) * iW + x - 1])
            {
                artPut(img, iCellX + x, iCellY + y, artOutline);
                iShadow++;
            }
        }
    }
    return iShadow;
}

/* Renders a glyph; one whose ink rises above what the cell holds (an accented capital) is
   fitted: one-bit glyphs are rendered again at smaller heights, hinted at each, and anti-aliased
   ones are squeezed vertically, which keeps their capitals wide. */
bool artRenderFitted(FT_Face face, int iCode, const stStyle& style, stCoverage& cov)
{
    bool bDone = artRender(face, iCode, style.bMono, cov);
    if (!bDone || cov.iTop <= style.iMaxTop)
    {
        return bDone;
    }
    if (!style.bMono)
    {
        FT_Matrix squeeze = {0x10000, 0, 0,
                             static_cast<FT_Fixed>(0x10000L * style.iMaxTop / (cov.iTop + 0.5))};
        FT_Set_Transform(face, &squeeze, nullptr);
        bDone = artRender(face, iCode, style.bMono, cov);
        FT_Set_Transform(face, nullptr, nullptr);
        return bDone;
    }
    for (int iY = style.iSizeY - 1; bDone && cov.iTop > style.iMaxTop && iY >= style.iSizeY / 2;
         iY--)
    {
        FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(style.iSizeX), static_cast<FT_UInt>(iY));
        bDone = artRender(face, iCode, style.bMono, cov);
    }
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(style.iSizeX),
                       static_cast<FT_UInt>(style.iSizeY));
    return bDone;
}

/* Writes the advance marker of code k. */
void artMarker(stArtFont& font, int k, int iAdvance)
{
    const int iW = font.iCellW;
    font.iAdvance[k] = iAdvance;
    if (iAdvance < iW)
    {
        artPut(font.img, (k % 16 + 1) * iW + iAdvance, font.iCellH + (k / 16) * (font.iCellH + 1),
               artBlue);
    }
}

/* Picks the largest pixel size whose ordinary letters fit the cell with their decoration. */
int artPickSize(FT_Face face, int iH, const stStyle& style)
{
    int iBest = 4;
    for (int iSize = 4; iSize <= iH * 2; iSize++)
    {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(iSize));
        int iAscent = 0;
        int iDescent = 0;
        for (const char* p = "AHMWbdfhklgjpqy"; *p != 0; p++)
        {
            stCoverage cov;
            if (artRender(face, *p, style.bMono, cov))
            {
                iAscent = std::max(iAscent, cov.iTop);
                iDescent = std::max(iDescent, cov.iRows - cov.iTop);
            }
        }
        if (iAscent + iDescent + style.iPadTop + style.iPadBottom <= iH)
        {
            iBest = iSize;
        }
    }
    return iBest;
}

/* Opens the face file tFace with a FreeType library of its own; both are closed by the caller. */
bool artFaceOpen(const std::string& tFace, FT_Library& lib, FT_Face& face)
{
    if (FT_Init_FreeType(&lib) != 0)
    {
        return false;
    }
    if (FT_New_Face(lib, tFace.c_str(), 0, &face) != 0)
    {
        FT_Done_FreeType(lib);
        return false;
    }
    return true;
}

}  // namespace

/* Renders the font image for cells of iCellW x iCellH from the face file tFace. */
bool artFontMake(stArtFont& font, const std::string& tFace, int iCellW, int iCellH, bool bSmall)
{
    FT_Library lib;
    FT_Face face;
    if (!artFaceOpen(tFace, lib, face))
    {
        return false;
    }
    font.iCellW = iCellW;
    font.iCellH = iCellH;
    font.img = artImageNew(17 * iCellW, 17 * (iCellH + 1) - 1, artMask);

    stStyle style;
    style.bMono = bSmall;
    style.iPadLeft = bSmall ? 0 : 1;
    style.iPadTop = bSmall ? 0 : 1;
    style.iPadBottom = bSmall ? 0 : 1;  // the outline; the small font's shadow may be cut
    // The small font is a narrow monospaced face stretched across, so that its letters are
    // as wide as an 8-pixel cell allows; the large one takes the biggest size that fits, a
    // pixel narrower than tall, so that a whole sentence fits across the 640-pixel screen.
    style.iSizeY = bSmall ? iCellH : artPickSize(face, iCellH, style);
    style.iSizeX = bSmall ? iCellW + iCellW / 4 : style.iSizeY - 1;
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(style.iSizeX),
                       static_cast<FT_UInt>(style.iSizeY));
    int iAscent = 0;
    int iDescent = 0;
    artExtent(face, style.bMono, iAscent, iDescent);
    // Letters keep their descenders; tall accented capitals are squeezed to fit above.
    int iLetterDescent = 0;
    for (const char* p = "gjpqy"; *p != 0; p++)
    {
        stCoverage cov;
        artRender(face, *p, style.bMono, cov);
        iLetterDescent = std::max(iLetterDescent, cov.iRows - cov.iTop);
    }
    style.iBaseline = iCellH - style.iPadBottom - iLetterDescent;
    style.iMaxTop = style.iBaseline;  // an accent may lose the outline above it
    std::printf("font %s: %d x %d px, ascent %d, descent %d, baseline row %d\n", tFace.c_str(),
                style.iSizeX, style.iSizeY, iAscent, iDescent, style.iBaseline);

    for (int k = 0; k < 256; k++)
    {
        const int iCellX = (k % 16 + 1) * iCellW;
        const int iCellY = (k / 16 + 1) * (iCellH + 1);
        stCoverage cov;
        if (artCellChar(k) == 0 || !artRenderFitted(face, artCellChar(k), style, cov))
        {
            artMarker(font, k, 0);
            continue;
        }
        if (bSmall)
        {
            // A glyph on the bottom row, such as the underscore, moves up to keep its shadow.
            if (artPaintShadowed(cov, font.img, iCellX, iCellY, iCellW, iCellH, style, 0) == 0)
            {
                artBlit(artImageNew(iCellW, iCellH, artMask), font.img, 0, 0, iCellX, iCellY,
                        iCellW, iCellH, false);
                artPaintShadowed(cov, font.img, iCellX, iCellY, iCellW, iCellH, style, 1);
            }
        }
        else
        {
            artPaintOutlined(cov, font.img, iCellX, iCellY, iCellW, iCellH, style);
        }
        int iAdvance = cov.iAdvance + std::max(0, -cov.iLeft) + (bSmall ? 0 : 1);
        artMarker(font, k, std::min(iAdvance, iCellW));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return true;
}

/* Sum of the advances of the bytes of tText, as the program measures a label. */
int artFontMeasure(const stArtFont& font, const std::string& tText)
{
    int iTotal = 0;
    for (unsigned char c : tText)
    {
        iTotal += font.iAdvance[c];
    }
    return iTotal;
}

/* Draws tText with the font's own glyph cells, the way the program does. */
void artFontDraw(const stArtFont& font, stImage& dst, int iX, int iY, const std::string& tText)
{
    for (unsigned char c : tText)
    {
        int iSrcX = (c % 16 + 1) * font.iCellW;
        int iSrcY = (c / 16 + 1) * (font.iCellH + 1);
        artBlit(font.img, dst, iSrcX, iSrcY, iX, iY, font.iCellW, font.iCellH, true);
        iX += font.iAdvance[c];
    }
}

void artFontCenter(const stArtFont& font, stImage& dst, int iCentreX, int iY,
                   const std::string& tText)
{
    artFontDraw(font, dst, iCentreX - artFontMeasure(font, tText) / 2, iY, tText);
}

/* Draws anti-aliased Latin-1 text centred on iCentreX with its baseline at iBaseY, inside a
   soft edge of cEdge. Used for the captions baked into button images. */
bool artCaption(stImage& dst, const std::string& tFace, int iPixels, int iCentreX, int iBaseY,
                const std::string& tText, stRgb cInk, stRgb cEdge)
{
    FT_Library lib;
    FT_Face face;
    if (!artFaceOpen(tFace, lib, face))
    {
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(iPixels));
    int iTotal = 0;
    for (unsigned char c : tText)
    {
        stCoverage cov;
        artRender(face, c, false, cov);
        iTotal += cov.iAdvance;
    }
    // Coverage of the whole caption, then the edge as its dilation.
    const int iW = dst.iWidth;
    const int iH = dst.iHeight;
    std::vector<int> sInk(static_cast<size_t>(iW) * iH, 0);
    int iPen = iCentreX - iTotal / 2;
    for (unsigned char c : tText)
    {
        stCoverage cov;
        artRender(face, c, false, cov);
        for (int y = 0; y < cov.iRows; y++)
        {
            for (int x = 0; x < cov.iWidth; x++)
            {
                int iX = iPen + cov.iLeft + x;
                int iY = iBaseY - cov.iTop + y;
                if (iX >= 0 && iY >= 0 && iX < iW && iY < iH)
                {
                    int& iCell = sInk[static_cast<size_t>(iY) * iW + iX];
                    iCell = std::max(iCell, cov.sValue[static_cast<size_t>(y) * cov.iWidth + x]);
                }
            }
        }
        iPen += cov.iAdvance;
    }
    for (int y = 0; y < iH; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            int iEdge = 0;
            for (int dy = -1; dy <= 1; dy++)
            {
                for (int dx = -1; dx <= 1; dx++)
                {
                    if (x + dx >= 0 && y + dy >= 0 && x + dx < iW && y + dy < iH)
                    {
                        iEdge = std::max(iEdge, sInk[static_cast<size_t>(y + dy) * iW + x + dx]);
                    }
                }
            }
            stRgb c = artGet(dst, x, y);
            if (iEdge == 0 || artSame(c, artMask))
            {
                continue;
            }
            c = artMix(c, cEdge, iEdge / 255.0 * 0.85);
            c = artMix(c, cInk, sInk[static_cast<size_t>(y) * iW + x] / 255.0);
            artPut(dst, x, y, c);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return true;
}
