/*
 * Tarvenloft - whether a map file holds a map the editor can open, and its
 * terrain cells.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_CHECK_H
#define TARVENLOFT_MAP_CHECK_H

#include <filesystem>
#include <string>

#include "map_document.h"

/* Checks the parsed document sDoc (its tText and xDoc) and fills in the rest of it, and the
   terrain values of its tile layers into iCells[layer][column][row] (layers the file lacks are
   all 0). tDir is the map file's directory, against which an external tileset's path is
   resolved; with bTilesetKnown the external tileset was checked before and is not read again.
   False, with the first fault and its line in tWhy; sDoc and iCells are then of no use. */
bool mapcCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, bool bTilesetKnown,
               int iCells[][giMapSide][giMapSide], std::string& tWhy);

#endif
