/*
 * Tarvenloft artwork tool - buttons and the mouse pointer.
 *
 * Every button comes in three states: 0 up, 1 hover (lighter), 2 down
 * (darker, bevel turned inside out, contents one pixel down and right).
 * Corners are rounded with the mask colour. The editor menu's "big_01" and
 * the file picker's smaller "small_01" are plain bevelled bars that the
 * program writes its labels on; the language
 * buttons carry a flag and the language's own name.
 *
 * The program's icon, for desktop menus, shows a corner of a map as the
 * editor draws it. It is drawn once at 64 x 64 and scaled to each size.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <cmath>
#include <cstring>

namespace
{

const stRgb artFrameDark = {16, 18, 28};

/* True when (x, y) lies outside a rectangle with corners rounded by radius iR. */
bool artOutsideCorner(int iX, int iY, int iW, int iH, int iR)
{
    int cx = iX < iR ? iR : (iX >= iW - iR ? iW - iR - 1 : iX);
    int cy = iY < iR ? iR : (iY >= iH - iR ? iH - iR - 1 : iY);
    double d = std::hypot(iX - cx, iY - cy);
    return d > iR + 0.3;
}

/* State factor: hover brightens, down darkens. */
double artStateLight(int iState)
{
    return iState == 1 ? 1.3 : (iState == 2 ? 0.7 : 1.0);
}

/* A rounded, bevelled panel filled with a vertical gradient. */
stImage artPanel(int iW, int iH, stRgb cTop, stRgb cBottom, int iState)
{
    stImage img = artImageNew(iW, iH, artMask);
    const double dLight = artStateLight(iState);
    const bool bDown = iState == 2;
    for (int y = 0; y < iH; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            if (artOutsideCorner(x, y, iW, iH, 6))
            {
                continue;
            }
            stRgb c = artShade(artMix(cTop, cBottom, static_cast<double>(y) / (iH - 1)), dLight);
            // A fine horizontal grain keeps the bar from looking flat.
            c = artShade(c, 0.97 + 0.06 * artNoise(x, y * 4, 8, 256, 500));
            bool bOuter = artOutsideCorner(x, y, iW, iH, 6) ||
                          artOutsideCorner(x - 1, y - 1, iW - 2, iH - 2, 5);
            bool bInner = !bOuter && artOutsideCorner(x - 2, y - 2, iW - 4, iH - 4, 4);
            if (bOuter)
            {
                c = iState == 1 ? stRgb{210, 180, 90} : artFrameDark;
            }
            else if (bInner)
            {
                bool bUpperLeft = (x < 3 || y < 3) && !(x >= iW - 3 || y >= iH - 3);
                bool bLit = bDown ? !bUpperLeft : bUpperLeft;
                c = artShade(c, bLit ? 1.45 : 0.55);
            }
            artPut(img, x, y, c);
        }
    }
    return img;
}

/* Flag colours, in the order of the language codes. */
void artFlagPixel(const std::string& tCode, int iX, int iY, int iW, int iH, stRgb& c)
{
    if (tCode == "sw")
    {
        bool bCross =
            (iX >= iW * 5 / 16 && iX < iW * 7 / 16) || (iY >= iH * 2 / 5 && iY < iH * 3 / 5);
        c = bCross ? stRgb{254, 204, 0} : stRgb{0, 96, 160};
    }
    else if (tCode == "du")
    {
        c = iY < iH / 3 ? stRgb{174, 28, 40}
                        : (iY < 2 * iH / 3 ? stRgb{245, 245, 245} : stRgb{33, 70, 139});
    }
    else if (tCode == "sp")
    {
        c = (iY < iH / 4 || iY >= 3 * iH / 4) ? stRgb{170, 21, 27} : stRgb{241, 191, 0};
    }
    else
    {
        // The Union flag: white-edged red cross over white-edged red saltire on blue.
        double dDiag = std::sqrt(static_cast<double>(iW * iW + iH * iH));
        double d1 = std::fabs(iY * iW - iX * iH) / dDiag;
        double d2 = std::fabs((iH - iY) * iW - iX * iH) / dDiag;
        double dSaltire = std::min(d1, d2);
        double dCross = std::min(std::fabs(iX - (iW - 1) / 2.0), std::fabs(iY - (iH - 1) / 2.0));
        c = {1, 33, 105};
        if (dSaltire < 4.5)
        {
            c = {245, 245, 245};
        }
        if (dSaltire < 1.6)
        {
            c = {200, 16, 46};
        }
        if (dCross < 6.5)
        {
            c = {245, 245, 245};
        }
        if (dCross < 3.5)
        {
            c = {200, 16, 46};
        }
    }
}

/* Four cells of the shipped tileset (flowers, an oak rising over grass, shallow water) under
   the editor's cell cursor and the pointer, in a rounded dark frame on the mask colour. */
stImage artIconMaster()
{
    const stImage tiles = artTileset();
    const int iCells[2][2] = {{1, 10}, {14, 5}};  // tile values, row by row
    stImage map = artImageNew(64, 64, {0, 0, 0});
    for (int iRow = 0; iRow < 2; iRow++)
    {
        for (int iCol = 0; iCol < 2; iCol++)
        {
            artBlit(tiles, map, 32, 48 * iCells[iRow][iCol], 32 * iCol, 32 * iRow - 16, 32, 48,
                    true);
        }
    }
    // The cell cursor: white at the program's translucency level, 127 of 255.
    for (int y = 0; y < 32; y++)
    {
        for (int x = 32; x < 64; x++)
        {
            artPut(map, x, y, artMix(artGet(map, x, y), {255, 255, 255}, 127 / 255.0));
        }
    }
    artBlit(artPointer(), map, 0, 0, 46 - 32, 14 - 32, 64, 64, true);
    stImage icon = artImageNew(64, 64, artMask);
    for (int y = 0; y < 64; y++)
    {
        for (int x = 0; x < 64; x++)
        {
            if (!artOutsideCorner(x, y, 64, 64, 10))
            {
                bool bFrame = artOutsideCorner(x - 2, y - 2, 60, 60, 8);
                artPut(icon, x, y, bFrame ? artFrameDark : artGet(map, x, y));
            }
        }
    }
    return icon;
}

}  // namespace

