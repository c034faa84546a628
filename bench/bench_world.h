/*
 * Tarvenloft benchmarks - the headless world the frames are drawn in.
 *
 * benchUseDepth puts the program's state where the editor's heaviest frames
 * find it: a back buffer and every image loaded at the given colour depth,
 * the English strings, and all four layers of the 20 x 15 view filled with
 * the shipped tiles. The "bare" frames replay the same drawing as a list of
 * library calls with positions worked out once, so a benchmark can compare
 * the program's frame with the library work it cannot avoid.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_BENCH_WORLD_H
#define TARVENLOFT_BENCH_WORLD_H

#include <string>
#include <vector>

#include "header.h"

/* One masked_blit of a glyph or a tile: source corner, destination corner, size. */
struct stBenchBlit
{
    int iSrcX;
    int iSrcY;
    int iDstX;
    int iDstY;
    int iW;
    int iH;
};

const int iBenchMouseX = 330;  // pointer position for every frame: over the fifth menu button
const int iBenchMouseY = 230;
const int iBenchTerrain = 7;  // the editor's selected tile, shown as the preview

/* The editor's state, which only a friend of CMapEditor may reach. */
class CMapEditorProbe
{
  public:
    static void Select(int iTerrain);
    static void FindMouse(int& iXPos, int& iYPos);
    static void OpenMenu();  // creates the menu's buttons and labels, as opening it does
};

/* Sets the colour depth and reloads everything drawn at it; does nothing when already there. */
void benchUseDepth(int iDepth);

/* Closes the menu: every button and text object goes. */
void benchCloseMenu();

/* The blits that CMap::Display makes for the current map, in its order. */
std::vector<stBenchBlit> benchTileBlits();

/* The glyph blits of txtOut, worked out independently of it. */
std::vector<stBenchBlit> benchGlyphBlits(int iFont, int iX, int iY, const std::string& tText,
                                         int iMargin, int iCount);

/* The glyph blits of txtCenter. */
std::vector<stBenchBlit> benchCenterBlits(int iFont, int iX, int iY, const std::string& tText);

/* Draws a list of blits from mSource into mBuffer. */
void benchBlitAll(BITMAP* mSource, const std::vector<stBenchBlit>& vBlits);

/* True when both bitmaps hold the same pixels. */
bool benchSameBitmap(BITMAP* mA, BITMAP* mB);

/* The 2,000-character wrapping text with /n, /p and /w markers. */
std::string benchLongText();

#endif
