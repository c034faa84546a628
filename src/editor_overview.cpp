/*
 * Tarvenloft - the overview of the whole map.
 *
 * The tile colours are worked out once, when the tileset is loaded, and
 * kept as red, green and blue, so that they are packed for whatever colour
 * depth the picture has when they are drawn.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_overview.h"

// The tile's own cell is the lower part of its picture: the top stands over the cell above.
static const int iCellPart = giTileHeight - giTileY;

// The mean colour of the pixels of tile iValue that are not mask colour, into sColours.
static void ovwMeanColour(BITMAP* mTiles, int iValue, stTileColours& sColours)
{
    const int iMask = bitmap_mask_color(mTiles);
    const int iDepth = bitmap_color_depth(mTiles);
    long lRed = 0, lGreen = 0, lBlue = 0, lCount = 0;
    const int iTop = iValue * giTileHeight + iCellPart;
    for (int y = iTop; y < iTop + giTileY && y < mTiles->h; y++)
    {
        for (int x = giTileWidth; x < 2 * giTileWidth && x < mTiles->w; x++)
        {
            const int iPixel = getpixel(mTiles, x, y);
            if (iPixel == iMask)
            {
                continue;
            }
            lRed += getr_depth(iDepth, iPixel);
            lGreen += getg_depth(iDepth, iPixel);
            lBlue += getb_depth(iDepth, iPixel);
            lCount++;
        }
    }
    if (lCount > 0)
    {
        sColours.iRed[iValue] = static_cast<int>(lRed / lCount);
        sColours.iGreen[iValue] = static_cast<int>(lGreen / lCount);
        sColours.iBlue[iValue] = static_cast<int>(lBlue / lCount);
    }
}

stTileColours ovwTileColours(BITMAP* mTiles)
{
    stTileColours sColours = {};
    for (int v = 1; v <= giMaxTerrain && mTiles != NULL; v++)
    {
        ovwMeanColour(mTiles, v, sColours);
    }
    return sColours;
}

void ovwDraw(const stTileColours& sColours, int iViewX, int iViewY)
{
    int iPacked[giMaxTerrain + 1];
    for (int v = 0; v <= giMaxTerrain; v++)
    {
        iPacked[v] = makecol(sColours.iRed[v], sColours.iGreen[v], sColours.iBlue[v]);
    }
    rectfill(mBuffer, giOverviewLeft, giOverviewTop, giOverviewLeft + giOverviewSide - 1,
             giOverviewTop + giOverviewSide - 1, iPacked[0]);
    for (int x = 0; x < giMapSide; x++)
    {
        const int iLeft = giOverviewLeft + x * giOverviewCell;
        for (int y = 0; y < giMapSide; y++)
        {
            int l = giTerrainLayers - 1;
            while (l > 0 && map.iTerrain[l][x][y] == 0)
            {
                l--;
            }
            const int iValue = map.iTerrain[l][x][y];
            if (iValue != 0)
            {
                const int iTop = giOverviewTop + y * giOverviewCell;
                rectfill(mBuffer, iLeft, iTop, iLeft + giOverviewCell - 1,
                         iTop + giOverviewCell - 1, iPacked[iValue]);
            }
        }
    }
    const int iLeft = giOverviewLeft + iViewX * giOverviewCell;
    const int iTop = giOverviewTop + iViewY * giOverviewCell;
    const int iRight = iLeft + giTilesWide * giOverviewCell - 1;
    const int iBottom = iTop + giTilesHigh * giOverviewCell - 1;
    rect(mBuffer, iLeft, iTop, iRight, iBottom, makecol(255, 255, 255));
    rect(mBuffer, iLeft + 1, iTop + 1, iRight - 1, iBottom - 1, makecol(0, 0, 0));
}

bool ovwCellAt(int iPx, int iPy, int& iCellX, int& iCellY)
{
    if (iPx < giOverviewLeft || iPx >= giOverviewLeft + giOverviewSide || iPy < giOverviewTop ||
        iPy >= giOverviewTop + giOverviewSide)
    {
        return false;
    }
    iCellX = (iPx - giOverviewLeft) / giOverviewCell;
    iCellY = (iPy - giOverviewTop) / giOverviewCell;
    return true;
}

static int ovwClamp(int iValue, int iHighest)
{
    return iValue < 0 ? 0 : (iValue > iHighest ? iHighest : iValue);
}

void ovwViewFor(int iCellX, int iCellY, int& iViewX, int& iViewY)
{
    iViewX = ovwClamp(iCellX - giTilesWide / 2, giMapSide - giTilesWide);
    iViewY = ovwClamp(iCellY - giTilesHigh / 2, giMapSide - giTilesHigh);
}
