/*
 * Tarvenloft unit tests - what the map file reader refuses, and what of
 * Tiled's own ways of writing a map it accepts.
 *
 * Each refusal is a small valid map (tmx_text.h, as Tiled writes it) with
 * one change; the reason must name the fault, stay short enough for the
 * editor's window, leave out the file's name, and leave the map and the
 * open file as they were.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "header.h"
#include "map_file.h"
#include "scratch_dir.h"
#include "tmx_text.h"

namespace
{

class MapFileChecks : public testing::Test
{
  protected:
    void SetUp() override
    {
        map.Clear();
        mapfForget();
    }
    void TearDown() override
    {
        map.Clear();
        mapfForget();
    }
    CScratchDir sDir;
};

// Cell (0, 0) holds terrain 1 (tile id 4) and cell (5, 7) terrain 25 (tile id 52).
int mfBaseTerrain(int x, int y)
{
    return x == 0 && y == 0 ? 1 : (x == 5 && y == 7 ? 25 : 0);
}

std::string mfBase()
{
    return tmxMap(tTmxTileset + tmxLayer(1, " encoding=\"csv\"", tmxCsv(tmxIds(mfBaseTerrain))), 2);
}

// tText with its first tOld replaced by tNew.
std::string mfChange(std::string tText, const std::string& tOld, const std::string& tNew)
{
    const size_t iAt = tText.find(tOld);
    EXPECT_NE(iAt, std::string::npos) << tOld;
    return iAt == std::string::npos ? tText : tText.replace(iAt, tOld.size(), tNew);
}

struct stMfCase
{
    std::string tName;
    std::string tText;
    std::string tExpect;  // a part of the reason
};

// A map whose one layer has the given data.
std::string mfLayerMap(const std::string& tAttributes, const std::string& tData)
{
    return tmxMap(tTmxTileset + tmxLayer(1, tAttributes, tData), 2);
}

std::vector<stMfCase> mfRefusals()
{
    const std::string b = mfBase();
    const std::string tFirst = "csv\">\n4,";
    const std::string tLast = ",0\n</data>";
    const std::string tLayer = tmxLayer(2, " encoding=\"csv\"", tmxCsv(tmxIds(mfBaseTerrain)));
    return {
        {"orientation", mfChange(b, "\"orthogonal\"", "\"isometric\""),
         "line 2: the map is isometric; only orthogonal maps can be opened"},
        {"infinite", mfChange(b, "infinite=\"0\"", "infinite=\"1\""),
         "line 2: the map is infinite"},
        {"map size",
         mfChange(b, "width=\"120\" height=\"120\" tilewidth",
                  "width=\"100\" "
                  "height=\"120\" tilewidth"),
         "the map is 100 x 120 cells; it must be 120 x 120"},
        {"cell size",
         mfChange(b, "tilewidth=\"32\" tileheight=\"32\"", "tilewidth=\"16\" tileheight=\"24\""),
         "the map's cells are 16 x 24 pixels; they must be 32 x 32"},
        {"fifth layer", mfChange(b, "</map>", tLayer + tLayer + tLayer + tLayer + "</map>"),
         "a fifth tile layer"},
        {"group",
         mfChange(mfChange(b, " <layer", " <group id=\"3\" name=\"g\">\n <layer"), "</map>",
                  "</group>\n</map>"),
         "line 7: a tile layer in a group layer"},
        {"second tileset", mfChange(b, " <layer", tTmxTileset + " <layer"),
         "line 6: a second tileset"},
        {"tile size", mfChange(b, "tileheight=\"48\"", "tileheight=\"32\""),
         "the tileset's tiles are 32 x 32 pixels"},
        {"columns", mfChange(b, "columns=\"2\"", "columns=\"3\""), "the tileset has 3 columns"},
        {"image width", mfChange(b, "width=\"64\"", "width=\"128\""), "the tileset has 4 columns"},
        {"spacing", mfChange(b, "columns=\"2\"", "columns=\"2\" spacing=\"1\""),
         "line 3: the tileset has spacing 1; it must have none"},
        {"margin", mfChange(b, "columns=\"2\"", "columns=\"2\" margin=\"2\""),
         "the tileset has margin 2; it must have none"},
        {"zstd", mfChange(b, "encoding=\"csv\"", "encoding=\"base64\" compression=\"zstd\""),
         "line 7: layer 1: zstd compression"},
        {"compression", mfChange(b, "encoding=\"csv\"", "encoding=\"base64\" compression=\"lzma\""),
         "layer 1: the unknown compression \"lzma\""},
        {"encoding", mfChange(b, "encoding=\"csv\"", "encoding=\"hex\""),
         "layer 1: the unknown encoding \"hex\""},
        {"flip flags", mfChange(b, tFirst, "csv\">\n2147483652,"),
         "line 8: layer 1, cell 0,0: a flipped or rotated tile"},
        {"first column", mfChange(b, tFirst, "csv\">\n3,"),
         "tile id 3 is no terrain (first column)"},
        {"row 0", mfChange(b, tFirst, "csv\">\n2,"), "tile id 2 is no terrain (row 0)"},
        {"past row 25", mfChange(b, "52,", "54,"),
         "line 15: layer 1, cell 5,7: tile id 54 is no terrain (past row 25)"},
        {"below firstgid", mfChange(b, "firstgid=\"1\"", "firstgid=\"5\""),
         "tile id 4 is below firstgid 5"},
        {"firstgid into the flags", mfChange(b, "firstgid=\"1\"", "firstgid=\"268435405\""),
         "line 3: firstgid 268435405 with 52 tiles reaches the flip flags"},
        {"too few values", mfChange(b, tLast, "\n</data>"),
         "layer 1: 14399 values; it must have 14400"},
        {"too many values", mfChange(b, tLast, ",0,0\n</data>"), "layer 1: more than 14400 values"},
        {"trailing comma", mfChange(b, tLast, ",0,\n</data>"),
         "line 127: layer 1: a comma after the last value"},
        {"not a number", mfChange(b, tFirst, "csv\">\n4x,"),
         "line 8: layer 1: \"4x\" is no tile id"},
        {"too large a number", mfChange(b, tFirst, "csv\">\n4294967296,"),
         "\"4294967296\" is no tile id"},
        {"broken XML", mfChange(b, " </layer>\n", ""),
         "line 129: broken XML: Start-end tags mismatch"},
        {"not a map", mfChange(mfChange(b, "<map ", "<tileset "), "</map>", "</tileset>"),
         "no TMX map"},
        {"layer size", mfChange(b, "\"Layer 1\" width=\"120\"", "\"Layer 1\" width=\"60\""),
         "layer 1 is 60 x 120 cells"},
        {"no data", mfChange(mfChange(b, "<data encoding=\"csv\">", "<!--"), "</data>", "-->"),
         "line 6: layer 1 has no <data>"},
        {"bad base64", mfLayerMap(" encoding=\"base64\"", "\n   AAA!\n  "),
         "line 7: layer 1: bad base64"},
        {"broken zlib", mfLayerMap(" encoding=\"base64\" compression=\"zlib\"", "AAAAAAAA"),
         "layer 1: broken zlib data"},
        {"short base64", mfLayerMap(" encoding=\"base64\"", "AAAAAA=="),
         "layer 1: 4 bytes of data; it must have 57600"},
        {"no tileset", mfChange(b, tTmxTileset, ""), "the map has no tileset"},
        {"tileset file",
         mfChange(b, tTmxTileset, " <tileset firstgid=\"1\" source=\"lost.tsx\"/>\n"),
         "cannot read the tileset \"lost.tsx\": No such file or directory"},
        {"empty", "\n  \n", "is empty"},
    };
}

TEST_F(MapFileChecks, EveryFaultIsRefusedWithItsNameAndNothingChanges)
{
    const std::string tGood = mfChange(mfBase(), "<map", "<!-- kept -->\n<map");
    sDir.Write("good.tmx", tGood);
    std::string tWhy;
    ASSERT_TRUE(mapfRead("good.tmx", tWhy)) << tWhy;
    for (const stMfCase& c : mfRefusals())
    {
        sDir.Write("bad.tmx", c.tText);
        map.iTerrain[3][7][9] = 5;
        tWhy = "";
        EXPECT_FALSE(mapfRead("bad.tmx", tWhy)) << c.tName;
        EXPECT_NE(tWhy.find(c.tExpect), std::string::npos) << c.tName << ": " << tWhy;
        EXPECT_LE(tWhy.size(), 80u) << c.tName << ": " << tWhy;
        EXPECT_EQ(tWhy.find("bad.tmx"), std::string::npos) << c.tName << ": " << tWhy;
        EXPECT_EQ(map.iTerrain[3][7][9], 5) << c.tName;
        EXPECT_EQ(map.iTerrain[0][5][7], 25) << c.tName;
    }
    // The open file is still the good one.
    map.iTerrain[3][7][9] = 0;
    ASSERT_TRUE(mapfWrite("good.tmx", tWhy)) << tWhy;
    EXPECT_EQ(tmxOutsideData(tmxReadFile("good.tmx")), tmxOutsideData(tGood));
}

TEST_F(MapFileChecks, FilesThatCannotBeReadAreRefused)
{
    std::filesystem::create_directory("folder.tmx");
    ASSERT_EQ(mkfifo("pipe.tmx", 0600), 0);
    sDir.Write("huge.tmx", mfBase() + std::string(4 << 20, ' '));
    sDir.Write("odd.tsx",
               "<tileset name=\"t\" tilewidth=\"32\" tileheight=\"48\"\n columns=\"4\"/>");
    sDir.Write("broken.tsx", "<tileset>\n</tile>");
    sDir.Write("odd.tmx",
               mfChange(mfBase(), tTmxTileset, " <tileset firstgid=\"1\" source=\"odd.tsx\"/>\n"));
    sDir.Write("broken.tmx", mfChange(mfBase(), tTmxTileset,
                                      " <tileset firstgid=\"1\" source=\"broken.tsx\"/>\n"));
    const std::vector<std::pair<std::string, std::string>> vCases = {
        {"missing.tmx", "cannot read the file: No such file or directory"},
        {"folder.tmx", "cannot read the file: it is a directory"},
        {"pipe.tmx", "cannot read the file: it is no ordinary file"},
        {"huge.tmx", "cannot read the file: it is larger than 4 MiB"},
        {"odd.tmx", "\"odd.tsx\" line 1: the tileset has 4 columns; it must have 2"},
        {"broken.tmx", "\"broken.tsx\" line 2: broken XML"},
    };
    for (const auto& c : vCases)
    {
        std::string tWhy;
        EXPECT_FALSE(mapfRead(c.first, tWhy)) << c.first;
        EXPECT_NE(tWhy.find(c.second), std::string::npos) << c.first << ": " << tWhy;
    }
    if (geteuid() != 0)  // root reads whatever the permissions say
    {
        sDir.Write("locked.tmx", mfBase());
        std::filesystem::permissions("locked.tmx", std::filesystem::perms::none);
        std::string tWhy;
        EXPECT_FALSE(mapfRead("locked.tmx", tWhy));
        EXPECT_NE(tWhy.find("Permission denied"), std::string::npos) << tWhy;
    }
}

// A tileset's ids, firstgid to firstgid + tiles - 1, stay below bit 28, where a tile id's flags
// begin: else the map would open and every save would fail. The tiles are the tilecount, or else
// what the image's height gives, and never fewer than the terrain needs.
TEST_F(MapFileChecks, TileIdsStayBelowTheFlagBits)
{
    const std::string tShared =
        "<tileset name=\"001\" tilewidth=\"32\" tileheight=\"48\" tilecount=\"52\" "
        "columns=\"2\">\n <image source=\"001.png\" width=\"64\" height=\"1248\"/>\n</tileset>\n";
    sDir.Write("shared.tsx", tShared);
    std::ifstream sFinding(TARVENLOFT_TEST_DATA_DIR "/map-repro/firstgid_flag_bits.tmx",
                           std::ios::binary);
    ASSERT_TRUE(sFinding.good());
    sDir.Write("finding.tmx", std::string(std::istreambuf_iterator<char>(sFinding), {}));
    std::string tWhy;
    EXPECT_FALSE(mapfRead("finding.tmx", tWhy));
    EXPECT_EQ(tWhy, "line 3: firstgid 378427554 with 52 tiles reaches the flip flags");

    // The highest terrain tile of the last firstgid that fits has id 2^28 - 1: it is read and
    // saved, and the saved file reads back.
    const uint32_t iLast = 268435404;
    const std::string tFits = tmxMap(
        mfChange(tTmxTileset, "firstgid=\"1\"", "firstgid=\"" + std::to_string(iLast) + "\"") +
        tmxLayer(1, " encoding=\"csv\"", tmxCsv(tmxIds(mfBaseTerrain, iLast))));
    sDir.Write("fits.tmx", tFits);
    ASSERT_TRUE(mapfRead("fits.tmx", tWhy)) << tWhy;
    EXPECT_EQ(map.iTerrain[0][5][7], 25);
    ASSERT_TRUE(mapfWrite("fits.tmx", tWhy)) << tWhy;
    ASSERT_TRUE(mapfRead("fits.tmx", tWhy)) << tWhy;

    // One tile more, or an image one row taller without a tilecount, reaches bit 28; so does a
    // firstgid one higher with a smaller tilecount, since the terrain's tiles count.
    const std::vector<std::pair<std::string, std::string>> vCases = {
        {mfChange(tFits, "tilecount=\"52\"", "tilecount=\"53\""), "268435404 with 53 tiles"},
        {mfChange(mfChange(tFits, " tilecount=\"52\"", ""), "height=\"1248\"", "height=\"1296\""),
         "268435404 with 54 tiles"},
        {mfChange(mfChange(tFits, "tilecount=\"52\"", "tilecount=\"10\""), "=\"268435404\"",
                  "=\"268435405\""),
         "268435405 with 52 tiles"},
    };
    for (const auto& c : vCases)
    {
        sDir.Write("past.tmx", c.first);
        EXPECT_FALSE(mapfRead("past.tmx", tWhy)) << c.second;
        EXPECT_EQ(tWhy, "line 3: firstgid " + c.second + " reaches the flip flags");
    }
}

// What Tiled writes, or reads without a word, for such a map.
TEST_F(MapFileChecks, TiledsOwnVariantsAreRead)
{
    const std::string b = mfBase();
    std::string tCrLf;
    for (char c : b)
    {
        tCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    sDir.Write(
        "maps/shared.tsx",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tileset version=\"1.8\" name=\"001\" "
        "tilewidth=\"32\" tileheight=\"48\" tilecount=\"52\" columns=\"2\">\n <image "
        "source=\"../001.png\" trans=\"ff00ff\" width=\"64\" height=\"1248\"/>\n</tileset>\n");
    const std::string tExternal =
        tmxMap(" <tileset firstgid=\"3\" source=\"maps/shared.tsx\"/>\n" +
               tmxLayer(1, " encoding=\"csv\"", tmxCsv(tmxIds(mfBaseTerrain, 3))));
    const std::vector<std::pair<std::string, std::string>> vCases = {
        {"CR LF line ends", tCrLf},
        {"whitespace around the data",
         mfChange(mfChange(b, "csv\">\n", "csv\">  \n\t \n"), "\n</data>", "\n \t\n  </data>")},
        {"trans with # in capitals", mfChange(b, "trans=\"ff00ff\"", "trans=\"#FF00FF\"")},
        {"any image path", mfChange(b, "source=\"001.png\"", "source=\"C:/art/Other Tiles.png\"")},
        {"an empty field is 0", mfChange(b, "csv\">\n4,0,", "csv\">\n4,,")},
        {"an external tileset", tExternal},
    };
    for (const auto& c : vCases)
    {
        sDir.Write("variant.tmx", c.second);
        map.iTerrain[2][1][1] = 7;
        std::string tWhy;
        EXPECT_TRUE(mapfRead("variant.tmx", tWhy)) << c.first << ": " << tWhy;
        EXPECT_EQ(map.iTerrain[0][0][0], 1) << c.first;
        EXPECT_EQ(map.iTerrain[0][5][7], 25) << c.first;
        EXPECT_EQ(map.iTerrain[0][7][5], 0) << c.first;
        EXPECT_EQ(map.iTerrain[2][1][1], 0) << c.first;  // layers the file lacks are empty
    }
}

}  // namespace
