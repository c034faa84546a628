/*
 * Tarvenloft tests - the settings file reader.
 */
#include <gtest/gtest.h>

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
