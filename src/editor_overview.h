/*
 * Tarvenloft - the overview of the whole map.
 *
 * The overview draws every cell of the 120 x 120 map as a square of 4 x 4
 * pixels, 480 x 480 in all, standing at (80, 0) of the picture, in the
 * colour of the tile of its topmost layer that is not empty; empty cells are
 * black. The editor's 20 x 15 view is outlined on it, and a click on a cell
 * gives the view that has that cell near its middle.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_OVERVIEW_H
#define TARVENLOFT_EDITOR_OVERVIEW_H

#include "header.h"

const int giOverviewCell = 4;                           // pixels of one cell, across and down
const int giOverviewLeft = 80;                          // where the overview stands in the picture
const int giOverviewTop = 0;                            //
const int giOverviewSide = giMapSide * giOverviewCell;  // 480

/* The colour each terrain value stands for in the overview, as red, green and blue. */
struct stTileColours
{
    int iRed[giMaxTerrain + 1];
    int iGreen[giMaxTerrain + 1];
    int iBlue[giMaxTerrain + 1];
};

/* The mean colour of the pixels that are not transparent in the lower 32 x 32 of each tile of
   mTiles (the part that covers the tile's own cell); black for value 0, for a tile without such
   pixels and for one beyond the image. */
stTileColours ovwTileColours(BITMAP* mTiles);

/* Draws the overview of the global map into mBuffer, with the view whose top-left cell is
   (iViewX, iViewY) outlined. */
void ovwDraw(const stTileColours& sColours, int iViewX, int iViewY);

/* The map cell under the picture's pixel (iPx, iPy); false when the pixel is not on the
   overview. */
bool ovwCellAt(int iPx, int iPy, int& iCellX, int& iCellY);

/* The view's top-left cell that puts cell (iCellX, iCellY) near the view's middle, kept so that
   the view stays on the map. */
void ovwViewFor(int iCellX, int iCellY, int& iViewX, int& iViewY);

#endif
