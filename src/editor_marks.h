/*
 * Tarvenloft - what the editor's tools draw over the map while they work.
 *
 * The cells that a rectangle or a capture will take are outlined, with
 * their size ("w x h") beside the pointer, and a captured block shows
 * translucent where the stamp would place it. Positions are map cells; the
 * view's top-left cell says where they stand on the picture, and what lies
 * outside the picture is clipped.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_MARKS_H
#define TARVENLOFT_EDITOR_MARKS_H

#include "editor_tools.h"

/* Outlines the cells from corner (iX0, iY0) to corner (iX1, iY1) in iColour, and shows their
   size beside the pointer. */
void markSpan(int iViewX, int iViewY, int iX0, int iY0, int iX1, int iY1, int iColour);

/* "w x h": the size of the cells between two corners. */
std::string markSize(int iX0, int iY0, int iX1, int iY1);

/* Draws sBlock translucent with its top-left cell at map cell (iX, iY), without the parts beyond
   the map's edges and without its empty cells. */
void markBlock(const stBlock& sBlock, int iViewX, int iViewY, int iX, int iY);

#endif
