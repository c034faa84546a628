/*
 * Tarvenloft benchmarks - the map file.
 *
 * A full map (all four layers, every cell a random terrain value) is read
 * from and written to a file in a scratch directory under /tmp, once with
 * CSV layers and once with base64 layers compressed with zlib. Reading
 * checks the whole file. Each write changes one cell first, so that every
 * save has something new to write, and includes what a save costs: the
 * file read back and checked, written to a temporary file, flushed to the
 * disk and renamed over the old one. The map the other benchmarks draw is
 * put back afterwards.
 *
 * SPDX-License-Identifier: MIT
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "header.h"
#include "map_file.h"
#include "map_layer.h"

static int iBenchKeptMap[giTerrainLayers][120][120];  // the other benchmarks' map

static void benchFail(const std::string& tWhat)
{
    std::fprintf(stderr, "bench: %s\n", tWhat.c_str());
    std::exit(2);
}

static std::string benchReadText(const std::string& tFile)
{
    std::ifstream sIn(tFile, std::ios::binary);
    std::ostringstream sText;
    sText << sIn.rdbuf();
    return sText.str();
}

// Every layer's CSV data in tText becomes base64 with zlib.
static std::string benchToZlib(std::string tText)
{
    size_t iAt = 0;
    for (int l = 0; l < giTerrainLayers; l++)
    {
        uint32_t iGids[giLayerCells];
        for (int i = 0; i < giLayerCells; i++)
        {
            iGids[i] = layerGidOf(map.iTerrain[l][i % giMapSide][i / giMapSide], 1);
        }
        const std::string tOpen = "<data encoding=\"csv\">";
        iAt = tText.find(tOpen, iAt);
        const size_t iClose = tText.find("</data>", iAt);
        const std::string tData = "<data encoding=\"base64\" compression=\"zlib\">\n   " +
                                  layerEncodeBase64(iGids, "zlib") + "\n  ";
        tText.replace(iAt, iClose - iAt, tData);
        iAt += tData.size();
    }
    return tText;
}

// A full random map in a new file in a scratch directory, its layers in CSV or, with bZlib, in
// base64 with zlib; the map is left holding the same cells. Returns the file's path.
static std::string benchMapFile(bool bZlib)
{
    char cDir[] = "/tmp/tarvenloft-bench-map-XXXXXX";
    if (mkdtemp(cDir) == NULL)
    {
        benchFail("cannot make a scratch directory");
    }
    std::mt19937 sRandom(1208);
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < 120; x++)
        {
            for (int y = 0; y < 120; y++)
            {
                map.iTerrain[l][x][y] = static_cast<int>(sRandom() % 26);
            }
        }
    }
    const std::string tFile = std::string(cDir) + "/bench.tmx";
    std::string tWhy;
    mapfForget();
    if (!mapfWrite(tFile, tWhy))
    {
        benchFail(tWhy);
    }
    if (bZlib)
    {
        const std::string tZlib = benchToZlib(benchReadText(tFile));
        std::ofstream(tFile, std::ios::binary) << tZlib;
    }
    return tFile;
}

static void benchEndMapFile(const std::string& tFile)
{
    mapfForget();
    std::memcpy(map.iTerrain, iBenchKeptMap, sizeof(iBenchKeptMap));
    const std::string tRemove = "rm -rf '" + tFile.substr(0, tFile.rfind('/')) + "'";
    if (std::system(tRemove.c_str()) != 0)
    {
        benchFail("could not remove " + tFile);
    }
}

void benchMapRead(benchmark::State& state, bool bZlib)
{
    std::memcpy(iBenchKeptMap, map.iTerrain, sizeof(iBenchKeptMap));
    const std::string tFile = benchMapFile(bZlib);
    std::string tWhy;
    for (auto _ : state)
    {
        if (!mapfRead(tFile, tWhy))
        {
            benchFail(tWhy);
        }
    }
    benchEndMapFile(tFile);
}

void benchMapWrite(benchmark::State& state, bool bZlib)
{
    std::memcpy(iBenchKeptMap, map.iTerrain, sizeof(iBenchKeptMap));
    const std::string tFile = benchMapFile(bZlib);
    std::string tWhy;
    if (!mapfRead(tFile, tWhy))
    {
        benchFail(tWhy);
    }
    int iChange = 0;
    for (auto _ : state)
    {
        map.iTerrain[0][60][60] = ++iChange % 26;
        if (!mapfWrite(tFile, tWhy))
        {
            benchFail(tWhy);
        }
    }
    const bool bKept = benchReadText(tFile).find("compression=\"zlib\"") != std::string::npos;
    if (bKept != bZlib)
    {
        benchFail("the saved file lost its layers' encoding");
    }
    benchEndMapFile(tFile);
}
