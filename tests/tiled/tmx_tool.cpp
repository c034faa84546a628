/*
 * Tarvenloft tests - the map file's reader and writer as a command, for the
 * tests against Tiled.
 *
 *   tmx_tool read FILE     reads FILE and prints its cells: for each layer l
 *                          and row y a line "l y v0,v1,...,v119"
 *   tmx_tool write FILE    writes the pattern below into a new FILE, with
 *                          the tileset loaded from the working directory
 *   tmx_tool rewrite FILE  reads FILE, puts the pattern into it and writes
 *                          it back
 *   tmx_tool saveas FILE NEW  reads FILE, puts the pattern into it and
 *                          writes it as NEW, in another folder, say
 *
 * The pattern gives cell (l, x, y) the terrain value (7l + 3x + 5y) % 26,
 * so every value 0..25 appears in every layer, in every row and column.
 * Exit status 0, or 1 with the reason on standard error.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "header.h"
#include "map_file.h"

static void toolPattern()
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < 120; x++)
        {
            for (int y = 0; y < 120; y++)
            {
                map.iTerrain[l][x][y] = (7 * l + 3 * x + 5 * y) % 26;
            }
        }
    }
}

static void toolPrint()
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int y = 0; y < 120; y++)
        {
            std::printf("%d %d ", l, y);
            for (int x = 0; x < 120; x++)
            {
                std::printf(x < 119 ? "%d," : "%d\n", map.iTerrain[l][x][y]);
            }
        }
    }
}

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 4 && std::string(argv[1]) == "saveas"))
    {
        std::fprintf(stderr, "usage: tmx_tool read|write|rewrite FILE | saveas FILE NEW\n");
        return 2;
    }
    const std::string tCommand = argv[1];
    const std::string tFile = argv[2];
    std::string tWhy;
    bool bOk = true;
    if (tCommand == "read")
    {
        bOk = mapfRead(tFile, tWhy);
        if (bOk)
        {
            toolPrint();
        }
    }
    else if (tCommand == "write")
    {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        {
            return 1;
        }
        set_color_depth(32);
        map.LoadTiles("001");
        toolPattern();
        bOk = mapfWrite(tFile, tWhy);
    }
    else if (tCommand == "rewrite" || tCommand == "saveas")
    {
        bOk = mapfRead(tFile, tWhy);
        toolPattern();
        bOk = bOk && mapfWrite(argc == 4 ? argv[3] : tFile, tWhy);
    }
    else
    {
        tWhy = "no such command";
        bOk = false;
    }
    if (!bOk)
    {
        std::fprintf(stderr, "%s: %s\n", tFile.c_str(), tWhy.c_str());
    }
    return bOk ? 0 : 1;
}
