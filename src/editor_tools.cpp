/*
 * Tarvenloft - the editor's tools that change many cells at once.
 *
 * The fill walks the region with a list of cells still to look at instead
 * of recursion, so that a region of a whole layer cannot exhaust the stack:
 * a cell is painted as it joins the list, and since it then no longer holds
 * the region's value it never joins twice.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_tools.h"

#include "undo.h"

void toolSpan(int iA, int iB, int& iLow, int& iHigh)
{
    iLow = iA < iB ? iA : iB;
    iHigh = iA < iB ? iB : iA;
}

static bool toolOnMap(int iX, int iY)
{
    return iX >= 0 && iX < giMapSide && iY >= 0 && iY < giMapSide;
}

int toolFill(int iLayer, int iX, int iY, int iValue)
{
    const int iRegion = map.iTerrain[iLayer][iX][iY];
    if (iRegion == iValue)
    {
        return 0;
    }
    static const int iStepX[4] = {1, -1, 0, 0};
    static const int iStepY[4] = {0, 0, 1, -1};
    std::vector<int> vToVisit;  // cells painted whose neighbours are still to look at, x * side + y
    vToVisit.reserve(giMapSide * giMapSide);
    undoBeginStroke();
    undoPaint(iLayer, iX, iY, iValue);
    vToVisit.push_back(iX * giMapSide + iY);
    int iCells = 1;
    while (!vToVisit.empty())
    {
        const int iCell = vToVisit.back();
        vToVisit.pop_back();
        for (int i = 0; i < 4; i++)
        {
            const int iNextX = iCell / giMapSide + iStepX[i];
            const int iNextY = iCell % giMapSide + iStepY[i];
            if (toolOnMap(iNextX, iNextY) && map.iTerrain[iLayer][iNextX][iNextY] == iRegion)
            {
                undoPaint(iLayer, iNextX, iNextY, iValue);
                vToVisit.push_back(iNextX * giMapSide + iNextY);
                iCells++;
            }
        }
    }
    undoEndStroke();
    return iCells;
}

int toolRectangle(int iLayer, int iX0, int iY0, int iX1, int iY1, int iValue)
{
    int iLeft, iRight, iTop, iBottom;
    toolSpan(iX0, iX1, iLeft, iRight);
    toolSpan(iY0, iY1, iTop, iBottom);
    int iCells = 0;
    undoBeginStroke();
    for (int x = iLeft; x <= iRight; x++)
    {
        for (int y = iTop; y <= iBottom; y++)
        {
            if (map.iTerrain[iLayer][x][y] != iValue)
            {
                undoPaint(iLayer, x, y, iValue);
                iCells++;
            }
        }
    }
    undoEndStroke();
    return iCells;
}

stBlock toolCapture(int iLayer, int iX0, int iY0, int iX1, int iY1, bool bAllLayers)
{
    int iLeft, iRight, iTop, iBottom;
    toolSpan(iX0, iX1, iLeft, iRight);
    toolSpan(iY0, iY1, iTop, iBottom);
    stBlock sBlock;
    sBlock.iWidth = iRight - iLeft + 1;
    sBlock.iHeight = iBottom - iTop + 1;
    sBlock.iLayers = bAllLayers ? giTerrainLayers : 1;
    sBlock.vCells.reserve(sBlock.iLayers * sBlock.iWidth * sBlock.iHeight);
    for (int l = 0; l < sBlock.iLayers; l++)
    {
        for (int x = iLeft; x <= iRight; x++)
        {
            for (int y = iTop; y <= iBottom; y++)
            {
                sBlock.vCells.push_back(map.iTerrain[bAllLayers ? l : iLayer][x][y]);
            }
        }
    }
    return sBlock;
}

int toolBlockCell(const stBlock& sBlock, int iLayer, int iX, int iY)
{
    return sBlock.vCells[(iLayer * sBlock.iWidth + iX) * sBlock.iHeight + iY];
}

int toolStamp(const stBlock& sBlock, int iLayer, int iX, int iY)
{
    int iCells = 0;
    for (int l = 0; l < sBlock.iLayers; l++)
    {
        const int iMapLayer = sBlock.iLayers == 1 ? iLayer : l;
        for (int x = 0; x < sBlock.iWidth && iX + x < giMapSide; x++)
        {
            for (int y = 0; y < sBlock.iHeight && iY + y < giMapSide; y++)
            {
                const int iValue = toolBlockCell(sBlock, l, x, y);
                if (iValue != 0 && toolOnMap(iX + x, iY + y) &&
                    map.iTerrain[iMapLayer][iX + x][iY + y] != iValue)
                {
                    undoPaint(iMapLayer, iX + x, iY + y, iValue);
                    iCells++;
                }
            }
        }
    }
    return iCells;
}
