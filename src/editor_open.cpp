/*
 * Tarvenloft - what the editor gives a map file it opens: at start, the
 * map's top-left corner on layer 0 with nothing to undo and no key, drag
 * or question left over; at every later opening (Load Map), layer 0 and
 * nothing to undo, the view where it was.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include <cstring>

#include "editor_file.h"
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
}

void CMapEditor::Opened_()
{
    iLayer = 0;
    undoClear();
    bStroke = false;
    ToolsOpened_();
}
