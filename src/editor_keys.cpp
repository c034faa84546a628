/*
 * Tarvenloft - the editor's keys with a map file open, and the view they
 * move.
 *
 * The view shows the map from its top-left cell (iOffsetX, iOffSetY),
 * which stays within 0..100 and 0..105 so that the 20 x 15 view never
 * leaves the 120 x 120 map. W, A, S and D step it one cell a press and
 * repeat while held, as text editors do; the wheel scrolls three cells a
 * notch (across with Shift, or with a horizontal wheel); the middle button
 * drags the map cell by cell. Keys 1 to 4 choose the working layer, Ctrl+Z
 * undoes a stroke, Ctrl+Y and Ctrl+Shift+Z redo one; Ctrl+N starts a new
 * map, Ctrl+O opens one, Ctrl+S saves and Ctrl+Shift+S saves as.
 * After any change of layer or view (or of the tool or the selected value)
 * a small box shows them all for about two seconds; the menu's strip shows
 * them always.
 *
 * These keys act when pressed, not when let go, as scrolling and undoing
 * do elsewhere.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "color.h"
#include "editor_file.h"
#include "keyboard.h"
#include "text.h"
#include "undo.h"

static const int iLastOffsetX = giMapSide - giTilesWide;  // the view's right edge on the map's
static const int iLastOffsetY = giMapSide - giTilesHigh;  // the view's bottom edge on the map's
static const int iWheelCells = 3;                         // cells one notch of the wheel scrolls
static const int iRepeatDelay = 25;                       // frames a key is held before it repeats
static const int iRepeatEvery = 2;                        // frames between repeats then
static const int iWhereShown = 120;                       // frames the layer and place show: 2 s

// The scrolling keys and the cells each steps the view by.
static const int iScrollKeys[4] = {KEY_W, KEY_A, KEY_S, KEY_D};
static const int iScrollX[4] = {0, -1, 0, 1};
static const int iScrollY[4] = {-1, 0, 1, 0};

static int viewClamp(int iValue, int iHighest)
{
    return iValue < 0 ? 0 : (iValue > iHighest ? iHighest : iValue);
}

// Whether iKey went down since the last frame.
bool CMapEditor::KeyPressed_(int iKey)
{
    return keyEdge(bKeyDown[iKey], keyHeld(iKey), false);
}

void CMapEditor::Scroll_(int iDX, int iDY)
{
    const int iNewX = viewClamp(iOffsetX + iDX, iLastOffsetX);
    const int iNewY = viewClamp(iOffSetY + iDY, iLastOffsetY);
    if (iNewX != iOffsetX || iNewY != iOffSetY)
    {
        iOffsetX = iNewX;
        iOffSetY = iNewY;
        iWhereFrames = iWhereShown;
    }
}

void CMapEditor::SetLayer_(int iNewLayer)
{
    iLayer = iNewLayer;
    iWhereFrames = iWhereShown;
}

// W, A, S and D (bPressed, in that order): one step a press, then, while the key stays down, a
// step every iRepeatEvery frames after iRepeatDelay. Only the key pressed last repeats. With Ctrl
// held they do not scroll: Ctrl+S saves.
void CMapEditor::ScrollKeys_(const bool bPressed[4], bool bCtrl)
{
    for (int i = 0; i < 4; i++)
    {
        if (bPressed[i] && !bCtrl)
        {
            Scroll_(iScrollX[i], iScrollY[i]);
            iRepeatKey = i;
            iRepeatFrames = 0;
        }
    }
    if (iRepeatKey < 0 || !keyHeld(iScrollKeys[iRepeatKey]) || bCtrl)
    {
        iRepeatKey = -1;
        return;
    }
    iRepeatFrames++;
    if (iRepeatFrames >= iRepeatDelay && (iRepeatFrames - iRepeatDelay) % iRepeatEvery == 0)
    {
        Scroll_(iScrollX[iRepeatKey], iScrollY[iRepeatKey]);
    }
}

// The wheel, and the middle button's drag: the map follows the pointer, so dragging it five
// cells to the right shows the cells five columns further left.
void CMapEditor::ScrollPointer_()
{
    const int iNotchesZ = mouse_z - iWheelZ;  // up is positive
    const int iNotchesW = mouse_w - iWheelW;  // right is positive
    iWheelZ = mouse_z;
    iWheelW = mouse_w;
    if (keyShiftHeld())
    {
        Scroll_(-iWheelCells * iNotchesZ, 0);
    }
    else
    {
        Scroll_(0, -iWheelCells * iNotchesZ);
    }
    Scroll_(iWheelCells * iNotchesW, 0);
    if (!(mouse_b & 4))
    {
        bDragging = false;
        return;
    }
    if (!bDragging)
    {
        bDragging = true;
        iDragX = mouse_x;
        iDragY = mouse_y;
        iDragOffsetX = iOffsetX;
        iDragOffsetY = iOffSetY;
    }
    Scroll_(iDragOffsetX - (mouse_x - iDragX) / giTileX - iOffsetX,
            iDragOffsetY - (mouse_y - iDragY) / giTileY - iOffSetY);
}

// The layer keys, undo and redo.
void CMapEditor::EditKeys_(bool bCtrl)
{
    for (int i = 0; i < giTerrainLayers; i++)
    {
        if (KeyPressed_(KEY_1 + i) && !bCtrl)
        {
            SetLayer_(i);
        }
    }
    const bool bShift = keyShiftHeld();
    const bool bZ = KeyPressed_(KEY_Z);
    const bool bY = KeyPressed_(KEY_Y);
    const bool bUndo = bCtrl && bZ && !bShift;
    const bool bRedo = bCtrl && (bY || (bZ && bShift));
    if (bUndo || bRedo)
    {
        bStroke = false;  // a stroke still being painted ends here
    }
    if ((bUndo && undoUndo()) || (bRedo && undoRedo()))
    {
        fileMapChanged();
    }
}

// Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+Shift+S: New, Open, Save and Save As, once when the key goes
// down with Ctrl held (a tap shorter than a frame counts too: input_latch.h). bSDown is S's edge,
// which the scrolling keys take.
void CMapEditor::FileKeys_(bool bCtrl, bool bSDown)
{
    const bool bNew = KeyPressed_(KEY_N) && bCtrl;
    const bool bOpen = KeyPressed_(KEY_O) && bCtrl;
    if (bNew)
    {
        New_();
    }
    if (bOpen)
    {
        Open_(iArmOpen);
    }
    if (bSDown && bCtrl && keyShiftHeld())
    {
        fileSaveAs();
    }
    else if (bSDown && bCtrl)
    {
        fileSave();
    }
}

// What a frame of the editor does with the keys and the pointer beyond painting, with a map file.
// A question about unsaved changes stands for as long as a notice shows.
void CMapEditor::Navigate_()
{
    const bool bCtrl = keyControlHeld();
    if (iArmed != iArmNone && --iAskFrames <= 0)
    {
        iArmed = iArmNone;
    }
    bool bPressed[4];
    for (int i = 0; i < 4; i++)
    {
        bPressed[i] = KeyPressed_(iScrollKeys[i]);
    }
    FileKeys_(bCtrl, bPressed[2]);
    ScrollKeys_(bPressed, bCtrl);
    EditKeys_(bCtrl);
    ScrollPointer_();
}

// The working layer, as the keys name it, the view's top-left cell, the tool and the selected
// value: "Layer 2  57, 88  Fill  Tile 7".
std::string CMapEditor::Where_()
{
    return txt.Get("map_layer") + " " + std::to_string(iLayer + 1) + "  " +
           std::to_string(iOffsetX) + ", " + std::to_string(iOffSetY) + "  " + ToolName_() + "  " +
           txt.Get("map_tile") + " " + std::to_string(iTerrain);
}

// Shows the where box for a while.
void CMapEditor::ShowWhere_()
{
    iWhereFrames = iWhereShown;
}

// For a while after a change of layer, view, tool or selected value, a translucent box in the
// lower right corner shows them, as the frame-rate box does in the lower left.
void CMapEditor::DrawWhere_()
{
    if (iWhereFrames <= 0)
    {
        return;
    }
    iWhereFrames--;
    const std::string tWhere = txtLiteral(Where_());
    const int iWidth = txtCheckWordLength(1, tWhere);
    colorShade(mBuffer, 631 - iWidth - 8, 457, 631, 472, makecol(0, 0, 255));
    txtOut(1, 631 - iWidth - 4, 461, tWhere, -1, -1);
}
