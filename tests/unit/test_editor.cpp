/*
 * Tarvenloft unit tests - the map editor and its menu.
 *
 * The editor runs for real, frame by frame, without a display. Every frame
 * ends in timeWait, which rests until the next tick; the tests put in a
 * timer driver of their own whose rest is the frame clock: each call is one
 * frame boundary, at which the test looks at the frame just composed and
 * then sets the mouse and keyboard for the next one from a script. So the
 * frames are deterministic and need no real timer.
 *
 * The working directory is a private one holding a synthetic tileset "001"
 * and the menu's button images "big_01".
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <vector>

#include "header.h"

#include <loadpng.h>

#include "buttons.h"
#include "display_mode.h"
#include "editor_notice.h"
#include "editor_map.h"
#include "input_latch.h"
#include "keyboard.h"
#include "map_file.h"
#include "text.h"
#include "timing.h"
#include "undo.h"

namespace fs = std::filesystem;

class CMapEditorProbe
{
  public:
    static void Reset()
    {
        edit.bQuit = false;
        edit.iTerrain = 0;
        edit.iLayer = 0;
        edit.iX = edit.iY = edit.iXPos = edit.iYPos = 0;
    }
    static bool Quit()
    {
        return edit.bQuit;
    }
    static void SetQuit()
    {
        edit.bQuit = true;
    }
    static int Terrain()
    {
        return edit.iTerrain;
    }
    static void SetTerrain(int iValue)
    {
        edit.iTerrain = iValue;
    }
    static int Layer()
    {
        return edit.iLayer;
    }
    static int OffsetX()
    {
        return edit.iOffsetX;
    }
    static int OffsetY()
    {
        return edit.iOffSetY;
    }
    static int TileRover()
    {
        return edit.TileRover();
    }
    static void FindMouse(int iX, int iY, int* pCell)
    {
        mouse_x = iX;
        mouse_y = iY;
        edit.FindMouse_();
        pCell[0] = edit.iX;
        pCell[1] = edit.iY;
        pCell[2] = edit.iXPos;
        pCell[3] = edit.iYPos;
    }
};

/* Input for one frame: the pointer, its buttons and up to two held keys (0 for none); buttons
   and a key pressed and released again before the frame (0 for none), which only the latch
   sees; and keys typed into the library's key buffer (character, scan code). */
struct stStep
{
    int iMouseX;
    int iMouseY;
    int iMouseB;
    int iKey;
    int iKey2 = 0;
    int iTapButtons = 0;
    int iTapKey = 0;
    std::vector<std::pair<int, int>> vTyped = {};
};

static std::vector<stStep> sScript;         // one entry per frame boundary
static std::function<void(int)> fnOnFrame;  // looks at frame i before its inputs change
static int iFrames = 0;                     // frame boundaries passed
static bool bOverrun = false;               // the script ran out before the editor ended

static int iButtonsWritten = 0;  // the buttons the script last wrote into mouse_b

// Sets the input for the next frame. mouse_b is written, as the library writes it, only when the
// buttons change: between changes it is the program's, which adds latched presses for a frame.
static void editorTestApply(const stStep& s)
{
    mouse_x = s.iMouseX;
    mouse_y = s.iMouseY;
    if (s.iMouseB != iButtonsWritten)
    {
        mouse_b = iButtonsWritten = s.iMouseB;
    }
    for (int i = 0; i < KEY_MAX; i++)
    {
        key[i] = 0;
    }
    for (int iKey : {s.iKey, s.iKey2})
    {
        if (iKey != 0)
        {
            key[iKey] = 1;
        }
    }
    if (s.iTapButtons != 0)
    {
        latchButtonPress(s.iTapButtons);
    }
    if (s.iTapKey != 0)
    {
        latchKeyEvent(s.iTapKey);
        latchKeyEvent(s.iTapKey | 0x80);
    }
    for (const auto& typed : s.vTyped)
    {
        simulate_ukeypress(typed.first, typed.second);
    }
}

// The frame clock: called from rest() while timeWait waits for a tick.
static void editorTestRest(unsigned int, void (*)(void))
{
    if (fnOnFrame)
    {
        fnOnFrame(iFrames);
    }
    if (iFrames < (int)sScript.size())
    {
        editorTestApply(sScript[iFrames]);
    }
    else
    {
        // Leave whatever loop is running: the editor at its next top, the menu by Escape.
        bOverrun = true;
        editorTestApply({0, 0, 0, 0});
        CMapEditorProbe::SetQuit();
        keycheck.bPressed[KEY_ESC] = true;
    }
    iFrames++;
    iWait = 1;
}

static TIMER_DRIVER timerTest;
static KEYBOARD_DRIVER keyboardTest;  // a stand-in, without which the key buffer takes nothing

