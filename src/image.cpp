/*
 * Tarvenloft - reading image files.
 *
 * Every image the program loads (fonts, pointer, buttons, tilesets) comes
 * through imgLoad, so that image files are checked in one place. The
 * library's own BMP and PNG readers trust the sizes in a file's header: a
 * small damaged file can make them write outside the bitmap, ask for
 * gigabytes or run for seconds; its BMP reader also cuts palette colours to
 * 6 bits and reads neither top-down rows nor the longer headers. So both
 * formats are decoded here, into 8-bit RGB, and one function makes the
 * bitmap from that:
 *
 * - The file is read once into memory, up to 64 MiB; directories and other
 *   non-regular files are refused.
 * - The type is decided by the content ("BM" or the PNG signature), never by
 *   the file name, so a tileset saved as .png but holding a BMP still loads.
 * - Both sides at most 32767 pixels, at most 16M pixels in all.
 * - BMP: Windows headers of 40, 52, 56, 108 and 124 bytes and OS/2 headers
 *   of 12 and 64 bytes; 1, 4, 8, 16, 24 and 32 bits a pixel; uncompressed,
 *   bit fields (any contiguous masks) and RLE8/RLE4; bottom-up and top-down.
 *   Palette colours are exact; channels of other widths are scaled as the
 *   library scales 5- and 6-bit ones. Every byte read is checked to lie
 *   inside the file, and an RLE stream that would leave its row or the image
 *   is refused.
 * - PNG: the header and every chunk length are checked against the file,
 *   then the image is decoded with libpng from memory, with size and chunk
 *   limits; the bitmap is made only after the whole image decoded.
 * - Pixels are written with makecol, so (255, 0, 255) is the mask colour and
 *   light pink (255, 128, 255) is exact at any depth. Alpha and gamma are
 *   ignored: the artwork marks transparency with the mask colour, and a
 *   32-bit pixel that kept its alpha byte would no longer equal
 *   makecol(255, 0, 255).
 *
 * The result is a new memory bitmap in the current colour depth, owned by
 * the caller. Nothing leaks on any failure.
 *
 * SPDX-License-Identifier: MIT
 */
#include "image.h"

#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

typedef std::vector<unsigned char> tImgBytes;

static const uint64_t iImgMaxFileSize = 64u * 1024u * 1024u;  // bytes read from one file
static const uint64_t iImgMaxPixels = 16u * 1024u * 1024u;    // width times height
static const size_t iImgMaxPngChunk = 8u * 1024u * 1024u;     // largest ancillary PNG chunk
// Pixels a side. The pixel count bounds memory, but create_bitmap also allocates a line pointer
// a row, so a one-pixel-wide image of 16M rows would cost 128 MiB of pointers for 64 MiB of
// pixels; and the library's 16.16 fixed-point drawing holds no coordinate past 32767.
static const uint64_t iImgMaxSide = 32767;

static const unsigned char cImgPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

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

/* Where an RLE stream stands: the next byte, and the pixel it writes next (rows in file order). */
struct stImgRle
{
    size_t iAt;
    int64_t x;
    int64_t y;
    int64_t iRowPixels;  // the uncompressed row's width with its padding, in pixels
};

/* libpng's view of the file, and the message of the error that stopped it. */
struct stImgPngSource
{
    const unsigned char* pData;
    size_t iSize;
    size_t iPos;
    char cError[160];
};

static uint32_t imgGet16LE(const tImgBytes& vData, size_t iAt)
{
    return vData[iAt] | (vData[iAt + 1] << 8);
}

static uint32_t imgGet32LE(const tImgBytes& vData, size_t iAt)
{
    return imgGet16LE(vData, iAt) | (imgGet16LE(vData, iAt + 2) << 16);
}

static uint32_t imgGet32BE(const tImgBytes& vData, size_t iAt)
{
    return ((uint32_t)vData[iAt] << 24) | (vData[iAt + 1] << 16) | (vData[iAt + 2] << 8) |
           vData[iAt + 3];
}

static bool imgCheckSides(int64_t iWidth, int64_t iHeight, std::string& tWhy)
{
    if (iWidth < 1 || iHeight < 1)
    {
        tWhy = "the image has no pixels (width " + std::to_string(iWidth) + ", height " +
               std::to_string(iHeight) + ")";
        return false;
    }
    if ((uint64_t)iWidth > iImgMaxSide || (uint64_t)iHeight > iImgMaxSide ||
        (uint64_t)iWidth * (uint64_t)iHeight > iImgMaxPixels)
    {
        tWhy = "the image is too large (" + std::to_string(iWidth) + "x" + std::to_string(iHeight) +
               "; at most " + std::to_string(iImgMaxSide) + " pixels a side and 16M pixels)";
        return false;
    }
    return true;
}

