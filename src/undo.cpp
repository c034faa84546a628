/*
 * Tarvenloft - undo and redo of painting.
 *
 * The history is a ring of giUndoStrokes strokes, each the list of cells it
 * changed with their values before and after. Of the strokes kept, the first
 * iDone are applied to the map; the rest can be redone.
 *
 * SPDX-License-Identifier: MIT
 */
#include "undo.h"

#include <vector>

// One cell a stroke changed.
struct stUndoCell
{
    int iLayer;
    int iX;
    int iY;
    int iOld;  // what the cell held before the stroke
    int iNew;  // what the stroke left in it
};

static std::vector<stUndoCell> vUndoRing[giUndoStrokes];  // the strokes kept, oldest at iFirst
static std::vector<stUndoCell> vUndoOpen;                 // the stroke being painted
static int iFirst = 0;                                    // ring slot of the oldest stroke
static int iKept = 0;                                     // strokes kept
static int iDone = 0;                                     // of those, strokes applied

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
    vUndoOpen.clear();
    iFirst = iKept = iDone = 0;
}

void undoBeginStroke()
{
    vUndoOpen.clear();
}

// Paints iValue into a cell as part of the open stroke, noting what the cell held when the
// stroke first changed it.
void undoPaint(int iLayer, int iX, int iY, int iValue)
{
    int& iCell = map.iTerrain[iLayer][iX][iY];
    if (iCell == iValue)
    {
        return;
    }
    for (stUndoCell& sCell : vUndoOpen)
    {
        if (sCell.iLayer == iLayer && sCell.iX == iX && sCell.iY == iY)
        {
            sCell.iNew = iValue;
            iCell = iValue;
            return;
        }
    }
    vUndoOpen.push_back({iLayer, iX, iY, iCell, iValue});
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
        map.iTerrain[it->iLayer][it->iX][it->iY] = it->iOld;
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
        map.iTerrain[sCell.iLayer][sCell.iX][sCell.iY] = sCell.iNew;
    }
    iDone++;
    return true;
}

// Strokes that can be undone.
int undoCount()
{
    return iDone;
}
