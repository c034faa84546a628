/*
 * Tarvenloft unit tests - the editor's tools, the overview and the palette.
 *
 * The tools work on the global map through the undo history, as the editor
 * uses them; each test starts from an empty map and an empty history and
 * reads the map back afterwards.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstring>

#include "editor_overview.h"
#include "editor_palette.h"
#include "editor_tools.h"
#include "header.h"
#include "undo.h"

class ToolsTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        undoClear();
    }
    void TearDown() override
    {
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        undoClear();
    }
    // Cells of layer iLayer that hold iValue.
    static int Count(int iLayer, int iValue)
    {
        int iCount = 0;
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                iCount += map.iTerrain[iLayer][x][y] == iValue ? 1 : 0;
            }
        }
        return iCount;
    }
};

TEST_F(ToolsTest, FillTakesTheRegionConnectedThroughEdges)
{
    EXPECT_EQ(toolFill(1, 60, 60, 5), giMapSide * giMapSide);  // a whole uniform layer
    EXPECT_EQ(Count(1, 5), giMapSide * giMapSide);
    EXPECT_EQ(Count(0, 0), giMapSide * giMapSide);  // the other layers stay as they were

    // A ring of 3 around (10, 10)..(20, 20), with a hole of 9 x 9 empty cells inside it, and two
    // cells of 9 that touch only at their corners.
    EXPECT_EQ(toolRectangle(0, 10, 10, 20, 20, 3), 121);
    EXPECT_EQ(toolRectangle(0, 11, 11, 19, 19, 0), 81);
    map.iTerrain[0][30][30] = 9;
    map.iTerrain[0][31][31] = 9;
    EXPECT_EQ(toolFill(0, 15, 15, 7), 81);  // the hole
    EXPECT_EQ(map.iTerrain[0][11][19], 7);
    EXPECT_EQ(map.iTerrain[0][21][15], 0);  // outside the ring
    EXPECT_EQ(toolFill(0, 20, 13, 4), 40);  // the ring
    EXPECT_EQ(toolFill(0, 30, 30, 8), 1);   // corners do not connect
    EXPECT_EQ(map.iTerrain[0][31][31], 9);
    EXPECT_EQ(toolFill(0, 0, 0, 2), giMapSide * giMapSide - 121 - 2);      // around everything
    EXPECT_EQ(toolFill(0, 119, 119, 0), giMapSide * giMapSide - 121 - 2);  // 0 empties it again
    EXPECT_EQ(Count(0, 0), giMapSide * giMapSide - 121 - 2);
}

TEST_F(ToolsTest, AFillWithTheRegionsOwnValueChangesNothingAndAddsNoStroke)
{
    map.iTerrain[2][5][5] = 6;
    EXPECT_EQ(toolFill(2, 5, 5, 6), 0);
    EXPECT_EQ(toolFill(2, 0, 0, 0), 0);
    EXPECT_EQ(toolRectangle(2, 5, 5, 5, 5, 6), 0);
    EXPECT_EQ(undoCount(), 0);
    EXPECT_EQ(map.iTerrain[2][5][5], 6);
    EXPECT_EQ(Count(2, 0), giMapSide * giMapSide - 1);
}

TEST_F(ToolsTest, ARectangleIsTheSameWhicheverWayItIsDragged)
{
    const int iCorners[4][4] = {{3, 4, 8, 6}, {8, 6, 3, 4}, {8, 4, 3, 6}, {3, 6, 8, 4}};
    for (const auto& c : iCorners)
    {
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        map.iTerrain[3][5][5] = 2;  // already holds the value: not counted as changed
        EXPECT_EQ(toolRectangle(3, c[0], c[1], c[2], c[3], 2), 6 * 3 - 1);
        EXPECT_EQ(Count(3, 2), 18);
        EXPECT_EQ(map.iTerrain[3][3][4], 2);
        EXPECT_EQ(map.iTerrain[3][8][6], 2);
        EXPECT_EQ(map.iTerrain[3][2][4], 0);
        EXPECT_EQ(map.iTerrain[3][9][6], 0);
        EXPECT_EQ(map.iTerrain[3][3][3], 0);
        EXPECT_EQ(map.iTerrain[3][8][7], 0);
    }
    EXPECT_EQ(toolRectangle(0, 119, 119, 0, 0, 1), giMapSide * giMapSide);  // the whole map
}

TEST_F(ToolsTest, AStampIsCutAtTheMapsEdgesAndLeavesCellsUnderItsEmptyOnes)
{
    // A 3 x 2 block of layer 1: 1 4 0 / 2 5 6, with its empty cell at (2, 0).
    const int iValues[3][2] = {{1, 2}, {4, 5}, {0, 6}};
    for (int x = 0; x < 3; x++)
    {
        for (int y = 0; y < 2; y++)
        {
            map.iTerrain[1][40 + x][50 + y] = iValues[x][y];
        }
    }
    const stBlock sBlock = toolCapture(1, 42, 51, 40, 50, false);  // dragged up and to the left
    ASSERT_EQ(sBlock.iWidth, 3);
    ASSERT_EQ(sBlock.iHeight, 2);
    ASSERT_EQ(sBlock.iLayers, 1);
    map.iTerrain[0][119][119] = 9;
    map.iTerrain[0][119][100] = 9;
    undoBeginStroke();
    EXPECT_EQ(toolStamp(sBlock, 0, 118, 118), 4);  // only its left 2 x 2 lies on the map
    EXPECT_EQ(toolStamp(sBlock, 0, 117, 100), 5);  // its empty cell leaves the 9
    undoEndStroke();
    EXPECT_EQ(map.iTerrain[0][118][118], 1);
    EXPECT_EQ(map.iTerrain[0][119][118], 4);
    EXPECT_EQ(map.iTerrain[0][118][119], 2);
    EXPECT_EQ(map.iTerrain[0][119][119], 5);
    EXPECT_EQ(map.iTerrain[0][119][100], 9);
    EXPECT_EQ(map.iTerrain[0][119][101], 6);
    EXPECT_EQ(Count(0, 0), giMapSide * giMapSide - 10);
    EXPECT_EQ(Count(1, 0), giMapSide * giMapSide - 5);  // the block's own layer is as it was
}

TEST_F(ToolsTest, AFourLayerStampWritesEachLayerIntoItsOwn)
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        map.iTerrain[l][10][10] = 1 + l;
        map.iTerrain[l][11][11] = 10 + l;
    }
    map.iTerrain[2][11][11] = 0;
    const stBlock sAll = toolCapture(1, 10, 10, 11, 11, true);
    const stBlock sOne = toolCapture(2, 10, 10, 11, 11, false);
    ASSERT_EQ(sAll.iLayers, giTerrainLayers);
    map.iTerrain[2][61][61] = 7;
    undoBeginStroke();
    EXPECT_EQ(toolStamp(sAll, 1, 60, 60), 7);  // 8 cells, but layer 2's (1, 1) is empty
    EXPECT_EQ(toolStamp(sOne, 3, 80, 80), 1);  // a block of layer 2, into the working layer
    undoEndStroke();
    for (int l = 0; l < giTerrainLayers; l++)
    {
        EXPECT_EQ(map.iTerrain[l][60][60], 1 + l) << l;
        EXPECT_EQ(map.iTerrain[l][61][61], l == 2 ? 7 : 10 + l) << l;
        EXPECT_EQ(map.iTerrain[l][61][60], 0) << l;
    }
    EXPECT_EQ(map.iTerrain[3][80][80], 3);
    EXPECT_EQ(map.iTerrain[2][80][80], 0);
}

TEST_F(ToolsTest, EachActionIsOneStrokeThatOneUndoTakesBack)
{
    map.iTerrain[0][0][0] = 4;
    toolFill(0, 5, 5, 1);
    toolRectangle(0, 2, 2, 30, 9, 2);
    const stBlock sBlock = toolCapture(0, 0, 0, 2, 2, false);
    undoBeginStroke();  // a stamp dragged over three cells, as one press of the button does
    for (int x = 50; x < 53; x++)
    {
        toolStamp(sBlock, 0, x, 50);
    }
    undoEndStroke();
    EXPECT_EQ(undoCount(), 3);
    EXPECT_EQ(map.iTerrain[0][54][52], 2);
    EXPECT_EQ(map.iTerrain[0][50][50], 4);
    ASSERT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][54][52], 1);
    EXPECT_EQ(map.iTerrain[0][50][50], 1);
    EXPECT_EQ(map.iTerrain[0][30][9], 2);
    ASSERT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][30][9], 1);
    ASSERT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][5][5], 0);
    EXPECT_EQ(map.iTerrain[0][0][0], 4);
    EXPECT_EQ(Count(0, 0), giMapSide * giMapSide - 1);
    EXPECT_FALSE(undoUndo());
}

TEST(Overview, ThePixelsCellAndTheViewItGivesAtTheEdges)
{
    int iX = -1, iY = -1;
    ASSERT_TRUE(ovwCellAt(80, 0, iX, iY));
    EXPECT_EQ(iX, 0);
    EXPECT_EQ(iY, 0);
    ASSERT_TRUE(ovwCellAt(87, 11, iX, iY));
    EXPECT_EQ(iX, 1);
    EXPECT_EQ(iY, 2);
    ASSERT_TRUE(ovwCellAt(559, 479, iX, iY));
    EXPECT_EQ(iX, 119);
    EXPECT_EQ(iY, 119);
    EXPECT_FALSE(ovwCellAt(79, 10, iX, iY));
    EXPECT_FALSE(ovwCellAt(560, 10, iX, iY));
    EXPECT_FALSE(ovwCellAt(300, 480, iX, iY));

    // {cell x, cell y, view x, view y}: centred where it can be, kept on the map at the edges.
    const int iCases[][4] = {{50, 50, 40, 43},   {0, 0, 0, 0},         {10, 7, 0, 0},
                             {11, 8, 1, 1},      {119, 119, 100, 105}, {110, 112, 100, 105},
                             {109, 111, 99, 104}};
    for (const auto& c : iCases)
    {
        ovwViewFor(c[0], c[1], iX, iY);
        EXPECT_EQ(iX, c[2]) << c[0] << ", " << c[1];
        EXPECT_EQ(iY, c[3]) << c[0] << ", " << c[1];
    }
}

TEST(Overview, EachCellShowsItsTopmostTilesMeanColour)
{
    BITMAP* mOldBuffer = mBuffer;
    BITMAP* mOldTiles = map.mTiles;
    mBuffer = create_bitmap(640, 480);
    map.mTiles = create_bitmap(64, 48 * 26);
    const int iMask = bitmap_mask_color(map.mTiles);
    clear_to_color(map.mTiles, iMask);
    // Tile 2: green over the cell above; in its own cell a quarter red, a quarter blue and the
    // lower half transparent.
    rectfill(map.mTiles, 32, 96, 63, 111, makecol(0, 255, 0));
    rectfill(map.mTiles, 32, 112, 47, 127, makecol(200, 0, 0));
    rectfill(map.mTiles, 48, 112, 63, 127, makecol(0, 0, 100));
    rectfill(map.mTiles, 32, 48 * 3 + 16, 63, 48 * 4 - 1, makecol(10, 20, 30));  // tile 3
    const stTileColours sColours = ovwTileColours(map.mTiles);
    EXPECT_EQ(sColours.iRed[2], 100);
    EXPECT_EQ(sColours.iGreen[2], 0);
    EXPECT_EQ(sColours.iBlue[2], 50);
    EXPECT_EQ(sColours.iRed[1] + sColours.iGreen[1] + sColours.iBlue[1], 0);  // all transparent

    memset(map.iTerrain, 0, sizeof(map.iTerrain));
    map.iTerrain[0][5][6] = 3;
    map.iTerrain[1][5][6] = 2;  // the top of the two
    map.iTerrain[0][119][0] = 3;
    clear_to_color(mBuffer, makecol(1, 2, 3));
    ovwDraw(sColours, 30, 40);
    EXPECT_EQ(getpixel(mBuffer, 80 + 5 * 4 + 2, 6 * 4 + 3), makecol(100, 0, 50));
    EXPECT_EQ(getpixel(mBuffer, 80 + 119 * 4 + 3, 0), makecol(10, 20, 30));
    EXPECT_EQ(getpixel(mBuffer, 80 + 6 * 4, 6 * 4), makecol(0, 0, 0));  // empty
    EXPECT_EQ(getpixel(mBuffer, 79, 10), makecol(1, 2, 3));             // beside it: untouched
    EXPECT_EQ(getpixel(mBuffer, 560, 10), makecol(1, 2, 3));
    // The view's outline: 20 x 15 cells from cell (30, 40).
    const int iWhite = makecol(255, 255, 255);
    EXPECT_EQ(getpixel(mBuffer, 80 + 30 * 4, 40 * 4), iWhite);
    EXPECT_EQ(getpixel(mBuffer, 80 + 50 * 4 - 1, 55 * 4 - 1), iWhite);
    EXPECT_NE(getpixel(mBuffer, 80 + 50 * 4, 55 * 4), iWhite);
    memset(map.iTerrain, 0, sizeof(map.iTerrain));
    destroy_bitmap(map.mTiles);
    destroy_bitmap(mBuffer);
    map.mTiles = mOldTiles;
    mBuffer = mOldBuffer;
}

TEST(Palette, EverySlotIsFoundWhereItIsDrawnAndTheArrowsStayInRange)
{
    BITMAP* mOldBuffer = mBuffer;
    BITMAP* mOldTiles = map.mTiles;
    mBuffer = create_bitmap(640, 480);
    map.mTiles = create_bitmap(64, 48 * 26);
    for (int v = 0; v <= giMaxTerrain; v++)
    {
        rectfill(map.mTiles, 32, 48 * v, 63, 48 * v + 47, makecol(v * 9, 255 - v * 9, 7));
    }
    clear_bitmap(mBuffer);
    set_trans_blender(0, 0, 0, 127);  // as start-up sets it, for the panel behind the slots
    palDraw(17);
    int iFound = 0;
    int iFramed = -1;
    const int iYellow = makecol(255, 220, 0);
    for (int y = 0; y < 480; y++)
    {
        for (int x = 0; x < 640; x++)
        {
            const int v = palSlotAt(x, y);
            const int iPixel = getpixel(mBuffer, x, y);
            if (v >= 1 && iPixel == makecol(v * 9, 255 - v * 9, 7))
            {
                iFound |= 1 << v;  // tile v shows inside the slot that finds v
            }
            if (iPixel == iYellow)
            {
                iFramed = v;
            }
            EXPECT_NE(iPixel, makecol(0, 255, 7)) << "tile 0 is drawn at " << x << ", " << y;
        }
    }
    EXPECT_EQ(iFound, (1 << 26) - 2);
    EXPECT_EQ(iFramed, 17);
    EXPECT_EQ(palSlotAt(0, 0), -1);
    EXPECT_EQ(palStep(0, -1, 0), 0);
    EXPECT_EQ(palStep(12, 1, 0), 13);
    EXPECT_EQ(palStep(25, 1, 0), 25);
    EXPECT_EQ(palStep(3, 0, 1), 16);
    EXPECT_EQ(palStep(16, 0, 1), 16);
    EXPECT_EQ(palStep(16, 0, -1), 3);
    destroy_bitmap(map.mTiles);
    destroy_bitmap(mBuffer);
    map.mTiles = mOldTiles;
    mBuffer = mOldBuffer;
}
