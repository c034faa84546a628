/*
 * Tarvenloft - the map file: the editor's map kept in a TMX file, as Tiled
 * reads and writes it.
 *
 * Reading checks the whole file and takes the cells of its tile layers
 * into map.iTerrain: layer l of the file is layer l of the map, and
 * terrain value v is global tile id firstgid + 2v + 1 (0 an empty cell).
 * The file then stays open: writing it back replaces only the tile layers'
 * <data>, each in the encoding it was read in (the old one-<tile>-per-cell
 * form becomes CSV), so that properties, object layers, comments and all
 * else that Tiled or another tool put there survive the editor's saves
 * byte for byte. A layer the map gains is added after the last tile layer.
 * Written into another folder than it was read from (Save As), its
 * relative references (the tileset's image or .tsx, an image layer's
 * image, and the like) are rewritten to lead from the new folder to the
 * same files.
 *
 * Without an open file, writing makes a new one: 120 x 120 cells of 32 x 32
 * pixels, four CSV layers "Layer 1" to "Layer 4", and the tileset "001"
 * embedded, its image the file the editor loaded (map.tTilesFile, with the
 * size of map.mTiles), named relative to the map file's directory. With no
 * tileset loaded, the image is system/images/tilesets/001.png, 64 x 1248.
 *
 * Every failure leaves the map, the open file and the file on disk as they
 * were, and says why in a short line without the file's name.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_FILE_H
#define TARVENLOFT_MAP_FILE_H

#include "header.h"

/* Exit code of the program when the map file named at start cannot be opened. */
const int iExitMapFile = 601;

/* Reads and checks tFile; on success its cells replace map.iTerrain and it becomes the open
   file. On failure nothing changes and tWhy names the first fault, with its line where known. */
bool mapfRead(const std::string& tFile, std::string& tWhy);

/* Writes map.iTerrain to tFile through the open file, or as a new file when none is open, and
   replaces tFile at once (never half written); tFile is then the open file. On failure tFile,
   the map and the open file are as they were, and tWhy says why. */
bool mapfWrite(const std::string& tFile, std::string& tWhy);

/* Closes the open file, so that the next write makes a new one; the map counts as saved when
   it is empty. */
void mapfForget();

/* Whether map.iTerrain differs from what the file held when last read or written. */
bool mapfUnsaved();

#endif
