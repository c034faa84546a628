/*
 * Tarvenloft - reading image files.
 *
 * Every image the program loads (fonts, pointer, buttons, tilesets) comes
 * through imgLoad, so that image files are checked in one place. The
 * library's own BMP and PNG readers trust the sizes in a file's header: a
 * small damaged file can make them write outside the bitmap, ask for
 * gigabytes or run for seconds; its BMP reader also cuts palette colours to
 * 6 bits and reads neither top-down rows nor the longer headers. So both
 * formats are decoded by readers of our own, into 8-bit RGB (BMP in
 * image_bmp.cpp and image_bmp_pixels.cpp, PNG in image_png.cpp, each
 * reached through image_decode.h), and one function here makes the bitmap
 * from that:
 *
 * - The file is read once into memory, up to 64 MiB; directories and other
 *   non-regular files are refused.
 * - The type is decided by the content ("BM" or the PNG signature), never by
 *   the file name, so a tileset saved as .png but holding a BMP still loads.
 * - Both sides at most 32767 pixels, at most 16M pixels in all: each reader
 *   checks the sides its header gives with imgCheckSides, before it
 *   allocates pixels.
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
#include "image_decode.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

static const uint64_t iImgMaxFileSize = 64u * 1024u * 1024u;  // bytes read from one file
static const uint64_t iImgMaxPixels = 16u * 1024u * 1024u;    // width times height

bool imgCheckSides(int64_t iWidth, int64_t iHeight, std::string& tWhy)
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
BITMAP* imgRgbToBitmap(const unsigned char* pRgb, int iWidth, int iHeight, std::string& tWhy)
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
