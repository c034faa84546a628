/*
 * Tarvenloft - the BMP reader: pixel data.
 *
 * Decodes the pixel data of a BMP whose headers image_bmp.cpp has read and
 * checked, into 8-bit RGB, top row first:
 *
 * - Uncompressed rows of 1, 4, 8, 16, 24 and 32 bits a pixel, bottom-up and
 *   top-down. Channels of other widths than 8 bits (16-bit pixels, bit
 *   fields) are scaled as the library scales 5- and 6-bit ones.
 * - RLE8 and RLE4. An RLE stream that would leave its row or the image is
 *   refused, and so is one that ends without its end-of-bitmap marker.
 * - Every byte read is checked to lie inside the file, before the pixels are
 *   allocated.
 *
 * SPDX-License-Identifier: MIT
 */
#include "image_bmp.h"

#include <cstdint>
#include <memory>
#include <new>

/* Where an RLE stream stands: the next byte, and the pixel it writes next (rows in file order). */
struct stImgRle
{
    size_t iAt;
    int64_t x;
    int64_t y;
    int64_t iRowPixels;  // the uncompressed row's width with its padding, in pixels
};

// Widens or narrows an iBits-wide channel to 8 bits by repeating its bits, which is how the
// library's own 5- and 6-bit tables are made (5 bits: v << 3 | v >> 2).
static unsigned char imgScaleChannel(uint32_t iValue, int iBits)
{
    if (iBits == 0)
    {
        return 0;
    }
    if (iBits >= 8)
    {
        return (unsigned char)(iValue >> (iBits - 8));
    }
    uint32_t iOut = iValue;
    int iFilled = iBits;
    for (; iFilled < 8; iFilled += iBits)
    {
        iOut = (iOut << iBits) | iValue;
    }
    return (unsigned char)(iOut >> (iFilled - 8));
}

// The colour of a 16- or 32-bit pixel, through the masks.
static stImgRgb imgBmpMasked(const stImgBmp& stBmp, uint32_t iPixel)
{
    unsigned char c[3];
    for (int i = 0; i < 3; i++)
    {
        uint32_t iMaxValue = (uint32_t)(((uint64_t)1 << stBmp.iWidthBits[i]) - 1);
        c[i] = imgScaleChannel((iPixel >> stBmp.iShift[i]) & iMaxValue, stBmp.iWidthBits[i]);
    }
    return {c[0], c[1], c[2]};
}

// The colour of pixel x of an uncompressed row.
static stImgRgb imgBmpPixel(const stImgBmp& stBmp, const unsigned char* pRow, int64_t x)
{
    if (stBmp.iBits <= 8)
    {
        int64_t iBit = x * stBmp.iBits;  // the first of the pixel's bits, high bit first
        int iShift = 8 - stBmp.iBits - (int)(iBit & 7);
        return stBmp.sPalette[(pRow[iBit >> 3] >> iShift) & ((1 << stBmp.iBits) - 1)];
    }
    const unsigned char* p = pRow + x * (stBmp.iBits / 8);
    if (stBmp.iBits == 24)
    {
        return {p[2], p[1], p[0]};
    }
    uint32_t iPixel = p[0] | (p[1] << 8);
    if (stBmp.iBits == 32)
    {
        iPixel |= ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
    }
    return imgBmpMasked(stBmp, iPixel);
}

// Sets pixel x of the iRow-th row in the file; pixels in a row's padding are dropped, and so is
// everything while the canvas has no pixels yet (an RLE stream's first, checking walk).
static void imgCanvasPut(stImgCanvas& stCanvas, int64_t x, int64_t iRow, const stImgRgb& stColour)
{
    if (x >= stCanvas.iWidth || !stCanvas.pRgb)
    {
        return;
    }
    int64_t y = stCanvas.bTopDown ? iRow : stCanvas.iHeight - 1 - iRow;
    unsigned char* p = stCanvas.pRgb.get() + (size_t)(y * stCanvas.iWidth + x) * 3;
    p[0] = stColour.r;
    p[1] = stColour.g;
    p[2] = stColour.b;
}

