/*
 * Tarvenloft - undo and redo of painting.
 *
 * The history is a ring of giUndoStrokes strokes, each the list of cells it
 * changed with their values before and after. Of the strokes kept, the first
 * iDone are applied to the map; the rest can be redone. While a stroke is
 * open, every cell of the map knows where it stands in it, so that a fill
 * of a whole layer is noted in time linear in its cells.
 *
 * SPDX-License-Identifier: MIT
 */
#include "undo.h"

#include <vector>

// One cell a stroke changed.
struct stUndoCell
{
    int iCell;  // the cell's place in the map's grid, as undoCellIndex gives it
    int iOld;   // what the cell held before the stroke
    int iNew;   // what the stroke left in it
};

static std::vector<stUndoCell> vUndoRing[giUndoStrokes];  // the strokes kept, oldest at iFirst
static std::vector<stUndoCell> vUndoOpen;                 // the stroke being painted
static int iFirst = 0;                                    // ring slot of the oldest stroke
static int iKept = 0;                                     // strokes kept
static int iDone = 0;                                     // of those, strokes applied

// For each cell of the map, 1 + its place in vUndoOpen, or 0 while the open stroke has not
// changed it.
static int iOpenPlace[giTerrainLayers * giMapSide * giMapSide];

// A cell's place in the grid as it lies in memory: layer by layer, column by column.
static int undoCellIndex(int iLayer, int iX, int iY)
{
    return (iLayer * giMapSide + iX) * giMapSide + iY;
}

static int& undoCell(int iCell)
{
    return (&map.iTerrain[0][0][0])[iCell];
}

// Forgets where the cells of the open stroke stand in it, as it is closed.
static void undoUnmarkOpen()
{
    for (const stUndoCell& sCell : vUndoOpen)
    {
        iOpenPlace[sCell.iCell] = 0;
    }
}

static void undoForgetOpen()
{
    undoUnmarkOpen();
    vUndoOpen.clear();
}

static std::vector<stUndoCell>& undoSlot(int iStroke)
{
    return vUndoRing[(iFirst + iStroke) % giUndoStrokes];
}

// Forgets every stroke, as after loading a map.
void undoClear()
{
    for (std::vector<stUndoCell>& vStroke : vUndoRing)
    {
        vStroke.clear();
    }
    undoForgetOpen();
    iFirst = iKept = iDone = 0;
}

void undoBeginStroke()
{
    undoForgetOpen();
}

// Paints iValue into a cell as part of the open stroke, noting what the cell held when the
// stroke first changed it.
void undoPaint(int iLayer, int iX, int iY, int iValue)
{
    const int iIndex = undoCellIndex(iLayer, iX, iY);
    int& iCell = undoCell(iIndex);
    if (iCell == iValue)
    {
        return;
    }
    int& iPlace = iOpenPlace[iIndex];
    if (iPlace != 0)
    {
        vUndoOpen[iPlace - 1].iNew = iValue;
    }
    else
    {
        vUndoOpen.push_back({iIndex, iCell, iValue});
        iPlace = static_cast<int>(vUndoOpen.size());
    }
    iCell = iValue;
}

// Keeps the open stroke, if it changed anything, as the newest; what could have been redone is
// dropped, and the oldest stroke too when the ring is full.
void undoEndStroke()
{
    if (vUndoOpen.empty())
    {
        return;
    }
    iKept = iDone;
    if (iKept == giUndoStrokes)
    {
        iFirst = (iFirst + 1) % giUndoStrokes;
        iKept--;
    }
    undoUnmarkOpen();
    undoSlot(iKept).swap(vUndoOpen);
    vUndoOpen.clear();
    iKept++;
    iDone = iKept;
}

// Puts back the cells of the newest applied stroke; false when there is none.
bool undoUndo()
{
    undoEndStroke();
    if (iDone == 0)
    {
        return false;
    }
    iDone--;
    const std::vector<stUndoCell>& vStroke = undoSlot(iDone);
    for (auto it = vStroke.rbegin(); it != vStroke.rend(); ++it)
    {
        undoCell(it->iCell) = it->iOld;
    }
    return true;
}

// Paints again the oldest stroke that was undone; false when there is none.
bool undoRedo()
{
    undoEndStroke();
    if (iDone == iKept)
    {
        return false;
    }
    for (const stUndoCell& sCell : undoSlot(iDone))
    {
        undoCell(sCell.iCell) = sCell.iNew;
    }
    iDone++;
    return true;
}

// Strokes that can be undone.
int undoCount()
{
    return iDone;
}
