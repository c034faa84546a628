/*
 * Tarvenloft - the map model, its tileset and its drawing.
 *
 * CMap keeps the terrain grid and the tileset it indexes. A tileset is one
 * image with the tiles in a single 32-pixel column at x = 32..63, tile v at
 * y = 48v; each tile is 48 tall, so it stands 16 pixels over the cell above
 * it. Display draws the four layers of a 20 x 15-cell view into mBuffer,
 * with the tops of the tiles of the row below it.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_data.h"

#include "color.h"
#include "image.h"

int CMap::Clear()
{
    ClearHeader_();
    ClearTerrain_();
    return 0;
}

int CMap::ClearHeader_()
{
    tName = "";
    tAuthor = "";
    tDescription = "";
    iMapVer = 0;
    iSizeX = 0;
    iSizeY = 0;
    iTileSet = 0;
    return 0;
}

int CMap::ClearTerrain_()
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                iTerrain[l][x][y] = 0;
            }
        }
    }
    destroy_bitmap(mTiles);
    mTiles = NULL;
    tTilesFile = "";
    return 0;
}

// Layer by layer, rows top to bottom, so a tile's overhang covers the foot of the tile above.
// The map's row just below the view, where there is one, is drawn too: its tiles stand their top
// 16 pixels over the view's last row, as Tiled draws them.
int CMap::Display(int iX, int iY, int iOffsetX, int iOffsetY, bool bOjectsOn, int iWorkingLayer)
{
    if (mTiles == NULL)
    {
        return 0;  // nothing to draw with until a tileset is loaded
    }
    const int iRows = iY + giTilesHigh < giMapSide ? giTilesHigh + 1 : giTilesHigh;
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int y = 0; y < iRows; y++)
        {
            for (int x = 0; x < giTilesWide; x++)
            {
                int v = iTerrain[l][iX + x][iY + y];
                if (v == 0)
                {
                    continue;
                }
                int iLocX = giTileX * x;
                int iLocY = giTileY * y - (giTileHeight - giTileY);
                masked_blit(mTiles, mBuffer, giTileWidth, giTileHeight * v, iLocX, iLocY,
                            giTileWidth, giTileHeight);
            }
        }
    }
    return 0;
}

// The ".png" file is preferred; without either file the editor cannot run.
int CMap::LoadTiles(std::string tFileName)
{
    std::string tFileTry = sys_tPath + sys_tTilePath + tFileName + ".png";
    if (!exists(tFileTry.c_str()))
    {
        tFileTry = sys_tPath + sys_tTilePath + tFileName + ".bmp";
        if (!exists(tFileTry.c_str()))
        {
            std::string tError = "Cannot find the map tiles requested.\n" + tFileTry +
                                 " does not appear to exist.\n\nCurrently, the engine is not "
                                 "able to handle this error.";
            allegro_message("%s", tError.c_str());
            exit(iExitTilesMissing);
        }
    }
    std::string tWhy;
    BITMAP* mNew = imgLoad(tFileTry, tWhy);
    if (mNew == NULL)
    {
        std::string tError = "Cannot read the map tiles requested.\n" + tFileTry +
                             " is not a usable image: " + tWhy +
                             "\n\nCurrently, the engine "
                             "is not able to handle this error.";
        allegro_message("%s", tError.c_str());
        exit(iExitTilesBroken);
    }
    colorReplace(mNew, makecol(255, 128, 255), makecol(255, 0, 255));
    destroy_bitmap(mTiles);
    mTiles = mNew;
    tTilesFile = tFileTry;
    return 0;
}
