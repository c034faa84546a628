/*
 * Tarvenloft benchmarks - start-up loads and the string table.
 *
 * The loads are the ones start-up and the editor make: both fonts, the
 * editor's tileset and one button's three images. The string table is timed
 * at its worst: a miss on a full table, which compares all 500 keys, and the
 * reading of a language file of 500 entries.
 *
 * SPDX-License-Identifier: MIT
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_world.h"
#include "buttons.h"
#include "lang_parser.h"
#include "text.h"

static const int iBenchButtonSlot = 99;  // a slot no screen of the benchmarks uses

void benchLoadFont(benchmark::State& state, int iSize)
{
    benchUseDepth(32);
    const char* cFile =
        iSize == 8 ? "system/images/fonts/standard.bmp" : "system/images/fonts/lat16w.bmp";
    const int iSlot = iSize == 8 ? 1 : 2;
    for (auto _ : state)
    {
        txtSetFont(iSlot, cFile, iSize, iSize);
    }
}

void benchLoadTiles(benchmark::State& state)
{
    benchUseDepth(32);
    for (auto _ : state)
    {
        map.LoadTiles("001");
    }
}

void benchLoadButton(benchmark::State& state)
{
    benchUseDepth(32);
    for (auto _ : state)
    {
        butNew(iBenchButtonSlot, 192, 60, "big_01", "", "", 0);
        butKill(iBenchButtonSlot);
    }
}

static CText txtBench;

void benchStringMiss(benchmark::State& state)
{
    txtBench.Clear();
    char cKey[32];
    for (int i = 0; i < giTotalStrings; i++)
    {
        std::snprintf(cKey, sizeof(cKey), "entry_%03d", i);
        txtBench.Put(cKey, "Some text of ordinary length");
    }
    bool bOldDebug = sys_bDebugMode;
    sys_bDebugMode = false;
    for (auto _ : state)
    {
        std::string tGot = txtBench.Get("not_there");
        benchmark::DoNotOptimize(tGot);
    }
    sys_bDebugMode = bOldDebug;
}

// Writes a 500-entry language file under a fresh directory laid out like system/, whose path
// (ending in "/") is returned for sys_tPath.
static std::string benchWriteLanguageFile()
{
    char cDir[] = "/tmp/tarvenloft-bench-XXXXXX";
    if (mkdtemp(cDir) == NULL)
    {
        std::perror("bench: mkdtemp");
        std::exit(2);
    }
    std::string tRoot = std::string(cDir) + "/";
    std::string tLangDir = tRoot + "text/EN";
    std::string tMake = "mkdir -p '" + tLangDir + "'";
    if (std::system(tMake.c_str()) != 0)
    {
        std::exit(2);
    }
    FILE* pFile = std::fopen((tLangDir + "/bench.txt").c_str(), "wb");
    if (pFile == NULL)
    {
        std::exit(2);
    }
    std::fprintf(pFile, "# 500 entries for the benchmark\n");
    for (int i = 0; i < giTotalStrings; i++)
    {
        std::fprintf(pFile,
                     "[entry_%03d] Text of entry %d, a line of the length a label or a\n"
                     "short help line has^\n",
                     i, i);
    }
    std::fclose(pFile);
    return tRoot;
}

void benchParseStrings(benchmark::State& state)
{
    const std::string tRoot = benchWriteLanguageFile();
    const std::string tOldPath = sys_tPath;
    const std::string tOldLanguage = sys_tLanguage;
    sys_tPath = tRoot;
    sys_tLanguage = "EN";
    for (auto _ : state)
    {
        parStrings(txtBench, "bench");
    }
    if (txtBench.Get("entry_499").empty())
    {
        std::fprintf(stderr, "bench: the generated language file did not load\n");
        std::exit(2);
    }
    sys_tPath = tOldPath;
    sys_tLanguage = tOldLanguage;
    std::string tRemove = "rm -rf '" + tRoot + "'";
    if (std::system(tRemove.c_str()) != 0)
    {
        std::fprintf(stderr, "bench: could not remove %s\n", tRoot.c_str());
    }
}
