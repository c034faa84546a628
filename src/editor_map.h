/*
 * Tarvenloft - the map editor.
 *
 * The editor shows the top-left 20 x 15 cells of the map. Every frame it
 * marks the cell under the pointer, shows the selected tile beside the
 * pointer, paints the selection into layer 0 with the left button, picks a
 * cell's value with the right button, steps the selection with the Left and
 * Right keys and opens its menu with Escape.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_MAP_H
#define TARVENLOFT_EDITOR_MAP_H

#include "header.h"

class CMapEditor
{
  public:
    int TileRover();

  private:
    bool bQuit;          // leave the editing loop at the top of the next frame
    bool bKeyDown[127];  // carried for later tools; unused
    int iTool;           // carried for later tools; unused
    int iTerrain;        // the selected terrain value, 0..25; 0 clears
    int iLayer;          // the layer painting writes and picking reads
    int iOffsetX;        // carried for scrolling; unused
    int iOffSetY;        // carried for scrolling; unused
    int iX;              // map column under the pointer
    int iY;              // map row under the pointer
    int iXPos;           // screen x of that cell
    int iYPos;           // screen y of that cell
    std::string tPath;   // carried for later tools; unused

    int FindMouse_();
    int Menu_();
    int MenuDisplay_();
    int Palette_();
    int PaletteDisplay_();

    friend class CMapEditorProbe;  // the unit tests' window onto the editor's state
};

extern CMapEditor edit;  // the one editor

int editMap();

#endif
