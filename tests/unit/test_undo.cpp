/*
 * Tarvenloft unit tests - undo and redo of painting.
 *
 * Strokes are painted straight through the history into the global map, as
 * the editor paints them, and the map is read back after each undo or redo.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstring>

#include "header.h"
#include "map_file.h"
#include "scratch_dir.h"
#include "undo.h"

class UndoTest : public testing::Test
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
        mapfForget();
    }
    // One stroke of iValue along row iY of layer iLayer, from column iX0 to iX1.
    static void Stroke(int iLayer, int iX0, int iX1, int iY, int iValue)
    {
        undoBeginStroke();
        for (int x = iX0; x <= iX1; x++)
        {
            undoPaint(iLayer, x, iY, iValue);
            undoPaint(iLayer, x, iY, iValue);  // a held button paints the same cell again
        }
        undoEndStroke();
    }
};

TEST_F(UndoTest, UndoPutsBackEveryCellOfTheLastStrokeAndRedoPaintsItAgain)
{
    map.iTerrain[2][6][9] = 7;
    Stroke(2, 3, 8, 9, 4);  // over a cell that held 7
    Stroke(0, 0, 0, 0, 5);
    EXPECT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][0][0], 0);
    EXPECT_EQ(map.iTerrain[2][5][9], 4);
    EXPECT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[2][3][9], 0);
    EXPECT_EQ(map.iTerrain[2][6][9], 7);
    EXPECT_EQ(map.iTerrain[2][8][9], 0);
    EXPECT_FALSE(undoUndo());
    EXPECT_TRUE(undoRedo());
    EXPECT_EQ(map.iTerrain[2][6][9], 4);
    EXPECT_EQ(map.iTerrain[0][0][0], 0);
    EXPECT_TRUE(undoRedo());
    EXPECT_EQ(map.iTerrain[0][0][0], 5);
    EXPECT_FALSE(undoRedo());
}

TEST_F(UndoTest, AStrokeThatChangesNothingIsNoStroke)
{
    map.iTerrain[1][4][4] = 3;
    Stroke(1, 4, 4, 4, 3);
    EXPECT_EQ(undoCount(), 0);
    EXPECT_FALSE(undoUndo());
}

TEST_F(UndoTest, ANewStrokeAfterAnUndoDropsWhatCouldHaveBeenRedone)
{
    Stroke(0, 1, 1, 1, 2);
    Stroke(0, 2, 2, 2, 3);
    ASSERT_TRUE(undoUndo());
    Stroke(0, 5, 5, 5, 6);
    EXPECT_FALSE(undoRedo());
    EXPECT_EQ(map.iTerrain[0][2][2], 0);
    EXPECT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][5][5], 0);
    EXPECT_TRUE(undoUndo());
    EXPECT_EQ(map.iTerrain[0][1][1], 0);
}

TEST_F(UndoTest, TheHistoryKeepsTheLastStrokesUpToItsSize)
{
    for (int i = 0; i < giUndoStrokes + 2; i++)
    {
        Stroke(3, i % 120, i % 120, i / 120, 1 + i % 25);
    }
    int iUndone = 0;
    while (undoUndo())
    {
        iUndone++;
    }
    EXPECT_EQ(iUndone, giUndoStrokes);
    EXPECT_GE(giUndoStrokes, 256);
    EXPECT_EQ(map.iTerrain[3][0][0], 1);  // the two oldest strokes stay painted
    EXPECT_EQ(map.iTerrain[3][1][0], 2);
    EXPECT_EQ(map.iTerrain[3][2][0], 0);
}

TEST_F(UndoTest, UndoingOrRedoingBackToTheSavedMapLeavesNothingUnsaved)
{
    CScratchDir sDir;
    std::string tWhy;
    Stroke(0, 0, 4, 0, 2);
    mapfForget();
    ASSERT_TRUE(mapfWrite("m.tmx", tWhy)) << tWhy;
    ASSERT_FALSE(mapfUnsaved());
    Stroke(1, 0, 4, 0, 3);
    EXPECT_TRUE(mapfUnsaved());
    ASSERT_TRUE(undoUndo());
    EXPECT_FALSE(mapfUnsaved());
    ASSERT_TRUE(undoUndo());
    EXPECT_TRUE(mapfUnsaved());  // back before the save
    ASSERT_TRUE(undoRedo());
    EXPECT_FALSE(mapfUnsaved());
    ASSERT_TRUE(undoRedo());
    EXPECT_TRUE(mapfUnsaved());
}