// Bytes an uncompressed row takes in the file, padded to four.
static uint64_t imgBmpStride(const stImgBmp& stBmp)
{
    return ((uint64_t)stBmp.iWidth * stBmp.iBits + 31) / 32 * 4;
}

static bool imgCheckBmpRows(const tImgBytes& vData, const stImgBmp& stBmp, std::string& tWhy)
{
    if ((uint64_t)stBmp.iDataOffset + imgBmpStride(stBmp) * (uint64_t)stBmp.iHeight > vData.size())
    {
        tWhy = "the file ends before the BMP pixel data does";
        return false;
    }
    return true;
}

// Decodes uncompressed rows (plain or bit fields), once imgCheckBmpRows has passed them.
static void imgDecodeBmpRows(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas)
{
    for (int64_t iRow = 0; iRow < stBmp.iHeight; iRow++)
    {
        const unsigned char* pRow = &vData[stBmp.iDataOffset + iRow * imgBmpStride(stBmp)];
        for (int64_t x = 0; x < stBmp.iWidth; x++)
        {
            imgCanvasPut(stCanvas, x, iRow, imgBmpPixel(stBmp, pRow, x));
        }
    }
}

// Whether an RLE stream may stand at (x, y): in a row, up to the end of its padding (ImageMagick
// ends every row with a run over the padding), or at the start of the row after the last, where
// the last row's end of line leaves it. The library's reader writes outside the bitmap when a
// stream goes further, so such a stream is refused.
static bool imgRleInside(const stImgRle& stRle, int64_t iHeight, int64_t x, int64_t y)
{
    return (y < iHeight && x <= stRle.iRowPixels) || (y == iHeight && x == 0);
}

// The palette index of pixel k of a run or absolute run: RLE4 packs two into a byte, high first.
static int imgRleIndex(const stImgBmp& stBmp, const unsigned char* pData, int64_t k)
{
    if (stBmp.iBits == 8)
    {
        return pData[k];
    }
    return k % 2 == 0 ? pData[k / 2] >> 4 : pData[k / 2] & 15;
}

// Writes iCount pixels from pData at the stream's place, if they stay inside the row.
static bool imgRlePut(const stImgBmp& stBmp, stImgCanvas& stCanvas, stImgRle& stRle,
                      const unsigned char* pData, int64_t iCount, bool bRepeat, std::string& tWhy)
{
    if (!imgRleInside(stRle, stBmp.iHeight, stRle.x + iCount, stRle.y))
    {
        tWhy = "the BMP's RLE data writes outside the image";
        return false;
    }
    for (int64_t k = 0; k < iCount; k++)
    {
        // A run repeats its one byte: one index in RLE8, two alternating ones in RLE4.
        int64_t iFrom = !bRepeat ? k : stBmp.iBits == 8 ? 0 : k % 2;
        int iIndex = imgRleIndex(stBmp, pData, iFrom);
        imgCanvasPut(stCanvas, stRle.x + k, stRle.y, stBmp.sPalette[iIndex]);
    }
    stRle.x += iCount;
    return true;
}

// Moves the stream's place, if the new place is inside the image.
static bool imgRleMove(const stImgBmp& stBmp, stImgRle& stRle, int64_t x, int64_t y,
                       std::string& tWhy)
{
    if (!imgRleInside(stRle, stBmp.iHeight, x, y))
    {
        tWhy = "the BMP's RLE data moves outside the image";
        return false;
    }
    stRle.x = x;
    stRle.y = y;
    return true;
}