/* Builds a script of frames from the pointer's point of view. */
class CScript
{
  public:
    CScript& Idle(int iCount = 1)
    {
        for (int i = 0; i < iCount; i++)
        {
            Add(0, 0);
        }
        return *this;
    }
    CScript& Move(int iX, int iY)
    {
        iMouseX = iX;
        iMouseY = iY;
        return Idle();
    }
    // Moves to (iX, iY), holds the buttons iButtons for one frame, lets go.
    CScript& Hold(int iX, int iY, int iButtons)
    {
        Move(iX, iY);
        Add(iButtons, 0);
        return Idle();
    }
    // One completed key press: held for iFrames frames, then released.
    CScript& Press(int iKey, int iHeld = 1)
    {
        for (int i = 0; i < iHeld; i++)
        {
            Add(0, iKey);
        }
        return Idle();
    }
    // A click on a menu button at (iX, iY): pressed there, released there.
    CScript& Click(int iX, int iY)
    {
        iMouseX = iX;
        iMouseY = iY;
        Add(1, 0);
        return Idle(2);
    }
    // One frame at (iX, iY) with the buttons iButtons and the key iKey held.
    CScript& HoldAt(int iX, int iY, int iButtons, int iKey = 0)
    {
        iMouseX = iX;
        iMouseY = iY;
        return Step(iButtons, iKey);
    }
    // A drag with the buttons iButtons from (iX0, iY0) to (iX1, iY1), where they are let go with
    // iKey held.
    CScript& Drag(int iX0, int iY0, int iX1, int iY1, int iButtons, int iKey = 0)
    {
        Move(iX0, iY0).HoldAt(iX0, iY0, iButtons);
        return HoldAt(iX1, iY1, iButtons, iKey).Step(0, iKey).Idle();
    }
    // One frame with the buttons iButtons and the keys iKey and iKey2 held.
    CScript& Step(int iButtons, int iKey, int iKey2 = 0)
    {
        sSteps.push_back({iMouseX, iMouseY, iButtons, iKey, iKey2});
        return *this;
    }
    // A key pressed with a modifier (Ctrl+Z): both held for a frame, then let go.
    CScript& Chord(int iModifier, int iKey)
    {
        return Step(0, iModifier, iKey).Idle();
    }
    // One frame with the keys vTyped (character, scan code) typed into the key buffer.
    CScript& Type(const std::vector<std::pair<int, int>>& vTyped)
    {
        Idle();
        sSteps.back().vTyped = vTyped;
        return Idle();
    }
    CScript& OpenMenu()
    {
        return Press(KEY_ESC).Idle();
    }
    CScript& Quit()
    {
        return OpenMenu().Click(320, 316).Idle(2);
    }
    // At (iX, iY), the buttons iButtons pressed and released again between two frames.
    CScript& Tap(int iX, int iY, int iButtons)
    {
        Move(iX, iY);
        sSteps.back().iTapButtons = iButtons;
        return Idle(2);
    }
    // Key iKey pressed and released again between two frames.
    CScript& TapKey(int iKey)
    {
        Idle();
        sSteps.back().iTapKey = iKey;
        return Idle(3);
    }
    std::vector<stStep> sSteps;

  private:
    int iMouseX = 0;
    int iMouseY = 0;
    void Add(int iButtons, int iKey)
    {
        Step(iButtons, iKey);
    }
};

static const int iMenuKeys = 8;
static const char* const cMenuKey[iMenuKeys] = {
    "continue", "prop_ed", "save", "restore", "faction_ed", "prep_ed", "help", "quit"};  // by slot
static const int iMenuTop[iMenuKeys] = {380, 60, 100, 140, 180, 220, 260, 300};

static int editorTileColor(int iValue)
{
    return makecol(9 * iValue, 200, 255 - 7 * iValue);
}

class EditorTest : public testing::Test
{
  protected:
    fs::path pOldDir;
    fs::path pDir;
    std::vector<std::pair<std::string, std::string>> sOldEnv;  // HOME, XDG_STATE_HOME before
    BITMAP* mScreen = NULL;
    BITMAP* mOldScreen = NULL;

    void SetUp() override
    {
        pOldDir = fs::current_path();
        char cTemplate[] = "/tmp/tarvenloft_editor_XXXXXX";
        ASSERT_NE(mkdtemp(cTemplate), nullptr);
        pDir = cTemplate;
        fs::current_path(pDir);
        // What the editor keeps for its user (the last map) goes into the scratch directory.
        for (const char* cName : {"HOME", "XDG_STATE_HOME"})
        {
            const char* cOld = getenv(cName);
            sOldEnv.push_back({cName, cOld != NULL ? cOld : ""});
            unsetenv(cName);
        }
        setenv("HOME", pDir.c_str(), 1);
        loadpng_init();
        MakeTileset();
        MakeButtons();
        MakeFonts();

        if (mBuffer == NULL)
        {
            mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        }
        clear_bitmap(mBuffer);
        mOldScreen = screen;
        mScreen = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        screen = mScreen;
        sys_bUseVSync = false;
        sys_bDebugMode = false;
        sys_tLanguage = "EN";
        set_trans_blender(0, 0, 0, 127);
        solid_mode();

        txt.Clear();
        for (int i = 0; i < iMenuKeys; i++)
        {
            txt.Put(cMenuKey[i], std::string("Label ") + cMenuKey[i]);
        }
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        map.mTiles = load_bitmap("system/images/tilesets/001.png", NULL);
        CMapEditorProbe::Reset();
        butKillAll();
        memset(sButton, 0, sizeof(sButton));
        txtKillAll();
        for (int i = 0; i < iTotalTObjects; i++)
        {
            sText[i] = stTextObject();
        }
        memset(&keycheck, 0, sizeof(keycheck));
        mouse_b = iButtonsWritten = 0;
        editorTestApply({0, 0, 0, 0});
        latchTakeFrame();  // nothing latched from an earlier test,
        latchTakeFrame();  // nor taken
        iWait = 0;

        sScript.clear();
        fnOnFrame = nullptr;
        iFrames = 0;
        bOverrun = false;
        memset(&timerTest, 0, sizeof(timerTest));
        timerTest.rest = editorTestRest;
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
        destroy_bitmap(map.mTiles);
        map.mTiles = NULL;
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        for (int i = 1; i <= 2; i++)
        {
            destroy_bitmap(sFont[i].bSource);
            memset(&sFont[i], 0, sizeof(stFont));
        }
        screen = mOldScreen;
        destroy_bitmap(mScreen);
        sys_bUseVSync = true;
        mouse_b = iButtonsWritten = 0;
        editorTestApply({0, 0, 0, 0});
        txt.Clear();
        for (const auto& sOld : sOldEnv)
        {
            if (sOld.second.empty())
                unsetenv(sOld.first.c_str());
            else
                setenv(sOld.first.c_str(), sOld.second.c_str(), 1);
        }
        fs::current_path(pOldDir);
        fs::remove_all(pDir);
    }

    // Tileset "001": tile v a solid colour of its own, the unused column in the mask colour.
    void MakeTileset()
    {
        fs::create_directories("system/images/tilesets");
        BITMAP* mTiles = create_bitmap(64, 26 * giTileHeight);
        clear_to_color(mTiles, makecol(255, 0, 255));
        for (int v = 1; v < 26; v++)
        {
            rectfill(mTiles, 32, v * 48, 63, v * 48 + 47, editorTileColor(v));
        }
        save_png("system/images/tilesets/001.png", mTiles, NULL);
        destroy_bitmap(mTiles);
    }

