/*
 * Tarvenloft - the map-file writer: the text of a TMX file that holds the
 * editor's cells.
 *
 * An open file is written back by changing its text in a few places
 * (mapwSplice): the content of each tile layer's <data>, each in the
 * encoding it was read in (or the whole element, where the old
 * one-<tile>-per-cell form becomes CSV), new layers after the last one,
 * and nextlayerid in the <map> tag when layers are added. Every other
 * byte stays, so that properties, object layers, comments and all else
 * that Tiled or another tool put there survive the editor's saves. Saved
 * into another folder, the file's relative references (a tileset's .tsx or
 * image, an image layer's or a tile's image, an object's template, a
 * property of the file type) are rewritten to lead from there to the same
 * files, as Tiled does, so that Tiled still finds them.
 *
 * A new file (mapwNewText) has 120 x 120 cells of 32 x 32 pixels, four CSV
 * layers "Layer 1" to "Layer 4", and the tileset "001" embedded, its image
 * the file the editor loaded (map.tTilesFile, with the size of
 * map.mTiles), named relative to the map file's directory. With no
 * tileset loaded, the image is system/images/tilesets/001.png, 64 x 1248.
 *
 * The writer only makes text: map_file.cpp reads it back, checks it and
 * puts it on disk.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_WRITE_H
#define TARVENLOFT_MAP_WRITE_H

#include <string>

#include "map_document.h"

/* Whether every cell holds a value a map file can hold, 0 to giMaxTerrain; false, with the
   first other cell in tWhy, when one does not. */
bool mapwCheckCells(const tMapCells& iCells, std::string& tWhy);

/* The text of sDoc's file with iCells in its tile layers, in tOut, to be written as tTo; sDoc
   was read from (or written as) tFrom. Where the two lie in different folders, every relative
   reference of the file is named from tTo's folder instead (see mapwSplice's room). False where
   the layers or a reference cannot be found in the text. */
bool mapwSplice(const stMapDocument& sDoc, const tMapCells& iCells, const std::string& tFrom,
                const std::string& tTo, std::string& tOut);

/* The text of a new file for iCells, laid out as Tiled lays it out, to be written as tFile. */
std::string mapwNewText(const std::string& tFile, const tMapCells& iCells);

#endif
