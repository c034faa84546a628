/*
 * Tarvenloft - the file picker's keys and clicks.
 *
 * In Open, typed letters jump to the first name that starts with them
 * (letters typed within a second of each other make one start; the same
 * letter again moves on to the next such name) and Backspace goes up a
 * folder. In Save As, letters, Backspace, Delete, Left, Right, Home and End
 * edit the name field, a character at a time (a character may take up to
 * four bytes of UTF-8), while Up, Down, Page Up and Page Down move the list;
 * the last of the two that the user touched has the keyboard, and Enter
 * acts on it. Any change of name or selection takes back a question that
 * is waiting to be answered. Enter with Alt held is the display's.
 *
 * SPDX-License-Identifier: MIT
 */
#include "pick_input.h"

#include <cstdlib>

#include "buttons.h"
#include "keyboard.h"
#include "pick_draw.h"
#include "text_utf8.h"

static const int giWheelRows = 3;  // rows one notch of the wheel scrolls

// Takes back what the picker last said: it was about the name or the selection the user changes.
static void pickForget(stPicker& p)
{
    p.bAsking = false;
    p.tMessage.clear();
}

static int pickCount(const stPicker& p)
{
    return (int)p.folder.vEntries.size();
}

// Keeps the first row shown inside the list.
static void pickClampTop(stPicker& p)
{
    const int iMax = pickCount(p) - giListRows;
    p.iTop = p.iTop > iMax ? iMax : p.iTop;
    p.iTop = p.iTop < 0 ? 0 : p.iTop;
}

void pickSelect(stPicker& p, int i)
{
    const int iCount = pickCount(p);
    i = i >= iCount ? iCount - 1 : i;
    i = i < 0 && iCount > 0 ? 0 : i;
    if (i != p.iSelected)
    {
        pickForget(p);
    }
    p.iSelected = i;
    if (i < 0)
    {
        return;
    }
    p.iTop = i < p.iTop ? i : p.iTop;
    p.iTop = i >= p.iTop + giListRows ? i - giListRows + 1 : p.iTop;
    pickClampTop(p);
    const stPickEntry& entry = p.folder.vEntries[i];
    if (p.iMode == giPickSaveAs && entry.iKind == giEntryFile)
    {
        p.field.tText = entry.tName;
        p.field.iCaret = entry.tName.size();
        p.field.bAll = true;
    }
}

// Up, Down, Page Up, Page Down, and Home and End where the list has the keyboard. False for
// other keys.
static bool pickListKey(stPicker& p, int iScan)
{
    const bool bList = p.iMode == giPickOpen || p.iFocus == giFocusList;
    int iTo;
    switch (iScan)
    {
    case KEY_UP:
        iTo = p.iSelected - 1;
        break;
    case KEY_DOWN:
        iTo = p.iSelected + 1;
        break;
    case KEY_PGUP:
        iTo = p.iSelected - (giListRows - 1);
        break;
    case KEY_PGDN:
        iTo = p.iSelected + (giListRows - 1);
        break;
    case KEY_HOME:
        iTo = 0;
        break;
    case KEY_END:
        iTo = pickCount(p) - 1;
        break;
    default:
        return false;
    }
    if (!bList && (iScan == KEY_HOME || iScan == KEY_END))
    {
        return false;
    }
    p.iFocus = giFocusList;
    pickSelect(p, iTo < 0 ? 0 : iTo);
    return true;
}

// Takes away the selected text before an edit; true when there was one.
static bool pickTakeSelection(stPickField& field)
{
    if (!field.bAll)
    {
        return false;
    }
    field.tText.clear();
    field.iCaret = 0;
    field.bAll = false;
    return true;
}

// The name field's editing keys and typed characters (cCode > 0). False for other keys.
static bool pickFieldKey(stPicker& p, int iScan, int cCode)
{
    stPickField& f = p.field;
    const size_t iBefore = txtUtf8Before(f.tText, f.iCaret);
    int iCodePoint;
    const size_t iNext = f.iCaret < f.tText.size()
                             ? f.iCaret + txtUtf8Char(f.tText, f.iCaret, iCodePoint)
                             : f.iCaret;
    if (cCode > 0)
    {
        pickTakeSelection(f);
        std::string tChar;
        txtAppendUtf8(tChar, cCode);
        f.tText.insert(f.iCaret, tChar);
        f.iCaret += tChar.size();
    }
    else if (iScan == KEY_BACKSPACE && !pickTakeSelection(f))
    {
        f.tText.erase(iBefore, f.iCaret - iBefore);
        f.iCaret = iBefore;
    }
    else if (iScan == KEY_DEL && !pickTakeSelection(f))
    {
        f.tText.erase(f.iCaret, iNext - f.iCaret);
    }
    else if (iScan == KEY_LEFT || iScan == KEY_HOME)
    {
        f.iCaret = f.bAll || iScan == KEY_HOME ? 0 : iBefore;
    }
    else if (iScan == KEY_RIGHT || iScan == KEY_END)
    {
        f.iCaret = f.bAll || iScan == KEY_END ? f.tText.size() : iNext;
    }
    else if (iScan != KEY_BACKSPACE && iScan != KEY_DEL)
    {
        return false;
    }
    f.bAll = false;
    p.iFocus = giFocusField;
    pickForget(p);
    return true;
}

