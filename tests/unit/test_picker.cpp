/*
 * Tarvenloft unit tests - the file picker.
 *
 * The list and the name checks are tested on a scratch folder and on
 * names. The picker itself runs for real, frame by frame, without a
 * display, as the editor's tests run the editor: a timer driver of the
 * test's own makes every frame boundary a step of a script, which sets the
 * mouse and the held keys and puts typed characters into the library's key
 * buffer (through a stand-in keyboard driver, which ureadkey needs). Typed
 * characters never show in the held keys, like a press shorter than a
 * frame. The fonts fill each glyph's cell with a colour that names its
 * code, so the picture tells what was written where.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "header.h"

#include <loadpng.h>

#include "buttons.h"
#include "file_picker.h"
#include "keyboard.h"
#include "pick_name.h"
#include "scratch_dir.h"
#include "text.h"
#include "text_utf8.h"
#include "timing.h"

namespace fs = std::filesystem;

namespace
{

std::vector<std::string> pickNames(const stPickFolder& folder)
{
    std::vector<std::string> vNames;
    for (const stPickEntry& entry : folder.vEntries)
    {
        vNames.push_back(entry.tName);
    }
    return vNames;
}

TEST(PickList, FoldersThenMapsEachSortedWithoutCaseUnderTheWayUp)
{
    CScratchDir dir;
    for (const char* cFolder : {"beta", "Alpha", "gamma", ".hidden", "dir.tmx"})
    {
        fs::create_directory(dir.tPath / cFolder);
    }
    for (const char* cFile :
         {"b.tmx", "A.TMX", "c.txt", "zeta.tmx", ".x.tmx", "tmx", "\xC3\x89mile.tmx",
          "\xC3\xA9"
          "cole.tmx",
          "\xD0\x96.tmx"})
    {
        dir.Write(cFile, "x");
    }
    stPickFolder folder;
    std::string tWhy;
    ASSERT_TRUE(pickList(dir.tPath.u8string(), {}, folder, tWhy)) << tWhy;
    EXPECT_EQ(pickNames(folder), std::vector<std::string>({"..", "Alpha", "beta", "dir.tmx",
                                                           "gamma", "A.TMX", "b.tmx", "zeta.tmx",
                                                           "\xC3\xA9"
                                                           "cole.tmx",
                                                           "\xC3\x89mile.tmx", "\xD0\x96.tmx"}));
    EXPECT_EQ(folder.vEntries[0].iKind, giEntryUp);
    EXPECT_EQ(folder.vEntries[3].iKind, giEntryFolder);
    EXPECT_EQ(folder.vEntries[5].iKind, giEntryFile);
    EXPECT_EQ(folder.vEntries[9].tShown, "\xC9mile.tmx");
    EXPECT_EQ(folder.vEntries[10].tShown, std::string(1, (char)giStandInChar) + ".tmx");
    EXPECT_EQ(pickTarget(folder, 0), dir.tPath.parent_path().u8string());
    EXPECT_EQ(pickTarget(folder, 2), (dir.tPath / "beta").u8string());
    EXPECT_EQ(pickFind(folder, "a.tmx"), 5);
    EXPECT_EQ(pickFind(folder, "b.tmx"), 6);
    EXPECT_EQ(pickJump(folder, "\xC3\x89", 0), 8);  // typed capital, small letter's name first
    EXPECT_EQ(pickJump(folder, "B", 3), 6);         // from the fourth entry on: the file
    EXPECT_EQ(pickJump(folder, "B", 0), 2);
    EXPECT_EQ(pickJump(folder, ".", 0), -1);  // ".." is never jumped to

    // A root has no way up, unless the system has drives, whose list is above every root.
    ASSERT_TRUE(pickList("/", {}, folder, tWhy));
    EXPECT_NE(folder.vEntries[0].iKind, giEntryUp);
    ASSERT_TRUE(pickList("/", {"C:\\", "D:\\"}, folder, tWhy));
    ASSERT_EQ(folder.vEntries[0].iKind, giEntryUp);
    EXPECT_EQ(pickTarget(folder, 0), "");
    ASSERT_TRUE(pickList("", {"C:\\", "D:\\"}, folder, tWhy));
    EXPECT_EQ(pickNames(folder), std::vector<std::string>({"C:\\", "D:\\"}));
    EXPECT_EQ(pickTarget(folder, 1), "D:\\");

    // A folder that cannot be read says why and leaves the list as it was.
    EXPECT_FALSE(pickList((dir.tPath / "gone").u8string(), {}, folder, tWhy));
    EXPECT_FALSE(tWhy.empty());
    EXPECT_EQ(folder.vEntries.size(), 2u);
    EXPECT_EQ(pickStartFolder((dir.tPath / "gone" / "deeper").u8string()), dir.tPath.u8string());
}

// The reason pickCheckName gives for tName, with the part at fault after a colon; "" for none.
std::string pickWhy(const std::string& tName, bool bWindows)
{
    std::string tKey;
    std::string tWhat;
    if (pickCheckName(tName, bWindows, tKey, tWhat))
    {
        return "";
    }
    return tWhat.empty() ? tKey : tKey + ":" + tWhat;
}

TEST(PickName, ExtensionAddedAndWhatTheSystemCannotNameRefused)
{
    EXPECT_EQ(pickWithExtension("map"), "map.tmx");
    EXPECT_EQ(pickWithExtension("map.TMX"), "map.TMX");
    EXPECT_EQ(pickWithExtension("map.tmx.bak"), "map.tmx.bak.tmx");
    for (bool bWindows : {false, true})
    {
        EXPECT_EQ(pickWhy(pickWithExtension(""), bWindows), "pick_name_empty");
        EXPECT_EQ(pickWhy(pickWithExtension("   "), bWindows), "pick_name_empty");
        EXPECT_EQ(pickWhy("a/b.tmx", bWindows), "pick_name_char:/");
        EXPECT_EQ(pickWhy("caf\xC3\xA9 \xD0\x96 map.tmx", bWindows), "");
        EXPECT_EQ(pickWhy("console.tmx", bWindows), "");
        EXPECT_EQ(pickWhy("com10.tmx", bWindows), "");
        EXPECT_EQ(pickWhy(std::string(251, 'a') + ".tmx", bWindows), "");
        EXPECT_EQ(pickWhy(std::string(252, 'a') + ".tmx", bWindows), "pick_name_long");
    }
    for (const char* cName :
         {"a\\b.tmx", "a:b.tmx", "a*.tmx", "a?.tmx", "\"a\".tmx", "<a>.tmx", "a|b.tmx", "a\tb.tmx"})
    {
        EXPECT_EQ(pickWhy(cName, false), "") << cName;
        EXPECT_NE(pickWhy(cName, true).find("pick_name_char:"), std::string::npos) << cName;
    }
    EXPECT_EQ(pickWhy("a:b.tmx", true), "pick_name_char::");
    EXPECT_EQ(pickWhy("a\tb.tmx", true), "pick_name_char:^I");
    EXPECT_EQ(pickWhy("con.tmx", false), "");
    EXPECT_EQ(pickWhy("con.tmx", true), "pick_name_device:con");
    EXPECT_EQ(pickWhy("NUL.tmx", true), "pick_name_device:NUL");
    EXPECT_EQ(pickWhy("Com1.tmx", true), "pick_name_device:Com1");
    EXPECT_EQ(pickWhy("conout$.tmx", true), "pick_name_device:conout$");
    EXPECT_EQ(pickWhy("lpt9 .backup.tmx", true), "pick_name_device:lpt9 ");
    // 130 characters outside the basic plane: 520 bytes for Linux, 260 UTF-16 units for Windows;
    // 200 accented letters: 400 bytes, 200 units.
    std::string tWide;
    std::string tAccented;
    for (int i = 0; i < 130; i++)
    {
        txtAppendUtf8(tWide, 0x1F600);
    }
    for (int i = 0; i < 200; i++)
    {
        txtAppendUtf8(tAccented, 0xE9);
    }
    EXPECT_EQ(pickWhy(tWide, true), "pick_name_long");
    EXPECT_EQ(pickWhy(tAccented + ".tmx", false), "pick_name_long");
    EXPECT_EQ(pickWhy(tAccented + ".tmx", true), "");
}

/* One frame's input: the pointer and its buttons, one held key, and characters typed into the
   key buffer as (character, scan code). */
