/*
 * Tarvenloft - the map editor.
 *
 * The editor shows 20 x 15 cells of the map. Every frame it marks the cell
 * under the pointer, shows the selected tile beside the pointer, paints the
 * selection into the working layer with the left button, picks a cell's
 * value with the right button, steps the selection with the Left and Right
 * keys and opens its menu with Escape. Without a map file the view stays at
 * the map's top-left corner and the working layer is layer 0. With one (or
 * with map files switched on in the settings), the view scrolls over the
 * whole map, keys 1 to 4 choose the working layer, strokes can be undone
 * and redone, and maps are made, opened and saved in files.
 *
 * The class's work is cut into rooms, each calling only rooms below it:
 * editor_map.cpp, the loop, the frame's picture, painting and picking;
 * editor_menu.cpp, the menu, its map-file buttons and the strip under it;
 * editor_keys.cpp, the keys of a map file (the view, the layers, undo,
 * saving, New and Open) and the box that shows the layer and place;
 * editor_open.cpp, what every opening of a map gives, and the question
 * before unsaved changes are dropped; editor_tool_keys.cpp, the keys of
 * the tools and of the panels over the map; editor_panels.cpp, the tile
 * palette, the overview of the map and the help, each a loop of its own;
 * editor_tool_use.cpp, what the tools do with the pointer and draw. The
 * file itself, as the editor uses it, is editor_file.cpp's.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_MAP_H
#define TARVENLOFT_EDITOR_MAP_H

#include "editor_overview.h"
#include "editor_tools.h"
#include "header.h"

/* What a second request carries out, after the editor or its menu asked about unsaved changes. */
const int iArmNone = 0;
const int iArmQuit = 1;  // Quit, or the window's close button
const int iArmLoad = 2;  // Load Map
const int iArmOpen = 3;  // Ctrl+O
const int iArmNew = 4;   // Ctrl+N

class CMapEditor
{
  public:
    int TileRover();

  private:
    bool bQuit;              // leave the editing loop at the top of the next frame
    bool bKeyDown[KEY_MAX];  // with a map file: the keys that were held at the last frame
    int iTool;               // with a map file the tool the left button uses: giToolBrush...
    int iTerrain;            // the selected terrain value, 0..25; 0 clears
    int iLayer;              // the layer painting writes and picking reads
    int iOffsetX;            // map column of the view's top-left cell
    int iOffSetY;            // map row of the view's top-left cell
    int iX;                  // map column under the pointer
    int iY;                  // map row under the pointer
    int iXPos;               // screen x of that cell
    int iYPos;               // screen y of that cell
    std::string tPath;       // carried for later tools; unused

    /* With a map file only. */
    bool bStroke;    // the left button has been painting since its press
    bool bDragging;  // the middle button holds the map
    int iDragX;      // where the drag began, in pointer pixels
    int iDragY;
    int iDragOffsetX;  // the view's top-left cell when it began
    int iDragOffsetY;
    int iWheelZ;        // the wheel's count at the last frame
    int iWheelW;        // the horizontal wheel's count at the last frame
    int iRepeatKey;     // the scrolling key held longest, for its repeat
    int iRepeatFrames;  // frames it has been held
    int iWhereFrames;   // frames the layer and place still show after a change
    int iArmed;         // the menu's action that a second click carries out

    /* editor_map.cpp */
    int FindMouse_();
    void Paint_();
    void Draw_();

    /* editor_menu.cpp */
    int Menu_();
    int MenuDisplay_();
    bool MenuFile_();
    void DrawStatus_(bool bInMenu);

    /* editor_keys.cpp */
    void Navigate_();
    void Scroll_(int iDX, int iDY);
    void SetLayer_(int iNewLayer);
    void ScrollKeys_(const bool bPressed[4], bool bCtrl);
    void ScrollPointer_();
    void EditKeys_(bool bCtrl);
    bool KeyPressed_(int iKey);
    void FileKeys_(bool bCtrl, bool bSDown);
    void DrawWhere_();
    void ShowWhere_();
    std::string Where_();

    /* editor_open.cpp */
    void StartMap_();
    void Opened_();
    void Ask_(int iAction);
    void New_();
    void Open_(int iAction);

    /* With a map file: the tools, the palette, the overview and the help. */
    stBlock sBlock;              // the block the stamp places
    stTileColours sTileColours;  // each tile's colour in the overview
    BITMAP* mDarkTiles;          // the tileset darkened, for the highlight
    bool bHighlight;             // the layers but the working one are drawn darkened
    bool bLeftHeld;              // the buttons at the last frame
    bool bRightHeld;             //
    bool bRectangle;             // a rectangle is dragged from (iRectX, iRectY)
    int iRectX;                  //
    int iRectY;                  //
    bool bCapture;               // the right button is held since a press at (iCaptureX, iCaptureY)
    int iCaptureX;               //
    int iCaptureY;               //
    int iHeldX;                  // the cell under the pointer at the last frame that saw the
    int iHeldY;                  // left or the right button held: where a drag ends
    int iStampX;                 // where the stamp last placed the block in this stroke
    int iStampY;                 //
    int iToolBeforeStamp;        // the tool that a pick or a right click goes back to
    int iShownTool;              // the tool and the value the where box last showed
    int iShownTerrain;           //
    int iPaletteAt;              // the value framed in the palette
    bool bPanelHeld;             // a panel's view of the buttons: held at its last frame,
    bool bPanelPressed;          // and pressed while it was open

    /* editor_tool_keys.cpp */
    void ToolKeys_();

    /* editor_panels.cpp */
    int Palette_();
    int PaletteDisplay_();
    void Overview_();
    void Help_();
    void PanelOpen_();
    bool PanelFrame_();
    bool PanelClicked_(int iButtons);
    void PanelClose_();

    /* editor_tool_use.cpp */
    bool ToolMouse_();
    void RightButton_();
    void Rectangle_(bool bDown, bool bUp);
    void Stamp_(bool bDown, bool bUp);
    void Changed_(int iCells);
    void SetTool_(int iNewTool);
    void LeaveStamp_();
    void EndDrags_();
    void ToolsOpened_();
    void DrawLayers_();
    void DrawTools_();
    std::string ToolName_();
    static void ButtonEdges_(int iButtons, bool& bWasHeld, bool& bDown, bool& bUp);

    /* Map files from the desktop: New and Open from the keys. */
    int iAskFrames;  // frames the editor's question about unsaved changes still stands

    friend class CMapEditorProbe;  // the unit tests' window onto the editor's state
};

extern CMapEditor edit;  // the one editor

int editMap();

#endif
