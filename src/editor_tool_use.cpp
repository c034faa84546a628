/*
 * Tarvenloft - what the editor's tools do with the pointer, with a map
 * file open, and what they draw.
 *
 * The left button works with the tool: the brush paints as the editor
 * always has (editor_map.cpp), the fill fills on a press, the rectangle
 * fills from the cell of its press to the cell of its release, and the
 * stamp places its block on a press and again at each new cell while the
 * button stays down. The right button picks a cell's value when it is let
 * go where it went down; let go on another cell, it captures the block
 * between the two (of every layer with Shift held) and the tool becomes the
 * stamp. A right press while a rectangle is dragged cancels the rectangle.
 * A drag ends on the cell the pointer was over at the last frame that saw
 * its button held, the cell its outline showed, wherever the pointer went
 * as the button was let go.
 * Every action goes through the undo history as one stroke, and only one
 * that changed a cell counts as a change of the map.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "editor_file.h"
#include "editor_highlight.h"
#include "editor_marks.h"
#include "keyboard.h"
#include "undo.h"

void CMapEditor::ButtonEdges_(int iButtons, bool& bWasHeld, bool& bDown, bool& bUp)
{
    bool bWas = bWasHeld;
    const bool bHeld = (mouse_b & iButtons) != 0;
    bDown = keyEdge(bWas, bHeld, false);
    bUp = keyEdge(bWasHeld, bHeld, true);
}

// The pointer's buttons, after a frame: true when the left button is not the brush's, which
// editor_map.cpp paints with.
bool CMapEditor::ToolMouse_()
{
    if (mouse_b & 3)
    {
        iHeldX = iX;
        iHeldY = iY;
    }
    RightButton_();
    bool bDown, bUp;
    ButtonEdges_(1, bLeftHeld, bDown, bUp);
    if (iTool == giToolBrush)
    {
        return false;
    }
    if (bStroke && iTool != giToolStamp)
    {
        undoEndStroke();  // a brush stroke that a tool key cut short
        bStroke = false;
    }
    if (iTool == giToolFill && bDown)
    {
        Changed_(toolFill(iLayer, iX, iY, iTerrain));
    }
    else if (iTool == giToolRectangle)
    {
        Rectangle_(bDown, bUp);
    }
    else if (iTool == giToolStamp)
    {
        Stamp_(bDown, bUp);
    }
    return true;
}

// A right click on one cell picks its value and leaves the stamp; a right drag captures a block.
void CMapEditor::RightButton_()
{
    bool bDown, bUp;
    ButtonEdges_(2, bRightHeld, bDown, bUp);
    if (bDown && bRectangle)
    {
        bRectangle = false;  // the right press cancels the rectangle, and its release does nothing
        return;
    }
    if (bDown)
    {
        bCapture = true;
        iCaptureX = iX;
        iCaptureY = iY;
    }
    if (!bUp || !bCapture)
    {
        return;
    }
    bCapture = false;
    if (iHeldX == iCaptureX && iHeldY == iCaptureY)
    {
        iTerrain = map.iTerrain[iLayer][iHeldX][iHeldY];
        LeaveStamp_();
        return;
    }
    sBlock = toolCapture(iLayer, iCaptureX, iCaptureY, iHeldX, iHeldY, keyShiftHeld());
    if (iTool != giToolStamp)
    {
        iToolBeforeStamp = iTool;
    }
    iTool = giToolStamp;
}

void CMapEditor::Rectangle_(bool bDown, bool bUp)
{
    if (bDown)
    {
        bRectangle = true;
        iRectX = iX;
        iRectY = iY;
    }
    if (bUp && bRectangle)
    {
        bRectangle = false;
        Changed_(toolRectangle(iLayer, iRectX, iRectY, iHeldX, iHeldY, iTerrain));
    }
}

// One press of the left button is one stroke, however many cells the block is placed at.
void CMapEditor::Stamp_(bool bDown, bool bUp)
{
    if (bDown)
    {
        undoEndStroke();  // a brush stroke still open when the block was captured
        undoBeginStroke();
        bStroke = true;
        iStampX = iStampY = -1;
    }
    if (bStroke && (mouse_b & 1) && (iX != iStampX || iY != iStampY))
    {
        iStampX = iX;
        iStampY = iY;
        Changed_(toolStamp(sBlock, iLayer, iX, iY));
    }
    if (bUp && bStroke)
    {
        undoEndStroke();
        bStroke = false;
    }
}

void CMapEditor::Changed_(int iCells)
{
    if (iCells > 0)
    {
        fileMapChanged();
    }
}

// B, F and R: a tool of the left button, which leaves the stamp and any rectangle being dragged.
void CMapEditor::SetTool_(int iNewTool)
{
    iTool = iNewTool;
    bRectangle = false;
}

void CMapEditor::LeaveStamp_()
{
    if (iTool == giToolStamp)
    {
        iTool = iToolBeforeStamp;
    }
}

// A drag that a loop of its own (the menu, a panel) interrupted ends there: its release, which
// that loop saw, does nothing in the editor.
void CMapEditor::EndDrags_()
{
    bRectangle = false;
    bCapture = false;
    bLeftHeld = (mouse_b & 1) != 0;
    bRightHeld = (mouse_b & 2) != 0;
}

// What every opening of the map file gives the tools: the brush, and nothing being dragged. At
// the first, the tile colours of the overview and the darkened tiles of the highlight, which the
// tileset the editor loaded once gives.
void CMapEditor::ToolsOpened_()
{
    iTool = iToolBeforeStamp = giToolBrush;
    EndDrags_();
    if (mDarkTiles == NULL)
    {
        sTileColours = ovwTileColours(map.mTiles);
        mDarkTiles = hiDarkTiles(map.mTiles);
    }
}

// The map's layers, with the working one highlighted while H has it so.
void CMapEditor::DrawLayers_()
{
    if (bHighlight)
    {
        hiDraw(mDarkTiles, iOffsetX, iOffSetY, iLayer);
        return;
    }
    map.Display(iOffsetX, iOffSetY, 0, 0, false, iLayer);
}

// The rectangle or the block being captured, outlined with its size, and the stamp's block
// under the pointer.
void CMapEditor::DrawTools_()
{
    if (bRectangle)
    {
        markSpan(iOffsetX, iOffSetY, iRectX, iRectY, iX, iY, makecol(255, 220, 0));
    }
    if (bCapture && (iX != iCaptureX || iY != iCaptureY))
    {
        markSpan(iOffsetX, iOffSetY, iCaptureX, iCaptureY, iX, iY, makecol(0, 220, 255));
    }
    if (iTool == giToolStamp && !bCapture)
    {
        markBlock(sBlock, iOffsetX, iOffSetY, iX, iY);
    }
}

// The tool in the interface language.
std::string CMapEditor::ToolName_()
{
    static const char* const cKey[4] = {"tool_brush", "tool_fill", "tool_rect", "tool_stamp"};
    return txt.Get(cKey[iTool >= 0 && iTool < 4 ? iTool : 0]);
}
