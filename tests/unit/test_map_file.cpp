/*
 * Tarvenloft unit tests - the map file: writing, keeping what the file
 * holds, saving safely and knowing what is unsaved.
 *
 * Input files are made by tmx_text.h as Tiled writes them, independently of
 * the writer. Every test works in a private scratch directory and starts
 * from an empty map with no file open.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "header.h"
#include "map_file.h"
#include "scratch_dir.h"
#include "tmx_text.h"

namespace
{

class MapFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        sys_tPath = "system/";
        map.Clear();
        mapfForget();
    }
    void TearDown() override
    {
        map.Clear();
        mapfForget();
    }
    // Every cell of every layer a random terrain value 0..25.
    void FillRandom(unsigned int iSeed)
    {
        std::mt19937 sRandom(iSeed);
        for (int l = 0; l < giTerrainLayers; l++)
        {
            for (int x = 0; x < 120; x++)
            {
                for (int y = 0; y < 120; y++)
                {
                    map.iTerrain[l][x][y] = static_cast<int>(sRandom() % 26);
                }
            }
        }
    }
    // The tile ids of map layer l, row by row.
    std::vector<uint32_t> MapIds(int l)
    {
        return tmxIds([l](int x, int y) { return map.iTerrain[l][x][y]; });
    }
    CScratchDir sDir;
};

// The content of the first <data> element after tAfter in tText.
std::string mfDataAfter(const std::string& tText, const std::string& tAfter)
{
    const size_t iLayer = tText.find(tAfter);
    const size_t iOpen = tText.find('>', tText.find("<data", iLayer)) + 1;
    return tText.substr(iOpen, tText.find("</data>", iOpen) - iOpen);
}

TEST_F(MapFile, FourRandomLayersRoundTripInTiledsCsvLayout)
{
    FillRandom(20261208);
    int iWritten[giTerrainLayers][120][120];
    std::memcpy(iWritten, map.iTerrain, sizeof(iWritten));
    std::string tWhy;
    ASSERT_TRUE(mapfWrite("round.tmx", tWhy)) << tWhy;

    const std::string tText = tmxReadFile("round.tmx");
    for (int l = 0; l < giTerrainLayers; l++)
    {
        const std::string tLayer = "<layer id=\"" + std::to_string(l + 1) + "\" name=\"Layer " +
                                   std::to_string(l + 1) + "\" width=\"120\" height=\"120\">";
        ASSERT_NE(tText.find(tLayer), std::string::npos) << tLayer;
        EXPECT_EQ(mfDataAfter(tText, tLayer), tmxCsv(MapIds(l))) << "layer " << l + 1;
    }
    // The text around one layer's data, byte for byte.
    const std::string tLastRow = tmxCsv(MapIds(3)).substr(tmxCsv(MapIds(3)).rfind(",\n") + 2);
    EXPECT_NE(tText.find("<layer id=\"4\" name=\"Layer 4\" width=\"120\" height=\"120\">\n  <data "
                         "encoding=\"csv\">\n"),
              std::string::npos);
    EXPECT_NE(tText.find(tLastRow + "</data>\n </layer>\n</map>\n"), std::string::npos);
    EXPECT_EQ(tText.find(",\n</data>"), std::string::npos);

    mapfForget();
    map.Clear();
    ASSERT_TRUE(mapfRead("round.tmx", tWhy)) << tWhy;
    EXPECT_EQ(std::memcmp(map.iTerrain, iWritten, sizeof(iWritten)), 0);
}

// The image of a new file is the tileset the editor loaded, named from the map's directory.
TEST_F(MapFile, NewFileNamesTheLoadedTilesetRelativeToTheMap)
{
    sDir.Write("system/images/tilesets/001.png", tmxReadFile(std::string(TARVENLOFT_RUNTIME_DIR) +
                                                             "/system/images/tilesets/001.png"));
    map.LoadTiles("001");
    ASSERT_NE(map.mTiles, nullptr);
    EXPECT_EQ(map.tTilesFile, "system/images/tilesets/001.png");
    std::filesystem::create_directories("maps/town");
    std::string tWhy;
    ASSERT_TRUE(mapfWrite("maps/town/new.tmx", tWhy)) << tWhy;
    const std::string tText = tmxReadFile("maps/town/new.tmx");
    EXPECT_EQ(tText.substr(0, tText.find(" <layer")),
              tmxMap("").substr(0, tmxMap("").find("</map>")) +
                  " <tileset firstgid=\"1\" name=\"001\" tilewidth=\"32\" tileheight=\"48\" "
                  "tilecount=\"52\" columns=\"2\">\n"
                  "  <image source=\"../../system/images/tilesets/001.png\" trans=\"ff00ff\" "
                  "width=\"64\" height=\"1248\"/>\n </tileset>\n");

    // Without a loaded tileset: the shipped one's path and size.
    map.Clear();
    EXPECT_EQ(map.tTilesFile, "");
    mapfForget();
    ASSERT_TRUE(mapfWrite("maps/plain.tmx", tWhy)) << tWhy;
    EXPECT_NE(tmxReadFile("maps/plain.tmx")
                  .find("<image source=\"../system/images/tilesets/001.png\" trans=\"ff00ff\" "
                        "width=\"64\" height=\"1248\"/>"),
              std::string::npos);
}

// Everything the editor does not understand is written back as it was.
TEST_F(MapFile, SaveKeepsEverythingOutsideTheTileData)
{
    const std::string tOriginal =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- made by hand -->\n"
        "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" "
        "renderorder=\"right-down\" width=\"120\" height=\"120\" tilewidth=\"32\" "
        "tileheight=\"32\" infinite=\"0\" nextlayerid=\"5\" nextobjectid=\"2\" "
        "backgroundcolor=\"#102030\" frobnicate='yes &amp; no'>\n"
        " <editorsettings>\n  <export target=\"out.json\" format=\"json\"/>\n </editorsettings>\n"
        " <properties>\n  <property name=\"author\" value=\"Ada\"/>\n </properties>\n" +
        tTmxTileset +
        " <layer id=\"1\" name=\"Ground\" width=\"120\" height=\"120\" opacity=\"0.5\" "
        "visible=\"0\" tintcolor=\"#ff8040\" offsetx=\"3\" offsety=\"-2\" locked=\"1\">\n"
        "  <properties>\n   <property name=\"walkable\" type=\"bool\" value=\"true\"/>\n"
        "  </properties>\n  <data encoding=\"csv\">" +
        tmxCsv(tmxIds([](int x, int y) { return (x * y) % 26; })) +
        "</data>\n </layer>\n"
        " <objectgroup id=\"2\" name=\"Things\">\n"
        "  <object id=\"1\" name=\"door\" x=\"64\" y=\"96\" width=\"32\" height=\"32\"/>\n"
        " </objectgroup>\n"
        " <imagelayer id=\"3\" name=\"Sky\">\n  <image source=\"sky.png\" width=\"8\" "
        "height=\"8\"/>\n </imagelayer>\n"
        "</map>\n";
    sDir.Write("kept.tmx", tOriginal);
    std::string tWhy;
    ASSERT_TRUE(mapfRead("kept.tmx", tWhy)) << tWhy;
    map.iTerrain[0][5][7] = 25;
    ASSERT_TRUE(mapfWrite("kept.tmx", tWhy)) << tWhy;
    const std::string tSaved = tmxReadFile("kept.tmx");
    EXPECT_NE(tSaved, tOriginal);
    EXPECT_EQ(tmxOutsideData(tSaved), tmxOutsideData(tOriginal));
    EXPECT_EQ(mfDataAfter(tSaved, "name=\"Ground\""), tmxCsv(MapIds(0)));
}

// Saved into another folder, every reference to another file leads there from the new folder;
// what names its file by itself, and what is no reference, stays as it was.
TEST_F(MapFile, SavedElsewhereEveryRelativeReferenceLeadsToTheSameFiles)
{
    std::string tTileset = tTmxTileset;
    tTileset.replace(tTileset.find("001.png"), 7, "tiles/001.png");
    const std::string tOriginal = tmxMap(
        tTileset + tmxLayer(1, " encoding=\"csv\"", tmxCsv(tmxIds([](int, int) { return 0; }))) +
        " <objectgroup id=\"2\" name=\"Things\">\n"
        "  <object id=\"1\" template='../tpl/door&apos;s.tx' x=\"64\" y=\"96\"/>\n"
        "  <object id=\"2\" x=\"0\" y=\"0\">\n   <properties>\n"
        "    <property name=\"notes\" type=\"file\" value=\"notes/a b.txt\"/>\n"
        "    <property name=\"look\" value=\"x.png\"/>\n   </properties>\n  </object>\n"
        " </objectgroup>\n"
        " <imagelayer id=\"3\" name=\"Sky\">\n  <image source=\"/srv/sky.png\"/>\n "
        "</imagelayer>\n");
    sDir.Write("maps/a/m.tmx", tOriginal);
    std::filesystem::create_directories("out/b");
    std::string tWhy;
    ASSERT_TRUE(mapfRead("maps/a/m.tmx", tWhy)) << tWhy;
    ASSERT_TRUE(mapfWrite("maps/a/same-folder.tmx", tWhy)) << tWhy;
    EXPECT_EQ(tmxReadFile("maps/a/same-folder.tmx"), tOriginal);
    ASSERT_TRUE(mapfWrite("out/b/n.tmx", tWhy)) << tWhy;
    std::string tExpected = tOriginal;
    for (const auto& sMove :
         {std::make_pair("\"tiles/001.png", "\"../../maps/a/tiles/001.png"),
          std::make_pair("'../tpl/door&apos;s.tx", "'../../maps/tpl/door&apos;s.tx"),
          std::make_pair("\"notes/a b.txt", "\"../../maps/a/notes/a b.txt")})
    {
        tExpected.replace(tExpected.find(sMove.first), std::strlen(sMove.first), sMove.second);
    }
    EXPECT_EQ(tmxReadFile("out/b/n.tmx"), tExpected);
    // From there on the new file is the open one: saved again in place, nothing moves.
    ASSERT_TRUE(mapfWrite("out/b/n.tmx", tWhy)) << tWhy;
    EXPECT_EQ(tmxReadFile("out/b/n.tmx"), tExpected);
}

// A file with CR LF line ends gets them in its new data too, and in the layers it gains.
TEST_F(MapFile, CrLfFileStaysCrLf)
{
    std::string tText;
    for (char c : tmxMap(tTmxTileset + tmxLayer(1, " encoding=\"csv\"",
                                                tmxCsv(tmxIds([](int, int) { return 0; })))))
    {
        tText += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    sDir.Write("dos.tmx", tText);
    std::string tWhy;
    ASSERT_TRUE(mapfRead("dos.tmx", tWhy)) << tWhy;
    FillRandom(3);
    ASSERT_TRUE(mapfWrite("dos.tmx", tWhy)) << tWhy;
    const std::string tSaved = tmxReadFile("dos.tmx");
    EXPECT_EQ(std::count(tSaved.begin(), tSaved.end(), '\n'),
              std::count(tSaved.begin(), tSaved.end(), '\r'));
    // Declaration, map, tileset, four layers of 124 lines each (the three new ones too), end.
    EXPECT_EQ(std::count(tSaved.begin(), tSaved.end(), '\n'), 1 + 1 + 3 + 4 * 124 + 1);
    const size_t iNext = tText.find("nextlayerid=\"5\"");
    EXPECT_EQ(tSaved.substr(0, 300), tText.substr(0, 300).replace(iNext, 15, "nextlayerid=\"8\""));
}

// Each layer is written back in its own encoding; the old one-<tile>-per-cell form as CSV.
TEST_F(MapFile, EachLayerKeepsItsEncoding)
{
    const auto fOld = [](int x, int y) { return (x + 2 * y) % 26; };
    std::string tTiles = "\n";
    for (int i = 0; i < iTmxCells; i++)
    {
        const uint32_t iGid = tmxGid(fOld(i % 120, i / 120));
        tTiles += iGid == 0 ? "   <tile/>\n" : "   <tile gid=\"" + std::to_string(iGid) + "\"/>\n";
    }
    const char* cTags[] = {"<data encoding=\"csv\">", "<data encoding=\"base64\">",
                           "<data encoding=\"base64\" compression=\"zlib\">",
                           "<data encoding=\"base64\" compression=\"gzip\">"};
    const std::string tBody =
        tTmxTileset + tmxLayer(1, " encoding=\"csv\"", tmxCsv(tmxIds(fOld))) +
        tmxLayer(2, " encoding=\"base64\"", tmxBase64(tmxIds(fOld), "")) +
        tmxLayer(3, " encoding=\"base64\" compression=\"zlib\"", tmxBase64(tmxIds(fOld), "zlib")) +
        tmxLayer(4, " encoding=\"base64\" compression=\"gzip\"", tmxBase64(tmxIds(fOld), "gzip"));
    sDir.Write("four.tmx", tmxMap(tBody));
    sDir.Write("old.tmx", tmxMap(tTmxTileset + tmxLayer(1, "", tTiles + "  ")));
    std::string tWhy;
    for (const char* cFile : {"four.tmx", "old.tmx"})
    {
        ASSERT_TRUE(mapfRead(cFile, tWhy)) << cFile << ": " << tWhy;
        EXPECT_EQ(map.iTerrain[0][3][5], fOld(3, 5)) << cFile;
        FillRandom(7);
        ASSERT_TRUE(mapfWrite(cFile, tWhy)) << cFile << ": " << tWhy;
    }

    const std::string tFour = tmxReadFile("four.tmx");
    size_t iAt = 0;
    for (int l = 0; l < 4; l++)
    {
        iAt = tFour.find(cTags[l], iAt);
        EXPECT_NE(iAt, std::string::npos) << cTags[l];
    }
    EXPECT_EQ(mfDataAfter(tFour, "name=\"Layer 2\""), tmxBase64(MapIds(1), ""));
    const std::string tOld = tmxReadFile("old.tmx");
    EXPECT_EQ(tOld.find("<tile "), std::string::npos);
    EXPECT_EQ(tOld.find("<tile/>"), std::string::npos);
    EXPECT_EQ(mfDataAfter(tOld, "name=\"Layer 1\""), tmxCsv(MapIds(0)));
    EXPECT_NE(tOld.find("<data encoding=\"csv\">"), std::string::npos);

    int iSaved[giTerrainLayers][120][120];
    std::memcpy(iSaved, map.iTerrain, sizeof(iSaved));
    map.Clear();
    ASSERT_TRUE(mapfRead("four.tmx", tWhy)) << tWhy;
    EXPECT_EQ(std::memcmp(map.iTerrain, iSaved, sizeof(iSaved)), 0);
}

// A layer the map gains is added after the last tile layer; empty ones past it are not.
TEST_F(MapFile, LayersTheFileLacksAreAddedWhenTheyHoldCells)
{
    const std::string tObjects = " <objectgroup id=\"6\" name=\"Things\"/>\n";
    sDir.Write("one.tmx", tmxMap(tTmxTileset +
                                     tmxLayer(1, " encoding=\"csv\"",
                                              tmxCsv(tmxIds([](int, int) { return 0; }))) +
                                     tObjects,
                                 7));
    std::string tWhy;
    ASSERT_TRUE(mapfRead("one.tmx", tWhy)) << tWhy;
    ASSERT_TRUE(mapfWrite("one.tmx", tWhy)) << tWhy;
    EXPECT_EQ(tmxReadFile("one.tmx").find("<layer id=\"7\""), std::string::npos);

    map.iTerrain[2][119][119] = 9;
    ASSERT_TRUE(mapfWrite("one.tmx", tWhy)) << tWhy;
    const std::string tText = tmxReadFile("one.tmx");
    EXPECT_NE(tText.find("nextlayerid=\"9\""), std::string::npos);
    const size_t iSecond = tText.find("\n <layer id=\"7\" name=\"Layer 2\" width=\"120\" "
                                      "height=\"120\">\n  <data encoding=\"csv\">\n0,");
    const size_t iThird = tText.find("\n <layer id=\"8\" name=\"Layer 3\"");
    ASSERT_NE(iSecond, std::string::npos);
    ASSERT_NE(iThird, std::string::npos);
    EXPECT_LT(iThird, tText.find(tObjects));
    EXPECT_EQ(tText.find("Layer 4"), std::string::npos);
    EXPECT_EQ(mfDataAfter(tText, "name=\"Layer 3\""), tmxCsv(MapIds(2)));

    map.Clear();
    ASSERT_TRUE(mapfRead("one.tmx", tWhy)) << tWhy;
    EXPECT_EQ(map.iTerrain[2][119][119], 9);
}

// A failed save leaves the file on disk, the map and the open file as they were, and no
// temporary file.
TEST_F(MapFile, FailedSavesChangeNothing)
{
    std::filesystem::create_directories("gone");
    sDir.Write("gone/m.tmx",
               tmxMap(tTmxTileset + tmxLayer(1, " encoding=\"csv\"",
                                             tmxCsv(tmxIds([](int, int) { return 1; })))));
    std::string tWhy;
    ASSERT_TRUE(mapfRead("gone/m.tmx", tWhy)) << tWhy;
    map.iTerrain[0][0][0] = 4;

    // A value no file can hold: nothing is written.
    const std::string tBefore = tmxReadFile("gone/m.tmx");
    map.iTerrain[1][2][3] = 26;
    EXPECT_FALSE(mapfWrite("gone/m.tmx", tWhy));
    EXPECT_NE(tWhy.find("holds 26"), std::string::npos) << tWhy;
    EXPECT_EQ(tmxReadFile("gone/m.tmx"), tBefore);
    map.iTerrain[1][2][3] = 0;

    // The directory vanished.
    std::filesystem::remove_all("gone");
    tWhy = "";
    EXPECT_FALSE(mapfWrite("gone/m.tmx", tWhy));
    EXPECT_NE(tWhy.find("No such file or directory"), std::string::npos) << tWhy;
    EXPECT_FALSE(std::filesystem::exists("gone"));
    EXPECT_EQ(map.iTerrain[0][0][0], 4);
    EXPECT_EQ(map.iTerrain[0][1][0], 1);
    EXPECT_TRUE(mapfUnsaved());

    // The name is a directory's.
    std::filesystem::create_directories("here/m.tmx");
    tWhy = "";
    EXPECT_FALSE(mapfWrite("here/m.tmx", tWhy));
    EXPECT_EQ(tWhy, "cannot replace here/m.tmx: Is a directory");
    EXPECT_TRUE(std::filesystem::is_empty("here/m.tmx"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("here"),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(map.iTerrain[0][0][0], 4);
    EXPECT_TRUE(mapfUnsaved());
}

TEST_F(MapFile, UnsavedFollowsReadsChangesAndWrites)
{
    EXPECT_FALSE(mapfUnsaved());
    map.iTerrain[3][0][119] = 2;
    EXPECT_TRUE(mapfUnsaved());
    std::string tWhy;
    ASSERT_TRUE(mapfWrite("u.tmx", tWhy)) << tWhy;
    EXPECT_FALSE(mapfUnsaved());
    map.iTerrain[3][0][119] = 0;
    EXPECT_TRUE(mapfUnsaved());
    ASSERT_TRUE(mapfRead("u.tmx", tWhy)) << tWhy;
    EXPECT_FALSE(mapfUnsaved());
    EXPECT_EQ(map.iTerrain[3][0][119], 2);
    map.iTerrain[1][60][60] = 25;
    EXPECT_TRUE(mapfUnsaved());
    map.iTerrain[1][60][60] = 0;
    EXPECT_FALSE(mapfUnsaved());
    // Forgotten, the file counts as the empty map.
    mapfForget();
    EXPECT_TRUE(mapfUnsaved());
    map.iTerrain[3][0][119] = 0;
    EXPECT_FALSE(mapfUnsaved());
}

}  // namespace
