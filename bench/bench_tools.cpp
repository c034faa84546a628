/*
 * Tarvenloft benchmarks - the editor's tools and the overview of the map.
 *
 * Each tool works on the whole map as the editor lets it at its largest:
 * a fill of a whole uniform layer, a rectangle over the whole map, and a
 * block of all four layers of the whole map stamped over a map that differs
 * in every cell, each through the undo history with an empty history
 * before it (putting the map and the history back is not timed). The
 * overview's frame is the picture cleared and the overview of a map full of
 * tiles drawn over it. The map the other benchmarks draw is put back
 * afterwards.
 *
 * SPDX-License-Identifier: MIT
 */
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "bench_world.h"
#include "editor_overview.h"
#include "editor_tools.h"
#include "undo.h"

static int iBenchSaved[giTerrainLayers][giMapSide][giMapSide];  // the other benchmarks' map

static void benchKeepMap()
{
    memcpy(iBenchSaved, map.iTerrain, sizeof(iBenchSaved));
}

static void benchRestoreMap()
{
    memcpy(map.iTerrain, iBenchSaved, sizeof(iBenchSaved));
    undoClear();
}

// Every cell of every layer a random tile, from a fixed seed.
static void benchRandomMap(unsigned int iSeed)
{
    std::mt19937 sRandom(iSeed);
    std::uniform_int_distribution<int> sValue(1, giMaxTerrain);
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                map.iTerrain[l][x][y] = sValue(sRandom);
            }
        }
    }
}

// A whole uniform layer filled from its middle, or a rectangle over the whole map dragged from its
// bottom-right corner, with 1 and 2 in turn.
void benchToolArea(benchmark::State& state, bool bFill)
{
    benchKeepMap();
    memset(map.iTerrain, 0, sizeof(map.iTerrain));
    int iValue = 1;
    for (auto _ : state)
    {
        state.PauseTiming();
        undoClear();
        iValue = iValue == 1 ? 2 : 1;
        state.ResumeTiming();
        const int iCells = bFill ? toolFill(0, 60, 60, iValue)
                                 : toolRectangle(0, giMapSide - 1, giMapSide - 1, 0, 0, iValue);
        if (iCells != giMapSide * giMapSide)
        {
            state.SkipWithError("the tool missed cells");
        }
    }
    benchRestoreMap();
}

void benchToolStamp(benchmark::State& state)
{
    benchKeepMap();
    benchRandomMap(7);
    const stBlock sBlock = toolCapture(0, 0, 0, 119, 119, true);
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                map.iTerrain[l][x][y] = map.iTerrain[l][x][y] % giMaxTerrain + 1;  // all differ
            }
        }
    }
    static int iUnder[giTerrainLayers][giMapSide][giMapSide];
    memcpy(iUnder, map.iTerrain, sizeof(iUnder));
    for (auto _ : state)
    {
        state.PauseTiming();
        memcpy(map.iTerrain, iUnder, sizeof(iUnder));
        undoClear();
        state.ResumeTiming();
        undoBeginStroke();
        toolStamp(sBlock, 0, 0, 0);
        undoEndStroke();
    }
    benchRestoreMap();
}

void benchOverviewFrame(benchmark::State& state, int iDepth)
{
    benchUseDepth(iDepth);
    benchKeepMap();
    benchRandomMap(11);
    for (int l = 1; l < giTerrainLayers; l++)  // some cells show a lower layer's tile
    {
        for (int x = l; x < giMapSide; x += 3)
        {
            map.iTerrain[l][x][x] = 0;
        }
    }
    const stTileColours sColours = ovwTileColours(map.mTiles);
    for (auto _ : state)
    {
        clear_bitmap(mBuffer);
        ovwDraw(sColours, 40, 50);
    }
    benchRestoreMap();
}