struct stStep
{
    int iMouseX;
    int iMouseY;
    int iMouseB;
    int iKey;
    std::vector<std::pair<int, int>> vTyped;
};

std::vector<stStep> sScript;
std::function<void(int)> fnOnFrame;  // looks at frame i before its input is set
int iFrames = 0;
bool bOverrun = false;

std::vector<std::string> vAccepted;                  // the paths the picker handed over
std::vector<std::pair<bool, std::string>> vAnswers;  // what the accept callback says, in turn

bool pickTestAccept(const std::string& tPath, std::string& tWhy)
{
    vAccepted.push_back(tPath);
    if (vAccepted.size() > vAnswers.size())
    {
        return true;
    }
    tWhy = vAnswers[vAccepted.size() - 1].second;
    return vAnswers[vAccepted.size() - 1].first;
}

void pickTestApply(const stStep& s)
{
    mouse_x = s.iMouseX;
    mouse_y = s.iMouseY;
    mouse_b = s.iMouseB;
    for (int i = 0; i < KEY_MAX; i++)
    {
        key[i] = 0;
    }
    if (s.iKey != 0)
    {
        key[s.iKey] = 1;
    }
    for (const auto& typed : s.vTyped)
    {
        simulate_ukeypress(typed.first, typed.second);
    }
}

