/*
 * Tarvenloft benchmarks - the time of each start-up step.
 *
 * Runs the program's start-up, step by step as main runs it, against the
 * real display (run it under Xvfb, in a copy of runtime/ whose settings name
 * a language), then the editor's set-up and its first presented frame, and
 * prints the milliseconds each step took. It shows where the time from
 * launch to the first frame goes, sound start-up included.
 *
 * SPDX-License-Identifier: MIT
 */
#include <time.h>

#include <cstdio>

#include "editor_map.h"
#include "gui_main.h"
#include "keyboard.h"
#include "lang_parser.h"
#include "setup.h"
#include "text.h"
#include "user_settings.h"

static double startupNow()
{
    timespec sNow;
    clock_gettime(CLOCK_MONOTONIC, &sNow);
    return sNow.tv_sec * 1e3 + sNow.tv_nsec / 1e6;
}

static double dLast = 0.0;

static void startupMark(const char* cStep)
{
    double dNow = startupNow();
    std::printf("%-28s %8.2f ms\n", cStep, dNow - dLast);
    std::fflush(stdout);
    dLast = startupNow();
}

int main()
{
    double dStart = startupNow();
    dLast = dStart;
    parSettingsIni();
    startupMark("settings file");
    setup.Init();
    startupMark("library (install_allegro)");
    setup.Timers();
    startupMark("timers");
    setup.Input();
    startupMark("keyboard and mouse");
    setup.Graphics();
    startupMark("display, buffer, pointer");
    setup.Sound();
    startupMark("sound (install_sound)");
    setup.Network();
    txtSetFont(1, "system/images/fonts/standard.bmp", 8, 8);
    txtSetFont(2, "system/images/fonts/lat16w.bmp", 16, 16);
    startupMark("fonts");
    parStrings(txt, "map_editor");
    startupMark("strings");
    keyReset();
    map.LoadTiles("001");
    startupMark("tileset");
    clear_bitmap(mBuffer);
    map.Display(0, 0, 0, 0, false, 0);
    displayAll();
    startupMark("first editor frame");
    std::printf("%-28s %8.2f ms\n", "total", startupNow() - dStart);
    return 0;
}
END_OF_MAIN()
