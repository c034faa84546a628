/*
 * Tarvenloft - the map editor.
 *
 * The editor shows 20 x 15 cells of the map. Every frame it marks the cell
 * under the pointer, shows the selected tile beside the pointer, paints the
 * selection into the working layer with the left button, picks a cell's
 * value with the right button, steps the selection with the Left and Right
 * keys and opens its menu with Escape. Without a map file the view stays at
 * the map's top-left corner and the working layer is layer 0. With one, the
 * view scrolls over the whole map, keys 1 to 4 choose the working layer,
 * strokes can be undone and redone, and the map is saved to the file.
 *
 * The class's work is cut into rooms, each calling only rooms below it:
 * editor_map.cpp, the loop, the frame's picture, painting and picking;
 * editor_menu.cpp, the menu, its map-file buttons and the strip under it;
 * editor_keys.cpp, the keys of a map file (the view, the layers, undo,
 * saving) and the box that shows the layer and place; editor_open.cpp,
 * what every opening of the map file gives. The file itself, as the editor
 * uses it, is editor_file.cpp's.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_MAP_H
#define TARVENLOFT_EDITOR_MAP_H

#include "header.h"

/* What a second click of a menu button carries out, after the menu asked about unsaved changes. */
const int iArmNone = 0;
const int iArmQuit = 1;  // Quit, or the window's close button
const int iArmLoad = 2;  // Load Map

class CMapEditor
{
  public:
    int TileRover();

  private:
    bool bQuit;              // leave the editing loop at the top of the next frame
    bool bKeyDown[KEY_MAX];  // with a map file: the keys that were held at the last frame
    int iTool;               // carried for later tools; unused
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
    int Palette_();
    int PaletteDisplay_();
    void Paint_();
    void Draw_();

    /* editor_menu.cpp */
    int Menu_();
    int MenuDisplay_();
    bool MenuFile_();
    void MenuAsk_(int iAction);
    void MenuLoad_();
    void DrawStatus_(bool bInMenu);

    /* editor_keys.cpp */
    void Navigate_();
    void Scroll_(int iDX, int iDY);
    void SetLayer_(int iNewLayer);
    void ScrollKeys_(const bool bPressed[4], bool bCtrl);
    void ScrollPointer_();
    void EditKeys_(bool bCtrl);
    bool KeyPressed_(int iKey);
    void DrawWhere_();
    std::string Where_();

    /* editor_open.cpp */
    void StartMap_();
    void Opened_();

    friend class CMapEditorProbe;  // the unit tests' window onto the editor's state
};

extern CMapEditor edit;  // the one editor

int editMap();

#endif
