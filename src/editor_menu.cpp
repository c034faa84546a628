/*
 * Tarvenloft - the editor's menu.
 *
 * Escape in the editor opens a modal loop that lays a translucent panel
 * over the map with eight labelled buttons. Continue and Escape go back to
 * editing, Quit ends the editor. Without a map file the other six buttons
 * do nothing. With one, Save Map does what Ctrl+S does (an untitled map is
 * saved as) and Load Map what Ctrl+O does: the file picker, starting with
 * the map's own file chosen, so that Enter opens it again; the menu stands
 * open behind the picker and after it. The strip under the panel names the
 * file, the working layer and the view's place, and shows what the last
 * save or load did. While the map has unsaved changes, Quit, the window's
 * close button and Load Map each ask first, in that strip, and a second
 * request carries the action out. Quit never saves on its own.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "buttons.h"
#include "color.h"
#include "display_mode.h"
#include "editor_file.h"
#include "editor_notice.h"
#include "gui_main.h"
#include "keyboard.h"
#include "text.h"

static const int iContinueSlot = 0;
static const int iSaveSlot = 2;
static const int iLoadSlot = 3;
static const int iHelpSlot = 6;
static const int iQuitSlot = 7;

// The translucent black panel behind the menu's buttons, and the strip under it, which shares its
// edges and reaches the picture's foot.
static const int iPanelLeft = 164;
static const int iPanelTop = 48;
static const int iPanelRight = 475;
static const int iPanelBottom = 431;
static const int iStripTop = iPanelBottom + 1;
static const int iStripBottom = sys_iScreenHeight - 1;

// Runs the menu until continue, quit or Escape; quit sets bQuit. Key presses made before or
// during the menu are discarded, so they act neither in the menu nor back in the editor.
int CMapEditor::Menu_()
{
    const bool bMapFile = fileInUse();
    keyReset();
    MenuDisplay_();
    while (!butCheck(iContinueSlot) && !butCheck(iQuitSlot))
    {
        clear_bitmap(mBuffer);
        map.Display(iOffsetX, iOffSetY, 0, 0, false, iLayer);
        colorShade(mBuffer, iPanelLeft, iPanelTop, iPanelRight, iPanelBottom, makecol(0, 0, 0));
        if (bMapFile)
        {
            DrawStatus_(true);
            fileKeepTitle();
        }
        displayAll();
        if (keyCheck(KEY_ESC))
        {
            break;
        }
        if (bMapFile && MenuFile_())
        {
            bQuit = true;
            break;
        }
    }
    keyReset();
    if (butCheck(iQuitSlot))
    {
        bQuit = true;
    }
    butKillAll();
    txtKillAll();
    iArmed = iArmNone;
    EndDrags_();        // a drag the menu interrupted ends with it
    iWheelZ = mouse_z;  // the wheel turned over the menu does not scroll the map afterwards
    iWheelW = mouse_w;
    return 0;
}

// The eight menu buttons, each with its label from the editor's strings. Slot 0, continue,
// stands apart at the bottom.
int CMapEditor::MenuDisplay_()
{
    static const int iEntries = 8;
    static const int iSlot[iEntries] = {1, 2, 3, 4, 5, 6, 7, 0};
    static const int iTop[iEntries] = {60, 100, 140, 180, 220, 260, 300, 380};
    static const char* const cKey[iEntries] = {"prop_ed", "save", "restore", "faction_ed",
                                               "prep_ed", "help", "quit",    "continue"};
    for (int i = 0; i < iEntries; i++)
    {
        butNew(iSlot[i], 192, iTop[i], "big_01", "", "", 0);
        txtNew(iSlot[i], 320, iTop[i] + 10, txt.Get(cKey[i]), 2, -1, 1, 0);
    }
    return 0;
}

// The map file's buttons and the close button, after a frame of the menu. A click is taken back
// once acted on, since buttons keep their clicks. True when the menu is to end the editor: a
// second close request while the first one's question stands.
bool CMapEditor::MenuFile_()
{
    if (butCheck(iSaveSlot))
    {
        butReset(iSaveSlot);
        iArmed = iArmNone;
        fileSave();
    }
    if (butCheck(iLoadSlot))
    {
        butReset(iLoadSlot);
        Open_(iArmLoad);
    }
    if (butCheck(iHelpSlot))
    {
        butKillAll();  // the help covers the menu, whose buttons go while it shows
        txtKillAll();
        Help_();
        MenuDisplay_();
    }
    if (butCheck(iQuitSlot) && fileUnsaved() && iArmed != iArmQuit)
    {
        butReset(iQuitSlot);
        Ask_(iArmQuit);
    }
    if (modeTakeCloseRequest())
    {
        if (iArmed == iArmQuit)
        {
            return true;
        }
        Ask_(iArmQuit);
    }
    return false;
}

// The strip under the menu's panel: in the menu the file's name with the layer and the view's
// place, and in the menu and the editor alike the notice of the last save or load while it lasts.
void CMapEditor::DrawStatus_(bool bInMenu)
{
    const std::string tNotice = txtLiteral(noticeNow());
    noticeTick();
    if (!bInMenu && tNotice.empty())
    {
        return;
    }
    colorShade(mBuffer, iPanelLeft, iStripTop, iPanelRight, iStripBottom, makecol(0, 0, 0));
    int iTop = iStripTop + 4;
    if (bInMenu)
    {
        txtCenter(1, 320, iTop, txtLiteral(fileShownName() + "  " + Where_()), -1);
        iTop += 12;
    }
    if (txtCheckWordLength(1, tNotice) <= iPanelRight - iPanelLeft - 16)
    {
        txtCenter(1, 320, iTop, tNotice, -1);
        return;
    }
    txtOut(1, iPanelLeft + 8, iTop, tNotice, iPanelRight - 8, -1);
}