// The frame clock: called from rest() while timeWait waits for a tick. A script that runs out
// types Escape at every frame, which ends the picker.
void pickTestRest(unsigned int, void (*)(void))
{
    if (fnOnFrame)
    {
        fnOnFrame(iFrames);
    }
    if (iFrames < (int)sScript.size())
    {
        pickTestApply(sScript[iFrames]);
    }
    else
    {
        bOverrun = true;
        pickTestApply({0, 0, 0, 0, {{27, KEY_ESC}}});
    }
    iFrames++;
    iWait = 1;
}

TIMER_DRIVER timerTest;
KEYBOARD_DRIVER keyboardTest;

/* Builds a script of frames. */
class CScript
{
  public:
    CScript& Idle(int iCount = 1)
    {
        for (int i = 0; i < iCount; i++)
        {
            Add(0, 0, {});
        }
        return *this;
    }
    // Characters typed within one frame, each a press too short to be seen held.
    CScript& Type(const std::vector<int>& vChars)
    {
        std::vector<std::pair<int, int>> vTyped;
        for (int c : vChars)
        {
            vTyped.push_back({c, 0});
        }
        Add(0, 0, vTyped);
        return Idle();
    }
    // A key held for iHeld frames, typed into the buffer as it goes down.
    CScript& Press(int iKey, int cChar, int iHeld = 1)
    {
        Add(0, iKey, {{cChar, iKey}});
        for (int i = 1; i < iHeld; i++)
        {
            Add(0, iKey, {});
        }
        return Idle();
    }
    CScript& Click(int iX, int iY)
    {
        iMouseX = iX;
        iMouseY = iY;
        Add(1, 0, {});
        return Idle();
    }
    std::vector<stStep> sSteps;

  private:
    int iMouseX = 0;
    int iMouseY = 0;
    void Add(int iButtons, int iKey, const std::vector<std::pair<int, int>>& vTyped)
    {
        sSteps.push_back({iMouseX, iMouseY, iButtons, iKey, vTyped});
    }
};

int pickGlyphColour(int k)
{
    return makecol(k, 200, 40);
}

class PickerTest : public testing::Test
{
  protected:
    CScratchDir dir;
    fs::path pWork;
    BITMAP* mOldScreen = NULL;