    void MakeButtons()
    {
        fs::create_directories("system/images/buttons");
        const char* cSuffix[3] = {"u", "d", "h"};
        for (int i = 0; i < 3; i++)
        {
            for (const char* cSet : {"big_01", "small_01"})  // the menu's and the file picker's
            {
                BITMAP* mButton = create_bitmap(cSet[0] == 'b' ? 256 : 144, 32);
                clear_to_color(mButton, makecol(40 * i, 90, 60));
                std::string tFile =
                    std::string("system/images/buttons/") + cSet + "_" + cSuffix[i] + ".png";
                save_png(tFile.c_str(), mButton, NULL);
                destroy_bitmap(mButton);
            }
        }
    }

    // Fonts 1 and 2 with every glyph empty (mask colour), so labels draw nothing.
    void MakeFonts()
    {
        for (int i = 1; i <= 2; i++)
        {
            int iCell = 8 * i;
            sFont[i].bSource = create_bitmap(17 * iCell, 17 * (iCell + 1));
            clear_to_color(sFont[i].bSource, makecol(255, 0, 255));
            sFont[i].iHeight = iCell;
            sFont[i].iWidthSource = iCell;
            for (int k = 0; k < iTotalChars; k++)
            {
                sFont[i].iWidth[k] = iCell;
            }
        }
    }

    // Runs the editor on the script; fails when the script ends before the editor quits.
    int Run(const CScript& script)
    {
        sScript = script.sSteps;
        int iResult = CMapEditorProbe::TileRover();
        EXPECT_FALSE(bOverrun) << "the editor did not quit within its script";
        return iResult;
    }
};

static bool editorIsGrey(int iPixel)
{
    int r = getr(iPixel), g = getg(iPixel), b = getb(iPixel);
    return r == g && g == b && r >= 120 && r <= 135;
}

static bool editorNoMenu()
{
    for (int i = 0; i < iTotalButtons; i++)
    {
        if (sButton[i].bActive)
        {
            return false;
        }
    }
    for (int i = 0; i < iTotalTObjects; i++)
    {
        if (sText[i].bActive)
        {
            return false;
        }
    }
    return true;
}

TEST_F(EditorTest, FindMouseMapsThePointerToItsCell)
{
    int iCell[4];
    CMapEditorProbe::FindMouse(0, 0, iCell);
    EXPECT_EQ(std::vector<int>(iCell, iCell + 4), std::vector<int>({0, 0, 0, 0}));
    CMapEditorProbe::FindMouse(31, 32, iCell);
    EXPECT_EQ(std::vector<int>(iCell, iCell + 4), std::vector<int>({0, 1, 0, 32}));
    CMapEditorProbe::FindMouse(639, 479, iCell);
    EXPECT_EQ(std::vector<int>(iCell, iCell + 4), std::vector<int>({19, 14, 608, 448}));
}

TEST_F(EditorTest, PaintingWritesLayerZeroOnly)
{
    map.iTerrain[1][3][2] = 9;
    map.iTerrain[2][3][2] = 8;
    CMapEditorProbe::SetTerrain(5);
    EXPECT_EQ(Run(CScript().Hold(100, 70, 1).Move(300, 200).Quit()), 0);
    EXPECT_EQ(map.iTerrain[0][3][2], 5);
    EXPECT_EQ(map.iTerrain[1][3][2], 9);
    EXPECT_EQ(map.iTerrain[2][3][2], 8);
    EXPECT_EQ(map.iTerrain[3][3][2], 0);
    int iPainted = 0;
    for (int x = 0; x < 120; x++)
    {
        for (int y = 0; y < 120; y++)
        {
            iPainted += map.iTerrain[0][x][y] != 0;
        }
    }
    EXPECT_EQ(iPainted, 1);  // not the cells passed over, nor those under the menu's buttons
    EXPECT_EQ(CMapEditorProbe::Layer(), 0);
}

TEST_F(EditorTest, PaintingZeroClearsACell)
{
    map.iTerrain[0][1][1] = 4;
    EXPECT_EQ(Run(CScript().Hold(40, 40, 1).Quit()), 0);
    EXPECT_EQ(map.iTerrain[0][1][1], 0);
}

TEST_F(EditorTest, PickingReadsLayerZero)
{
    map.iTerrain[0][9][6] = 7;
    map.iTerrain[1][9][6] = 11;
    map.iTerrain[1][1][1] = 12;
    std::vector<int> iSeen;
    fnOnFrame = [&](int) { iSeen.push_back(CMapEditorProbe::Terrain()); };
    Run(CScript().Hold(300, 200, 2).Hold(40, 40, 2).Quit());
    EXPECT_NE(std::find(iSeen.begin(), iSeen.end(), 7), iSeen.end());
    EXPECT_EQ(std::find(iSeen.begin(), iSeen.end(), 11), iSeen.end());
    EXPECT_EQ(CMapEditorProbe::Terrain(), 0);  // the empty cell (1, 1) of layer 0
    EXPECT_EQ(map.iTerrain[0][9][6], 7);
}

TEST_F(EditorTest, BothButtonsPaintAndKeepTheSelection)
{
    map.iTerrain[0][2][2] = 3;
    CMapEditorProbe::SetTerrain(6);
    Run(CScript().Hold(70, 70, 3).Quit());
    EXPECT_EQ(map.iTerrain[0][2][2], 6);
    EXPECT_EQ(CMapEditorProbe::Terrain(), 6);
}

