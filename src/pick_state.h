/*
 * Tarvenloft - the file picker's state and layout, shared by its rooms.
 *
 * The picker is one modal screen in four rooms: file_picker.cpp runs it
 * and carries out what the user asked for, pick_input.cpp turns keys and
 * clicks into changes of this state and into requests, pick_draw.cpp draws
 * the state, and pick_list.cpp and pick_name.cpp know folders and names.
 * Calls run one way, from the first to the others.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PICK_STATE_H
#define TARVENLOFT_PICK_STATE_H

#include <string>

#include "pick_list.h"

/* The picker's modes. */
const int giPickOpen = 0;    // choose an existing map file
const int giPickSaveAs = 1;  // choose a folder and type a name

/* Where the keyboard goes in Save As: to the list or to the name field. */
const int giFocusList = 0;
const int giFocusField = 1;

/* What the user asked for, which file_picker.cpp carries out. */
const int giAskNothing = 0;
const int giAskChoose = 1;  // Enter, the OK button: the selection, or in Save As the typed name
const int giAskOpen = 2;    // a double click on the selected entry
const int giAskUp = 3;      // the folder above
const int giAskCancel = 4;  // Escape or Cancel

/* The layout of the panel, in picture pixels. */
const int giPickLeft = 32;  // the panel's edges
const int giPickRight = 607;
const int giPickTop = 16;
const int giPickBottom = 463;
const int giListLeft = 44;  // the list's box, the scroll bar inside its right edge
const int giListRight = 595;
const int giListTop = 60;
const int giRowHeight = 18;
const int giListRows = 16;  // rows the list shows at once
const int giListBottom = giListTop + giListRows * giRowHeight + 3;
const int giBarLeft = 584;    // the scroll bar
const int giFieldLeft = 176;  // the name field's box (Save As)
const int giFieldTop = 378;
const int giFieldBottom = 399;
const int giMessageTop = 354;  // the line for a reason or a question
const int giButtonTop = 420;
const int giButtonOkX = 168;
const int giButtonCancelX = 328;
const int giButtonWidth = 144;
const int giDoubleClickFrames = 30;  // a second click this soon on the same entry opens it
const int giTypingFrames = 60;       // typed letters this close together search as one name

/* Button and text-object slots while the picker runs; the caller's are put aside meanwhile. */
const int giSlotOk = 0;
const int giSlotCancel = 1;

/* The text being typed in Save As, UTF-8, with the caret at a character's first byte. */
struct stPickField
{
    std::string tText;
    size_t iCaret = 0;
    bool bAll = false;  // all of it selected: typing replaces it
};

struct stPicker
{
    int iMode = giPickOpen;
    stPickFolder folder;
    int iSelected = -1;  // the selected entry, -1 for none
    int iTop = 0;        // the first entry the list shows
    int iFocus = giFocusList;
    stPickField field;
    std::string tMessage;  // a reason or a question, in the fonts' characters
    bool bAsking = false;  // the message asks whether to replace tAsked
    std::string tAsked;
    std::string tTyped;  // the start of a name typed in Open, to jump to
    int iTypedFrame = -1000;
    int iClickEntry = -1;  // the entry of the last click, for double clicks
    int iClickFrame = -1000;
    bool bMouseHeld = false;  // the left button, as of the last frame
    bool bDragBar = false;    // the left button went down on the scroll bar and drags it
    int iWheel = 0;           // the wheel's position last frame
    int iFrame = 0;           // frames since the picker opened
};

#endif