    void SetUp() override
    {
        loadpng_init();
        MakeButtons();
        MakeFonts();
        pWork = dir.tPath / "work";
        fs::create_directories(pWork / "maps");
        dir.Write("work/b.tmx", "x");
        dir.Write("work/old.tmx", "x");
        dir.Write("work/maps/alpha.tmx", "x");
        dir.Write("work/maps/zeta.tmx", "x");

        if (mBuffer == NULL)
        {
            mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        }
        clear_to_color(mBuffer, makecol(10, 20, 30));
        mOldScreen = screen;
        screen = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        sys_bUseVSync = false;
        sys_bDebugMode = false;
        set_trans_blender(0, 0, 0, 127);
        solid_mode();
        txt.Clear();
        for (const char* cKey :
             {"pick_open", "pick_save", "pick_replace", "pick_cancel", "pick_exists", "pick_name"})
        {
            txt.Put(cKey, std::string("<") + cKey + ">");
        }
        butKillAll();
        memset(sButton, 0, sizeof(sButton));
        txtKillAll();
        memset(&keycheck, 0, sizeof(keycheck));
        pickTestApply({0, 0, 0, 0, {}});
        mouse_z = 0;
        sScript.clear();
        fnOnFrame = nullptr;
        iFrames = 0;
        bOverrun = false;
        vAccepted.clear();
        vAnswers.clear();
        iWait = 0;
        memset(&timerTest, 0, sizeof(timerTest));
        timerTest.rest = pickTestRest;
        timer_driver = &timerTest;
        memset(&keyboardTest, 0, sizeof(keyboardTest));
        keyboardTest.name = "test keyboard";
        keyboard_driver = &keyboardTest;
        clear_keybuf();
    }

    void TearDown() override
    {
        timer_driver = NULL;
        keyboard_driver = NULL;
        fnOnFrame = nullptr;
        butKillAll();
        txtKillAll();
        for (int i = 1; i <= 2; i++)
        {
            destroy_bitmap(sFont[i].bSource);
            memset(&sFont[i], 0, sizeof(stFont));
        }
        destroy_bitmap(screen);
        screen = mOldScreen;
        sys_bUseVSync = true;
        pickTestApply({0, 0, 0, 0, {}});
        txt.Clear();
    }

    void MakeButtons()
    {
        fs::create_directories("system/images/buttons");
        const char* cSuffix[3] = {"u", "d", "h"};
        for (int i = 0; i < 3; i++)
        {
            BITMAP* mButton = create_bitmap(144, 32);
            clear_to_color(mButton, makecol(40 * i, 90, 60));
            for (const char* cSet : {"small_01", "big_01"})
            {
                std::string tFile =
                    std::string("system/images/buttons/") + cSet + "_" + cSuffix[i] + ".png";
                save_png(tFile.c_str(), mButton, NULL);
            }
            destroy_bitmap(mButton);
        }
    }

    // Fonts 1 and 2, each glyph a full cell in the colour that names its code.
    void MakeFonts()
    {
        for (int i = 1; i <= 2; i++)
        {
            const int iCell = 8 * i;
            sFont[i].bSource = create_bitmap(17 * iCell, 17 * (iCell + 1));
            clear_to_color(sFont[i].bSource, makecol(255, 0, 255));
            for (int k = 0; k < iTotalChars; k++)
            {
                const int x = (k % 16 + 1) * iCell;
                const int y = (k / 16 + 1) * (iCell + 1);
                rectfill(sFont[i].bSource, x, y, x + iCell - 1, y + iCell - 1, pickGlyphColour(k));
                sFont[i].iWidth[k] = iCell;
            }
            sFont[i].iHeight = iCell;
            sFont[i].iWidthSource = iCell;
        }
    }

    bool Run(int iMode, const std::string& tName, const CScript& script, std::string& tChosen)
    {
        sScript = script.sSteps;
        const bool bChosen = pickRun(iMode, pWork.u8string(), tName, pickTestAccept, tChosen);
        EXPECT_FALSE(bOverrun) << "the picker did not end within its script";
        return bChosen;
    }
};

// The middle of row r of the list, and a point on its selection bar left of the icon.
int pickRowY(int r)
{
    return giListTop + 2 + r * giRowHeight + giRowHeight / 2;
}

bool pickRowSelected(int r)
{
    return getpixel(mBuffer, giListLeft + 3, pickRowY(r)) == makecol(104, 92, 140);
}