TEST_F(EditorTest, ArrowKeysStepTheSelectionWithinRange)
{
    CScript script;
    script.Press(KEY_LEFT).Press(KEY_LEFT);
    for (int i = 0; i < 30; i++)
    {
        script.Press(KEY_RIGHT);
    }
    script.Press(KEY_LEFT);
    std::vector<int> iSeen;
    fnOnFrame = [&](int) { iSeen.push_back(CMapEditorProbe::Terrain()); };
    Run(script.Quit());
    int iLowest = *std::min_element(iSeen.begin(), iSeen.end());
    int iHighest = *std::max_element(iSeen.begin(), iSeen.end());
    EXPECT_EQ(iLowest, 0);
    EXPECT_EQ(iHighest, 25);
    EXPECT_EQ(CMapEditorProbe::Terrain(), 24);
    for (size_t i = 1; i < iSeen.size(); i++)
    {
        EXPECT_LE(std::abs(iSeen[i] - iSeen[i - 1]), 1) << "frame " << i;
    }
}

TEST_F(EditorTest, AHeldArrowStepsOnceWhenReleased)
{
    std::vector<int> iSeen;
    fnOnFrame = [&](int) { iSeen.push_back(CMapEditorProbe::Terrain()); };
    Run(CScript().Press(KEY_RIGHT, 20).Quit());
    EXPECT_EQ(CMapEditorProbe::Terrain(), 1);
    EXPECT_EQ(iSeen[19], 0);  // nothing while it was held
}

TEST_F(EditorTest, CursorAndPreviewAreDrawnAtThePointer)
{
    CMapEditorProbe::SetTerrain(3);
    mouse_x = 100;
    mouse_y = 100;
    std::vector<int> iPixels;
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == 0)
        {
            for (int x : {100, 96, 127, 95, 128})
            {
                iPixels.push_back(getpixel(mBuffer, x, 100));
            }
            iPixels.push_back(getpixel(mBuffer, 120, 110));  // inside the preview
            iPixels.push_back(getpixel(mBuffer, 139, 139));  // its bottom-right corner
            iPixels.push_back(getpixel(mBuffer, 140, 139));
            iPixels.push_back(getpixel(mBuffer, 100, 127));  // the cursor's bottom row
            iPixels.push_back(getpixel(mBuffer, 100, 128));
        }
    };
    Run(CScript().Quit());
    ASSERT_EQ(iPixels.size(), 10u);
    EXPECT_TRUE(editorIsGrey(iPixels[0]));
    EXPECT_TRUE(editorIsGrey(iPixels[1]));
    EXPECT_EQ(iPixels[2], editorTileColor(3));  // the preview covers the cursor's right part
    EXPECT_EQ(iPixels[3], makecol(0, 0, 0));
    EXPECT_EQ(iPixels[4], editorTileColor(3));
    EXPECT_EQ(iPixels[5], editorTileColor(3));
    EXPECT_EQ(iPixels[6], editorTileColor(3));
    EXPECT_EQ(iPixels[7], makecol(0, 0, 0));
    EXPECT_TRUE(editorIsGrey(iPixels[8]));
    EXPECT_EQ(iPixels[9], makecol(0, 0, 0));
}

TEST_F(EditorTest, NoPreviewForAnEmptySelection)
{
    mouse_x = 639;
    mouse_y = 479;
    std::vector<int> iPixels;
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == 0)
        {
            iPixels = {getpixel(mBuffer, 608, 448), getpixel(mBuffer, 639, 479),
                       getpixel(mBuffer, 607, 448), getpixel(mBuffer, 608, 447)};
        }
    };
    Run(CScript().Move(100, 100).Quit());
    ASSERT_EQ(iPixels.size(), 4u);
    EXPECT_TRUE(editorIsGrey(iPixels[0]));
    EXPECT_TRUE(editorIsGrey(iPixels[1]));
    EXPECT_EQ(iPixels[2], makecol(0, 0, 0));
    EXPECT_EQ(iPixels[3], makecol(0, 0, 0));
}

TEST_F(EditorTest, EscapeOpensTheMenuWithItsEightEntries)
{
    map.iTerrain[0][5][1] = 3;  // a tile under the panel's top-left corner
    mouse_x = 20;
    mouse_y = 20;
    int iMenuFrame = -1;
    bool bChecked = false;
    fnOnFrame = [&](int iFrame)
    {
        if (iMenuFrame < 0 && sButton[7].bActive)
        {
            iMenuFrame = iFrame;
        }
        if (iMenuFrame < 0 || bChecked)
        {
            return;
        }
        bChecked = true;
        for (int i = 0; i < iMenuKeys; i++)
        {
            EXPECT_TRUE(sButton[i].bActive) << i;
            EXPECT_EQ(sButton[i].iX, 192) << i;
            EXPECT_EQ(sButton[i].iY, iMenuTop[i]) << i;
            EXPECT_TRUE(sText[i].bActive) << i;
            EXPECT_EQ(sText[i].tText, std::string("Label ") + cMenuKey[i]) << i;
            EXPECT_EQ(sText[i].iX, 320) << i;
            EXPECT_EQ(sText[i].iY, iMenuTop[i] + 10) << i;
            EXPECT_EQ(sText[i].iFont, 2) << i;
            EXPECT_EQ(sText[i].iWidth, -1) << i;
            EXPECT_EQ(sText[i].iAlign, 1) << i;
            EXPECT_EQ(sText[i].iSpeed, 0) << i;
        }
        EXPECT_FALSE(sButton[8].bActive);
        EXPECT_FALSE(sText[8].bActive);
        // No cursor under the pointer; the map shows through the panel, darkened.
        EXPECT_EQ(getpixel(mBuffer, 5, 5), makecol(0, 0, 0));
        int iShaded = getpixel(mBuffer, 170, 50);
        EXPECT_NEAR(getr(iShaded), getr(editorTileColor(3)) / 2, 2);
        EXPECT_NEAR(getg(iShaded), getg(editorTileColor(3)) / 2, 2);
        EXPECT_NEAR(getb(iShaded), getb(editorTileColor(3)) / 2, 2);
        EXPECT_EQ(getpixel(mBuffer, 160, 50), editorTileColor(3));  // left of the panel
    };
    Run(CScript().Move(20, 20).Quit());
    EXPECT_TRUE(bChecked);
    EXPECT_TRUE(CMapEditorProbe::Quit());
    EXPECT_TRUE(editorNoMenu());
}