/* The editor menu's button, 256 x 36. */
stImage artButtonBig(int iState)
{
    return artPanel(256, 36, {104, 92, 140}, {46, 40, 76}, iState);
}

/* The file picker's button, 144 x 32, in the menu's colours. */
stImage artButtonSmall(int iState)
{
    return artPanel(144, 32, {104, 92, 140}, {46, 40, 76}, iState);
}

/* A 96 x 64 language button: flag above, the language's own name below. */
stImage artButtonLanguage(const std::string& tCode, int iState, const std::string& tFace)
{
    const int iW = 96;
    const int iH = 64;
    stImage img = artPanel(iW, iH, {70, 70, 90}, {34, 34, 48}, iState);
    const int iShift = iState == 2 ? 1 : 0;
    const int iFlagX = 6 + iShift;
    const int iFlagY = 6 + iShift;
    const int iFlagW = iW - 12;
    const int iFlagH = 36;
    const double dLight = iState == 1 ? 1.15 : (iState == 2 ? 0.8 : 1.0);
    for (int y = -1; y <= iFlagH; y++)
    {
        for (int x = -1; x <= iFlagW; x++)
        {
            stRgb c = artFrameDark;
            if (x >= 0 && y >= 0 && x < iFlagW && y < iFlagH)
            {
                artFlagPixel(tCode, x, y, iFlagW, iFlagH, c);
                // A soft sheen across the cloth.
                c = artShade(c, dLight * (0.92 + 0.12 * std::sin(x * 0.15 + y * 0.05)));
            }
            artPut(img, iFlagX + x, iFlagY + y, c);
        }
    }
    const char* cName = tCode == "sw"   ? "Svenska"
                        : tCode == "du" ? "Nederlands"
                        : tCode == "sp" ? "Espa\xF1ol"
                                        : "English";
    artCaption(img, tFace, 12, iW / 2 + iShift, 56 + iShift, cName, {255, 255, 255}, {0, 0, 0});
    return img;
}

/* The 64 x 64 pointer: a white arrow with a black outline whose tip is pixel (32, 32). */
stImage artPointer()
{
    // The arrow outline, relative to the tip, pointing up and to the left.
    const double dShape[][2] = {{0, 0},     {0, 17},   {4, 13}, {7.5, 20},
                                {10, 18.8}, {6.8, 12}, {12, 12}};
    const int iCorners = 7;
    stImage img = artImageNew(64, 64, artMask);
    bool bFill[64][64] = {};
    for (int y = 0; y < 64; y++)
    {
        for (int x = 0; x < 64; x++)
        {
            double px = x + 0.5 - 32;
            double py = y + 0.5 - 32;
            bool bIn = false;
            for (int i = 0, j = iCorners - 1; i < iCorners; j = i++)
            {
                double xi = dShape[i][0], yi = dShape[i][1];
                double xj = dShape[j][0], yj = dShape[j][1];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                {
                    bIn = !bIn;
                }
            }
            bFill[y][x] = bIn;
        }
    }
    for (int y = 1; y < 63; y++)
    {
        for (int x = 1; x < 63; x++)
        {
            if (bFill[y][x])
            {
                artPut(img, x, y, {255, 255, 255});
                continue;
            }
            for (int dy = -1; dy <= 1; dy++)
            {
                for (int dx = -1; dx <= 1; dx++)
                {
                    if (bFill[y + dy][x + dx])
                    {
                        artPut(img, x, y, {0, 0, 0});
                    }
                }
            }
        }
    }
    artPut(img, 32, 32, {0, 0, 0});  // the hot spot is always part of the arrow
    return img;
}

/* The icon at iSize x iSize. Each target pixel averages 8 x 8 samples of the 64 x 64 drawing,
   which at whole multiples keeps the pixels sharp; it is transparent (mask colour) when most of
   its samples are. */
stImage artIcon(int iSize)
{
    const int iSamples = 8;
    const stImage src = artIconMaster();
    stImage out = artImageNew(iSize, iSize, artMask);
    for (int y = 0; y < iSize; y++)
    {
        for (int x = 0; x < iSize; x++)
        {
            int iOpaque = 0;
            int iSum[3] = {0, 0, 0};
            for (int i = 0; i < iSamples * iSamples; i++)
            {
                // The centre of sample i, in source pixels.
                int iSrcX =
                    ((x * iSamples + i % iSamples) * 2 + 1) * src.iWidth / (2 * iSamples * iSize);
                int iSrcY =
                    ((y * iSamples + i / iSamples) * 2 + 1) * src.iHeight / (2 * iSamples * iSize);
                stRgb c = artGet(src, iSrcX, iSrcY);
                if (!artSame(c, artMask))
                {
                    iOpaque++;
                    iSum[0] += c.iR;
                    iSum[1] += c.iG;
                    iSum[2] += c.iB;
                }
            }
            if (2 * iOpaque > iSamples * iSamples)
            {
                const int iHalf = iOpaque / 2;
                artPut(out, x, y,
                       {(iSum[0] + iHalf) / iOpaque, (iSum[1] + iHalf) / iOpaque,
                        (iSum[2] + iHalf) / iOpaque});
            }
        }
    }
    return out;
}
