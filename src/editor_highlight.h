/*
 * Tarvenloft - the working layer highlighted.
 *
 * While the highlight is on, the editor draws the map with the layers
 * other than the working one darkened, as if a translucent black lay over
 * their tiles, so that the working layer stands out. The darkened tiles are
 * a copy of the tileset made once, so that a highlighted frame costs what a
 * plain one does. Only the picture changes.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_HIGHLIGHT_H
#define TARVENLOFT_EDITOR_HIGHLIGHT_H

#include "header.h"

/* A copy of mTiles with every pixel that is not transparent at half its brightness; NULL when
   mTiles is NULL or no memory is left. The caller owns it. */
BITMAP* hiDarkTiles(BITMAP* mTiles);

/* Draws the map's view with top-left cell (iViewX, iViewY) into mBuffer as CMap::Display does,
   the working layer with the map's tiles and the others with mDark. */
void hiDraw(BITMAP* mDark, int iViewX, int iViewY, int iWorkingLayer);

#endif