TEST_F(EditorTest, MenuLeavesTheMapAndSelectionUnchanged)
{
    CMapEditorProbe::SetTerrain(4);
    bool bSaveClicked = false;
    bool bOpenAfterSave = false;
    fnOnFrame = [&](int)
    {
        if (sButton[2].bActive && sButton[2].bClicked)
        {
            bSaveClicked = true;
            bOpenAfterSave = bOpenAfterSave || sButton[7].bActive;
        }
    };
    CScript script;
    // Arrow presses made in the menu must not reach the editor once the menu closes.
    script.Hold(100, 70, 1).OpenMenu().Press(KEY_RIGHT).Press(KEY_RIGHT);
    script.Click(320, 116).Idle(3).Press(KEY_ESC).Idle(3).Move(300, 300).Idle(3);
    Run(script.Quit());
    EXPECT_TRUE(bSaveClicked);
    EXPECT_TRUE(bOpenAfterSave);
    EXPECT_EQ(CMapEditorProbe::Terrain(), 4);
    EXPECT_EQ(map.iTerrain[0][3][2], 4);
    EXPECT_EQ(map.iTerrain[0][10][3], 0);  // under the save button
}

TEST_F(EditorTest, EscapeClosesTheMenuForGood)
{
    std::vector<bool> bOpen;
    fnOnFrame = [&](int) { bOpen.push_back(sButton[0].bActive); };
    CScript script;
    script.OpenMenu().Idle(3).Press(KEY_ESC).Idle(10);
    size_t iClosedFrom = script.sSteps.size() - 8;
    Run(script.Quit());
    ASSERT_GT(bOpen.size(), iClosedFrom + 8);
    EXPECT_TRUE(bOpen[5]);
    for (size_t i = iClosedFrom; i < iClosedFrom + 8; i++)
    {
        EXPECT_FALSE(bOpen[i]) << "frame " << i;
    }
    EXPECT_TRUE(editorNoMenu());
}

TEST_F(EditorTest, ContinueReturnsToEditing)
{
    CMapEditorProbe::SetTerrain(2);
    std::vector<bool> bOpen;
    fnOnFrame = [&](int) { bOpen.push_back(sButton[0].bActive); };
    CScript script;
    script.OpenMenu().Click(320, 396);
    size_t iAfter = script.sSteps.size();
    script.Hold(40, 40, 1);
    Run(script.Quit());
    EXPECT_FALSE(bOpen[iAfter]);
    EXPECT_EQ(map.iTerrain[0][1][1], 2);
    EXPECT_TRUE(CMapEditorProbe::Quit());
}

TEST_F(EditorTest, QuitEndsTheEditor)
{
    sScript = CScript().Hold(40, 40, 1).Quit().sSteps;
    EXPECT_EQ(editMap(), 0);
    EXPECT_FALSE(bOverrun);
    EXPECT_TRUE(CMapEditorProbe::Quit());
    EXPECT_TRUE(editorNoMenu());
    EXPECT_EQ((int)keycheck.bPressed[KEY_ESC], 0);
}

/* With a map file: the keys that move the view and choose the layer, undo, and the question
   before unsaved changes are dropped. The file does not exist at first, as for a new map. */
class EditorMapFileTest : public EditorTest
{
  protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        sys_tMapFile = (pDir / "test.tmx").string();
        mapfForget();
        undoClear();
    }
    void TearDown() override
    {
        sys_tMapFile.clear();
        mapfForget();
        undoClear();
        EditorTest::TearDown();
    }
};

static const int iLoadY = 156;      // the middle of the menu's Load Map button
static const int iQuitY = 316;      // of Quit
static const int iContinueY = 396;  // of Continue

TEST_F(EditorMapFileTest, TheViewStopsAtEachEdgeOfTheMap)
{
    std::vector<int> iSeen;  // the view's top-left cell after each key was held long
    CScript script;
    for (int iKey : {KEY_D, KEY_S, KEY_A, KEY_W})
    {
        script.Press(iKey, 260);  // one step, then a step every other frame: past every edge
        const int iFrame = static_cast<int>(script.sSteps.size());
        script.Idle();
        fnOnFrame = nullptr;
        if (iKey == KEY_S)
        {
            // The bottom-right cell of the view is the map's last: paint it.
            script.Hold(639, 479, 1);
        }
        iSeen.push_back(iFrame);
    }
    std::vector<std::pair<int, int>> sOffsets;
    fnOnFrame = [&](int iFrame)
    {
        if (std::find(iSeen.begin(), iSeen.end(), iFrame) != iSeen.end())
        {
            sOffsets.push_back({CMapEditorProbe::OffsetX(), CMapEditorProbe::OffsetY()});
        }
    };
    CMapEditorProbe::SetTerrain(7);
    Run(script.OpenMenu().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2));
    const std::vector<std::pair<int, int>> sEdges = {
        {giMapSide - giTilesWide, 0},
        {giMapSide - giTilesWide, giMapSide - giTilesHigh},
        {0, giMapSide - giTilesHigh},
        {0, 0}};
    EXPECT_EQ(sOffsets, sEdges);
    EXPECT_EQ(map.iTerrain[0][giMapSide - 1][giMapSide - 1], 7);
}

TEST_F(EditorMapFileTest, KeysOneToFourChooseTheLayerThatIsPaintedAndPicked)
{
    map.iTerrain[3][4][4] = 9;
    CMapEditorProbe::SetTerrain(5);
    CScript script;
    script.Press(KEY_3).Hold(40, 40, 1);                  // layer 3 of the keys is layer 2
    script.Press(KEY_4).Hold(140, 140, 2);                // picks 9 from layer 3
    script.Press(KEY_1).Hold(70, 70, 1).Idle();           // paints 9 into layer 0
    script.Chord(KEY_LCONTROL, KEY_2).Hold(100, 100, 1);  // Ctrl+2 is no layer key
    Run(script.Press(KEY_ESC).Idle().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2));
    EXPECT_EQ(map.iTerrain[2][1][1], 5);
    EXPECT_EQ(map.iTerrain[0][1][1], 0);
    EXPECT_EQ(map.iTerrain[0][2][2], 9);
    EXPECT_EQ(map.iTerrain[0][3][3], 9);
    EXPECT_EQ(CMapEditorProbe::Layer(), 0);
}