// Runs the escape that follows a zero count: end of line, delta or absolute run. End of bitmap
// is handled by the caller.
static bool imgRleEscape(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas,
                         stImgRle& stRle, unsigned iCode, std::string& tWhy)
{
    if (iCode == 0)
    {
        return imgRleMove(stBmp, stRle, 0, stRle.y + 1, tWhy);
    }
    size_t iLeft = vData.size() - stRle.iAt;
    if (iCode == 2)
    {
        if (iLeft < 2)
        {
            tWhy = "the BMP's RLE data ends early";
            return false;
        }
        int64_t x = stRle.x + vData[stRle.iAt];
        int64_t y = stRle.y + vData[stRle.iAt + 1];
        stRle.iAt += 2;
        return imgRleMove(stBmp, stRle, x, y, tWhy);
    }
    // An absolute run: iCode pixels, padded to a whole number of 16-bit words.
    size_t iBytes = stBmp.iBits == 8 ? iCode : (iCode + 1) / 2;
    if (iLeft < iBytes + iBytes % 2)
    {
        tWhy = "the BMP's RLE data ends early";
        return false;
    }
    const unsigned char* pData = &vData[stRle.iAt];
    stRle.iAt += iBytes + iBytes % 2;
    return imgRlePut(stBmp, stCanvas, stRle, pData, iCode, false, tWhy);
}

// Decodes an RLE8 or RLE4 stream. A stream that ends without its end-of-bitmap marker is
// refused, like any other cut-off file.
static bool imgDecodeBmpRle(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas,
                            std::string& tWhy)
{
    stImgRle stRle = {stBmp.iDataOffset, 0, 0, (int64_t)(imgBmpStride(stBmp) * 8 / stBmp.iBits)};
    while (vData.size() - stRle.iAt >= 2)
    {
        unsigned iCount = vData[stRle.iAt];
        unsigned iCode = vData[stRle.iAt + 1];
        stRle.iAt += 2;
        bool bOk = true;
        if (iCount > 0)
        {
            bOk = imgRlePut(stBmp, stCanvas, stRle, &vData[stRle.iAt - 1], iCount, true, tWhy);
        }
        else if (iCode == 1)
        {
            return true;
        }
        else
        {
            bOk = imgRleEscape(vData, stBmp, stCanvas, stRle, iCode, tWhy);
        }
        if (!bOk)
        {
            return false;
        }
    }
    tWhy = "the BMP's RLE data ends before its end-of-bitmap marker";
    return false;
}

// Checks the pixel data, then decodes it into the canvas's new pixels. An RLE stream is walked
// once without pixels first: a damaged file of a few bytes may claim 16M pixels, and is refused
// before they are allocated.
bool imgDecodeBmpPixels(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas,
                        std::string& tWhy)
{
    bool bRle = stBmp.iCompression == iBmpRle8 || stBmp.iCompression == iBmpRle4;
    bool bValid =
        bRle ? imgDecodeBmpRle(vData, stBmp, stCanvas, tWhy) : imgCheckBmpRows(vData, stBmp, tWhy);
    if (!bValid)
    {
        return false;
    }
    size_t iPixels = (size_t)(stBmp.iWidth * stBmp.iHeight);
    stCanvas.pRgb.reset(new (std::nothrow) unsigned char[iPixels * 3]);
    if (!stCanvas.pRgb)
    {
        tWhy = "out of memory";
        return false;
    }
    if (!bRle)
    {
        imgDecodeBmpRows(vData, stBmp, stCanvas);
        return true;
    }
    // Pixels the stream never writes (skipped by a delta, or left by an early end of line or of
    // bitmap) take palette entry 0, as in the library's reader.
    for (unsigned char* p = stCanvas.pRgb.get(); p < stCanvas.pRgb.get() + iPixels * 3; p += 3)
    {
        p[0] = stBmp.sPalette[0].r;
        p[1] = stBmp.sPalette[0].g;
        p[2] = stBmp.sPalette[0].b;
    }
    return imgDecodeBmpRle(vData, stBmp, stCanvas, tWhy);
}
