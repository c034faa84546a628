/*
 * Tarvenloft - the file picker: choosing a map file inside the picture.
 *
 * pickRun is a modal loop of the usual shape: draw the picker into
 * mBuffer, displayAll, then act on the keys and the mouse. While it runs,
 * the caller's buttons and text objects are put aside (their slots empty,
 * their images kept) and come back as they were; the picture it opened
 * over, with the panel laid on it once, is its background. It carries out
 * what the user asks: entering a folder, choosing a file in Open, and in
 * Save As checking the typed name and asking once before a file is
 * replaced; the caller's fnAccept then does the opening or the saving, and
 * a refusal is shown in the picker, which stays open. Before it returns it
 * waits, a moment at most, until the key or mouse button that ended it is
 * let go, so that the caller does not take that release for a press of its
 * own (Escape would open the editor's menu). The wheel is left where it was.
 *
 * SPDX-License-Identifier: MIT
 */
#include "file_picker.h"

#include "buttons.h"
#include "display_mode.h"
#include "gui_main.h"
#include "keyboard.h"
#include "pick_draw.h"
#include "pick_input.h"
#include "pick_name.h"
#include "platform.h"
#include "text.h"
#include "text_utf8.h"

#ifdef _WIN32
static const bool bPickWindowsNames = true;
#else
static const bool bPickWindowsNames = false;
#endif
static const int giReleaseFrames = 120;  // the longest wait for the ending key to be let go

/* What the caller's screen had when the picker opened. */
struct stPickAside
{
    BITMAP* mBack;                        // its picture, with the picker's panel laid over it
    stButton sButtons[iTotalButtons];     // its buttons, images and all
    stTextObject sTexts[iTotalTObjects];  // its text objects
    int iWheel;                           // the wheel's positions
    int iWheelW;
};

static void pickPutAside(stPickAside& aside)
{
    aside.mBack = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    blit(mBuffer, aside.mBack, 0, 0, 0, 0, sys_iScreenWidth, sys_iScreenHeight);
    pickShadeBackground(aside.mBack);
    for (int i = 0; i < iTotalButtons; i++)
    {
        aside.sButtons[i] = sButton[i];
        sButton[i] = stButton();  // empty, so that the picker's buttons release no image of it
    }
    for (int i = 0; i < iTotalTObjects; i++)
    {
        aside.sTexts[i] = sText[i];
        sText[i].bActive = false;
    }
    aside.iWheel = mouse_z;
    aside.iWheelW = mouse_w;
    keyReset();
    clear_keybuf();
}

static void pickPutBack(stPickAside& aside)
{
    butKillAll();
    txtKillAll();
    for (int i = 0; i < iTotalButtons; i++)
    {
        sButton[i] = aside.sButtons[i];
        sButton[i].bDown = false;  // pressed before the picker, it must not click now
        sButton[i].bHover = false;
    }
    for (int i = 0; i < iTotalTObjects; i++)
    {
        sText[i] = aside.sTexts[i];
    }
    destroy_bitmap(aside.mBack);
    position_mouse_z(aside.iWheel);
    position_mouse_w(aside.iWheelW);
    mouse_z = aside.iWheel;
    mouse_w = aside.iWheelW;
    keyUpdate();  // a key let go since the last frame is seen up, so its release makes no press
    keyReset();
    clear_keybuf();
}

// The OK button's label: Open, Save, or Replace while the picker asks whether to.
static void pickLabelOk(const stPicker& p)
{
    const char* cKey =
        p.iMode == giPickOpen ? "pick_open" : (p.bAsking ? "pick_replace" : "pick_save");
    const std::string tLabel = txt.Get(cKey);
    if (!sText[giSlotOk].bActive || sText[giSlotOk].tText != tLabel)
    {
        txtNew(giSlotOk, giButtonOkX + giButtonWidth / 2, giButtonTop + 8, tLabel, 2, -1, 1, 0);
    }
}

static void pickMakeButtons(const stPicker& p)
{
    butNew(giSlotOk, giButtonOkX, giButtonTop, "small_01", "", "", 0);
    butNew(giSlotCancel, giButtonCancelX, giButtonTop, "small_01", "", "", 0);
    txtNew(giSlotCancel, giButtonCancelX + giButtonWidth / 2, giButtonTop + 8,
           txt.Get("pick_cancel"), 2, -1, 1, 0);
    pickLabelOk(p);
}

// The reason a folder cannot be listed, as the picker says it.
static std::string pickUnreadable(const std::string& tWhy)
{
    return txt.Get("pick_unreadable") + ": " + txtFromUtf8(tWhy);
}

// Lists tPath, or where it cannot be read the nearest folder above it that can.
static void pickListNearest(stPicker& p, std::string tPath)
{
    const std::vector<std::string> vDrives = platDriveRoots();
    std::string tWhy;
    while (!pickList(tPath, vDrives, p.folder, tWhy))
    {
        p.tMessage = pickUnreadable(tWhy);
        const std::string tUp = pickParentOf(tPath);
        if (tUp == tPath)
        {
            tPath = "";  // a root that cannot be read: the drives, or nothing
            pickList(tPath, vDrives, p.folder, tWhy);
            return;
        }
        tPath = tUp;
    }
}

static void pickOpen(stPicker& p, int iMode, const std::string& tFolder, const std::string& tName)
{
    p.iMode = iMode;
    p.iWheel = mouse_z;
    p.bMouseHeld = (mouse_b & 1) != 0;
    pickListNearest(p, pickStartFolder(tFolder));
    const std::string tMessage = p.tMessage;
    const int iNamed = tName.empty() ? -1 : pickFind(p.folder, tName);
    pickSelect(p, iNamed >= 0 ? iNamed : (iMode == giPickOpen ? pickFirst(p.folder) : -1));
    p.tMessage = tMessage;
    if (iMode == giPickSaveAs)
    {
        p.iFocus = giFocusField;
        p.field.tText = tName;
        p.field.iCaret = tName.size();
        p.field.bAll = !tName.empty();
    }
}

