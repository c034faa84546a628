/*
 * Tarvenloft unit tests - string tables and the language file reader.
 *
 * The reader is run on small files written into a private directory that
 * stands in for the working directory, under system/text/<code>/.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <new>
#include <unistd.h>

#include "header.h"
#include "lang_parser.h"

namespace fs = std::filesystem;

// Fills the rest of the table with filler entries and returns how many slots were in use.
static int stringsUsedSlots(CText& table)
{
    int iFree = 0;
    while (table.Put("~filler", "") == 0)
    {
        iFree++;
    }
    return giTotalStrings - iFree;
}

class CTextTest : public testing::Test
{
  protected:
    CText table;

    void SetUp() override
    {
        sys_bDebugMode = false;
        table.Clear();
    }
    void TearDown() override
    {
        sys_bDebugMode = false;
    }
};

// A table made over used memory still starts with every slot free.
TEST_F(CTextTest, NewTableIsEmpty)
{
    alignas(CText) static unsigned char cMemory[sizeof(CText)];
    memset(cMemory, 0xFF, sizeof(cMemory));
    CText* pFresh = new (cMemory) CText;
    EXPECT_EQ(stringsUsedSlots(*pFresh), 0);
    pFresh->~CText();
}

TEST_F(CTextTest, DuplicateKeysTakeTwoSlotsAndTheFirstIsFound)
{
    EXPECT_EQ(table.Put("save", "first"), 0);
    EXPECT_EQ(table.Put("save", "second"), 0);
    EXPECT_EQ(table.Get("save"), "first");
    EXPECT_EQ(stringsUsedSlots(table), 2);
}

TEST_F(CTextTest, PutIntoAFullTableFailsAndStoresNothing)
{
    for (int i = 0; i < giTotalStrings; i++)
    {
        ASSERT_EQ(table.Put("k" + std::to_string(i), "t" + std::to_string(i)), 0);
    }
    EXPECT_EQ(table.Put("late", "lost"), -1);
    EXPECT_EQ(table.Get("late"), "");
    EXPECT_EQ(table.Put("k3", "lost"), -1);
    EXPECT_EQ(table.Get("k3"), "t3");
    EXPECT_EQ(table.Get("k499"), "t499");
}

TEST_F(CTextTest, KeysMatchExactly)
{
    table.Put("quit", "Quit");
    EXPECT_EQ(table.Get("quit"), "Quit");
    EXPECT_EQ(table.Get("Quit"), "");
    EXPECT_EQ(table.Get(" quit"), "");
    EXPECT_EQ(table.Get("quit "), "");
    EXPECT_EQ(table.Get("qui"), "");
}

TEST_F(CTextTest, MissReadsErrorOnlyInDebugMode)
{
    table.Put("help", "Help");
    EXPECT_EQ(table.Get("nothing"), "");
    sys_bDebugMode = true;
    EXPECT_EQ(table.Get("nothing"), "!Error!");
    EXPECT_EQ(table.Get("help"), "Help");
    sys_bDebugMode = false;
    EXPECT_EQ(table.Get("nothing"), "");
}

TEST_F(CTextTest, EmptyKeyIsAKeyLikeAnyOther)
{
    table.Put("a", "A");
    table.Put("", "blank");
    EXPECT_EQ(table.Get(""), "blank");
    EXPECT_EQ(table.Get("a"), "A");
}

// Free slots have empty keys, so an empty name finds the first free slot and its empty text.
TEST_F(CTextTest, EmptyNameMatchesAFreeSlotEvenInDebugMode)
{
    sys_bDebugMode = true;
    table.Put("a", "A");
    EXPECT_EQ(table.Get(""), "");
    for (int i = 1; i < giTotalStrings; i++)
    {
        table.Put("k" + std::to_string(i), "t");
    }
    EXPECT_EQ(table.Get(""), "!Error!");  // no free slot left to match
}

TEST_F(CTextTest, ClearEmptiesEverySlot)
{
    for (int i = 0; i < giTotalStrings; i++)
    {
        table.Put("k" + std::to_string(i), "old");
    }
    EXPECT_EQ(table.Clear(), 0);
    EXPECT_EQ(table.Get("k0"), "");
    EXPECT_EQ(table.Get("k499"), "");
    EXPECT_EQ(table.Put("k7", "new"), 0);
    EXPECT_EQ(table.Get("k7"), "new");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}

TEST_F(CTextTest, GetHandsOutACopy)
{
    table.Put("save", "Save");
    std::string tGot = table.Get("save");
    tGot[0] = 'X';
    tGot += "!";
    EXPECT_EQ(table.Get("save"), "Save");
}

class ParStringsTest : public testing::Test
{
  protected:
    CText table;
    fs::path pOldDir;
    fs::path pDir;

    void SetUp() override
    {
        sys_bDebugMode = false;
        sys_tLanguage = "EN";
        sys_tPath = "system/";
        table.Clear();
        pOldDir = fs::current_path();
        char cTemplate[] = "/tmp/tarvenloft_strings_XXXXXX";
        ASSERT_NE(mkdtemp(cTemplate), nullptr);
        pDir = cTemplate;
        fs::create_directories(pDir / "system/text/EN");
        fs::current_path(pDir);
    }
    void TearDown() override
    {
        fs::current_path(pOldDir);
        fs::remove_all(pDir);
        sys_tLanguage = "XX";
        sys_bDebugMode = false;
    }

    void Write(const std::string& tName, const std::string& tBytes, const std::string& tCode = "EN")
    {
        fs::create_directories("system/text/" + tCode);
        std::ofstream out("system/text/" + tCode + "/" + tName + ".txt", std::ios::binary);
        out << tBytes;
    }

    // Writes tBytes as test.txt and reads it into the table. An end of file that the reader
    // does not notice would hang it; the alarm turns that into a failure.
    int Parse(const std::string& tBytes)
    {
        Write("test", tBytes);
        alarm(10);
        int iResult = parStrings(table, "test");
        alarm(0);
        return iResult;
    }
};

TEST_F(ParStringsTest, ReadsEntriesFromTheLanguageDirectory)
{
    Write("map_editor", "[save]Save the map^\n[quit]Quit^\n");
    Write("map_editor", "[save]Spara^\n", "SW");
    EXPECT_EQ(parStrings(table, "map_editor"), 0);
    EXPECT_EQ(table.Get("save"), "Save the map");
    EXPECT_EQ(table.Get("quit"), "Quit");
    sys_tLanguage = "SW";
    parStrings(table, "map_editor");
    EXPECT_EQ(table.Get("save"), "Spara");
    EXPECT_EQ(table.Get("quit"), "");
}

TEST_F(ParStringsTest, TheLanguageCodeIsUsedAsStored)
{
    Write("map_editor", "[save]Spara^\n", "SW");
    sys_tLanguage = "sw";
    parStrings(table, "map_editor");
    EXPECT_EQ(table.Get("save"), "");
}

TEST_F(ParStringsTest, LineFeedsInTextsBecomeSpaces)
{
    Parse("[help]First line\n  second line\n   third^\n"
          "[next]\nstarts on the next line^\n");
    EXPECT_EQ(table.Get("help"), "First line   second line    third");
    EXPECT_EQ(table.Get("next"), " starts on the next line");
}

TEST_F(ParStringsTest, OnlySpacesAfterTheKeyAreSkipped)
{
    Parse("[a]    spaced  ^\n[b]\ttabbed^\n[c]^\n[d]     ^\n");
    EXPECT_EQ(table.Get("a"), "spaced  ");
    EXPECT_EQ(table.Get("b"), "\ttabbed");
    EXPECT_EQ(table.Get("c"), "");
    EXPECT_EQ(table.Get("d"), "");
    EXPECT_EQ(stringsUsedSlots(table), 4);
}

TEST_F(ParStringsTest, KeysKeepEveryByteUpToTheBracket)
{
    Parse("[ save]A^[Save]B^[a#b[c^]C^");
    EXPECT_EQ(table.Get(" save"), "A");
    EXPECT_EQ(table.Get("save"), "");
    EXPECT_EQ(table.Get("Save"), "B");
    EXPECT_EQ(table.Get("a#b[c^"), "C");
}

TEST_F(ParStringsTest, CommentsRunToTheEndOfTheLine)
{
    Parse("# [hidden]not an entry^\n"
          "[hash]Entry #1 [x] stays^ # a comment [after]no^\n"
          "[last]Last^\n");
    EXPECT_EQ(table.Get("hash"), "Entry #1 [x] stays");
    EXPECT_EQ(table.Get("hidden"), "");
    EXPECT_EQ(table.Get("after"), "");
    EXPECT_EQ(table.Get("last"), "Last");
    EXPECT_EQ(stringsUsedSlots(table), 2);
}

TEST_F(ParStringsTest, StrayCharactersBetweenEntriesDoNothing)
{
    Parse("words ] here ^\n\n\n[one]1^ trailing ] ^ words\n  ^]] \n[two]2^");
    EXPECT_EQ(table.Get("one"), "1");
    EXPECT_EQ(table.Get("two"), "2");
    EXPECT_EQ(stringsUsedSlots(table), 2);
}

TEST_F(ParStringsTest, FirstOfTwoEqualKeysIsFound)
{
    Parse("[k]first^\n[k]second^\n");
    EXPECT_EQ(table.Get("k"), "first");
    EXPECT_EQ(stringsUsedSlots(table), 2);
}

TEST_F(ParStringsTest, CarriageReturnLineFeedReadsAsLineFeed)
{
    const std::string tLF = "# comment\n[a]one\n two^\n[b]\nthree^ # c [x]y^\n[c]x\ry^\n";
    std::string tCRLF;
    for (char c : tLF)
    {
        if (c == '\n')
        {
            tCRLF += '\r';
        }
        tCRLF += c;
    }
    Parse(tLF);
    std::string tA = table.Get("a"), tB = table.Get("b"), tC = table.Get("c");
    Parse(tCRLF);
    EXPECT_EQ(table.Get("a"), tA);
    EXPECT_EQ(table.Get("b"), tB);
    EXPECT_EQ(table.Get("c"), tC);
    EXPECT_EQ(table.Get("a"), "one  two");
    EXPECT_EQ(table.Get("b"), " three");
    EXPECT_EQ(table.Get("c"), "x\ry");  // a lone CR is an ordinary byte
    EXPECT_EQ(table.Get("x"), "");
    EXPECT_EQ(stringsUsedSlots(table), 3);
}

TEST_F(ParStringsTest, CarriageReturnsBeforeALineFeedInAKey)
{
    Parse("[k\r\ney\r\r\n]v\r\r\n^");
    EXPECT_EQ(table.Get("k\ney\r\n"), "v\r ");
}

TEST_F(ParStringsTest, HighBytesAreStoredUnchanged)
{
    std::string tHigh;
    for (int i = 128; i < 256; i++)
    {
        tHigh += (char)i;
    }
    Parse("[\xe5\xe4\xf6]" + tHigh + "^\n[after]still read^\n");
    EXPECT_EQ(table.Get("\xe5\xe4\xf6"), tHigh);
    EXPECT_EQ(table.Get("after"), "still read");
}

TEST_F(ParStringsTest, SecondFileReplacesTheFirst)
{
    Parse("[a]A^[b]B^");
    Parse("[c]C^");
    EXPECT_EQ(table.Get("a"), "");
    EXPECT_EQ(table.Get("b"), "");
    EXPECT_EQ(table.Get("c"), "C");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}

TEST_F(ParStringsTest, EmptyOrCommentOnlyFilesLeaveTheTableEmpty)
{
    table.Put("old", "Old");
    EXPECT_EQ(Parse(""), 0);
    EXPECT_EQ(stringsUsedSlots(table), 0);
    table.Clear();
    table.Put("old", "Old");
    Parse("# one\n#two [a]b^\n\n# three");
    EXPECT_EQ(table.Get("old"), "");
    EXPECT_EQ(stringsUsedSlots(table), 0);
}

TEST_F(ParStringsTest, MissingFileLeavesTheTableCleared)
{
    table.Put("save", "Save");
    EXPECT_EQ(parStrings(table, "no_such_file"), 0);
    EXPECT_EQ(table.Get("save"), "");
    sys_tLanguage = "XX";
    table.Put("save", "Save");
    EXPECT_EQ(parStrings(table, "map_editor"), 0);
    sys_bDebugMode = true;
    EXPECT_EQ(table.Get("save"), "!Error!");
    EXPECT_EQ(stringsUsedSlots(table), 0);
}

TEST_F(ParStringsTest, EntriesAfterTheFiveHundredthAreDropped)
{
    std::string tFile;
    for (int i = 0; i < giTotalStrings + 3; i++)
    {
        tFile += "[k" + std::to_string(i) + "]t" + std::to_string(i) + "^\n";
    }
    EXPECT_EQ(Parse(tFile), 0);
    EXPECT_EQ(table.Get("k499"), "t499");
    EXPECT_EQ(table.Get("k500"), "");
    EXPECT_EQ(table.Get("k502"), "");
}

// An entry cut off by the end of the file is dropped; the entries before it stay.
TEST_F(ParStringsTest, EndOfFileInsideAKeyDropsTheEntry)
{
    EXPECT_EQ(Parse("[a]A^\n[unfinished key"), 0);
    EXPECT_EQ(table.Get("a"), "A");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}

TEST_F(ParStringsTest, EndOfFileAfterTheKeyDropsTheEntry)
{
    EXPECT_EQ(Parse("[a]A^\n[b]"), 0);
    EXPECT_EQ(stringsUsedSlots(table), 1);
    table.Clear();
    EXPECT_EQ(Parse("[a]A^\n[b]   "), 0);
    EXPECT_EQ(table.Get("a"), "A");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}

TEST_F(ParStringsTest, EndOfFileInsideATextDropsTheEntry)
{
    EXPECT_EQ(Parse("[a]A^\n[b]text without its end\nand more"), 0);
    EXPECT_EQ(table.Get("a"), "A");
    EXPECT_EQ(table.Get("b"), "");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}

TEST_F(ParStringsTest, EndOfFileInsideACommentEndsTheReading)
{
    EXPECT_EQ(Parse("[a]A^ # last line without a line feed"), 0);
    EXPECT_EQ(table.Get("a"), "A");
    EXPECT_EQ(stringsUsedSlots(table), 1);
}