// Reads the whole file into vData; refuses what is not a regular file of a sane size.
static bool imgReadFile(const std::string& tFile, tImgBytes& vData, std::string& tWhy)
{
    struct stat stInfo;
    if (stat(tFile.c_str(), &stInfo) != 0)
    {
        tWhy = (errno == ENOENT || errno == ENOTDIR) ? "file not found" : std::strerror(errno);
        return false;
    }
    if (!S_ISREG(stInfo.st_mode))
    {
        tWhy = S_ISDIR(stInfo.st_mode) ? "it is a directory, not an image file"
                                       : "it is not a regular file";
        return false;
    }
    if (stInfo.st_size == 0)
    {
        tWhy = "the file is empty";
        return false;
    }
    if ((uint64_t)stInfo.st_size > iImgMaxFileSize)
    {
        tWhy = "the file is larger than 64 MiB";
        return false;
    }
    FILE* pFile = fopen(tFile.c_str(), "rb");
    if (pFile == NULL)
    {
        tWhy = std::string("the file could not be opened: ") + std::strerror(errno);
        return false;
    }
    vData.resize((size_t)stInfo.st_size);
    size_t iRead = fread(vData.data(), 1, vData.size(), pFile);
    fclose(pFile);
    if (iRead != vData.size())
    {
        tWhy = "the file could not be read to its end";
        return false;
    }
    return true;
}

static bool imgIsBmp(const tImgBytes& vData)
{
    return vData.size() >= 2 && vData[0] == 'B' && vData[1] == 'M';
}

static bool imgIsPng(const tImgBytes& vData)
{
    return vData.size() >= sizeof(cImgPngSignature) &&
           memcmp(vData.data(), cImgPngSignature, sizeof(cImgPngSignature)) == 0;
}

