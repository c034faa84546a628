/*
 * Tarvenloft - a map file's document: its text, the XML parsed from it, and
 * what the reader found in them.
 *
 * A document keeps the file's text beside pugixml's tree of it, with
 * comments, the declaration and all whitespace. pugixml's offsets point
 * into that text, so that the writer can replace a few elements there and
 * leave every other byte of the file as it was; pugixml's own output would
 * change the layout (it writes "<a />" where Tiled writes "<a/>"). Here the
 * text is read from a file (through whole_file.cpp) and parsed, and the
 * attributes are read as numbers; map_read.cpp and map_tileset.cpp fill
 * in the rest of a document, and its cells.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_DOCUMENT_H
#define TARVENLOFT_MAP_DOCUMENT_H

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "header.h"

const size_t giMapFileMaxBytes = 4 << 20;  // larger files are refused unread

/* A map's terrain values, as map.iTerrain holds them: [layer][column][row]. */
typedef int tMapCells[giTerrainLayers][giMapSide][giMapSide];

/* One tile layer of a map file. */
struct stMapLayer
{
    pugi::xml_node xLayer;     // the <layer> element
    pugi::xml_node xData;      // its <data> element
    std::string tEncoding;     // "csv", "base64", or "" for one <tile> element per cell
    std::string tCompression;  // "", "zlib" or "gzip"; always "" unless the encoding is base64
};

/* A map file: the text and xDoc, and what map_read and map_tileset found in them. */
struct stMapDocument
{
    std::string tText;                // the file as read; the document's offsets point into it
    pugi::xml_document xDoc;          // comments, declaration and whitespace included
    pugi::xml_node xMap;              // the <map> element
    pugi::xml_node xTileset;          // its one <tileset> element
    uint32_t iFirstGid = 0;           // the tileset's first global tile id
    long long iTileCount = 0;         // the tiles the tileset holds (at least the terrain's)
    std::vector<stMapLayer> vLayers;  // the tile layers in the file's order, at most four
    tMapCells iCells;                 // the terrain values of its tile layers
};

/* Reads a whole file of at most giMapFileMaxBytes into tText. False, with the system's reason
   (or "it is a directory", "it is no ordinary file", "it is larger than 4 MiB") in tWhy. */
bool mapdLoadFile(const std::string& tFile, std::string& tText, std::string& tWhy);

/* Parses tText into xDoc, keeping everything (comments, the declaration, whitespace). False,
   with the line and pugixml's reason in tWhy, when it is no XML; tFile names the file in the
   message, "" for the map file itself. */
bool mapdParseXml(const std::string& tText, pugi::xml_document& xDoc, const std::string& tFile,
                  std::string& tWhy);

/* A whole number, with whitespace around it at most. */
bool mapdParseNumber(const char* cValue, long long& iOut);

/* The attribute cName of x as a whole number, iDefault when it is missing; false, with the reason
   at tWhere in tWhy, when it is no whole number. */
bool mapdNumber(pugi::xml_node x, const char* cName, long long iDefault, long long& iOut,
                const std::string& tWhere, std::string& tWhy);

#endif
