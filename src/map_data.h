/*
 * Tarvenloft - the map model.
 *
 * CMap holds one tile map: a few descriptive header fields, a terrain grid of
 * four layers by 120 columns by 120 rows, and the tileset bitmap that the
 * terrain values index into. The grid is indexed iTerrain[layer][column][row],
 * so the row index varies fastest in memory. A value of 0 is an empty cell;
 * a value v > 0 draws tile v of the tileset.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_DATA_H
#define TARVENLOFT_MAP_DATA_H

#include "header.h"

/* Exit codes of the map stage. */
const int iExitTilesMissing = 501;  // neither the .png nor the .bmp tileset exists
const int iExitTilesBroken = 502;   // the tileset file exists but is not a usable image

class CMap
{
  public:
    std::string tName;                                    // the map's name
    std::string tAuthor;                                  // the map's author
    std::string tDescription;                             // a description of the map
    int iMapVer;                                          // the map's version number
    int iSizeX;                                           // size in columns
    int iSizeY;                                           // size in rows
    int iTileSet;                                         // tileset number
    int iTerrain[giTerrainLayers][giMapSide][giMapSide];  // terrain values, [layer][column][row]
    BITMAP* mTiles;          // the loaded tileset, owned by the map, or NULL
    std::string tTilesFile;  // the file mTiles came from, as LoadTiles named it

    int Clear();
    int Display(int iX, int iY, int iOffsetX, int iOffsetY, bool bOjectsOn, int iWorkingLayer);
    int LoadTiles(std::string tFileName);

  private:
    int ClearHeader_();
    int ClearTerrain_();
};

#endif
