/*
 * Tarvenloft - the tile palette.
 *
 * Slot v stands in row v / 13, column v % 13. A slot is 40 x 62 pixels:
 * the 32 x 48 tile 4 pixels in from its left and top, and its number below.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_palette.h"

#include "color.h"
#include "text.h"

static const int iColumns = 13;
static const int iRows = (giMaxTerrain + iColumns) / iColumns;  // 2
static const int iSlotW = 40;
static const int iSlotH = 62;
static const int iInset = 4;  // from the slot's edges to the tile's
static const int iLeft = (sys_iScreenWidth - iColumns * iSlotW) / 2;
static const int iTop = (sys_iScreenHeight - iRows * iSlotH) / 2;
static const int iMargin = 10;  // of the panel around the slots

static void palSlotCorner(int iValue, int& iX, int& iY)
{
    iX = iLeft + (iValue % iColumns) * iSlotW;
    iY = iTop + (iValue / iColumns) * iSlotH;
}

// The empty cell: a dark box crossed out, where a tile would stand.
static void palDrawNothing(int iX, int iY)
{
    const int iRed = makecol(200, 40, 40);
    rectfill(mBuffer, iX, iY, iX + giTileWidth - 1, iY + giTileHeight - 1, makecol(24, 24, 24));
    rect(mBuffer, iX, iY, iX + giTileWidth - 1, iY + giTileHeight - 1, makecol(128, 128, 128));
    line(mBuffer, iX + 3, iY + 3, iX + giTileWidth - 4, iY + giTileHeight - 4, iRed);
    line(mBuffer, iX + giTileWidth - 4, iY + 3, iX + 3, iY + giTileHeight - 4, iRed);
}

void palDraw(int iFramed)
{
    colorShade(mBuffer, iLeft - iMargin, iTop - iMargin, iLeft + iColumns * iSlotW + iMargin - 1,
               iTop + iRows * iSlotH + iMargin - 1, makecol(0, 0, 0));
    for (int v = 0; v <= giMaxTerrain; v++)
    {
        int iX, iY;
        palSlotCorner(v, iX, iY);
        if (v == 0)
        {
            palDrawNothing(iX + iInset, iY + iInset);
        }
        else
        {
            masked_blit(map.mTiles, mBuffer, giTileWidth, v * giTileHeight, iX + iInset,
                        iY + iInset, giTileWidth, giTileHeight);
        }
        txtCenter(1, iX + iSlotW / 2, iY + iInset + giTileHeight + 2, std::to_string(v), -1);
        if (v == iFramed)
        {
            const int iYellow = makecol(255, 220, 0);
            rect(mBuffer, iX, iY, iX + iSlotW - 1, iY + iSlotH - 1, iYellow);
            rect(mBuffer, iX + 1, iY + 1, iX + iSlotW - 2, iY + iSlotH - 2, iYellow);
        }
    }
}

int palSlotAt(int iPx, int iPy)
{
    if (iPx < iLeft || iPy < iTop)
    {
        return -1;
    }
    const int iColumn = (iPx - iLeft) / iSlotW;
    const int iRow = (iPy - iTop) / iSlotH;
    const int iValue = iRow * iColumns + iColumn;
    return iColumn < iColumns && iRow < iRows && iValue <= giMaxTerrain ? iValue : -1;
}

int palStep(int iValue, int iDX, int iDY)
{
    const int iNew = iValue + iDX + iDY * iColumns;
    return iNew < 0 || iNew > giMaxTerrain ? iValue : iNew;
}
