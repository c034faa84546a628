/*
 * Tarvenloft - what every image reader does with decoded pixels (internal).
 *
 * The BMP and PNG readers decode into 8-bit RGB. Before they allocate
 * pixels they check the sides their header gives with imgCheckSides; from
 * the decoded pixels they make the bitmap with imgRgbToBitmap. This room
 * calls no reader and nothing of imgLoad: the readers call it.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_IMAGE_RGB_H
#define TARVENLOFT_IMAGE_RGB_H

#include "header.h"

#include <cstdint>

// Pixels a side. The pixel count bounds memory, but create_bitmap also allocates a line pointer
// a row, so a one-pixel-wide image of 16M rows would cost 128 MiB of pointers for 64 MiB of
// pixels; and the library's 16.16 fixed-point drawing holds no coordinate past 32767.
static const uint64_t iImgMaxSide = 32767;

// Refuses, with the reason, an image without pixels or past the size limits.
bool imgCheckSides(int64_t iWidth, int64_t iHeight, std::string& tWhy);

// Makes a bitmap in the current depth from decoded 8-bit RGB pixels, top row first.
BITMAP* imgRgbToBitmap(const unsigned char* pRgb, int iWidth, int iHeight, std::string& tWhy);

#endif