// Open: jumps to the first name that starts with what was typed lately.
static void pickJumpTo(stPicker& p, int cCode)
{
    if (p.iFrame - p.iTypedFrame > giTypingFrames)
    {
        p.tTyped.clear();
    }
    p.iTypedFrame = p.iFrame;
    std::string tChar;
    txtAppendUtf8(tChar, cCode);
    p.tTyped += tChar;
    // The same letter again and again steps through the names that start with it.
    const bool bRepeated =
        p.tTyped.size() > tChar.size() && p.tTyped.find_first_not_of(tChar[0]) == std::string::npos;
    const std::string tSearch = bRepeated ? tChar : p.tTyped;
    const int iFrom = p.tTyped.size() == tChar.size() || bRepeated ? p.iSelected + 1 : p.iSelected;
    const int i = pickJump(p.folder, tSearch, iFrom);
    if (i >= 0)
    {
        pickSelect(p, i);
    }
}

// A character that the user typed and a name can hold: no control character.
static bool pickTyped(int cCode)
{
    return cCode >= 32 && cCode != 127 && !(cCode >= 0x80 && cCode < 0xA0);
}

static int pickKey(stPicker& p, int iScan, int cCode)
{
    if (iScan == KEY_ESC)
    {
        if (!p.bAsking)
        {
            return giAskCancel;
        }
        pickForget(p);
        return giAskNothing;
    }
    if (iScan == KEY_ENTER || iScan == KEY_ENTER_PAD)
    {
        const bool bAlt = keyHeld(KEY_ALT) || keyHeld(KEY_ALTGR);
        return bAlt ? giAskNothing : giAskChoose;
    }
    if (pickListKey(p, iScan))
    {
        return giAskNothing;
    }
    const int cChar = pickTyped(cCode) ? cCode : 0;
    if (p.iMode == giPickSaveAs)
    {
        pickFieldKey(p, iScan, cChar);
    }
    else if (iScan == KEY_BACKSPACE)
    {
        return giAskUp;
    }
    else if (cChar > 0)
    {
        pickJumpTo(p, cChar);
    }
    return giAskNothing;
}

int pickKeys(stPicker& p, int& iScan)
{
    while (keypressed())
    {
        iScan = 0;
        const int cCode = ureadkey(&iScan);
        const int iAsk = pickKey(p, iScan, cCode);
        if (iAsk != giAskNothing)
        {
            return iAsk;
        }
    }
    return giAskNothing;
}

// The wheel scrolls the list by a few rows a notch, the selection staying where it is.
static void pickWheel(stPicker& p)
{
    const int iNotches = mouse_z - p.iWheel;
    p.iWheel = mouse_z;
    p.iTop -= iNotches * giWheelRows;
    pickClampTop(p);
}

// The scroll bar under the pointer: the list shows the rows at that height of the bar.
static void pickDragBar(stPicker& p)
{
    const int iTrackTop = giListTop + 2;
    const int iTrackHeight = giListBottom - 2 - iTrackTop;
    p.iTop = (mouse_y - iTrackTop) * pickCount(p) / iTrackHeight - giListRows / 2;
    pickClampTop(p);
}

// The caret goes to the character boundary nearest the pointer.
static void pickPlaceCaret(stPickField& field)
{
    size_t iBest = 0;
    int iBestDistance = 1 << 30;
    for (size_t i = 0; i <= field.tText.size();)
    {
        const int iDistance = std::abs(pickFieldX(field, i) - mouse_x);
        if (iDistance < iBestDistance)
        {
            iBest = i;
            iBestDistance = iDistance;
        }
        int iCodePoint;
        i += i < field.tText.size() ? txtUtf8Char(field.tText, i, iCodePoint) : 1;
    }
    field.iCaret = iBest;
    field.bAll = false;
}

// A press of the left button on the list (a second one on the same entry soon after opens it),
// on the scroll bar, or on the name field.
static int pickPress(stPicker& p)
{
    const bool bInList =
        mouse_y >= giListTop + 2 && mouse_y < giListTop + 2 + giListRows * giRowHeight;
    if (bInList && mouse_x >= giListLeft && mouse_x < giBarLeft)
    {
        const int i = p.iTop + (mouse_y - giListTop - 2) / giRowHeight;
        if (i >= pickCount(p))
        {
            return giAskNothing;
        }
        const bool bDouble = i == p.iClickEntry && p.iFrame - p.iClickFrame <= giDoubleClickFrames;
        p.iClickEntry = bDouble ? -1 : i;
        p.iClickFrame = p.iFrame;
        p.iFocus = giFocusList;
        pickSelect(p, i);
        return bDouble ? giAskOpen : giAskNothing;
    }
    p.bDragBar =
        bInList && mouse_x >= giBarLeft && mouse_x <= giListRight && pickCount(p) > giListRows;
    const bool bInField = mouse_x >= giFieldLeft && mouse_x <= giListRight &&
                          mouse_y >= giFieldTop && mouse_y <= giFieldBottom;
    if (p.iMode == giPickSaveAs && bInField)
    {
        p.iFocus = giFocusField;
        pickPlaceCaret(p.field);
    }
    return giAskNothing;
}

int pickMouse(stPicker& p)
{
    pickWheel(p);
    const bool bHeld = (mouse_b & 1) != 0;
    const int iAsk = keyEdge(p.bMouseHeld, bHeld, false) ? pickPress(p) : giAskNothing;
    p.bDragBar = p.bDragBar && bHeld;
    if (p.bDragBar)
    {
        pickDragBar(p);
    }
    if (butCheck(giSlotOk))
    {
        butReset(giSlotOk);
        return giAskChoose;
    }
    if (butCheck(giSlotCancel))
    {
        butReset(giSlotCancel);
        return giAskCancel;
    }
    return iAsk;
}
