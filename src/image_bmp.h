/*
 * Tarvenloft - the BMP reader's own types (internal).
 *
 * The BMP reader is two files: image_bmp.cpp reads the headers, the colour
 * masks and the palette into stImgBmp; image_bmp_pixels.cpp decodes the
 * pixel data into a canvas of 8-bit RGB. Only those two include this header.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_IMAGE_BMP_H
#define TARVENLOFT_IMAGE_BMP_H

#include "image_decode.h"

#include <cstdint>
#include <memory>

// BMP compression codes, as Windows headers give them.
enum
{
    iBmpRgb = 0,
    iBmpRle8 = 1,
    iBmpRle4 = 2,
    iBmpBitFields = 3,
    iBmpJpeg = 4,
    iBmpPng = 5,
    iBmpAlphaBitFields = 6
};

struct stImgRgb
{
    unsigned char r, g, b;
};

/* A BMP file's layout, from its headers. */
struct stImgBmp
{
    uint32_t iDataOffset;    // where the pixel data starts
    uint32_t iInfoSize;      // 12 or 64 (OS/2); 40, 52, 56, 108 or 124 (Windows)
    int64_t iWidth;          // pixels
    int64_t iHeight;         // rows, whichever way they run
    bool bTopDown;           // the first row in the file is the top one
    uint32_t iPlanes;        // 1 in every valid file
    uint32_t iBits;          // bits a pixel
    uint32_t iCompression;   // iBmpRgb ... iBmpAlphaBitFields
    uint32_t iColoursUsed;   // palette entries the header declares; 0 for all
    uint32_t iPaletteStart;  // where the palette starts, after the headers and any bit fields
    int iShift[3];           // red, green and blue: lowest bit of the channel's mask
    int iWidthBits[3];       // and the channel's width in bits
    stImgRgb sPalette[256];  // entries the file does not give are black
};

/* Decoded pixels as 8-bit RGB, top row first, and where each row of a BMP goes. */
struct stImgCanvas
{
    std::unique_ptr<unsigned char[]> pRgb;
    int64_t iWidth;
    int64_t iHeight;
    bool bTopDown;
};

// Checks the pixel data, then decodes it into the canvas's new pixels (image_bmp_pixels.cpp).
bool imgDecodeBmpPixels(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas,
                        std::string& tWhy);

#endif
