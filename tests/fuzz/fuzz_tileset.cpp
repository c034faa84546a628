/*
 * Tarvenloft fuzz target - tilesets.
 *
 * Each input becomes the tileset system/images/tilesets/fuzz.png in the
 * scratch directory (the type is decided by the content, so BMP data works
 * too). CMap::LoadTiles ends the process on a file it cannot use, so the
 * file first goes through imgLoad, the checked reader LoadTiles itself
 * calls; only an accepted file reaches LoadTiles. The map then draws a full
 * view of all four layers with every tile value the editor can paint, and
 * the tileset is released again.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>

#include "fuzz_common.h"
#include "image.h"

static const int iFuzzMaxTerrain = 25;  // highest value the editor paints

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    fuzzStartLibrary();
    sys_tPath = "system/";
    fuzzMakeDirs(sys_tPath + sys_tTilePath + "fuzz.png");
    map.Clear();
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giTilesWide; x++)
        {
            for (int y = 0; y < giTilesHigh; y++)
            {
                map.iTerrain[l][x][y] = 1 + (l * 7 + x + y * giTilesWide) % iFuzzMaxTerrain;
            }
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    std::string tFile = sys_tPath + sys_tTilePath + "fuzz.png";
    fuzzWrite(tFile, pData, iSize);

    std::string tWhy;
    BITMAP* mImage = imgLoad(tFile, tWhy);
    if (mImage == NULL)
    {
        return 0;
    }
    destroy_bitmap(mImage);

    map.LoadTiles("fuzz");
    clear_bitmap(mBuffer);
    for (int l = 0; l < giTerrainLayers; l++)
    {
        map.Display(0, 0, 0, 0, false, l);
    }
    destroy_bitmap(map.mTiles);
    map.mTiles = NULL;
    return 0;
}
