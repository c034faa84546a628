/*
 * Tarvenloft - chief header.
 *
 * Every module includes this file. It holds the compile-time constants that
 * the whole program shares (screen and tile sizes, table sizes, resource
 * directories) and declares, once, every global that the module globals.cpp
 * defines. Globals that belong to one module are declared in that module's
 * own header instead. Nothing here is passed around: modules reach the
 * globals directly.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_HEADER_H
#define TARVENLOFT_HEADER_H

#include <allegro.h>
#include <string>

/* Screen and map grid. */
const int sys_iScreenWidth = 640;   // width of the display and of the back buffer
const int sys_iScreenHeight = 480;  // height of the display and of the back buffer
const int giTileX = 32;             // horizontal step of the map grid on screen
const int giTileY = 32;             // vertical step of the map grid on screen
const int giTileWidth = 32;         // width of one tile image in a tileset
const int giTileHeight = 48;        // height of one tile image (16 pixels over the cell above)
const int giTilesWide = 20;         // map cells visible across the screen
const int giTilesHigh = 15;         // map cells visible down the screen
const int giTerrainLayers = 4;      // terrain layers of a map
const int giMapSide = 120;          // cells across and down every layer of a map
const int giMaxTerrain = 25;        // the highest terrain value: the tileset's last tile
const int giTotalStrings = 500;     // slots of one string table

/* Values of sys_iDisplayScale besides the whole factors 1..giScaleMax. */
const int giScaleUnset =
    0;  // the settings do not name a factor: a 640x480 window, plain full screen
const int giScaleAuto = -1;  // "AUTO": the largest factor that fits the desktop
const int giScaleMax = 8;    // the largest factor the settings may name

/* Resource directories; each ends in "/" so that paths are plain concatenations. */
const std::string sys_tSysPath = "system/";            // root of the resource tree
const std::string sys_tMousePath = "images/mouse/";    // pointer image, under sys_tSysPath
const std::string sys_tButPath = "images/buttons/";    // button images, under sys_tSysPath
const std::string sys_tTextPath = "text/";             // language directories, under sys_tPath
const std::string sys_tTilePath = "images/tilesets/";  // tilesets, under sys_tPath
const std::string sys_tVersion = "0.3.0";              // version shown on the language screen

class CMap;
class CText;

/* Globals defined in globals.cpp. */
extern BITMAP* mBuffer;            // the 640x480 back buffer every screen draws into
extern BITMAP* mMouse;             // the mouse pointer image, or NULL for the library's arrow
extern bool sys_bWindowedMode;     // open the display in a window rather than full screen
extern bool sys_bDebugMode;        // show the frame-rate box; string misses read "!Error!"
extern bool sys_bFPS;              // show the frame-rate box outside debug mode (never set)
extern bool sys_bUseVSync;         // wait for the vertical retrace before presenting a frame
extern int sys_iDisplayScale;      // "DisplayScale" of the settings: a factor, giScaleAuto or unset
extern bool sys_bMapFiles;         // "MapFiles ON" of the settings: keep maps in files
extern std::string sys_tLanguage;  // language code of the interface; "XX" until one is chosen
extern std::string sys_tPath;      // base directory of language files and tilesets
extern std::string sys_tMapFile;   // the map file named on the command line; empty when none is
extern CMap map;                   // the one map the editor paints
extern CText txt;                  // strings of the running tool ("map_editor")
extern CText gTxt;                 // general strings; nothing fills them yet
extern CText eTxt;                 // error strings; nothing fills them yet

/* The class declarations of the map and the string tables, which every module sees. */
#include "map_data.h"
#include "text_strings.h"

#endif
