/*
 * Tarvenloft tests - the settings file reader.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "scratch_dir.h"
#include "user_settings.h"

class SettingsTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        sys_bWindowedMode = false;
        sys_bDebugMode = false;
        sys_tLanguage = "XX";
        sys_iDisplayScale = giScaleUnset;
        sys_bMapFiles = false;
    }
    void Read(const std::string& tContent)
    {
        dir.Write("data/settings.ini", tContent);
        EXPECT_EQ(parSettingsIni(), 0);
    }
    CScratchDir dir;
};

TEST_F(SettingsTest, ThreeKeysOnThreeLines)
{
    Read("WindowedMode ON\nDebugMode ON\nLanguage SW\n");
    EXPECT_TRUE(sys_bWindowedMode);
    EXPECT_TRUE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "SW");
}

TEST_F(SettingsTest, KeysInAnyLayoutAndOffSwitchesBack)
{
    sys_bWindowedMode = true;
    sys_bDebugMode = true;
    Read("  Language\n\n  DU   DebugMode\tOFF WindowedMode\n\nOFF");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_FALSE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "DU");
}

TEST_F(SettingsTest, SwitchValuesAreCaseSensitive)
{
    Read("WindowedMode on\nDebugMode Off\n");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_FALSE(sys_bDebugMode);
    sys_bDebugMode = true;
    Read("DebugMode off\n");
    EXPECT_TRUE(sys_bDebugMode);
}

TEST_F(SettingsTest, KeysAreCaseSensitive)
{
    Read("windowedmode ON\nDEBUGMODE ON\nlanguage SW\n");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_FALSE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "XX");
}

TEST_F(SettingsTest, CommentTokenSkipsTheRestOfItsLine)
{
    Read("# WindowedMode ON\nDebugMode ON\n");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_TRUE(sys_bDebugMode);
}

TEST_F(SettingsTest, TokenThatOnlyBeginsWithHashIsNoComment)
{
    Read("#note DebugMode ON\n");
    EXPECT_TRUE(sys_bDebugMode);
}

TEST_F(SettingsTest, CommentAtEndOfFileWithoutLineBreak)
{
    Read("DebugMode ON\n# last line WindowedMode ON");
    EXPECT_TRUE(sys_bDebugMode);
    EXPECT_FALSE(sys_bWindowedMode);
}

TEST_F(SettingsTest, LastOccurrenceWins)
{
    Read("Language EN\nLanguage SP\nDebugMode ON DebugMode OFF\n");
    EXPECT_EQ(sys_tLanguage, "SP");
    EXPECT_FALSE(sys_bDebugMode);
}

TEST_F(SettingsTest, CarriageReturnLineEndsReadLikeLineFeeds)
{
    Read("# settings\r\nWindowedMode ON\r\nDebugMode ON\r\nLanguage SW\r\n");
    EXPECT_TRUE(sys_bWindowedMode);
    EXPECT_TRUE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "SW");
}

// The tests run one after another on one buffer: a value equal to a later key acts as that key.
TEST_F(SettingsTest, ValueEqualToALaterKeyActsAsThatKey)
{
    Read("Language DebugMode ON\n");
    EXPECT_EQ(sys_tLanguage, "DebugMode");
    EXPECT_FALSE(sys_bDebugMode);  // "ON" was read as the language's follower, not a value

    SetUp();
    Read("WindowedMode DebugMode ON\n");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_TRUE(sys_bDebugMode);

    SetUp();
    Read("WindowedMode # DebugMode ON\nLanguage SW\n");
    EXPECT_FALSE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "SW");
}

TEST_F(SettingsTest, DisplayScaleTakesAutoOrAWholeFactorFrom1To8)
{
    Read("DisplayScale AUTO\n");
    EXPECT_EQ(giScaleAuto, sys_iDisplayScale);
    for (int i = 1; i <= 8; i++)
    {
        Read("DisplayScale " + std::to_string(i) + "\n");
        EXPECT_EQ(i, sys_iDisplayScale);
    }
    Read("DisplayScale 0 DisplayScale 9 DisplayScale 02 DisplayScale 2x DisplayScale auto\n");
    EXPECT_EQ(8, sys_iDisplayScale);
    // Its test comes after the other four: a value equal to it acts as the key.
    Read("Language DisplayScale 3\n");
    EXPECT_EQ("DisplayScale", sys_tLanguage);
    EXPECT_EQ(3, sys_iDisplayScale);
}

// Map-file mode is read as the other switches are; its test comes last of all.
TEST_F(SettingsTest, MapFilesIsASwitchReadLikeWindowedMode)
{
    Read("MapFiles ON\n");
    EXPECT_TRUE(sys_bMapFiles);
    Read("MapFiles on\nmapfiles OFF\n");
    EXPECT_TRUE(sys_bMapFiles);
    Read("MapFiles ON\r\nMapFiles OFF\r\n");
    EXPECT_FALSE(sys_bMapFiles);
    Read("# MapFiles ON\nMapFiles\n");
    EXPECT_FALSE(sys_bMapFiles);
    Read("DisplayScale MapFiles ON\n");
    EXPECT_TRUE(sys_bMapFiles);
    EXPECT_EQ(giScaleUnset, sys_iDisplayScale);
}

TEST_F(SettingsTest, ValueEqualToAnEarlierKeyIsAPlainValue)
{
    Read("DebugMode WindowedMode ON\n");
    EXPECT_FALSE(sys_bDebugMode);
    EXPECT_FALSE(sys_bWindowedMode);
}

TEST_F(SettingsTest, MissingFileKeepsTheDefaults)
{
    EXPECT_EQ(parSettingsIni(), 0);
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_FALSE(sys_bDebugMode);
    EXPECT_EQ(sys_tLanguage, "XX");
}

TEST_F(SettingsTest, UnreadableFileKeepsTheDefaults)
{
    std::filesystem::create_directories(dir.tPath / "data" / "settings.ini");
    EXPECT_EQ(parSettingsIni(), 0);
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_EQ(sys_tLanguage, "XX");
}

TEST_F(SettingsTest, KeyWithoutValueAtEndChangesNothing)
{
    Read("WindowedMode ON\nLanguage");
    EXPECT_TRUE(sys_bWindowedMode);
    EXPECT_EQ(sys_tLanguage, "XX");

    SetUp();
    sys_bDebugMode = true;
    Read("DebugMode   \n\n");
    EXPECT_TRUE(sys_bDebugMode);

    SetUp();
    Read(std::string("Language \0\0DU\n", 15));
    EXPECT_EQ(sys_tLanguage, "XX");
}

TEST_F(SettingsTest, LongestTokenIsKeptWhole)
{
    std::string tLong(iBufferSize - 1, 'x');
    Read("Language " + tLong + "\n");
    EXPECT_EQ(sys_tLanguage, tLong);
}

// An overlong token is cut to the buffer and the rest of it skipped, so its tail is never
// taken for a key: the "Language" glued to its end does nothing.
TEST_F(SettingsTest, OverlongTokenIsCutAndItsTailSkipped)
{
    std::string tLong(5000, 'y');
    Read(tLong + "Language SW\nDebugMode ON\n");
    EXPECT_EQ(sys_tLanguage, "XX");
    EXPECT_TRUE(sys_bDebugMode);  // "SW" is skipped as an unknown token, "DebugMode" read

    SetUp();
    Read("Language " + tLong + "\nWindowedMode ON\n");
    EXPECT_EQ(sys_tLanguage, std::string(iBufferSize - 1, 'y'));
    EXPECT_TRUE(sys_bWindowedMode);
}

TEST_F(SettingsTest, EmptyAndBlankFilesChangeNothing)
{
    Read("");
    Read(" \n\t\r\n");
    EXPECT_FALSE(sys_bWindowedMode);
    EXPECT_EQ(sys_tLanguage, "XX");
}

// A "#" standing alone on its line ends at that line's break, whatever the line ends with and
// wherever it stands; the line after it is read.
TEST_F(SettingsTest, CommentOfABareHashEndsAtItsOwnLineBreak)
{
    const char* cFiles[] = {"#\nDebugMode ON\n", "#\r\nDebugMode ON\r\n", "# \nDebugMode ON",
                            "WindowedMode #\nDebugMode ON\n", "DebugMode ON\n#"};
    for (const char* cFile : cFiles)
    {
        SetUp();
        Read(cFile);
        EXPECT_TRUE(sys_bDebugMode) << cFile;
        EXPECT_FALSE(sys_bWindowedMode) << cFile;
    }
}

// The reader as first written down, with fscanf: "%s" leaves the blank after a token unread,
// and the loop runs while the file is not at its end.
static void settingsReadLiterally(bool& bWindowed, bool& bDebug, std::string& tLanguage)
{
    FILE* pFile = fopen("data/settings.ini", "rt");
    ASSERT_NE(pFile, nullptr);
    char cBuffer[iBufferSize] = "";
    while (!feof(pFile))
    {
        if (fscanf(pFile, "%s", cBuffer) != 1)
        {
            continue;  // only blanks were left: the next feof ends the loop
        }
        if (strcmp(cBuffer, "WindowedMode") == 0 && fscanf(pFile, "%s", cBuffer) == 1)
        {
            bWindowed = strcmp(cBuffer, "ON") == 0    ? true
                        : strcmp(cBuffer, "OFF") == 0 ? false
                                                      : bWindowed;
        }
        if (strcmp(cBuffer, "DebugMode") == 0 && fscanf(pFile, "%s", cBuffer) == 1)
        {
            bDebug = strcmp(cBuffer, "ON") == 0    ? true
                     : strcmp(cBuffer, "OFF") == 0 ? false
                                                   : bDebug;
        }
        if (strcmp(cBuffer, "Language") == 0 && fscanf(pFile, "%s", cBuffer) == 1)
        {
            tLanguage = cBuffer;
        }
        if (strcmp(cBuffer, "#") == 0)
        {
            while (fscanf(pFile, "%c", cBuffer) == 1 && cBuffer[0] != '\n')
            {
            }
        }
    }
    fclose(pFile);
}

// Random files of keys, values, comments and every kind of blank read the same as the fscanf
// reader. Each ends in a plain word, so that no key lacks its value (a case the two readers
// settle differently on purpose).
TEST_F(SettingsTest, ReadsAsTheFscanfReaderDoes)
{
    const char* cWords[] = {"WindowedMode", "DebugMode", "Language", "ON", "OFF", "#", "#x", "SW"};
    const char* cBlanks[] = {" ", "\n", "\r\n", "\t", " \n"};
    std::mt19937 rng(1234);
    for (int iFile = 0; iFile < 400; iFile++)
    {
        std::string tFile;
        int iWords = 1 + rng() % 12;
        for (int i = 0; i < iWords; i++)
        {
            tFile += std::string(cWords[rng() % 8]) + cBlanks[rng() % 5];
        }
        tFile += "end";
        SetUp();
        Read(tFile);
        bool bWindowed = false, bDebug = false;
        std::string tLanguage = "XX";
        settingsReadLiterally(bWindowed, bDebug, tLanguage);
        ASSERT_EQ(sys_bWindowedMode, bWindowed) << tFile;
        ASSERT_EQ(sys_bDebugMode, bDebug) << tFile;
        ASSERT_EQ(sys_tLanguage, tLanguage) << tFile;
    }
}
