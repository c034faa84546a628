/*
 * Tarvenloft - the map editor.
 *
 * TileRover is the editing loop: every frame it draws the map, marks the
 * cell under the pointer, shows the selected tile beside the pointer, ends
 * the frame with displayAll and then acts on the mouse and the keys. The
 * view shows map cell (x + iOffsetX, y + iOffSetY) at screen cell (x, y);
 * without a map file the offset stays (0, 0). Escape opens the menu, a
 * modal loop over the map; only its quit button (or, with unsaved changes,
 * a second close request) ends the editor.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "color.h"
#include "display_mode.h"
#include "editor_file.h"
#include "gui_main.h"
#include "keyboard.h"
#include "undo.h"

CMapEditor edit;

// Marks the cell whose top-left corner is (iXPos, iYPos) with a translucent white square.
static void editDrawCursor(int iXPos, int iYPos)
{
    colorShade(mBuffer, iXPos, iYPos, iXPos + giTileX - 1, iYPos + giTileY - 1,
               makecol(255, 255, 255));
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

int editMap()
{
    edit.TileRover();
    return 0;
}

// The frame's picture: the map, the cursor and the preview, and with a map file the layer and
// place after a change and the last save's notice.
void CMapEditor::Draw_()
{
    clear_bitmap(mBuffer);
    DrawLayers_();
    FindMouse_();
    editDrawCursor(iXPos, iYPos);
    editDrawPreview(iTool == giToolStamp ? 0 : iTerrain);  // the stamp shows its block instead
    if (fileInUse())
    {
        DrawTools_();
        DrawWhere_();
        DrawStatus_(false);
        fileKeepTitle();
    }
}

int CMapEditor::TileRover()
{
    bQuit = false;
    keyReset();
    map.LoadTiles("001");
    StartMap_();
    while (!bQuit)
    {
        Draw_();
        displayAll();
        // The frame read the pointer and its buttons at one moment: paint and pick where the
        // pointer was then, which is not always where the cursor was drawn (a pointer can jump).
        FindMouse_();
        Paint_();
        if (keyCheck(KEY_LEFT) && iTerrain > 0)
        {
            iTerrain--;
        }
        if (keyCheck(KEY_RIGHT) && iTerrain < giMaxTerrain)
        {
            iTerrain++;
        }
        if (fileInUse())
        {
            Navigate_();
            ToolKeys_();
        }
        if (keyCheck(KEY_ESC))
        {
            Menu_();
        }
        else if (fileInUse() && modeTakeCloseRequest())
        {
            Ask_(iArmQuit);  // there are unsaved changes: the menu asks
            Menu_();
        }
    }
    return 0;
}

// The left button paints the selection into the cell under the pointer, the right one picks the
// cell's value up. With a map file, what one press of the left button paints is one stroke of
// the undo history.
void CMapEditor::Paint_()
{
    const bool bMapFile = fileInUse();
    if (bMapFile && ToolMouse_())
    {
        return;  // with a map file the right button, and the left one but for the brush, are tools'
    }
    if ((mouse_b & 1) && bMapFile)
    {
        if (!bStroke)
        {
            undoBeginStroke();
            bStroke = true;
        }
        if (map.iTerrain[iLayer][iX][iY] != iTerrain)
        {
            undoPaint(iLayer, iX, iY, iTerrain);
            fileMapChanged();
        }
    }
    else if (mouse_b & 1)
    {
        map.iTerrain[iLayer][iX][iY] = iTerrain;
    }
    else if (bStroke)
    {
        undoEndStroke();
        bStroke = false;
    }
    if ((mouse_b & 2) && !bMapFile)
    {
        iTerrain = map.iTerrain[iLayer][iX][iY];
    }
}

// The cell under the pointer: the pointer stays on the 640 x 480 screen, and the view's offset
// keeps the 20 x 15 view inside the map.
int CMapEditor::FindMouse_()
{
    const int iViewX = mouse_x / giTileX;
    const int iViewY = mouse_y / giTileY;
    iX = iViewX + iOffsetX;
    iY = iViewY + iOffSetY;
    iXPos = iViewX * giTileX;
    iYPos = iViewY * giTileY;
    return 0;
}
