/*
 * Tarvenloft - the editor's tools that change many cells at once.
 *
 * The bucket fill, the rectangle, the capture of a block of cells and its
 * stamp work on the global map through the undo history, so that every
 * change they make can be taken back. A fill and a rectangle are each one
 * stroke of their own; a stamp paints into the stroke that the editor has
 * open, so that a drag which places a block at many cells is one stroke.
 * Each returns the number of cells it changed: 0 means the map is as it was.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_TOOLS_H
#define TARVENLOFT_EDITOR_TOOLS_H

#include <vector>

#include "header.h"

/* The editor's tools, as CMapEditor::iTool holds them. */
const int giToolBrush = 0;
const int giToolFill = 1;
const int giToolRectangle = 2;
const int giToolStamp = 3;

/* A block of cells taken from the map: of one layer, or of all four. */
struct stBlock
{
    int iWidth;               // columns; 0 while nothing is captured
    int iHeight;              // rows
    int iLayers;              // 1, or giTerrainLayers for a block of every layer
    std::vector<int> vCells;  // values, layer by layer, column by column, row by row
};

/* The lowest and highest of iA and iB: the span of a drag, whichever way it went. */
void toolSpan(int iA, int iB, int& iLow, int& iHigh);

/* Fills, in layer iLayer, the cells connected to (iX, iY) through their edges that hold its
   value, with iValue. One stroke. */
int toolFill(int iLayer, int iX, int iY, int iValue);

/* Fills the rectangle of layer iLayer with corners (iX0, iY0) and (iX1, iY1), both included, with
   iValue. One stroke. */
int toolRectangle(int iLayer, int iX0, int iY0, int iX1, int iY1, int iValue);

/* The block between the corners (iX0, iY0) and (iX1, iY1): of layer iLayer, or with bAllLayers
   of every layer. */
stBlock toolCapture(int iLayer, int iX0, int iY0, int iX1, int iY1, bool bAllLayers);

/* The value of the block's cell (iX, iY) in its layer iLayer. */
int toolBlockCell(const stBlock& sBlock, int iLayer, int iX, int iY);

/* Places the block with its top-left cell at (iX, iY), into the open stroke: a block of one layer
   into layer iLayer, one of every layer each into its own. Cells that hold 0 in the block and
   the parts beyond the map's edges leave the map as it is. */
int toolStamp(const stBlock& sBlock, int iLayer, int iX, int iY);

#endif
