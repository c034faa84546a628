/*
 * Tarvenloft tests - the user's folders under the XDG conventions, and the
 * last map kept in the state folder.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "last_map.h"
#include "platform.h"
#include "scratch_dir.h"

// A scratch home with no XDG variables; the old environment comes back afterwards.
class UserFoldersTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        for (const char* cName : cVariables)
        {
            const char* cOld = getenv(cName);
            tOld.push_back(cOld != NULL ? cOld : "");
            bHad.push_back(cOld != NULL);
            unsetenv(cName);
        }
        tHome = dir.tPath.string();
        setenv("HOME", tHome.c_str(), 1);
    }
    void TearDown() override
    {
        for (size_t i = 0; i < tOld.size(); i++)
        {
            if (bHad[i])
                setenv(cVariables[i], tOld[i].c_str(), 1);
            else
                unsetenv(cVariables[i]);
        }
    }
    std::string Read(const std::string& tFile)
    {
        std::ifstream sIn(tFile, std::ios::binary);
        std::stringstream sOut;
        sOut << sIn.rdbuf();
        return sOut.str();
    }
    static constexpr const char* cVariables[] = {"HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME"};
    std::vector<std::string> tOld;
    std::vector<bool> bHad;
    CScratchDir dir;
    std::string tHome;
};

TEST_F(UserFoldersTest, TheStateFolderFollowsXdgStateHome)
{
    EXPECT_EQ(platStateFolder(), tHome + "/.local/state/tarvenloft");
    setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: to be ignored
    EXPECT_EQ(platStateFolder(), tHome + "/.local/state/tarvenloft");
    setenv("XDG_STATE_HOME", (tHome + "/st").c_str(), 1);
    EXPECT_EQ(platStateFolder(), tHome + "/st/tarvenloft");
}

TEST_F(UserFoldersTest, TheMapsFolderIsInTheDocumentsFolderThatUserDirsNames)
{
    EXPECT_EQ(platMapsFolder(), tHome + "/Documents/Tarvenloft");
    dir.Write(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                        "XDG_DESKTOP_DIR=\"$HOME/Skrivbord\"\n"
                                        "XDG_DOCUMENTS_DIR=\"$HOME/Mina \\\"dokument\\\"\"\n");
    EXPECT_EQ(platMapsFolder(), tHome + "/Mina \"dokument\"/Tarvenloft");
    dir.Write("conf/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\r\n");
    setenv("XDG_CONFIG_HOME", (tHome + "/conf").c_str(), 1);
    EXPECT_EQ(platMapsFolder(), "/srv/docs/Tarvenloft");
    dir.Write("conf/user-dirs.dirs", "XDG_DOCUMENTS_DIR=docs\n");  // not a folder it can name
    EXPECT_EQ(platMapsFolder(), tHome + "/Documents/Tarvenloft");
}

TEST_F(UserFoldersTest, TheLastMapIsWrittenAbsoluteAndReadBack)
{
    EXPECT_EQ(lastMapRead(), "");
    ASSERT_TRUE(lastMapWrite("maps/first.tmx"));  // relative to the working directory
    const std::string tKept = tHome + "/.local/state/tarvenloft/last-map";
    EXPECT_EQ(Read(tKept), tHome + "/maps/first.tmx\n");
    EXPECT_EQ(lastMapRead(), tHome + "/maps/first.tmx");

    ASSERT_TRUE(lastMapWrite("/elsewhere/карта.tmx"));
    EXPECT_EQ(lastMapRead(), "/elsewhere/карта.tmx");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tHome + "/.local/state/tarvenloft"),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left
}

TEST_F(UserFoldersTest, ALastMapThatCannotBeKeptLeavesTheOldOne)
{
    setenv("XDG_STATE_HOME", (tHome + "/state").c_str(), 1);
    ASSERT_TRUE(lastMapWrite("/maps/a.tmx"));
    std::filesystem::permissions(tHome + "/state/tarvenloft",
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::owner_exec);
    if (access((tHome + "/state/tarvenloft").c_str(), W_OK) != 0)  // root may write anyway
    {
        EXPECT_FALSE(lastMapWrite("/maps/b.tmx"));
        EXPECT_EQ(lastMapRead(), "/maps/a.tmx");
    }
    std::filesystem::permissions(tHome + "/state/tarvenloft", std::filesystem::perms::owner_all);
    dir.Write("state/tarvenloft/last-map", "/maps/c.tmx\r\nrubbish");
    EXPECT_EQ(lastMapRead(), "/maps/c.tmx");
    unsetenv("XDG_STATE_HOME");
    dir.Write(".local/state", "a file, not a folder");
    EXPECT_FALSE(lastMapWrite("/maps/d.tmx"));
    EXPECT_EQ(lastMapRead(), "");
}
