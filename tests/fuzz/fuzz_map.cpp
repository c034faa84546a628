/*
 * Tarvenloft fuzz target - map files.
 *
 * Each input becomes the map file map.tmx in the scratch directory, beside
 * a valid tileset shared.tsx that a map may name (source="shared.tsx") and
 * a broken one, broken.tsx. mapfRead reads and checks it. A map it accepts
 * is then changed in two cells (one in the last layer, so that a file with
 * fewer layers gains them), written to out.tmx through the open document,
 * and read back: the writer must never fail on a file the reader accepted,
 * and what it wrote must read back as the same cells. Either failure stops
 * the run as a finding.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>
#include <cstring>

#include "fuzz_common.h"
#include "map_file.h"

static int iFuzzCells[giTerrainLayers][120][120];  // the cells that were written

static void fuzzWriteText(const char* cFile, const char* cText)
{
    fuzzWrite(cFile, reinterpret_cast<const uint8_t*>(cText), strlen(cText));
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    fuzzWriteText("shared.tsx",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tileset version=\"1.8\" "
                  "name=\"001\" tilewidth=\"32\" tileheight=\"48\" tilecount=\"52\" "
                  "columns=\"2\">\n <image source=\"001.png\" trans=\"ff00ff\" width=\"64\" "
                  "height=\"1248\"/>\n</tileset>\n");
    fuzzWriteText("broken.tsx", "<tileset tilewidth=\"32\" tileheight=\"48\" columns=\"2\">");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    fuzzWrite("map.tmx", pData, iSize);
    mapfForget();
    std::string tWhy;
    if (!mapfRead("map.tmx", tWhy))
    {
        return 0;
    }
    map.iTerrain[0][1][2] = 7;
    map.iTerrain[giTerrainLayers - 1][119][119] = 25;
    std::memcpy(iFuzzCells, map.iTerrain, sizeof(iFuzzCells));
    if (!mapfWrite("out.tmx", tWhy))
    {
        fprintf(stderr, "the writer failed on a map the reader accepted: %s\n", tWhy.c_str());
        abort();
    }
    std::memset(map.iTerrain, 0, sizeof(map.iTerrain));
    if (!mapfRead("out.tmx", tWhy) ||
        std::memcmp(map.iTerrain, iFuzzCells, sizeof(iFuzzCells)) != 0)
    {
        fprintf(stderr, "what the writer wrote does not read back: %s\n", tWhy.c_str());
        abort();
    }
    return 0;
}