TEST_F(PickerTest, OpenEntersAFolderByDoubleClickJumpsByTypingAndShowsARefusal)
{
    // In work: "..", "maps", "b.tmx", "old.tmx"; in maps: "..", "alpha.tmx", "zeta.tmx".
    vAnswers = {{false, "nope"}};
    std::vector<bool> vThirdSelected;  // whether the third row is selected, frame by frame
    int iMessageGlyph = -1;
    fnOnFrame = [&](int i)
    {
        vThirdSelected.push_back(pickRowSelected(2));
        if (i == 12)
        {
            iMessageGlyph = getpixel(mBuffer, giListLeft + 1, giMessageTop + 1);
        }
    };
    CScript script;
    script.Idle().Click(200, pickRowY(1)).Click(200, pickRowY(1));  // frames 0..4
    script.Type({'Z'}).Idle(2);                                     // 5..8
    script.Press(KEY_ENTER, 13).Idle(2);                            // 9..12
    script.Press(KEY_ENTER, 13, 3);                                 // 13..16
    std::string tChosen;
    ASSERT_TRUE(Run(giPickOpen, "b.tmx", script, tChosen));
    const std::string tZeta = (pWork / "maps" / "zeta.tmx").u8string();
    EXPECT_EQ(vAccepted, std::vector<std::string>({tZeta, tZeta}));
    EXPECT_EQ(tChosen, tZeta);
    ASSERT_GE(vThirdSelected.size(), 8u);
    EXPECT_TRUE(vThirdSelected[1]);   // b.tmx, the third row of work, is selected at the start
    EXPECT_FALSE(vThirdSelected[2]);  // the first click selects maps
    EXPECT_FALSE(vThirdSelected[4]);  // the second enters it, where alpha.tmx is selected
    EXPECT_TRUE(vThirdSelected[6]);   // the typed "Z" selects zeta.tmx
    EXPECT_EQ(iMessageGlyph, pickGlyphColour('n'));  // the refusal, in the picture
    EXPECT_EQ(key[KEY_ENTER], 0);                    // the picker waited until Enter was let go
    EXPECT_GE(iFrames, 17);
}

TEST_F(PickerTest, SaveAsReplacesTheSelectedNameWithWhatIsTypedAndAddsTheExtension)
{
    CScript script;
    script.Idle().Type({'n', 'e', 'w', 'x'}).Press(KEY_BACKSPACE, 8).Press(KEY_ENTER, 13);
    std::string tChosen;
    ASSERT_TRUE(Run(giPickSaveAs, "old.tmx", script, tChosen));
    EXPECT_EQ(vAccepted, std::vector<std::string>({(pWork / "new.tmx").u8string()}));
    EXPECT_EQ(tChosen, vAccepted[0]);
}

TEST_F(PickerTest, SaveAsAsksOnceBeforeReplacingAndEscapeLeavesTheCallerAsItWas)
{
    // The caller's screen, in the slots the picker uses: a button in slot 0 with a latched
    // click, a label in text slot 1; and the wheel, which is turned in the picker.
    butNew(0, 10, 10, "big_01", "", "", 0);
    sButton[0].bClicked = true;
    BITMAP* mCallerUp = sButton[0].mUp;
    txtNew(1, 5, 5, "caller", 1, -1, 0, 0);
    mouse_z = 7;
    vAnswers = {{false, "disk full"}};
    std::string tOkLabel;
    fnOnFrame = [&](int i)
    {
        if (i == 3)
        {
            tOkLabel = sText[giSlotOk].tText;
            mouse_z = 3;
        }
    };
    CScript script;
    script.Idle().Press(KEY_ENTER, 13).Idle();  // asks
    script.Press(KEY_ENTER, 13).Idle();         // replaces: refused
    script.Press(KEY_ESC, 27, 4);
    std::string tChosen = "untouched";
    EXPECT_FALSE(Run(giPickSaveAs, "old.tmx", script, tChosen));
    EXPECT_EQ(tOkLabel, "<pick_replace>");
    EXPECT_EQ(vAccepted, std::vector<std::string>({(pWork / "old.tmx").u8string()}));
    EXPECT_EQ(tChosen, "untouched");
    EXPECT_EQ(key[KEY_ESC], 0);  // let go before the picker returned
    keyUpdate();
    EXPECT_FALSE(keyCheck(KEY_ESC));  // so the caller sees no Escape
    EXPECT_TRUE(sButton[0].bActive);
    EXPECT_TRUE(sButton[0].bClicked);
    EXPECT_EQ(sButton[0].mUp, mCallerUp);
    EXPECT_FALSE(sButton[giSlotCancel].bActive);
    EXPECT_FALSE(sText[giSlotOk].bActive);
    EXPECT_TRUE(sText[1].bActive);
    EXPECT_EQ(sText[1].tText, "caller");
    EXPECT_EQ(mouse_z, 7);
}

}  // namespace
