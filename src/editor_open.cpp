/*
 * Tarvenloft - what the editor gives a map it opens: at start, the map's
 * top-left corner on layer 0 with nothing to undo and no key, drag or
 * question left over; at every later opening, layer 0 and nothing to undo,
 * the view where it was when the same file opens again and at the map's
 * top-left corner for another. New (Ctrl+N), Open (Ctrl+O, Load Map) and
 * Quit ask once about unsaved changes, in the strip: a second request of
 * the same action goes ahead.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include <cstring>

#include "editor_file.h"
#include "editor_notice.h"
#include "undo.h"

void CMapEditor::StartMap_()
{
    if (!fileInUse())
    {
        return;
    }
    iOffsetX = iOffSetY = 0;
    Opened_();
    memset(bKeyDown, 0, sizeof(bKeyDown));
    bDragging = false;
    iWheelZ = mouse_z;
    iWheelW = mouse_w;
    iRepeatKey = -1;
    iWhereFrames = 0;
    iArmed = iArmNone;
    fileMapChanged();
    fileStartNotice();
}

void CMapEditor::Opened_()
{
    iLayer = 0;
    undoClear();
    bStroke = false;
    ToolsOpened_();
}

// Asks about unsaved changes before iAction: the strip says so, and the next request of the
// same action carries it out.
void CMapEditor::Ask_(int iAction)
{
    static const char* const cQuestion[] = {"", "map_unsaved_quit", "map_unsaved_load",
                                            "map_unsaved_open", "map_unsaved_new"};
    iArmed = iAction;
    iAskFrames = giNoticeFrames;
    noticeShow(txt.Get(cQuestion[iAction]));
}

// Ctrl+N: a new, empty, untitled map.
void CMapEditor::New_()
{
    if (fileUnsaved() && iArmed != iArmNew)
    {
        Ask_(iArmNew);
        return;
    }
    iArmed = iArmNone;
    fileNew();
    iOffsetX = iOffSetY = 0;
    Opened_();
}

// Ctrl+O and Load Map (iAction names which): the picker, and the map it opens.
void CMapEditor::Open_(int iAction)
{
    if (fileUnsaved() && iArmed != iAction)
    {
        Ask_(iAction);
        return;
    }
    iArmed = iArmNone;
    const std::string tBefore = sys_tMapFile;
    if (!fileOpen())
    {
        return;
    }
    if (sys_tMapFile != tBefore)
    {
        iOffsetX = iOffSetY = 0;
    }
    Opened_();
}