// Goes into the folder that entry i leads to; where it cannot be read, says why and stays.
static void pickEnter(stPicker& p, int i)
{
    const bool bUp = p.folder.vEntries[i].iKind == giEntryUp;
    const std::string tFrom = pickNameIn(p.folder.tPath);
    stPickFolder next;
    std::string tWhy;
    if (!pickList(pickTarget(p.folder, i), platDriveRoots(), next, tWhy))
    {
        p.bAsking = false;
        p.tMessage = pickUnreadable(tWhy);
        return;
    }
    p.folder.tPath.swap(next.tPath);
    p.folder.vEntries.swap(next.vEntries);
    p.iTop = 0;
    p.iSelected = -1;
    p.iClickEntry = -1;
    p.tTyped.clear();
    const int iFrom = bUp ? pickFind(p.folder, tFrom) : -1;
    pickSelect(p, iFrom >= 0 ? iFrom : pickFirst(p.folder));
    p.iFocus = p.iMode == giPickSaveAs ? giFocusField : giFocusList;
    p.bAsking = false;
    p.tMessage.clear();
}

// Hands tPath to the caller; its refusal stays in the picker.
static bool pickAccept(stPicker& p, const std::string& tPath, tPickAccept fnAccept,
                       std::string& tChosen)
{
    std::string tWhy;
    p.bAsking = false;
    if (fnAccept(tPath, tWhy))
    {
        tChosen = tPath;
        return true;
    }
    p.tMessage = tWhy;
    return false;
}

// Save As: the typed name with ".tmx", checked, and asked about once where a file has it.
static bool pickSave(stPicker& p, tPickAccept fnAccept, std::string& tChosen)
{
    const std::string tName = pickWithExtension(p.field.tText);
    std::string tKey;
    std::string tWhat;
    if (p.folder.tPath.empty())
    {
        p.tMessage = txt.Get("pick_no_folder");
        return false;
    }
    if (!pickCheckName(tName, bPickWindowsNames, tKey, tWhat))
    {
        p.bAsking = false;
        p.tMessage = txt.Get(tKey) + (tWhat.empty() ? "" : ": " + txtFromUtf8(tWhat));
        return false;
    }
    const std::string tPath = pickJoin(p.folder.tPath, tName);
    const int iKind = pickKindAt(tPath);
    if (iKind == giEntryFolder)
    {
        p.bAsking = false;
        p.tMessage = txt.Get("pick_name_folder");
        return false;
    }
    if (iKind == giEntryFile && !(p.bAsking && p.tAsked == tPath))
    {
        p.bAsking = true;
        p.tAsked = tPath;
        p.tMessage = txt.Get("pick_exists");
        return false;
    }
    return pickAccept(p, tPath, fnAccept, tChosen);
}

// Carries out request iAsk; true when a path was chosen and accepted.
static bool pickCarryOut(stPicker& p, int iAsk, tPickAccept fnAccept, std::string& tChosen)
{
    const bool bUpThere = !p.folder.vEntries.empty() && p.folder.vEntries[0].iKind == giEntryUp;
    if (iAsk == giAskUp)
    {
        if (bUpThere)
        {
            pickEnter(p, 0);
        }
        return false;
    }
    const bool bSelected = p.iSelected >= 0;
    const bool bFile = bSelected && p.folder.vEntries[p.iSelected].iKind == giEntryFile;
    if (iAsk == giAskOpen || p.iMode == giPickOpen || p.iFocus == giFocusList)
    {
        if (bSelected && !bFile)
        {
            pickEnter(p, p.iSelected);
            return false;
        }
        if (p.iMode == giPickOpen)
        {
            const std::string tName = bFile ? p.folder.vEntries[p.iSelected].tName : "";
            return bFile && pickAccept(p, pickJoin(p.folder.tPath, tName), fnAccept, tChosen);
        }
    }
    return pickSave(p, fnAccept, tChosen);
}

// Frames of the picker as it stands, until the key iScan and the mouse buttons are let go.
static void pickAwaitRelease(const stPicker& p, BITMAP* mBack, int iScan)
{
    for (int i = 0; i < giReleaseFrames && (keyHeld(iScan) || mouse_b != 0); i++)
    {
        pickDraw(p, mBack);
        displayAll();
    }
}

bool pickRun(int iMode, const std::string& tFolder, const std::string& tName, tPickAccept fnAccept,
             std::string& tChosen)
{
    stPicker p;
    stPickAside aside;
    pickOpen(p, iMode, tFolder, tName);
    pickPutAside(aside);
    pickMakeButtons(p);
    bool bChosen = false;
    int iScan = 0;
    while (!bChosen)
    {
        pickLabelOk(p);
        pickDraw(p, aside.mBack);
        displayAll();
        p.iFrame++;
        iScan = 0;
        const int iKeyAsk = pickKeys(p, iScan);
        const int iMouseAsk = pickMouse(p);
        const int iAsk = iKeyAsk != giAskNothing ? iKeyAsk : iMouseAsk;
        if (iAsk == giAskCancel || modeCloseRequested())
        {
            break;
        }
        bChosen = iAsk != giAskNothing && pickCarryOut(p, iAsk, fnAccept, tChosen);
    }
    pickAwaitRelease(p, aside.mBack, iScan);
    pickPutBack(aside);
    return bChosen;
}
