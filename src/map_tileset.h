/*
 * Tarvenloft - whether a map file's tileset is one the editor can draw
 * with.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_TILESET_H
#define TARVENLOFT_MAP_TILESET_H

#include <filesystem>
#include <string>

#include "map_document.h"

/* Finds the one tileset of sDoc and checks its measures (in a .tsx, resolved against tDir, unless
   bTilesetKnown says it was checked before); sets sDoc.xTileset and sDoc.iFirstGid. False, with
   the first fault and its line in tWhy. */
bool maptCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, bool bTilesetKnown,
               std::string& tWhy);

#endif