TEST_F(EditorMapFileTest, UndoPutsACellPaintedTwiceInOneStrokeBackAsItWasBefore)
{
    map.iTerrain[0][2][2] = 4;
    mapfForget();
    CMapEditorProbe::SetTerrain(2);
    CScript script;
    // The button stays down while Right steps the selection: the stroke paints the cell 2, then 3.
    script.Move(70, 70).Step(1, 0).Step(1, KEY_RIGHT).Step(1, 0).Step(1, 0).Step(1, 0).Idle();
    int iAfterStroke = -1;
    const int iStrokeEnd = static_cast<int>(script.sSteps.size());
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == iStrokeEnd)
        {
            iAfterStroke = map.iTerrain[0][2][2];
        }
    };
    script.Chord(KEY_LCONTROL, KEY_Z);
    Run(script.Press(KEY_ESC).Idle().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2));
    EXPECT_EQ(iAfterStroke, 3);
    EXPECT_EQ(map.iTerrain[0][2][2], 4);
}

TEST_F(EditorMapFileTest, LoadMapAndQuitAskOnceBeforeDroppingUnsavedChanges)
{
    std::vector<int> iCell;  // cell (1, 1) whenever the menu closes and the editor goes on
    bool bWasOpen = false;
    fnOnFrame = [&](int)
    {
        if (!sButton[0].bActive && bWasOpen)
        {
            iCell.push_back(map.iTerrain[0][1][1]);
        }
        bWasOpen = sButton[0].bActive;
    };
    CMapEditorProbe::SetTerrain(5);
    CScript script;
    script.Chord(KEY_LCONTROL, KEY_S).Hold(40, 40, 1);  // saved empty, then painted
    script.OpenMenu().Click(320, iLoadY).Idle(2).Click(320, iContinueY).Idle(2);  // asks only
    // Asks, then opens the file picker with the map's own file chosen: Enter loads it.
    script.OpenMenu().Click(320, iLoadY).Idle(2).Click(320, iLoadY).Idle(2);
    script.Type({{'\r', KEY_ENTER}}).Idle(2);
    script.Click(320, iContinueY).Idle(2).Hold(40, 40, 1);
    script.OpenMenu().Click(320, iQuitY).Idle(2).Click(320, iContinueY).Idle(2);  // asks only
    script.OpenMenu().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2);
    Run(script);
    EXPECT_EQ(iCell, std::vector<int>({5, 0, 5}));  // the first Quit did not end the editor
    EXPECT_TRUE(CMapEditorProbe::Quit());
}

// Ctrl+N with map files on and no file: a chord counts once when it goes down, however short;
// the repeats of a held one do not count again. The first Ctrl+N asks, the second clears.
TEST_F(EditorMapFileTest, CtrlNCountsOncePerPressHoweverShort)
{
    sys_tMapFile.clear();
    sys_bMapFiles = true;
    CMapEditorProbe::SetTerrain(5);
    std::vector<int> iCell;  // cell (1, 1) after the held chord and after the short one
    CScript script;
    script.Hold(40, 40, 1);
    for (int i = 0; i < 40; i++)  // held, the keyboard repeating it: asks once
    {
        script.Step(0, KEY_LCONTROL, KEY_N);
        script.sSteps.back().iTapKey = KEY_N;
    }
    const int iAfterHeld = static_cast<int>(script.sSteps.size()) + 1;
    // Ctrl held, N pressed and let go between two frames: goes ahead.
    script.Idle(2).Step(0, KEY_LCONTROL);
    script.sSteps.back().iTapKey = KEY_N;
    script.Step(0, KEY_LCONTROL).Idle(2);
    const int iAfterShort = static_cast<int>(script.sSteps.size());
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == iAfterHeld || iFrame == iAfterShort)
        {
            iCell.push_back(map.iTerrain[0][1][1]);
        }
    };
    Run(script.Quit());
    sys_bMapFiles = false;
    EXPECT_EQ(iCell, std::vector<int>({5, 0}));
    EXPECT_TRUE(CMapEditorProbe::Quit());
}

TEST_F(EditorMapFileTest, TheCloseButtonAsksOnceWhileChangesAreUnsaved)
{
    CMapEditorProbe::SetTerrain(5);
    CScript script;
    std::vector<int> iRequests;  // the frames at which the close button is pressed
    script.Hold(40, 40, 1).Idle(3);
    iRequests.push_back(static_cast<int>(script.sSteps.size()));  // in the editor: the menu asks
    script.Idle(4).Click(320, iContinueY).Idle(2).OpenMenu().Idle(2);
    iRequests.push_back(static_cast<int>(script.sSteps.size()));  // in the menu: asks again
    script.Idle(4);
    iRequests.push_back(static_cast<int>(script.sSteps.size()));  // the second request: ends
    script.Idle(4);
    std::vector<bool> bAsking;  // at each request: the menu stands open and the editor goes on
    fnOnFrame = [&](int iFrame)
    {
        if (std::find(iRequests.begin(), iRequests.end(), iFrame) != iRequests.end())
        {
            bAsking.push_back(sButton[7].bActive && !CMapEditorProbe::Quit());
            modeRequestClose();
        }
    };
    sScript = script.sSteps;
    CMapEditorProbe::TileRover();
    EXPECT_EQ(bAsking, std::vector<bool>({false, true, true}));
    EXPECT_TRUE(CMapEditorProbe::Quit());
    EXPECT_FALSE(bOverrun);
    EXPECT_EQ(map.iTerrain[0][1][1], 5);
}

