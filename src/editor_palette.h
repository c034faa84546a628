/*
 * Tarvenloft - the tile palette.
 *
 * The palette shows every terrain value at once, in two rows of thirteen
 * slots over the middle of the picture: 0, the empty cell, marked as
 * nothing, then tiles 1 to 25, each whole at 1:1 with its number under it.
 * One slot is framed: the value the editor has selected, or the one the
 * arrow keys have moved to.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_PALETTE_H
#define TARVENLOFT_EDITOR_PALETTE_H

#include "header.h"

/* Draws the palette into mBuffer, with the map's tiles and value iFramed framed. */
void palDraw(int iFramed);

/* The value of the slot under the picture's pixel (iPx, iPy), or -1 when there is none. */
int palSlotAt(int iPx, int iPy);

/* The value one slot from iValue in the direction (iDX, iDY) of an arrow key: Left and Right step
   by one, from the end of a row to the start of the next, Up and Down by a row; iValue itself
   where that leaves 0..25. */
int palStep(int iValue, int iDX, int iDY);

#endif
