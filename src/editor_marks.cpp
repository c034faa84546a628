/*
 * Tarvenloft - what the editor's tools draw over the map while they work.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_marks.h"

#include "color.h"
#include "text.h"

std::string markSize(int iX0, int iY0, int iX1, int iY1)
{
    int iLeft, iRight, iTop, iBottom;
    toolSpan(iX0, iX1, iLeft, iRight);
    toolSpan(iY0, iY1, iTop, iBottom);
    return std::to_string(iRight - iLeft + 1) + " x " + std::to_string(iBottom - iTop + 1);
}

// The size in a small dark box up and to the left of the pointer, inside the picture.
static void markLabel(const std::string& tText)
{
    const int iWidth = txtCheckWordLength(1, tText) + 8;
    int iX = mouse_x - iWidth - 4;
    int iY = mouse_y - 20;
    iX = iX < 0 ? 0 : iX;
    iY = iY < 0 ? 0 : iY;
    colorShade(mBuffer, iX, iY, iX + iWidth - 1, iY + 15, makecol(0, 0, 0));
    txtOut(1, iX + 4, iY + 4, tText, -1, -1);
}

void markSpan(int iViewX, int iViewY, int iX0, int iY0, int iX1, int iY1, int iColour)
{
    int iLeft, iRight, iTop, iBottom;
    toolSpan(iX0, iX1, iLeft, iRight);
    toolSpan(iY0, iY1, iTop, iBottom);
    const int iX = (iLeft - iViewX) * giTileX;
    const int iY = (iTop - iViewY) * giTileY;
    const int iXEnd = (iRight + 1 - iViewX) * giTileX - 1;
    const int iYEnd = (iBottom + 1 - iViewY) * giTileY - 1;
    rect(mBuffer, iX, iY, iXEnd, iYEnd, iColour);
    rect(mBuffer, iX + 1, iY + 1, iXEnd - 1, iYEnd - 1, iColour);
    markLabel(markSize(iX0, iY0, iX1, iY1));
}

void markBlock(const stBlock& sBlock, int iViewX, int iViewY, int iX, int iY)
{
    if (map.mTiles == NULL)
    {
        return;
    }
    BITMAP* mTile[giMaxTerrain + 1] = {};  // each tile as a bitmap of its own, made when needed
    for (int l = 0; l < sBlock.iLayers; l++)
    {
        // Only the cells in the view and on the map, the view's next row for its overhang.
        for (int y = 0; y < sBlock.iHeight && iY + y < giMapSide && iY + y <= iViewY + giTilesHigh;
             y++)
        {
            for (int x = 0;
                 x < sBlock.iWidth && iX + x < giMapSide && iX + x < iViewX + giTilesWide; x++)
            {
                const int v = toolBlockCell(sBlock, l, x, y);
                if (v <= 0 || v > giMaxTerrain)
                {
                    continue;
                }
                if (mTile[v] == NULL)
                {
                    mTile[v] = create_sub_bitmap(map.mTiles, giTileWidth, v * giTileHeight,
                                                 giTileWidth, giTileHeight);
                }
                if (mTile[v] != NULL)
                {
                    draw_trans_sprite(mBuffer, mTile[v], (iX + x - iViewX) * giTileX,
                                      (iY + y - iViewY) * giTileY - (giTileHeight - giTileY));
                }
            }
        }
    }
    for (BITMAP* m : mTile)
    {
        if (m != NULL)
        {
            destroy_bitmap(m);
        }
    }
}