// A notice may carry a file's path or a system's message: the fonts' markers in it ("/n" breaks
// the line and eats the letter after it) are drawn as they stand.
TEST_F(EditorMapFileTest, ANoticeIsDrawnLetterForLetterOnOneLine)
{
    clear_to_color(sFont[1].bSource, makecol(255, 255, 255));  // every glyph a white 8 x 8 block
    int iFirstLine = -1, iSecondLine = -1;
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == 1)
        {
            noticeShow("Ab/nCD");
        }
        if (iFrame == 3)
        {
            iFirstLine = iSecondLine = 0;
            for (int x = 164; x <= 475; x++)
            {
                iFirstLine += getpixel(mBuffer, x, 437) == makecol(255, 255, 255);
                iSecondLine += getpixel(mBuffer, x, 446) == makecol(255, 255, 255);
            }
        }
    };
    Run(CScript().Idle(4).Quit());
    EXPECT_EQ(iFirstLine, 7 * 8);  // "Ab/ nCD"
    EXPECT_EQ(iSecondLine, 0);
}

// The middle of cell (iX, iY) of the view.
static int editorAt(int iCell)
{
    return iCell * giTileX + giTileX / 2;
}

TEST_F(EditorMapFileTest, TheKeyOrClickThatClosesAPanelDoesNothingElse)
{
    int iMenus = 0;  // times the menu opened
    bool bWasOpen = false;
    fnOnFrame = [&](int)
    {
        iMenus += sButton[0].bActive && !bWasOpen ? 1 : 0;
        bWasOpen = sButton[0].bActive;
    };
    CScript script;
    // Each panel opens when its key is let go, and shows from the frame after. The clicks last
    // a few frames, as a hand's do.
    script.Move(editorAt(8), editorAt(6)).Press(KEY_SPACE).Idle();
    script.Drag(280, 209, 280, 209, 1).Idle(2);  // on slot 5, over map cell (8, 6)
    script.Press(KEY_M).Idle().Press(KEY_ESC, 3).Idle(2);
    script.Press(KEY_F1).Idle().Drag(editorAt(3), editorAt(3), editorAt(3), editorAt(3), 1).Idle(2);
    script.Press(KEY_F1).Idle().Press(KEY_ESC, 3).Idle(2);
    script.Press(KEY_SPACE).Idle().Press(KEY_ESC, 3).Idle(2);
    Run(script.Quit());
    EXPECT_EQ(CMapEditorProbe::Terrain(), 5);
    EXPECT_EQ(map.iTerrain[0][8][6], 0);  // under the click on the palette's slot
    EXPECT_EQ(map.iTerrain[0][3][3], 0);  // under the click that closed the help
    EXPECT_EQ(CMapEditorProbe::OffsetX() + CMapEditorProbe::OffsetY(), 0);
    EXPECT_EQ(iMenus, 1);  // the Quit's only: no Escape that closed a panel opened it
}

TEST_F(EditorMapFileTest, TheRightButtonPicksWhenLetGoAndCapturesABlockForTheStampWhenDragged)
{
    map.iTerrain[0][1][1] = 3;
    map.iTerrain[0][2][1] = 4;
    map.iTerrain[0][2][2] = 6;  // and (1, 2) is empty
    map.iTerrain[2][1][1] = 8;
    map.iTerrain[0][10][11] = 9;
    CScript script;
    script.Drag(editorAt(1), editorAt(1), editorAt(2), editorAt(2), 2);    // one layer's block
    script.Hold(editorAt(10), editorAt(10), 1);                            // placed at (10, 10)
    script.Drag(editorAt(5), editorAt(12), editorAt(8), editorAt(12), 1);  // at (5, 12), (8, 12)
    script.Hold(editorAt(1), editorAt(1), 2).Hold(editorAt(15), editorAt(3), 1);     // picks 3
    script.Drag(editorAt(1), editorAt(1), editorAt(2), editorAt(2), 2, KEY_LSHIFT);  // 4 layers
    script.Press(KEY_4).Hold(editorAt(12), editorAt(2), 1);
    Run(script.OpenMenu().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2));
    EXPECT_EQ(map.iTerrain[0][10][10], 3);
    EXPECT_EQ(map.iTerrain[0][11][10], 4);
    EXPECT_EQ(map.iTerrain[0][10][11], 9);  // under the block's empty cell
    EXPECT_EQ(map.iTerrain[0][11][11], 6);
    EXPECT_EQ(map.iTerrain[2][10][10], 0);  // a block of the working layer only
    EXPECT_EQ(map.iTerrain[0][5][12], 3);
    EXPECT_EQ(map.iTerrain[0][8][12], 3);
    EXPECT_EQ(map.iTerrain[0][7][12], 0);  // the pointer jumped over it
    EXPECT_EQ(map.iTerrain[0][15][3], 3);  // the brush, after the pick left the stamp
    EXPECT_EQ(map.iTerrain[0][16][3], 0);
    EXPECT_EQ(map.iTerrain[0][12][2], 3);  // every layer of the block into its own
    EXPECT_EQ(map.iTerrain[2][12][2], 8);
    EXPECT_EQ(map.iTerrain[0][13][3], 6);
    EXPECT_EQ(map.iTerrain[3][12][2], 0);
    EXPECT_EQ(undoCount(), 4);                 // a stroke for each click and for the drag
    EXPECT_EQ(CMapEditorProbe::Terrain(), 3);  // a drag picks nothing
}

