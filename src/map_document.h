/*
 * Tarvenloft - a map file's document: its text, the XML parsed from it,
 * and where each part of the XML lies in the text.
 *
 * A document keeps the file's text beside pugixml's tree of it, with
 * comments, the declaration and all whitespace. pugixml's offsets point
 * into that text, so a writer can replace a few elements there and leave
 * every other byte of the file as it was; pugixml's own output would
 * change the layout (it writes "<a />" where Tiled writes "<a/>").
 * map_check fills in the parts a checked map has.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_DOCUMENT_H
#define TARVENLOFT_MAP_DOCUMENT_H

#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "header.h"

const size_t giMapFileMaxBytes = 4 << 20;  // larger files are refused unread

/* One tile layer of a map file. */
struct stMapLayer
{
    pugi::xml_node xLayer;     // the <layer> element
    pugi::xml_node xData;      // its <data> element
    std::string tEncoding;     // "csv", "base64", or "" for one <tile> element per cell
    std::string tCompression;  // "", "zlib" or "gzip"; always "" unless the encoding is base64
};

/* A map file: the text and xDoc from mapdParseXml, the rest from mapcCheck. */
struct stMapDocument
{
    std::string tText;                // the file as read; the document's offsets point into it
    pugi::xml_document xDoc;          // comments, declaration and whitespace included
    pugi::xml_node xMap;              // the <map> element
    pugi::xml_node xTileset;          // its one <tileset> element
    uint32_t iFirstGid = 0;           // the tileset's first global tile id
    std::vector<stMapLayer> vLayers;  // the tile layers in the file's order, at most four
};

/* Reads a whole file of at most giMapFileMaxBytes into tText. False, with the system's reason
   (or "it is a directory", "it is no ordinary file", "it is larger than 4 MiB") in tWhy. */
bool mapdLoadFile(const std::filesystem::path& tFile, std::string& tText, std::string& tWhy);

/* Parses tText into xDoc, keeping everything (comments, the declaration, whitespace). False,
   with the line and pugixml's reason in tWhy, when it is no XML; tFile names the file in the
   message, "" for the map file itself. */
bool mapdParseXml(const std::string& tText, pugi::xml_document& xDoc, const std::string& tFile,
                  std::string& tWhy);

/* The line, counted from 1, of a place in a text. */
int mapdLine(const std::string& tText, size_t iAt);

/* "line N" of a node, or "FILE line N" for a file other than the map. */
std::string mapdWhere(const std::string& tText, pugi::xml_node x, const std::string& tFile = "");

/* A value from a file, shortened, made printable and quoted, for a message. */
std::string mapdQuote(const std::string& tValue);

/* Puts "WHERE: WHAT" (or WHAT alone, for an empty tWhere) into tWhy, and returns false. */
bool mapdFail(std::string& tWhy, const std::string& tWhere, const std::string& tWhat);

/* A whole number, with whitespace around it at most. */
bool mapdParseNumber(const char* cValue, long long& iOut);

/* The attribute cName of x as a whole number, iDefault when it is missing; false, with the reason
   at tWhere in tWhy, when it is no whole number. */
bool mapdNumber(pugi::xml_node x, const char* cName, long long iDefault, long long& iOut,
                const std::string& tWhere, std::string& tWhy);

/* "W x H", for a message. */
std::string mapdSize(long long iW, long long iH);

/* Where a node begins in sDoc.tText: the "<" of an element, comment or instruction, or the
   first character of a text. std::string::npos where pugixml cannot say. */
size_t mapdNodeStart(const stMapDocument& sDoc, pugi::xml_node x);

/* Where an element's end tag begins in sDoc.tText, or npos; for an element with children. */
size_t mapdCloseStart(const stMapDocument& sDoc, pugi::xml_node x);

/* Just after an element's end in sDoc.tText (its end tag's ">" or its "/>"), or npos. */
size_t mapdElementEnd(const stMapDocument& sDoc, pugi::xml_node x);

#endif
