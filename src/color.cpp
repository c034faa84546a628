/*
 * Tarvenloft - colour passes.
 *
 * colorReplace turns every pixel of one packed colour into another (the
 * loaders use it to make light pink transparent); colorAlpha turns the mask
 * colour into a 32-bit alpha channel. Both walk the bitmap's own line
 * pointers at the bitmap's own colour depth, so a 16-bit image is compared
 * and written as 16-bit pixels whatever the current depth is. colorShade
 * is the one translucent box of every screen: panels, cursors, notices.
 *
 * SPDX-License-Identifier: MIT
 */
#include "color.h"

#include <stdint.h>

// The pixel at (iX, iY) of a memory bitmap, read at its own depth.
static int colorGet(BITMAP* bImage, int iDepth, int iX, int iY)
{
    unsigned char* cLine = bImage->line[iY];
    switch (iDepth)
    {
    case 8:
        return cLine[iX];
    case 15:
    case 16:
        return ((uint16_t*)cLine)[iX];
    case 24:
        return READ3BYTES(cLine + iX * 3);
    default:
        return (int)((uint32_t*)cLine)[iX];
    }
}

static void colorPut(BITMAP* bImage, int iDepth, int iX, int iY, int iColor)
{
    unsigned char* cLine = bImage->line[iY];
    switch (iDepth)
    {
    case 8:
        cLine[iX] = (unsigned char)iColor;
        break;
    case 15:
    case 16:
        ((uint16_t*)cLine)[iX] = (uint16_t)iColor;
        break;
    case 24:
        WRITE3BYTES(cLine + iX * 3, iColor);
        break;
    default:
        ((uint32_t*)cLine)[iX] = (uint32_t)iColor;
        break;
    }
}

int colorReplace(BITMAP* bImage, int iColor, int iReplace)
{
    if (bImage == NULL || iColor == iReplace)
    {
        return 0;
    }
    // Screen and video bitmaps have no plain line pointers; they go through the library.
    bool bMemory = is_memory_bitmap(bImage);
    int iDepth = bitmap_color_depth(bImage);
    for (int iY = 0; iY < bImage->h; iY++)
    {
        for (int iX = 0; iX < bImage->w; iX++)
        {
            int iPixel = bMemory ? colorGet(bImage, iDepth, iX, iY) : getpixel(bImage, iX, iY);
            if (iPixel != iColor)
            {
                continue;
            }
            if (bMemory)
            {
                colorPut(bImage, iDepth, iX, iY, iReplace);
            }
            else
            {
                putpixel(bImage, iX, iY, iReplace);
            }
        }
    }
    return 0;
}

// Only 32-bit pixels carry alpha; at every other depth the pass has nothing to change.
int colorAlpha(BITMAP* bImage)
{
    if (bImage == NULL || bitmap_color_depth(bImage) != 32)
    {
        return 0;
    }
    bool bMemory = is_memory_bitmap(bImage);
    int iMask = makecol32(255, 0, 255);
    for (int iY = 0; iY < bImage->h; iY++)
    {
        for (int iX = 0; iX < bImage->w; iX++)
        {
            int iColor = bMemory ? colorGet(bImage, 32, iX, iY) : getpixel(bImage, iX, iY);
            int iAlpha = (iColor == iMask) ? 0 : 255;
            int iNew = makeacol32(getr32(iColor), getg32(iColor), getb32(iColor), iAlpha);
            if (bMemory)
            {
                colorPut(bImage, 32, iX, iY, iNew);
            }
            else
            {
                putpixel(bImage, iX, iY, iNew);
            }
        }
    }
    return 0;
}

void colorShade(BITMAP* mImage, int iX0, int iY0, int iX1, int iY1, int iColor)
{
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mImage, iX0, iY0, iX1, iY1, iColor);
    solid_mode();
}