TEST_F(EditorMapFileTest, AFillAndARectangleLargerThanTheViewAreOneStrokeEach)
{
    CMapEditorProbe::SetTerrain(5);
    CScript script;
    script.Press(KEY_F).Hold(editorAt(1), editorAt(1), 1).Press(KEY_RIGHT);
    script.Press(KEY_R).Move(editorAt(1), editorAt(1)).Step(1, 0);
    for (int i = 0; i < 30; i++)
    {
        script.Step(1, KEY_D).Step(1, 0);  // the view scrolls while the button is held
    }
    script.HoldAt(editorAt(18), editorAt(13), 1).Step(0, 0);  // let go on map cell (48, 13)
    script.Step(1, 0).Step(3, 0).Step(0, 0).Idle();           // a right press cancels this one
    int iSixes = -1;
    const int iBeforeUndo = static_cast<int>(script.sSteps.size());
    fnOnFrame = [&](int iFrame)
    {
        if (iFrame == iBeforeUndo)
        {
            iSixes = 0;
            for (int x = 0; x < giMapSide; x++)
            {
                for (int y = 0; y < giMapSide; y++)
                {
                    iSixes += map.iTerrain[0][x][y] == 6 ? 1 : 0;
                }
            }
        }
    };
    script.Chord(KEY_LCONTROL, KEY_Z);
    Run(script.OpenMenu().Click(320, iQuitY).Idle(2).Click(320, iQuitY).Idle(2));
    EXPECT_EQ(iSixes, 48 * 13);
    EXPECT_EQ(undoCount(), 1);  // the fill, after the rectangle was undone
    EXPECT_EQ(map.iTerrain[0][48][13], 5);
    EXPECT_EQ(map.iTerrain[0][119][119], 5);
}

TEST_F(EditorTest, ATapBetweenTwoFramesPaintsOrPicksOneCell)
{
    CMapEditorProbe::SetTerrain(5);
    map.iTerrain[0][9][6] = 7;
    std::vector<int> iSeen;
    fnOnFrame = [&](int) { iSeen.push_back(CMapEditorProbe::Terrain()); };
    Run(CScript().Tap(100, 70, 1).Move(200, 100).Tap(300, 200, 2).Move(40, 40).Idle(3).Quit());
    EXPECT_EQ(map.iTerrain[0][3][2], 5);
    int iPainted = 0;
    for (int x = 0; x < 120; x++)
    {
        for (int y = 0; y < 120; y++)
        {
            iPainted += map.iTerrain[0][x][y] != 0;
        }
    }
    EXPECT_EQ(iPainted, 2);  // the tapped cell and the one picked from, nothing else
    EXPECT_EQ(CMapEditorProbe::Terrain(), 7);
    EXPECT_EQ(map.iTerrain[0][1][1], 0);  // the pointer rested there after the tap: no paint
}

TEST_F(EditorTest, AKeyTapStepsTheSelectionOnce)
{
    std::vector<int> iSeen;
    fnOnFrame = [&](int) { iSeen.push_back(CMapEditorProbe::Terrain()); };
    Run(CScript().TapKey(KEY_RIGHT).TapKey(KEY_RIGHT).TapKey(KEY_LEFT).Idle(3).Quit());
    EXPECT_EQ(CMapEditorProbe::Terrain(), 1);
    EXPECT_EQ(*std::max_element(iSeen.begin(), iSeen.end()), 2);
    for (size_t i = 1; i < iSeen.size(); i++)
    {
        EXPECT_LE(std::abs(iSeen[i] - iSeen[i - 1]), 1) << "frame " << i;
    }
}

TEST_F(EditorTest, TapsOpenTheMenuAndClickQuit)
{
    std::vector<bool> bOpen;
    fnOnFrame = [&](int) { bOpen.push_back(sButton[7].bActive); };
    CScript script;
    script.TapKey(KEY_ESC).Idle(2);
    const size_t iMenuBy = script.sSteps.size();
    script.Tap(320, 316, 1).Idle(2);
    sScript = script.sSteps;
    EXPECT_EQ(CMapEditorProbe::TileRover(), 0);
    EXPECT_FALSE(bOverrun) << "the tap on Quit did not end the editor";
    ASSERT_GT(bOpen.size(), iMenuBy);
    EXPECT_TRUE(bOpen[iMenuBy - 1]);
    EXPECT_TRUE(CMapEditorProbe::Quit());
    EXPECT_TRUE(editorNoMenu());
}

// A press held over frames is latched too, as it went down: the editor must act on it exactly as
// on the press alone, frame by frame.
TEST_F(EditorTest, AHeldPressActsTheSameWithItsLatch)
{
    auto fnRun = [&](bool bLatched)
    {
        std::vector<size_t> iKeyDown, iButtonDown;  // the steps where presses begin
        CScript script;
        script.Move(40, 40);
        for (int iHeld : {5, 3})
        {
            iKeyDown.push_back(script.sSteps.size());
            script.Press(KEY_RIGHT, iHeld);
        }
        script.Move(100, 70);
        iButtonDown.push_back(script.sSteps.size());
        for (int x = 100; x <= 260; x += 32)
        {
            script.sSteps.push_back({x, 70, 1, 0});
        }
        iKeyDown.push_back(script.sSteps.size());
        script.Idle(2).Press(KEY_ESC, 3).Idle();
        iKeyDown.back() += 2;
        iButtonDown.push_back(script.sSteps.size());
        script.Click(320, 396).Idle(2).Quit();
        for (size_t i = 0; bLatched && i < iKeyDown.size(); i++)
        {
            script.sSteps[iKeyDown[i]].iTapKey = script.sSteps[iKeyDown[i]].iKey;
        }
        for (size_t i = 0; bLatched && i < iButtonDown.size(); i++)
        {
            script.sSteps[iButtonDown[i]].iTapButtons = script.sSteps[iButtonDown[i]].iMouseB;
        }
        memset(map.iTerrain, 0, sizeof(map.iTerrain));
        CMapEditorProbe::Reset();
        iFrames = 0;
        std::vector<int> iTrace;
        fnOnFrame = [&](int)
        {
            iTrace.push_back(CMapEditorProbe::Terrain());
            iTrace.push_back(sButton[0].bActive);
            iTrace.push_back(map.iTerrain[0][4][2] + 100 * map.iTerrain[0][8][2]);
        };
        Run(script);
        return iTrace;
    };
    const std::vector<int> iHeld = fnRun(false);
    const std::vector<int> iLatched = fnRun(true);
    EXPECT_EQ(iHeld, iLatched);
    EXPECT_EQ(map.iTerrain[0][8][2], 2);  // the drag painted with the selection the keys made
}