// Makes a bitmap in the current depth from decoded 8-bit RGB pixels, top row first.
static BITMAP* imgRgbToBitmap(const unsigned char* pRgb, int iWidth, int iHeight, std::string& tWhy)
{
    BITMAP* mImage = create_bitmap(iWidth, iHeight);
    if (mImage == NULL)
    {
        tWhy = "out of memory";
        return NULL;
    }
    int iDepth = bitmap_color_depth(mImage);
    for (int y = 0; y < iHeight; y++)
    {
        const unsigned char* pPixel = pRgb + (size_t)y * iWidth * 3;
        for (int x = 0; x < iWidth; x++, pPixel += 3)
        {
            putpixel(mImage, x, y, makecol_depth(iDepth, pPixel[0], pPixel[1], pPixel[2]));
        }
    }
    return mImage;
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
static bool imgDecodeBmpPixels(const tImgBytes& vData, const stImgBmp& stBmp, stImgCanvas& stCanvas,
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

// Decodes a BMP held in memory; every field is checked before it is used.
static BITMAP* imgDecodeBmp(const tImgBytes& vData, std::string& tWhy)
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

// Walks the chunks: each must lie inside the file and all but pixel data stay under the chunk
// limit. libpng would otherwise allocate (and clear) an ancillary chunk at whatever length its
// header claims before finding that the file is too short.
static bool imgCheckPngChunks(const tImgBytes& vData, std::string& tWhy)
{
    size_t iAt = sizeof(cImgPngSignature);
    while (vData.size() - iAt >= 12)
    {
        uint64_t iLength = imgGet32BE(vData, iAt);
        if (iLength + 12 > vData.size() - iAt)
        {
            tWhy = "a PNG chunk runs past the end of the file";
            return false;
        }
        bool bPixels = memcmp(&vData[iAt + 4], "IDAT", 4) == 0;
        if (!bPixels && iLength > iImgMaxPngChunk)
        {
            tWhy = "a PNG chunk is larger than 8 MiB";
            return false;
        }
        if (memcmp(&vData[iAt + 4], "IEND", 4) == 0)
        {
            return true;
        }
        iAt += 12 + iLength;
    }
    tWhy = "the PNG file ends without its end chunk";
    return false;
}

// Checks the signature, the header chunk (which must come first) and the chunk layout.
static bool imgCheckPng(const tImgBytes& vData, std::string& tWhy)
{
    if (vData.size() < 33 || imgGet32BE(vData, 8) != 13 || memcmp(&vData[12], "IHDR", 4) != 0)
    {
        tWhy = "the PNG header is missing or damaged";
        return false;
    }
    return imgCheckSides(imgGet32BE(vData, 16), imgGet32BE(vData, 20), tWhy) &&
           imgCheckPngChunks(vData, tWhy);
}

static void imgPngRead(png_structp pPng, png_bytep pOut, png_size_t iCount)
{
    stImgPngSource* pSource = (stImgPngSource*)png_get_io_ptr(pPng);
    if (iCount > pSource->iSize - pSource->iPos)
    {
        png_error(pPng, "the file ends early");
    }
    memcpy(pOut, pSource->pData + pSource->iPos, iCount);
    pSource->iPos += iCount;
}

// Keeps libpng's message and jumps back to the setjmp of the running step.
static void imgPngError(png_structp pPng, png_const_charp cMessage)
{
    stImgPngSource* pSource = (stImgPngSource*)png_get_error_ptr(pPng);
    snprintf(pSource->cError, sizeof(pSource->cError), "%s", cMessage);
    png_longjmp(pPng, 1);
}

// Warnings (odd colour profiles, bad ancillary checksums) do not stop the load.
static void imgPngWarning(png_structp, png_const_charp) {}

/* The two libpng steps below run under setjmp and hold no C++ objects, since an error jumps
   straight out of them. */

// Reads the chunks up to the pixel data and asks for 8-bit RGB rows of the expected size.
static bool imgPngStart(png_structp pPng, png_infop pInfo, png_uint_32 iWidth, png_uint_32 iHeight)
{
    if (setjmp(png_jmpbuf(pPng)))
    {
        return false;
    }
    png_set_user_limits(pPng, iImgMaxSide, iImgMaxSide);
    png_set_chunk_malloc_max(pPng, iImgMaxPngChunk);
    png_read_info(pPng, pInfo);
    png_set_expand(pPng);
    png_set_strip_16(pPng);
    png_set_gray_to_rgb(pPng);
    png_set_strip_alpha(pPng);
    png_set_interlace_handling(pPng);
    png_read_update_info(pPng, pInfo);
    if (png_get_image_width(pPng, pInfo) != iWidth ||
        png_get_image_height(pPng, pInfo) != iHeight ||
        png_get_rowbytes(pPng, pInfo) != (size_t)iWidth * 3)
    {
        png_error(pPng, "unexpected pixel layout");
    }
    return true;
}

static bool imgPngRows(png_structp pPng, png_infop pInfo, png_bytepp pRows)
{
    if (setjmp(png_jmpbuf(pPng)))
    {
        return false;
    }
    png_read_image(pPng, pRows);
    png_read_end(pPng, NULL);
    return true;
}

// Decodes a checked PNG held in memory; the bitmap is made only once every row decoded.
static BITMAP* imgDecodePng(const tImgBytes& vData, std::string& tWhy)
{
    png_uint_32 iWidth = imgGet32BE(vData, 16);
    png_uint_32 iHeight = imgGet32BE(vData, 20);
    stImgPngSource stSource = {vData.data(), vData.size(), 0, ""};
    png_structp pPng =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &stSource, imgPngError, imgPngWarning);
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : NULL;
    if (pInfo == NULL)
    {
        png_destroy_read_struct(&pPng, NULL, NULL);
        tWhy = "out of memory";
        return NULL;
    }
    png_set_read_fn(pPng, &stSource, imgPngRead);

    std::unique_ptr<unsigned char[]> pPixels;
    std::vector<png_bytep> vRows;
    bool bDecoded = imgPngStart(pPng, pInfo, iWidth, iHeight);
    if (bDecoded)
    {
        pPixels.reset(new (std::nothrow) unsigned char[(size_t)iWidth * iHeight * 3]);
        if (pPixels)
        {
            vRows.resize(iHeight);
            for (png_uint_32 y = 0; y < iHeight; y++)
            {
                vRows[y] = pPixels.get() + (size_t)y * iWidth * 3;
            }
            bDecoded = imgPngRows(pPng, pInfo, vRows.data());
        }
        else
        {
            bDecoded = false;
            snprintf(stSource.cError, sizeof(stSource.cError), "out of memory");
        }
    }
    png_destroy_read_struct(&pPng, &pInfo, NULL);
    if (!bDecoded)
    {
        tWhy = std::string("the PNG data is damaged (") + stSource.cError + ")";
        return NULL;
    }
    return imgRgbToBitmap(pPixels.get(), (int)iWidth, (int)iHeight, tWhy);
}

BITMAP* imgLoad(const std::string& tFile, std::string& tWhy)
{
    tImgBytes vData;
    if (!imgReadFile(tFile, vData, tWhy))
    {
        return NULL;
    }
    BITMAP* mImage = NULL;
    if (imgIsBmp(vData))
    {
        mImage = imgDecodeBmp(vData, tWhy);
    }
    else if (imgIsPng(vData))
    {
        if (imgCheckPng(vData, tWhy))
        {
            mImage = imgDecodePng(vData, tWhy);
        }
    }
    else
    {
        tWhy = "it is not a BMP or PNG image";
    }
    return mImage;
}

BITMAP* imgRequire(const std::string& tFile, int iExitCode)
{
    std::string tWhy;
    BITMAP* mImage = imgLoad(tFile, tWhy);
    if (mImage == NULL)
    {
        allegro_message("There was a problem, and the program was unable to load the image "
                        "%s.\n\nReason: %s",
                        tFile.c_str(), tWhy.c_str());
        exit(iExitCode);
    }
    return mImage;
}
