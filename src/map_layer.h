/*
 * Tarvenloft - the cells of one tile layer in a map file, and how they are
 * written down.
 *
 * A map file holds each layer's 120 x 120 cells as global tile ids, row by
 * row (cell (column x, row y) at index 120 y + x), in one of three forms:
 * CSV text; base64 of 4-byte little-endian ids, plain or compressed with
 * zlib or gzip; or the old form of one <tile> element per cell, which
 * map_read.cpp reads itself. Here are the first two both ways, and the
 * mapping between tile ids and the editor's terrain values. Tile ids stay
 * below bit 28: the four bits above are the flip and rotation flags.
 *
 * The tileset image holds the tiles in its second column, one per 48-pixel
 * row, so terrain value v is local tile 2v + 1 and global id firstgid +
 * 2v + 1; 0 is an empty cell. Every other id (the first column, row 0,
 * rows past 25, the flip flags) is no terrain value.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_LAYER_H
#define TARVENLOFT_MAP_LAYER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "header.h"

const int giLayerCells = giMapSide * giMapSide;    // cells of one layer
const uint32_t giLayerFlipFlags = 0xF0000000u;     // flip and rotation bits of a tile id
const uint32_t giLayerMaxGid = ~giLayerFlipFlags;  // the highest tile id below them

/* The giLayerCells ids of CSV text. False, with the reason in tWhy and the index of the faulty
   field's place in tText in iAt, when a field is not a number or the count is wrong. */
bool layerDecodeCsv(const std::string& tText, uint32_t* pGids, std::string& tWhy, size_t& iAt);

/* The giLayerCells ids of base64 text, compressed with tCompression ("", "zlib" or "gzip").
   False, with the reason in tWhy, on bad base64, broken compressed data or a wrong length. */
bool layerDecodeBase64(const std::string& tText, const std::string& tCompression, uint32_t* pGids,
                       std::string& tWhy);

/* CSV as Tiled writes it: a newline, rows of 120 ids each ending in a comma and a newline
   except the very last id, and a newline. tNewline is "\n" or "\r\n". */
std::string layerEncodeCsv(const uint32_t* pGids, const std::string& tNewline);

/* Base64 of the ids, compressed with tCompression ("", "zlib" or "gzip"), on one line. */
std::string layerEncodeBase64(const uint32_t* pGids, const std::string& tCompression);

/* The terrain value of a tile id, or -1 when the id stands for no terrain value. */
int layerTerrainOf(uint32_t iGid, uint32_t iFirstGid);

/* Why a tile id stands for no terrain value, for a message: a short phrase. */
std::string layerWhyNoTerrain(uint32_t iGid, uint32_t iFirstGid);

/* The tile id of terrain value iTerrain (0..giMaxTerrain). */
uint32_t layerGidOf(int iTerrain, uint32_t iFirstGid);

/* The place in tText where CSV field iField begins (for the line of a message). */
size_t layerCsvFieldAt(const std::string& tText, int iField);

#endif
