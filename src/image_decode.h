/*
 * Tarvenloft - what the image readers and imgLoad share (internal).
 *
 * imgLoad (image.cpp) reads the file and decides its type; the readers turn
 * the bytes into a bitmap: BMP in image_bmp.cpp (with image_bmp_pixels.cpp),
 * PNG in image_png.cpp. This header declares both sides of that: the byte
 * type and the limits every reader keeps, the guard on an image's sides and
 * the step from decoded RGB to a bitmap, which image.cpp defines; and the
 * readers' entries, which imgLoad calls. It includes no reader, and only the
 * image modules include it: the rest of the program uses image.h.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_IMAGE_DECODE_H
#define TARVENLOFT_IMAGE_DECODE_H

#include "header.h"

#include <cstddef>
#include <cstdint>
#include <vector>

typedef std::vector<unsigned char> tImgBytes;

// Pixels a side. The pixel count bounds memory, but create_bitmap also allocates a line pointer
// a row, so a one-pixel-wide image of 16M rows would cost 128 MiB of pointers for 64 MiB of
// pixels; and the library's 16.16 fixed-point drawing holds no coordinate past 32767.
static const uint64_t iImgMaxSide = 32767;

static const unsigned char cImgPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

/* Defined in image.cpp. */

// Refuses, with the reason, an image without pixels or past the size limits.
bool imgCheckSides(int64_t iWidth, int64_t iHeight, std::string& tWhy);

// Makes a bitmap in the current depth from decoded 8-bit RGB pixels, top row first.
BITMAP* imgRgbToBitmap(const unsigned char* pRgb, int iWidth, int iHeight, std::string& tWhy);

/* The readers; each returns NULL and says why in tWhy on failure. */

// Decodes a BMP held in memory (image_bmp.cpp); every field is checked before it is used.
BITMAP* imgDecodeBmp(const tImgBytes& vData, std::string& tWhy);

// Checks a PNG's signature, header chunk and chunk layout (image_png.cpp).
bool imgCheckPng(const tImgBytes& vData, std::string& tWhy);

// Decodes a PNG that imgCheckPng passed (image_png.cpp).
BITMAP* imgDecodePng(const tImgBytes& vData, std::string& tWhy);

#endif
