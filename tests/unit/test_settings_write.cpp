/*
 * Tarvenloft tests - the language chosen, written into the settings file.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "scratch_dir.h"
#include "settings_write.h"
#include "user_settings.h"

static std::string readBytes(const std::filesystem::path& tFile)
{
    std::ifstream sIn(tFile, std::ios::binary);
    std::stringstream sOut;
    sOut << sIn.rdbuf();
    return sOut.str();
}

TEST(SettingsWriteTest, TheLanguageIsReplacedAndEveryOtherByteKept)
{
    const std::string tBefore = "# Settings\r\n#  Language: EN, SW\r\nWindowedMode ON\r\n"
                                "Language  SW   # Swedish\r\n\r\nDisplayScale AUTO";
    EXPECT_EQ(parWithLanguage(tBefore, "EN"),
              "# Settings\r\n#  Language: EN, SW\r\nWindowedMode ON\r\n"
              "Language  EN   # Swedish\r\n\r\nDisplayScale AUTO");
}

TEST(SettingsWriteTest, OnlyTheLanguageThatCountsIsReplaced)
{
    EXPECT_EQ(parWithLanguage("Language SW\nDebugMode ON Language DU\n", "SP"),
              "Language SW\nDebugMode ON Language SP\n");
    EXPECT_EQ(parWithLanguage("WindowedMode ON\nLanguage", "EN"), "WindowedMode ON\nLanguage EN");
}

TEST(SettingsWriteTest, ALineIsAddedEndedAsTheFileEndsItsLines)
{
    EXPECT_EQ(parWithLanguage("# Language SW\nMapFiles ON\n", "EN"),
              "# Language SW\nMapFiles ON\nLanguage EN\n");
    EXPECT_EQ(parWithLanguage("# Language SW\r\nMapFiles ON", "DU"),
              "# Language SW\r\nMapFiles ON\r\nLanguage DU\r\n");
    EXPECT_EQ(parWithLanguage("MapFiles ON\r\n# the end", "SW"),
              "MapFiles ON\r\n# the end\r\nLanguage SW\r\n");
    EXPECT_EQ(parWithLanguage("", "EN"), "Language EN\n");
}

// A language whose value also acts as a key keeps that key: the code goes before it.
TEST(SettingsWriteTest, AValueThatActsAsAKeyIsKept)
{
    const std::string tAfter = parWithLanguage("Language DisplayScale 3\n", "EN");
    EXPECT_EQ(tAfter, "Language EN DisplayScale 3\n");
    stSettings sRead;
    parSettingsText(tAfter, sRead);
    EXPECT_EQ(sRead.tLanguage, "EN");
    EXPECT_EQ(sRead.iDisplayScale, 3);
}

// The shipped settings gain one line, and read as before but for the language.
TEST(SettingsWriteTest, TheShippedSettingsGainOneLine)
{
    CScratchDir dir;
    std::filesystem::create_directories("data");
    const std::string tShipped = readBytes(TARVENLOFT_RUNTIME_DIR "/data/settings.ini");
    dir.Write("data/settings.ini", tShipped);
    ASSERT_TRUE(parKeepLanguage("SW"));
    EXPECT_EQ(readBytes("data/settings.ini"), tShipped + "Language SW\n");

    stSettings sRead;
    parSettingsText(readBytes("data/settings.ini"), sRead);
    EXPECT_EQ(sRead.tLanguage, "SW");
    EXPECT_TRUE(sRead.bMapFiles);
    EXPECT_TRUE(sRead.bWindowedMode);
    EXPECT_EQ(sRead.iDisplayScale, giScaleAuto);

    ASSERT_TRUE(parKeepLanguage("DU"));
    EXPECT_EQ(readBytes("data/settings.ini"), tShipped + "Language DU\n");
}

TEST(SettingsWriteTest, AMissingFileIsMadeAndAnUnwritableOneLeftAlone)
{
    CScratchDir dir;
    EXPECT_FALSE(parKeepLanguage("EN"));  // no data directory
    EXPECT_FALSE(std::filesystem::exists("data/settings.ini"));
    std::filesystem::create_directories("data");
    ASSERT_TRUE(parKeepLanguage("EN"));
    EXPECT_EQ(readBytes("data/settings.ini"), "Language EN\n");
    std::filesystem::remove("data/settings.ini");
    std::filesystem::create_directories("data/settings.ini");
    EXPECT_FALSE(parKeepLanguage("EN"));
    EXPECT_TRUE(std::filesystem::is_directory("data/settings.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("data"),
                            std::filesystem::directory_iterator()),
              1);
}
