/*
 * Tarvenloft - what the image readers and imgLoad share (internal).
 *
 * imgLoad (image.cpp) reads the file and decides its type; the readers turn
 * the bytes into a bitmap: BMP in image_bmp.cpp (with image_bmp_pixels.cpp),
 * PNG in image_png.cpp. This header declares the byte type, the PNG
 * signature and the readers' entries, which imgLoad calls; what the readers
 * share besides (the guard on an image's sides, the bitmap made from
 * decoded RGB) is image_rgb.h's. Only the image modules include it: the
 * rest of the program uses image.h.
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

static const unsigned char cImgPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

/* The readers; each returns NULL and says why in tWhy on failure. */

// Decodes a BMP held in memory (image_bmp.cpp); every field is checked before it is used.
BITMAP* imgDecodeBmp(const tImgBytes& vData, std::string& tWhy);

// Checks a PNG's signature, header chunk and chunk layout (image_png.cpp).
bool imgCheckPng(const tImgBytes& vData, std::string& tWhy);

// Decodes a PNG that imgCheckPng passed (image_png.cpp).
BITMAP* imgDecodePng(const tImgBytes& vData, std::string& tWhy);

#endif
