/*
 * Tarvenloft - the panels over the map, with a map file open: the tile
 * palette (Space), the overview of the whole map (M) and the help (F1, or
 * the menu's Help button).
 *
 * Each is a loop of its own, as the menu is, so that painting, picking and
 * the tools do not act through it. A panel opens on a completed press of
 * its key and closes on a completed press or a click, both made while it
 * shows: the key or click that closes it has been let go by then, and is
 * spent, so it does nothing else in the editor. The window's close button
 * closes a panel too, and leaves its request to the editor or the menu.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "display_mode.h"
#include "editor_help.h"
#include "editor_palette.h"
#include "gui_main.h"
#include "keyboard.h"

// Whether a key went down and up while the panel showed; every such press is spent.
static bool panelAnyKey()
{
    bool bAny = false;
    for (int i = 0; i < KEY_MAX; i++)
    {
        bAny = keyCheck(i) || bAny;
    }
    return bAny;
}

void CMapEditor::PanelOpen_()
{
    keyReset();
    EndDrags_();
    bPanelHeld = (mouse_b & 7) != 0;
    bPanelPressed = false;
}

// Ends a frame of a panel; false when the window's close button asks to end the program.
bool CMapEditor::PanelFrame_()
{
    displayAll();
    return !modeCloseRequested();
}

// Whether one of iButtons was pressed and let go while the panel showed.
bool CMapEditor::PanelClicked_(int iButtons)
{
    bool bDown, bUp;
    ButtonEdges_(iButtons, bPanelHeld, bDown, bUp);
    bPanelPressed = bPanelPressed || bDown;
    if (bUp && bPanelPressed)
    {
        bPanelPressed = false;
        return true;
    }
    return false;
}

// Keys pressed and buttons held in the panel, and the wheel turned over it, do not act after it.
void CMapEditor::PanelClose_()
{
    keyReset();
    EndDrags_();
    iWheelZ = mouse_z;
    iWheelW = mouse_w;
}

// The palette: a click on a slot, or Enter on the slot the arrow keys framed, selects its value.
int CMapEditor::Palette_()
{
    PanelOpen_();
    iPaletteAt = iTerrain;
    bool bOpen = true;
    while (bOpen)
    {
        PaletteDisplay_();
        bOpen = PanelFrame_() && !keyCheck(KEY_SPACE) && !keyCheck(KEY_ESC);
        const int iDX = (keyCheck(KEY_RIGHT) ? 1 : 0) - (keyCheck(KEY_LEFT) ? 1 : 0);
        const int iDY = (keyCheck(KEY_DOWN) ? 1 : 0) - (keyCheck(KEY_UP) ? 1 : 0);
        iPaletteAt = palStep(iPaletteAt, iDX, iDY);
        int iChosen = keyCheck(KEY_ENTER) || keyCheck(KEY_ENTER_PAD) ? iPaletteAt : -1;
        if (PanelClicked_(1))
        {
            iChosen = palSlotAt(mouse_x, mouse_y);
        }
        if (iChosen >= 0 && bOpen)
        {
            iTerrain = iChosen;
            bOpen = false;
        }
    }
    PanelClose_();
    return 0;
}

// The palette's frame: the map, and the palette over its middle.
int CMapEditor::PaletteDisplay_()
{
    clear_bitmap(mBuffer);
    DrawLayers_();
    palDraw(iPaletteAt);
    return 0;
}

// The overview: a click on a cell brings the view there.
void CMapEditor::Overview_()
{
    PanelOpen_();
    bool bOpen = true;
    while (bOpen)
    {
        clear_bitmap(mBuffer);
        ovwDraw(sTileColours, iOffsetX, iOffSetY);
        bOpen = PanelFrame_() && !keyCheck(KEY_M) && !keyCheck(KEY_ESC);
        int iCellX, iCellY;
        if (PanelClicked_(1) && bOpen && ovwCellAt(mouse_x, mouse_y, iCellX, iCellY))
        {
            ovwViewFor(iCellX, iCellY, iOffsetX, iOffSetY);
            ShowWhere_();
            bOpen = false;
        }
    }
    PanelClose_();
}

void CMapEditor::Help_()
{
    PanelOpen_();
    bool bOpen = true;
    while (bOpen)
    {
        clear_bitmap(mBuffer);
        DrawLayers_();
        helpDraw();
        bOpen = PanelFrame_();
        const bool bClicked = PanelClicked_(7);
        const bool bKey = panelAnyKey();
        bOpen = bOpen && !bClicked && !bKey;
    }
    PanelClose_();
}
