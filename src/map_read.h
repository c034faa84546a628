/*
 * Tarvenloft - the map-file reader: a TMX file read, checked and turned into
 * terrain cells.
 *
 * A map the editor can open is orthogonal and finite, 120 x 120 cells of
 * 32 x 32 pixels, with at most four tile layers straight under <map> and
 * one tileset (map_tileset.cpp) whose tile ids stay clear of the flag bits.
 * Layer l of the file is layer l of the map, and every cell's tile id must
 * be a terrain value's (map_layer.cpp). Nothing else in the file is looked
 * at. Every refusal names the first fault and, where the file has one, its
 * line, so that the user can mend the file; the caller adds the file's
 * name.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_READ_H
#define TARVENLOFT_MAP_READ_H

#include <memory>
#include <string>

#include "map_document.h"

/* Reads and checks the map file tFile. Null, with "cannot read the file: ..." or the first fault
   and its line in tWhy, when it is no map the editor can open. */
std::unique_ptr<stMapDocument> maprFile(const std::string& tFile, std::string& tWhy);

/* Parses and checks tText as the map file tFile would hold it. With pKnown, the document it was
   made from, an external tileset is not read again. Null, with the first fault in tWhy. */
std::unique_ptr<stMapDocument> maprText(std::string tText, const std::string& tFile,
                                        const stMapDocument* pKnown, std::string& tWhy);

#endif
