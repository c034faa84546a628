/*
 * Tarvenloft - the BMP reader: headers, colour masks and palette.
 *
 * imgLoad hands every file that starts with "BM" to imgDecodeBmp. It reads
 * and checks the headers here, has image_bmp_pixels.cpp decode the pixel
 * data into 8-bit RGB, and makes the bitmap with imgRgbToBitmap.
 *
 * - Windows headers of 40, 52, 56, 108 and 124 bytes and OS/2 headers of 12
 *   and 64 bytes; 1, 4, 8, 16, 24 and 32 bits a pixel; uncompressed, bit
 *   fields (any contiguous masks) and RLE8/RLE4; bottom-up and top-down.
 * - Palette colours are exact. Every byte read is checked to lie inside the
 *   file.
 *
 * SPDX-License-Identifier: MIT
 */
#include "image_bmp.h"
#include "image_rgb.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

static uint32_t imgGet16LE(const tImgBytes& vData, size_t iAt)
{
    return vData[iAt] | (vData[iAt + 1] << 8);
}

static uint32_t imgGet32LE(const tImgBytes& vData, size_t iAt)
{
    return imgGet16LE(vData, iAt) | (imgGet16LE(vData, iAt + 2) << 16);
}

static bool imgIsBmpInfoSize(uint32_t iSize)
{
    return iSize == 12 || iSize == 40 || iSize == 52 || iSize == 56 || iSize == 64 ||
           iSize == 108 || iSize == 124;
}

// Fills stBmp from the file header and the info header. The longer Windows headers begin with
// the 40-byte one, and so does the 64-byte OS/2 2.x header.
static bool imgReadBmpHeader(const tImgBytes& vData, stImgBmp& stBmp, std::string& tWhy)
{
    if (vData.size() < 18)
    {
        tWhy = "the BMP header is incomplete";
        return false;
    }
    stBmp.iDataOffset = imgGet32LE(vData, 10);
    stBmp.iInfoSize = imgGet32LE(vData, 14);
    if (!imgIsBmpInfoSize(stBmp.iInfoSize))
    {
        tWhy = "unsupported BMP header (size " + std::to_string(stBmp.iInfoSize) + ")";
        return false;
    }
    if (vData.size() < 14 + stBmp.iInfoSize)
    {
        tWhy = "the BMP header is incomplete";
        return false;
    }
    stBmp.iPaletteStart = 14 + stBmp.iInfoSize;
    if (stBmp.iInfoSize == 12)
    {
        // OS/2 1.x: unsigned 16-bit sides, always bottom-up and uncompressed.
        stBmp.iWidth = imgGet16LE(vData, 18);
        stBmp.iHeight = imgGet16LE(vData, 20);
        stBmp.bTopDown = false;
        stBmp.iPlanes = imgGet16LE(vData, 22);
        stBmp.iBits = imgGet16LE(vData, 24);
        stBmp.iCompression = iBmpRgb;
        stBmp.iColoursUsed = 0;
        return true;
    }
    int64_t iHeight = (int32_t)imgGet32LE(vData, 22);
    stBmp.iWidth = (int32_t)imgGet32LE(vData, 18);
    stBmp.iHeight = iHeight < 0 ? -iHeight : iHeight;
    stBmp.bTopDown = iHeight < 0;
    stBmp.iPlanes = imgGet16LE(vData, 26);
    stBmp.iBits = imgGet16LE(vData, 28);
    stBmp.iCompression = imgGet32LE(vData, 30);
    stBmp.iColoursUsed = imgGet32LE(vData, 46);
    return true;
}

// Why this reader cannot decode the compression, or nothing when it can. OS/2 2.x headers give
// codes 3 and 4 other meanings than Windows headers do.
static std::string imgBmpCompressionProblem(const stImgBmp& stBmp)
{
    bool bOs2 = stBmp.iInfoSize == 64;
    bool bTrueColour = stBmp.iBits == 16 || stBmp.iBits == 32;
    switch (stBmp.iCompression)
    {
    case iBmpRgb:
        return "";
    case iBmpRle8:
        return stBmp.iBits == 8 ? "" : "the BMP is RLE8-compressed but not 8 bits a pixel";
    case iBmpRle4:
        return stBmp.iBits == 4 ? "" : "the BMP is RLE4-compressed but not 4 bits a pixel";
    case iBmpBitFields:
        if (bOs2)
        {
            return "Huffman-compressed OS/2 BMP images are not supported";
        }
        return bTrueColour ? "" : "the BMP has colour masks but not 16 or 32 bits a pixel";
    case iBmpJpeg:
        return bOs2 ? "RLE24-compressed OS/2 BMP images are not supported"
                    : "BMP images holding JPEG data are not supported";
    case iBmpPng:
        return "BMP images holding PNG data are not supported";
    case iBmpAlphaBitFields:
        if (!bOs2 && bTrueColour)
        {
            return "";
        }
        break;
    }
    return "unsupported BMP compression (" + std::to_string(stBmp.iCompression) + ")";
}

