/*
 * Tarvenloft - the PNG reader.
 *
 * imgLoad hands every file that starts with the PNG signature to
 * imgCheckPng and, if it passes, to imgDecodePng:
 *
 * - The header and every chunk length are checked against the file, then
 *   the image is decoded with libpng from memory, with size and chunk
 *   limits; the bitmap is made only after the whole image decoded.
 * - Every colour type and bit depth that libpng reads, interlaced or not,
 *   comes out as 8-bit RGB; alpha is dropped.
 *
 * SPDX-License-Identifier: MIT
 */
#include "image_decode.h"
#include "image_rgb.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

static const size_t iImgMaxPngChunk = 8u * 1024u * 1024u;  // largest ancillary PNG chunk

/* libpng's view of the file, and the message of the error that stopped it. */
struct stImgPngSource
{
    const unsigned char* pData;
    size_t iSize;
    size_t iPos;
    char cError[160];
};

static uint32_t imgGet32BE(const tImgBytes& vData, size_t iAt)
{
    return ((uint32_t)vData[iAt] << 24) | (vData[iAt + 1] << 16) | (vData[iAt + 2] << 8) |
           vData[iAt + 3];
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
bool imgCheckPng(const tImgBytes& vData, std::string& tWhy)
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
BITMAP* imgDecodePng(const tImgBytes& vData, std::string& tWhy)
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
