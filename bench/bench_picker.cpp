/*
 * Tarvenloft benchmarks - the file picker.
 *
 * A folder of 2,000 entries (200 sub-folders, 1,700 map files and 100
 * other files, names of mixed case, a tenth of them not ASCII) is made once
 * under /tmp. It is listed as the picker lists it when it opens or enters a
 * folder: the folder read, the entries filtered, their names turned into
 * the fonts' characters and folded, and sorted. And the picker's frame is
 * drawn while it scrolls through that list a row a frame, with its two
 * buttons and their labels, up to the presenting, at 32-bit colour.
 *
 * SPDX-License-Identifier: MIT
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "bench_world.h"
#include "buttons.h"
#include "gui_main.h"
#include "keyboard.h"
#include "pick_draw.h"
#include "text.h"

namespace fs = std::filesystem;

static const int iBenchFolders = 200;
static const int iBenchMaps = 1700;
static const int iBenchOthers = 100;

/* The folder of 2,000 entries, made on first use and removed at exit. */
class CBenchFolder
{
  public:
    ~CBenchFolder()
    {
        std::error_code err;
        if (!tPath.empty())
        {
            fs::remove_all(tPath, err);
        }
    }
    const std::string& Path()
    {
        if (tPath.empty())
        {
            Make();
        }
        return tPath;
    }

  private:
    std::string tPath;
    void Make()
    {
        char cDir[] = "/tmp/tarvenloft-bench-picker-XXXXXX";
        tPath = mkdtemp(cDir);
        char cName[64];
        for (int i = 0; i < iBenchFolders; i++)
        {
            std::snprintf(cName, sizeof(cName), i % 2 ? "Folder %04d" : "folder_%04d", i);
            fs::create_directory(fs::path(tPath) / cName);
        }
        for (int i = 0; i < iBenchMaps + iBenchOthers; i++)
        {
            const char* cForm = i >= iBenchMaps ? "tile_%04d.png"
                                : i % 10 == 0   ? "kart\xC3\xA5_%04d.tmx"
                                : i % 2         ? "Map %04d.TMX"
                                                : "map_%04d.tmx";
            std::snprintf(cName, sizeof(cName), cForm, i);
            std::ofstream(fs::path(tPath) / cName) << "x";
        }
    }
};

static CBenchFolder benchFolder;

void benchPickList(benchmark::State& state)
{
    const std::string tPath = benchFolder.Path();
    for (auto _ : state)
    {
        stPickFolder folder;
        std::string tWhy;
        if (!pickList(tPath, {}, folder, tWhy) ||
            folder.vEntries.size() != 1 + iBenchFolders + iBenchMaps)
        {
            state.SkipWithError("the folder did not list as made");
            break;
        }
        benchmark::DoNotOptimize(folder);
    }
}

void benchPickFrame(benchmark::State& state)
{
    benchUseDepth(32);
    stPicker p;
    std::string tWhy;
    pickList(benchFolder.Path(), {}, p.folder, tWhy);
    BITMAP* mBack = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    clear_bitmap(mBuffer);
    map.Display(0, 0, 0, 0, false, 0);
    blit(mBuffer, mBack, 0, 0, 0, 0, sys_iScreenWidth, sys_iScreenHeight);
    pickShadeBackground(mBack);
    butNew(giSlotOk, giButtonOkX, giButtonTop, "small_01", "", "", 0);
    butNew(giSlotCancel, giButtonCancelX, giButtonTop, "small_01", "", "", 0);
    txtNew(giSlotOk, giButtonOkX + giButtonWidth / 2, giButtonTop + 8, txt.Get("pick_open"), 2, -1,
           1, 0);
    txtNew(giSlotCancel, giButtonCancelX + giButtonWidth / 2, giButtonTop + 8,
           txt.Get("pick_cancel"), 2, -1, 1, 0);
    const int iLast = (int)p.folder.vEntries.size() - giListRows;
    for (auto _ : state)
    {
        p.iTop = (p.iTop + 1) % iLast;
        p.iSelected = p.iTop + 5;
        p.iFrame++;
        pickDraw(p, mBack);
        keyUpdate();
        butUpdate();
        butDisplay();
        txtDisplay();
        guiDebug_();
    }
    benchCloseMenu();
    destroy_bitmap(mBack);
}