// Refuses, with the reason, what this reader does not decode.
static bool imgCheckBmpFormat(const stImgBmp& stBmp, std::string& tWhy)
{
    if (stBmp.iPlanes != 1)
    {
        tWhy = "the BMP header is damaged (planes " + std::to_string(stBmp.iPlanes) + ")";
        return false;
    }
    uint32_t iBits = stBmp.iBits;
    bool bBitsOk = iBits == 1 || iBits == 4 || iBits == 8 || iBits == 24 ||
                   (stBmp.iInfoSize != 12 && (iBits == 16 || iBits == 32));
    if (!bBitsOk)
    {
        tWhy = "unsupported BMP colour depth (" + std::to_string(iBits) + " bits)";
        return false;
    }
    tWhy = imgBmpCompressionProblem(stBmp);
    return tWhy.empty() && imgCheckSides(stBmp.iWidth, stBmp.iHeight, tWhy);
}

// A colour mask is one run of set bits (or none, for a channel that is always 0) inside the pixel.
static bool imgIsBmpMask(uint32_t iMask, uint32_t iBits)
{
    uint64_t iLowest = iMask & (0 - iMask);
    return ((uint64_t)iMask >> iBits) == 0 && (((uint64_t)iMask + iLowest) & iMask) == 0;
}

// Takes the 16- and 32-bit colour masks: from the header when it holds them, else from right
// after a 40-byte header; without bit fields they are 5-5-5 at 16 bits and 8-8-8 at 32.
static bool imgReadBmpMasks(const tImgBytes& vData, stImgBmp& stBmp, std::string& tWhy)
{
    if (stBmp.iBits != 16 && stBmp.iBits != 32)
    {
        return true;
    }
    uint32_t cMasks[3] = {0xFF0000, 0xFF00, 0xFF};
    if (stBmp.iCompression == iBmpBitFields || stBmp.iCompression == iBmpAlphaBitFields)
    {
        if (stBmp.iInfoSize == 40)
        {
            stBmp.iPaletteStart += stBmp.iCompression == iBmpBitFields ? 12 : 16;
        }
        if (vData.size() < stBmp.iPaletteStart)
        {
            tWhy = "the BMP colour masks are missing";
            return false;
        }
        for (int c = 0; c < 3; c++)
        {
            cMasks[c] = imgGet32LE(vData, 54 + 4 * c);
        }
    }
    else if (stBmp.iBits == 16)
    {
        cMasks[0] = 0x7C00;
        cMasks[1] = 0x3E0;
        cMasks[2] = 0x1F;
    }
    for (int c = 0; c < 3; c++)
    {
        if (!imgIsBmpMask(cMasks[c], stBmp.iBits))
        {
            tWhy = "the BMP colour masks are damaged";
            return false;
        }
        uint32_t iMask = cMasks[c];
        for (stBmp.iShift[c] = 0; iMask != 0 && (iMask & 1) == 0; stBmp.iShift[c]++)
        {
            iMask >>= 1;
        }
        for (stBmp.iWidthBits[c] = 0; iMask != 0; stBmp.iWidthBits[c]++)
        {
            iMask >>= 1;
        }
    }
    return true;
}

// Reads the palette, which lies between the headers and the pixel data; a gap may follow it.
// A header may declare more entries than fit before the pixel data: only those that fit are
// read. Pixels whose index lies past the palette are black, as in the library's reader.
static bool imgReadBmpPalette(const tImgBytes& vData, stImgBmp& stBmp, std::string& tWhy)
{
    if (stBmp.iDataOffset < stBmp.iPaletteStart)
    {
        tWhy = "the BMP pixel data offset does not fit the header";
        return false;
    }
    if (stBmp.iDataOffset > vData.size())
    {
        tWhy = "the file ends before the BMP pixel data starts";
        return false;
    }
    memset(stBmp.sPalette, 0, sizeof(stBmp.sPalette));
    if (stBmp.iBits > 8)
    {
        return true;
    }
    uint32_t iEntrySize = stBmp.iInfoSize == 12 ? 3 : 4;
    uint32_t iCount = 1u << stBmp.iBits;
    if (stBmp.iColoursUsed != 0 && stBmp.iColoursUsed < iCount)
    {
        iCount = stBmp.iColoursUsed;
    }
    iCount = std::min(iCount, (stBmp.iDataOffset - stBmp.iPaletteStart) / iEntrySize);
    if (iCount == 0)
    {
        tWhy = "the BMP palette is missing";
        return false;
    }
    for (uint32_t i = 0; i < iCount; i++)
    {
        const unsigned char* pEntry = &vData[stBmp.iPaletteStart + i * iEntrySize];
        stBmp.sPalette[i] = {pEntry[2], pEntry[1], pEntry[0]};
    }
    return true;
}

// Decodes a BMP held in memory; every field is checked before it is used.
BITMAP* imgDecodeBmp(const tImgBytes& vData, std::string& tWhy)
{
    stImgBmp stBmp;
    if (!imgReadBmpHeader(vData, stBmp, tWhy) || !imgCheckBmpFormat(stBmp, tWhy) ||
        !imgReadBmpMasks(vData, stBmp, tWhy) || !imgReadBmpPalette(vData, stBmp, tWhy))
    {
        return NULL;
    }
    stImgCanvas stCanvas = {NULL, stBmp.iWidth, stBmp.iHeight, stBmp.bTopDown};
    if (!imgDecodeBmpPixels(vData, stBmp, stCanvas, tWhy))
    {
        return NULL;
    }
    return imgRgbToBitmap(stCanvas.pRgb.get(), (int)stBmp.iWidth, (int)stBmp.iHeight, tWhy);
}
