/*
 * Tarvenloft - whether a map file's tileset is one the editor can draw
 * with, and how many tiles it holds.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_TILESET_H
#define TARVENLOFT_MAP_TILESET_H

#include <filesystem>
#include <string>

#include "map_document.h"

/* Finds the one tileset of sDoc and checks its measures (in a .tsx, resolved against tDir) and
   its first tile id; sets sDoc.xTileset, sDoc.iFirstGid and sDoc.iTileCount. With pKnown, the
   document that sDoc's text was made from, an external tileset is not read again: its tile
   count is pKnown's. False, with the first fault and its line in tWhy. */
bool maptCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, const stMapDocument* pKnown,
               std::string& tWhy);

#endif
