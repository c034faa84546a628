/*
 * Tarvenloft screenshot tool.
 *
 * Usage: make_screenshot RUNTIME_DIR OUTPUT.png [LANGUAGE]
 *
 * Draws one frame of the map editor with its menu open, headless, with the
 * program's own code and the shipped resources: a sample map painted into
 * the global map in several layers, the translucent menu panel, the eight
 * menu buttons (the second one hovered) with their labels in the 16 x 16
 * font read from the language file of LANGUAGE (default EN), a heading and
 * a few small lines in the 8 x 8 font, and the mouse pointer. The back
 * buffer is written as a PNG, for the README and for reviewing artwork.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"
#include "buttons.h"
#include "header.h"
#include "image.h"
#include "lang_parser.h"
#include "text.h"

#include <loadpng.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace
{

/* The sample map. Values: digits 1..9, then letters a = 10 .. p = 25; "." is an empty cell. */
const char* cShotGround[15] = {
    "11111111111a19999999", "1nnnn111111119999iii", "1nnnn11a1111199999ii", "1nnnn111111111999999",
    "11111111111111119999", "88888888888888888888", "11118111111mmmm11111", "1a118112211m777m1111",
    "11118112211m777m11aa", "11118111111m777m3oo3", "hh118111111mmmm13331", "44448444444444444444",
    "5555g555555555555555", "6666g666666666666666", "6666g666666666666666",
};
const char* cShotObjects[15] = {
    "..e.....d......p.p..", "d..........e....p...", "......b......p...p..", "..........c.........",
    "jjjjjj.....e..b.....", "....................", ".d.........fffff.e..", "...........f...f....",
    "..c....ll..f...f....", ".......ll..f...f....", "...b.......ff.ff..c.", "kk....kk.k.....kkk..",
    "....................", "....................", "....................",
};
const char* cShotTop[15] = {
    "....................", "....................", "....................", "....................",
    "....................", "....................", "....................", "............a.a.....",
    "....................", ".............a......", "....................", "....................",
    "....................", "....................", "...................d",
};

int shotValue(char c)
{
    if (c >= 'a' && c <= 'p')
    {
        return c - 'a' + 10;
    }
    return (c >= '1' && c <= '9') ? c - '0' : 0;
}

void shotPaintMap()
{
    const char** cLayers[3] = {cShotGround, cShotObjects, cShotTop};
    for (int iLayer = 0; iLayer < 3; iLayer++)
    {
        for (int y = 0; y < giTilesHigh; y++)
        {
            for (int x = 0; x < giTilesWide; x++)
            {
                map.iTerrain[iLayer][x][y] = shotValue(cLayers[iLayer][y][x]);
            }
        }
    }
}

/* The editor menu as it stands over the map: panel, buttons, labels. */
void shotMenu()
{
    const char* cKeys[8] = {"continue",   "prop_ed", "save", "restore",
                            "faction_ed", "prep_ed", "help", "quit"};
    const int iRowY[8] = {380, 60, 100, 140, 180, 220, 260, 300};
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(mBuffer, 164, 48, 475, 431, makecol(0, 0, 0));
    solid_mode();
    for (int i = 0; i < 8; i++)
    {
        butNew(i, 192, iRowY[i], "big_01", "", "", 0);
    }
    mouse_x = 404;  // on the second button, clear of its label
    mouse_y = 112;
    butUpdate();
    butDisplay();
    for (int i = 0; i < 8; i++)
    {
        txtCenter(2, 320, iRowY[i] + 10, txt.Get(cKeys[i]), -1);
    }
}

// Writes a bitmap of the current depth as an RGB PNG, through the artwork tool's writer.
bool shotWritePng(BITMAP* mImage, const std::string& tFile)
{
    stImage img = artImageNew(mImage->w, mImage->h, artMask);
    for (int y = 0; y < mImage->h; y++)
    {
        for (int x = 0; x < mImage->w; x++)
        {
            int iColour = getpixel(mImage, x, y);
            artPut(img, x, y, {getr(iColour), getg(iColour), getb(iColour)});
        }
    }
    return artWritePng(img, tFile);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: make_screenshot RUNTIME_DIR OUTPUT.png [LANGUAGE]\n");
        return 2;
    }
    // The output path is taken before moving into the runtime directory.
    const std::string tOutput = std::filesystem::absolute(argv[2]).string();
    std::error_code err;
    std::filesystem::current_path(argv[1], err);
    if (err || install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
    {
        std::fprintf(stderr, "make_screenshot: cannot start in %s\n", argv[1]);
        return 1;
    }
    set_color_depth(32);
    set_trans_blender(0, 0, 0, 127);
    loadpng_init();
    mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    clear_bitmap(mBuffer);

    txtSetFont(1, "system/images/fonts/standard.bmp", 8, 8);
    txtSetFont(2, "system/images/fonts/lat16w.bmp", 16, 16);
    sys_tLanguage = argc > 3 ? argv[3] : "EN";
    parStrings(txt, "map_editor");

    shotPaintMap();
    map.LoadTiles("001");
    map.Display(0, 0, 0, 0, false, 0);
    shotMenu();
    txtCenter(2, 320, 16, "Tarvenloft " + sys_tVersion + " - map editor", -1);
    txtOut(1, 8, 444, "Tarvenloft", -1, -1);
    txtOut(1, 8, 452, "Ver. " + sys_tVersion, -1, -1);
    txtOut(1, 8, 461, "FPS: 60", -1, -1);

    std::string tWhy;
    BITMAP* mPointer = imgLoad("system/images/mouse/pointer_01.bmp", tWhy);
    if (mPointer != nullptr)
    {
        draw_sprite(mBuffer, mPointer, mouse_x - 32, mouse_y - 32);
    }
    if (!shotWritePng(mBuffer, tOutput))
    {
        std::fprintf(stderr, "make_screenshot: cannot write %s\n", tOutput.c_str());
        return 1;
    }
    return 0;
}
