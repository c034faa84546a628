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
 * reached through image_decode.h), which make the bitmap from that through
 * image_rgb.cpp:
 *
 * - The file is read once into memory, up to 64 MiB, by whole_file.cpp;
 *   directories and other non-regular files are refused.
 * - The type is decided by the content ("BM" or the PNG signature), never by
 *   the file name, so a tileset saved as .png but holding a BMP still loads.
 * - Both sides at most 32767 pixels, at most 16M pixels in all: each reader
 *   checks the sides its header gives before it allocates pixels.
 *
 * The result is a new memory bitmap in the current colour depth, owned by
 * the caller. Nothing leaks on any failure.
 *
 * SPDX-License-Identifier: MIT
 */
#include "image.h"
#include "image_decode.h"

#include <cstdint>
#include <cstring>

#include "whole_file.h"

static const uint64_t iImgMaxFileSize = 64u * 1024u * 1024u;  // bytes read from one file

// What a fault of reading an image file is called in a message.
static std::string imgFileFault(const stWholeFault& sFault)
{
    switch (sFault.eKind)
    {
    case wholeFaultMissing:
        return "file not found";
    case wholeFaultDirectory:
        return "it is a directory, not an image file";
    case wholeFaultOdd:
        return "it is not a regular file";
    case wholeFaultLarge:
        return "the file is larger than 64 MiB";
    case wholeFaultOpen:
        return "the file could not be opened: " + sFault.tSystem;
    case wholeFaultRead:
        return "the file could not be read to its end";
    default:
        return sFault.tSystem;
    }
}

// Reads the whole file into vData; refuses what is not a regular file of a sane size.
static bool imgReadFile(const std::string& tFile, tImgBytes& vData, std::string& tWhy)
{
    stWholeFault sFault;
    if (!wholeRead(tFile, iImgMaxFileSize, vData, sFault))
    {
        tWhy = imgFileFault(sFault);
        return false;
    }
    if (vData.empty())
    {
        tWhy = "the file is empty";
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
