/*
 * Tarvenloft - the map editor.
 *
 * TileRover is the editing loop: every frame it draws the map, marks the
 * cell under the pointer, shows the selected tile beside the pointer, ends
 * the frame with displayAll and then acts on the mouse and the keys. The
 * view does not scroll, so screen cell (x, y) is map cell (x, y). Escape
 * opens the menu, a modal loop over the map; only its quit button ends the
 * editor.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "buttons.h"
#include "gui_main.h"
#include "keyboard.h"
#include "text.h"

CMapEditor edit;

static const int iMaxTerrain = 25;  // highest value the arrow keys select

// Marks the cell whose top-left corner is (iXPos, iYPos) with a translucent white square.
static void editDrawCursor(int iXPos, int iYPos)
{
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, iXPos, iYPos, iXPos + giTileX - 1, iYPos + giTileY - 1,
             makecol(255, 255, 255));
    solid_mode();
}

// Shows the tile that painting would place, up and to the right of the pointer.
static void editDrawPreview(int iTerrain)
{
    int iLocX = mouse_x + 8;
    int iLocY = mouse_y - 8;
    int iSrcX = giTileWidth;
    int iSrcY = iTerrain * giTileHeight;
    if (iTerrain != 0)
    {
        masked_blit(map.mTiles, mBuffer, iSrcX, iSrcY, iLocX, iLocY, giTileWidth, giTileHeight);
    }
}

// The translucent black panel behind the menu's buttons.
static void editDrawPanel()
{
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, 164, 48, 475, 431, makecol(0, 0, 0));
    solid_mode();
}

int editMap()
{
    edit.TileRover();
    return 0;
}

int CMapEditor::TileRover()
{
    bQuit = false;
    keyReset();
    map.LoadTiles("001");
    while (!bQuit)
    {
        clear_bitmap(mBuffer);
        map.Display(0, 0, 0, 0, false, iLayer);
        FindMouse_();
        editDrawCursor(iXPos, iYPos);
        editDrawPreview(iTerrain);
        displayAll();
        // The frame read the pointer and its buttons at one moment: paint and pick where the
        // pointer was then, which is not always where the cursor was drawn (a pointer can jump).
        FindMouse_();
        if (mouse_b & 1)
        {
            map.iTerrain[iLayer][iX][iY] = iTerrain;
        }
        if (mouse_b & 2)
        {
            iTerrain = map.iTerrain[iLayer][iX][iY];
        }
        if (keyCheck(KEY_LEFT) && iTerrain > 0)
        {
            iTerrain--;
        }
        if (keyCheck(KEY_RIGHT) && iTerrain < iMaxTerrain)
        {
            iTerrain++;
        }
        if (keyCheck(KEY_ESC))
        {
            Menu_();
        }
    }
    return 0;
}

// The cell under the pointer. The pointer stays on the 640 x 480 screen, so the cell is always
// inside the visible 20 x 15 corner of the map.
int CMapEditor::FindMouse_()
{
    iX = mouse_x / giTileX;
    iY = mouse_y / giTileY;
    iXPos = iX * giTileX;
    iYPos = iY * giTileY;
    return 0;
}

// Runs the menu until continue, quit or Escape; quit sets bQuit. Key presses made before or
// during the menu are discarded, so they act neither in the menu nor back in the editor.
int CMapEditor::Menu_()
{
    keyReset();
    MenuDisplay_();
    while (!butCheck(0) && !butCheck(7))
    {
        clear_bitmap(mBuffer);
        map.Display(0, 0, 0, 0, false, iLayer);
        editDrawPanel();
        displayAll();
        if (keyCheck(KEY_ESC))
        {
            break;
        }
    }
    keyReset();
    if (butCheck(7))
    {
        bQuit = true;
    }
    butKillAll();
    txtKillAll();
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

int CMapEditor::Palette_()
{
    return 0;
}

int CMapEditor::PaletteDisplay_()
{
    return 0;
}
