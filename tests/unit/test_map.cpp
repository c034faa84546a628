/*
 * Tarvenloft unit tests - the map model, tileset loading and map drawing.
 *
 * Synthetic tilesets: tile v is filled with colour (60 v, row, 77), where
 * row is the pixel row inside the tile (0..47), so a pixel of the back
 * buffer tells which tile and which of its rows was drawn there. The unused
 * strip x = 0..31 is yellow and must never appear. Tileset files are written
 * to a temporary directory that the tests make their working directory.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "header.h"

#include <loadpng.h>

namespace
{

// The current temporary directory; removed at exit too, since death-test children never tear down.
struct MapTempDir
{
    std::string tPath;
    ~MapTempDir()
    {
        if (!tPath.empty())
        {
            std::error_code ec;
            std::filesystem::remove_all(tPath, ec);
        }
    }
};
MapTempDir mapTemp;

const int iBackground = 0x0a0b0c;

// A tileset holding tiles 1..iTiles, at the given depth.
BITMAP* mapMakeTiles(int iTiles, int iDepth = 32)
{
    BITMAP* bmp = create_bitmap_ex(iDepth, 64, 48 * (iTiles + 1));
    clear_to_color(bmp, makecol_depth(iDepth, 255, 255, 0));
    for (int v = 1; v <= iTiles; v++)
    {
        for (int r = 0; r < 48; r++)
        {
            hline(bmp, 32, 48 * v + r, 63, makecol_depth(iDepth, 60 * v, r, 77));
        }
    }
    return bmp;
}

// A POSIX parent sees only the low 8 bits of an exit code: 501 arrives as 245, 502 as 246.
const int iMissingStatus = iExitTilesMissing & 0xFF;
const int iBrokenStatus = iExitTilesBroken & 0xFF;

// Without a display the library prints its messages to stdout; death tests read stderr.
void mapMessagesToStderr()
{
    fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

std::string mapRegexQuote(const std::string& t)
{
    std::string tOut;
    for (char c : t)
    {
        if (std::string(".[]()*+?{}|^$\\").find(c) != std::string::npos)
        {
            tOut += '\\';
        }
        tOut += c;
    }
    return tOut;
}

class Map : public testing::Test
{
  protected:
    void SetUp() override
    {
        loadpng_init();
        sys_tPath = "system/";
        map.Clear();
        mBuffer = create_bitmap(640, 480);
        clear_to_color(mBuffer, iBackground);
    }
    void TearDown() override
    {
        map.Clear();
        destroy_bitmap(mBuffer);
        mBuffer = NULL;
        sys_tPath = "system/";
        if (!tOldDir.empty())
        {
            EXPECT_EQ(chdir(tOldDir.c_str()), 0);
            std::error_code ec;
            std::filesystem::remove_all(mapTemp.tPath, ec);
            mapTemp.tPath.clear();
        }
    }

    // Makes a temporary directory with system/images/tilesets/ in it the working directory.
    void EnterTempDir()
    {
        char cTemplate[] = "/tmp/tarvenloft_map_XXXXXX";
        ASSERT_NE(mkdtemp(cTemplate), nullptr);
        mapTemp.tPath = cTemplate;
        tOldDir = std::filesystem::current_path().string();
        std::filesystem::create_directories(mapTemp.tPath + "/system/images/tilesets");
        ASSERT_EQ(chdir(cTemplate), 0);
    }
    void SaveTiles(BITMAP* bmp, const std::string& tName)
    {
        std::string tFile = "system/images/tilesets/" + tName;
        ASSERT_EQ(save_bitmap(tFile.c_str(), bmp, NULL), 0) << tFile;
        destroy_bitmap(bmp);
    }

    // The tile value drawn at (x, y), or -1 for anything else.
    int TileAt(int x, int y)
    {
        int c = getpixel(mBuffer, x, y);
        if (getb(c) != 77 || getr(c) % 60 != 0)
        {
            return -1;
        }
        return getr(c) / 60;
    }
    // The row inside its tile of the pixel drawn at (x, y).
    int RowAt(int x, int y)
    {
        return getg(getpixel(mBuffer, x, y));
    }
    int Ink()
    {
        int n = 0;
        for (int y = 0; y < mBuffer->h; y++)
        {
            for (int x = 0; x < mBuffer->w; x++)
            {
                n += getpixel(mBuffer, x, y) != iBackground;
            }
        }
        return n;
    }

    std::string tOldDir;
};

TEST_F(Map, ClearEmptiesGridHeaderAndTileset)
{
    map.tName = "name";
    map.tAuthor = "author";
    map.tDescription = "text";
    map.iMapVer = 3;
    map.iSizeX = 120;
    map.iSizeY = 120;
    map.iTileSet = 1;
    map.iTerrain[0][0][0] = 1;
    map.iTerrain[2][5][7] = 9;
    map.iTerrain[3][119][119] = 25;
    map.mTiles = mapMakeTiles(1);
    map.Clear();
    EXPECT_EQ(map.tName, "");
    EXPECT_EQ(map.tAuthor, "");
    EXPECT_EQ(map.tDescription, "");
    EXPECT_EQ(map.iMapVer + map.iSizeX + map.iSizeY + map.iTileSet, 0);
    EXPECT_EQ(map.mTiles, nullptr);
    const int* p = &map.iTerrain[0][0][0];
    for (int i = 0; i < 4 * 120 * 120; i++)
    {
        ASSERT_EQ(p[i], 0) << i;
    }
    map.Clear();  // again, without a tileset
    EXPECT_EQ(map.mTiles, nullptr);
}

TEST_F(Map, GridIsLayerColumnRowWithRowFastest)
{
    map.iTerrain[2][5][7] = 4;
    EXPECT_EQ(map.iTerrain[2][7][5], 0);
    EXPECT_EQ((&map.iTerrain[0][0][0])[2 * 14400 + 5 * 120 + 7], 4);
}

// A tile in view row 0 loses its top 16 rows above the buffer.
TEST_F(Map, TopRowIsClippedAboveTheBuffer)
{
    map.mTiles = mapMakeTiles(3);
    map.iTerrain[0][0][0] = 1;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(TileAt(0, 0), 1);
    EXPECT_EQ(RowAt(0, 0), 16);
    EXPECT_EQ(TileAt(31, 31), 1);
    EXPECT_EQ(RowAt(31, 31), 47);
    EXPECT_EQ(Ink(), 32 * 32);
}

TEST_F(Map, BottomRowEndsAtTheLastLine)
{
    map.mTiles = mapMakeTiles(3);
    map.iTerrain[0][19][14] = 2;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(TileAt(608, 432), 2);
    EXPECT_EQ(RowAt(608, 432), 0);
    EXPECT_EQ(RowAt(639, 479), 47);
    EXPECT_EQ(TileAt(608, 431), -1);
    EXPECT_EQ(Ink(), 32 * 48);
}

// The row below the view stands its tiles' tops over the view's last row, in layer order; at
// the map's last rows there is none to read.
TEST_F(Map, TheRowBelowTheViewShowsItsTopsInLayerOrder)
{
    map.mTiles = mapMakeTiles(3);
    map.iTerrain[1][19][14] = 1;
    map.iTerrain[0][19][15] = 2;
    map.iTerrain[0][3][15] = 3;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(TileAt(100, 464), 3);
    EXPECT_EQ(RowAt(100, 464), 0);
    EXPECT_EQ(RowAt(100, 479), 15);
    EXPECT_EQ(TileAt(100, 463), -1);
    EXPECT_EQ(TileAt(620, 470), 1);  // layer 1's tile lies over layer 0's top
    map.iTerrain[0][3][120 - 1] = 2;
    clear_to_color(mBuffer, iBackground);
    map.Display(0, 120 - giTilesHigh, 0, 0, false, 0);
    EXPECT_EQ(TileAt(100, 464), 2);  // the map's last row, at the bottom of the view
    EXPECT_EQ(RowAt(100, 479), 47);
}

TEST_F(Map, LowerTileOverhangsTheTileAbove)
{
    map.mTiles = mapMakeTiles(3);
    map.iTerrain[0][4][2] = 1;
    map.iTerrain[0][4][3] = 3;
    map.Display(0, 0, 0, 0, false, 0);
    // Cell (4, 3) tile starts at y 80: its rows 0..15 cover y 80..95 of the tile above.
    EXPECT_EQ(TileAt(130, 80), 3);
    EXPECT_EQ(RowAt(130, 80), 0);
    EXPECT_EQ(TileAt(130, 79), 1);
    EXPECT_EQ(RowAt(130, 79), 31);
    EXPECT_EQ(TileAt(130, 48), 1);
    EXPECT_EQ(RowAt(130, 48), 0);
}

// Every tile of layer 1 lies over all of layer 0, the overhang of the row below included.
TEST_F(Map, LayersAreDrawnInOrder)
{
    BITMAP* bmp = mapMakeTiles(3);
    putpixel(bmp, 32 + 5, 48 * 2 + 40, makecol(255, 0, 255));  // a hole in tile 2
    map.mTiles = bmp;
    map.iTerrain[0][1][1] = 1;
    map.iTerrain[1][1][1] = 2;
    map.iTerrain[1][0][0] = 2;
    map.iTerrain[0][0][1] = 3;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(TileAt(40, 40), 2);
    EXPECT_EQ(TileAt(37, 56), 1);  // through the hole of the layer-1 tile
    EXPECT_EQ(RowAt(37, 56), 40);
    EXPECT_EQ(TileAt(6, 24), 2);  // layer 1, row 0 over layer 0, row 1's overhang
    EXPECT_EQ(RowAt(6, 24), 40);
}

TEST_F(Map, ViewOriginAndEmptyCells)
{
    map.mTiles = mapMakeTiles(3);
    map.iTerrain[0][3][2] = 1;
    map.iTerrain[0][2][2] = 2;
    map.Display(3, 2, 0, 0, false, 0);
    EXPECT_EQ(TileAt(0, 10), 1);
    EXPECT_EQ(Ink(), 32 * 32);
    clear_to_color(mBuffer, iBackground);
    map.iTerrain[0][3][2] = 0;
    map.iTerrain[0][2][2] = 0;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(Ink(), 0);
}

TEST_F(Map, SourceBelowTheTilesetDrawsNothing)
{
    map.mTiles = mapMakeTiles(3);  // 192 pixels tall: tile 4 would start at 192
    map.iTerrain[0][5][5] = 4;
    map.iTerrain[1][6][6] = 1000;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(Ink(), 0);
    destroy_bitmap(map.mTiles);
    BITMAP* mParent = mapMakeTiles(3);
    map.mTiles = create_sub_bitmap(mParent, 0, 0, 64, 170);  // tile 3 partly inside
    map.iTerrain[0][5][5] = 3;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(Ink(), 32 * (170 - 144));
    EXPECT_EQ(RowAt(160, 144), 0);
    map.Clear();
    destroy_bitmap(mParent);
}

TEST_F(Map, NoTilesetDrawsNothing)
{
    map.iTerrain[0][0][0] = 1;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(Ink(), 0);
}

TEST_F(Map, BmpIsLoadedAndLightPinkBecomesTransparent)
{
    EnterTempDir();
    BITMAP* bmp = mapMakeTiles(2);
    putpixel(bmp, 32 + 3, 48 + 20, makecol(255, 128, 255));
    SaveTiles(bmp, "001.bmp");
    map.LoadTiles("001");
    ASSERT_NE(map.mTiles, nullptr);
    EXPECT_EQ(getpixel(map.mTiles, 32 + 3, 48 + 20), makecol(255, 0, 255));
    map.iTerrain[0][0][1] = 1;
    map.Display(0, 0, 0, 0, false, 0);
    EXPECT_EQ(getpixel(mBuffer, 3, 16 + 20), iBackground);
    EXPECT_EQ(TileAt(4, 36), 1);
    EXPECT_EQ(Ink(), 32 * 48 - 1);
}

TEST_F(Map, PngIsPreferredToBmp)
{
    EnterTempDir();
    BITMAP* mPng = create_bitmap_ex(24, 64, 96);  // tile 1 red in the .png
    clear_to_color(mPng, makecol24(255, 0, 0));
    SaveTiles(mPng, "001.png");
    BITMAP* mBmp = create_bitmap(64, 96);  // and green in the .bmp
    clear_to_color(mBmp, makecol(0, 255, 0));
    SaveTiles(mBmp, "001.bmp");
    map.LoadTiles("001");
    ASSERT_NE(map.mTiles, nullptr);
    EXPECT_EQ(getpixel(map.mTiles, 40, 60), makecol(255, 0, 0));
    // Only the .png left: still loaded.
    std::filesystem::remove("system/images/tilesets/001.bmp");
    map.LoadTiles("001");
    EXPECT_EQ(getpixel(map.mTiles, 40, 60), makecol(255, 0, 0));
}

// Loading many tilesets must not keep the ones they replace: the heap stays flat.
TEST_F(Map, SecondLoadReleasesTheTilesetItReplaces)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "heap figures are the sanitizer's own";
#endif
    EnterTempDir();
    SaveTiles(mapMakeTiles(25), "001.bmp");  // 64 x 1248 x 4 bytes once loaded
    for (int i = 0; i < 3; i++)
    {
        map.LoadTiles("001");
    }
    struct mallinfo2 before = mallinfo2();
    for (int i = 0; i < 20; i++)
    {
        map.LoadTiles("001");
    }
    struct mallinfo2 after = mallinfo2();
    long iGrowth = (long)(after.uordblks + after.hblkhd) - (long)(before.uordblks + before.hblkhd);
    EXPECT_LT(iGrowth, 1000000L);
}

TEST_F(Map, MissingTilesetStopsWithTheWholeBmpPath)
{
    EnterTempDir();
    sys_tPath = "system/";
    for (int i = 0; i < 27; i++)
    {
        sys_tPath += "abcdefghi/";
    }
    std::string tBmp = sys_tPath + sys_tTilePath + "001.bmp";
    ASSERT_EQ(tBmp.size(), 300u);
    std::string tExpected = "Cannot find the map tiles requested.\n" + tBmp +
                            " does not appear to exist.\n\nCurrently, the engine is not able to "
                            "handle this error.";
    EXPECT_EXIT(
        {
            mapMessagesToStderr();
            map.LoadTiles("001");
        },
        testing::ExitedWithCode(iMissingStatus), mapRegexQuote(tExpected));
    // The short default path, with the .png present under another name only.
    sys_tPath = "system/";
    SaveTiles(mapMakeTiles(1), "002.png");
    EXPECT_EXIT(
        {
            mapMessagesToStderr();
            map.LoadTiles("001");
        },
        testing::ExitedWithCode(iMissingStatus),
        mapRegexQuote("\nsystem/images/tilesets/001.bmp does not appear to exist.\n"));
}

TEST_F(Map, UndecodableTilesetStopsWithItsName)
{
    EnterTempDir();
    FILE* f = fopen("system/images/tilesets/001.png", "wb");
    ASSERT_NE(f, nullptr);
    srand(7);
    for (int i = 0; i < 500; i++)
    {
        fputc(rand() & 0xFF, f);
    }
    fclose(f);
    EXPECT_EXIT(
        {
            mapMessagesToStderr();
            map.LoadTiles("001");
        },
        testing::ExitedWithCode(iBrokenStatus), "system/images/tilesets/001\\.png");
}

}  // namespace
