/*
 * Tarvenloft - the working layer highlighted.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_highlight.h"

BITMAP* hiDarkTiles(BITMAP* mTiles)
{
    if (mTiles == NULL)
    {
        return NULL;
    }
    BITMAP* mDark = create_bitmap_ex(bitmap_color_depth(mTiles), mTiles->w, mTiles->h);
    if (mDark == NULL)
    {
        return NULL;
    }
    const int iDepth = bitmap_color_depth(mTiles);
    const int iMask = bitmap_mask_color(mTiles);
    for (int y = 0; y < mTiles->h; y++)
    {
        for (int x = 0; x < mTiles->w; x++)
        {
            const int iPixel = getpixel(mTiles, x, y);
            putpixel(mDark, x, y,
                     iPixel == iMask ? iMask
                                     : makecol_depth(iDepth, getr_depth(iDepth, iPixel) / 2,
                                                     getg_depth(iDepth, iPixel) / 2,
                                                     getb_depth(iDepth, iPixel) / 2));
        }
    }
    return mDark;
}

// Layers stack from 0 up, rows from the top, with the row below the view where there is one,
// whose tiles stand over the view's last row.
void hiDraw(BITMAP* mDark, int iViewX, int iViewY, int iWorkingLayer)
{
    if (map.mTiles == NULL || mDark == NULL)
    {
        return;
    }
    const int iRows = iViewY + giTilesHigh < giMapSide ? giTilesHigh + 1 : giTilesHigh;
    for (int l = 0; l < giTerrainLayers; l++)
    {
        BITMAP* mSource = l == iWorkingLayer ? map.mTiles : mDark;
        for (int y = 0; y < iRows; y++)
        {
            for (int x = 0; x < giTilesWide; x++)
            {
                const int v = map.iTerrain[l][iViewX + x][iViewY + y];
                if (v != 0)
                {
                    masked_blit(mSource, mBuffer, giTileWidth, giTileHeight * v, giTileX * x,
                                giTileY * y - (giTileHeight - giTileY), giTileWidth, giTileHeight);
                }
            }
        }
    }
}
