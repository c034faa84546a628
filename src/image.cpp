/*
 * Tarvenloft - reading image files.
 *
 * Every image the program loads (fonts, pointer, buttons, tilesets) comes
 * through imgLoad, so that image files are checked in one place before any
 * decoder sees them. The library's own BMP and PNG readers trust the sizes
 * in a file's header: a small damaged file can make them write outside the
 * bitmap, ask for gigabytes or run for seconds. So:
 *
 * - The file is read once into memory, up to 64 MiB; directories and other
 *   non-regular files are refused.
 * - The type is decided by the content ("BM" or the PNG signature), never by
 *   the file name, so a tileset saved as .png but holding a BMP still loads.
 * - BMP: the header is checked (uncompressed or bit fields only, bottom-up,
 *   sides 1..32767, at most 16M pixels, palette and every pixel row inside
 *   the file) and only then handed to the library's BMP reader, from memory.
 *   That reader does the colour conversion, so pixels come out exactly as
 *   load_bitmap gives them.
 * - PNG: the header and every chunk length are checked against the file,
 *   then the image is decoded here with libpng from memory, with size and
 *   chunk limits; the bitmap is made only after the whole image decoded, from
 *   8-bit RGB. Pixels are written with makecol, so (255, 0, 255) is the mask
 *   colour at any depth.
 *   Alpha and gamma are ignored: the artwork marks transparency with the
 *   mask colour, and a 32-bit pixel that kept its alpha byte would no longer
 *   equal makecol(255, 0, 255).
 *
 * The result is a new memory bitmap in the current colour depth, owned by
 * the caller. Nothing leaks on any failure.
 */
#include "image.h"

#include <png.h>
#include <sys/stat.h>

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

/* A BMP header, as far as the checks need it. */
struct stImgBmpHeader
{
    uint32_t iDataOffset;  // where the pixel rows start
    uint32_t iInfoSize;    // 40 (Windows) or 12 (OS/2)
    int64_t iWidth;
    int64_t iHeight;  // negative for a top-down image
    uint32_t iPlanes;
    uint32_t iBits;
    uint32_t iCompression;
};

/* A file held in memory, read by the library through a PACKFILE. */
struct stImgMemFile
{
    const unsigned char* pData;
    long iSize;
    long iPos;
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

// Fills stHeader from the file header and the Windows or OS/2 info header.
static bool imgReadBmpHeader(const tImgBytes& vData, stImgBmpHeader& stHeader, std::string& tWhy)
{
    if (vData.size() < 18)
    {
        tWhy = "the BMP header is incomplete";
        return false;
    }
    stHeader.iDataOffset = imgGet32LE(vData, 10);
    stHeader.iInfoSize = imgGet32LE(vData, 14);
    if (stHeader.iInfoSize != 40 && stHeader.iInfoSize != 12)
    {
        tWhy = "unsupported BMP header (size " + std::to_string(stHeader.iInfoSize) +
               "; only 40 and 12 are read)";
        return false;
    }
    if (vData.size() < 14 + stHeader.iInfoSize)
    {
        tWhy = "the BMP header is incomplete";
        return false;
    }
    if (stHeader.iInfoSize == 12)
    {
        stHeader.iWidth = imgGet16LE(vData, 18);
        stHeader.iHeight = imgGet16LE(vData, 20);
        stHeader.iPlanes = imgGet16LE(vData, 22);
        stHeader.iBits = imgGet16LE(vData, 24);
        stHeader.iCompression = 0;
        return true;
    }
    stHeader.iWidth = (int32_t)imgGet32LE(vData, 18);
    stHeader.iHeight = (int32_t)imgGet32LE(vData, 22);
    stHeader.iPlanes = imgGet16LE(vData, 26);
    stHeader.iBits = imgGet16LE(vData, 28);
    stHeader.iCompression = imgGet32LE(vData, 30);
    return true;
}

// Accepts only the bit-field layouts the library's reader knows: 5-5-5 and 5-6-5, and 8-8-8.
static bool imgCheckBmpMasks(const tImgBytes& vData, const stImgBmpHeader& stHeader,
                             std::string& tWhy)
{
    if (vData.size() < 66 || stHeader.iDataOffset != 66)
    {
        tWhy = "the BMP colour masks are missing";
        return false;
    }
    uint32_t iRed = imgGet32LE(vData, 54);
    uint32_t iGreen = imgGet32LE(vData, 58);
    uint32_t iBlue = imgGet32LE(vData, 62);
    bool bKnown = (stHeader.iBits == 16 && iBlue == 0x1F &&
                   ((iRed == 0x7C00 && iGreen == 0x3E0) || (iRed == 0xF800 && iGreen == 0x7E0))) ||
                  (stHeader.iBits == 32 && iRed == 0xFF0000 && iGreen == 0xFF00 && iBlue == 0xFF);
    if (!bKnown)
    {
        tWhy = "unsupported BMP colour masks";
        return false;
    }
    return true;
}

// The reader takes the palette to fill the gap up to the pixel data, so that gap must be whole
// palette entries, at most 256, and at least one where the pixels are palette indices.
static bool imgCheckBmpPalette(const stImgBmpHeader& stHeader, std::string& tWhy)
{
    uint32_t iPaletteStart = 14 + stHeader.iInfoSize;
    uint32_t iEntrySize = stHeader.iInfoSize == 40 ? 4 : 3;
    if (stHeader.iDataOffset < iPaletteStart ||
        (stHeader.iDataOffset - iPaletteStart) % iEntrySize != 0)
    {
        tWhy = "the BMP pixel data offset does not fit the header";
        return false;
    }
    uint32_t iColours = (stHeader.iDataOffset - iPaletteStart) / iEntrySize;
    if (iColours > 256 || (stHeader.iBits <= 8 && iColours == 0))
    {
        tWhy = "the BMP palette is missing or has more than 256 colours";
        return false;
    }
    return true;
}

// Checks everything the library's BMP reader would otherwise trust.
static bool imgCheckBmp(const tImgBytes& vData, std::string& tWhy)
{
    stImgBmpHeader stHeader;
    if (!imgReadBmpHeader(vData, stHeader, tWhy))
    {
        return false;
    }
    if (stHeader.iPlanes != 1)
    {
        tWhy = "the BMP header is damaged (planes " + std::to_string(stHeader.iPlanes) + ")";
        return false;
    }
    uint32_t iBits = stHeader.iBits;
    bool bBitsOk = iBits == 1 || iBits == 4 || iBits == 8 || iBits == 24 ||
                   (stHeader.iInfoSize == 40 && (iBits == 16 || iBits == 32));
    if (!bBitsOk)
    {
        tWhy = "unsupported BMP colour depth (" + std::to_string(iBits) + " bits)";
        return false;
    }
    if (stHeader.iCompression == 1 || stHeader.iCompression == 2)
    {
        tWhy = "compressed (RLE) BMP images are not supported; save it uncompressed";
        return false;
    }
    bool bBitFields = stHeader.iCompression == 3 && (iBits == 16 || iBits == 32);
    if (stHeader.iCompression != 0 && !bBitFields)
    {
        tWhy = "unsupported BMP compression (" + std::to_string(stHeader.iCompression) + ")";
        return false;
    }
    if (stHeader.iHeight < 0)
    {
        tWhy = "top-down BMP images are not supported; save it bottom-up";
        return false;
    }
    if (!imgCheckSides(stHeader.iWidth, stHeader.iHeight, tWhy))
    {
        return false;
    }
    bool bLayoutOk =
        bBitFields ? imgCheckBmpMasks(vData, stHeader, tWhy) : imgCheckBmpPalette(stHeader, tWhy);
    if (!bLayoutOk)
    {
        return false;
    }
    uint64_t iStride = ((uint64_t)stHeader.iWidth * iBits + 31) / 32 * 4;
    if ((uint64_t)stHeader.iDataOffset + iStride * (uint64_t)stHeader.iHeight > vData.size())
    {
        tWhy = "the file ends before the BMP pixel data does";
        return false;
    }
    return true;
}

/* A read-only PACKFILE over a buffer; reads past the end give EOF. */
static int imgMemClose(void*)
{
    return 0;
}

static int imgMemGetc(void* pUser)
{
    stImgMemFile* pMem = (stImgMemFile*)pUser;
    return pMem->iPos < pMem->iSize ? pMem->pData[pMem->iPos++] : EOF;
}

static int imgMemUngetc(int iChar, void* pUser)
{
    stImgMemFile* pMem = (stImgMemFile*)pUser;
    if (pMem->iPos == 0)
    {
        return EOF;
    }
    pMem->iPos--;
    return iChar;
}

static long imgMemRead(void* pOut, long iCount, void* pUser)
{
    stImgMemFile* pMem = (stImgMemFile*)pUser;
    long iLeft = pMem->iSize - pMem->iPos;
    long iTake = iCount < 0 ? 0 : (iCount < iLeft ? iCount : iLeft);
    memcpy(pOut, pMem->pData + pMem->iPos, (size_t)iTake);
    pMem->iPos += iTake;
    return iTake;
}

static int imgMemPutc(int, void*)
{
    return EOF;
}

static long imgMemWrite(const void*, long, void*)
{
    return 0;
}

static int imgMemSeek(void* pUser, int iOffset)
{
    stImgMemFile* pMem = (stImgMemFile*)pUser;
    if (iOffset < 0 || iOffset > pMem->iSize - pMem->iPos)
    {
        return -1;
    }
    pMem->iPos += iOffset;
    return 0;
}

static int imgMemEof(void* pUser)
{
    stImgMemFile* pMem = (stImgMemFile*)pUser;
    return pMem->iPos >= pMem->iSize;
}

static int imgMemError(void*)
{
    return 0;
}

static const PACKFILE_VTABLE stImgMemVtable = {imgMemClose, imgMemGetc, imgMemUngetc,
                                               imgMemRead,  imgMemPutc, imgMemWrite,
                                               imgMemSeek,  imgMemEof,  imgMemError};

// Runs the library's BMP reader on a checked file held in memory.
static BITMAP* imgDecodeBmp(const tImgBytes& vData, std::string& tWhy)
{
    stImgMemFile stMem = {vData.data(), (long)vData.size(), 0};
    PACKFILE* pFile = pack_fopen_vtable(&stImgMemVtable, &stMem);
    if (pFile == NULL)
    {
        tWhy = "out of memory";
        return NULL;
    }
    BITMAP* mImage = load_bmp_pf(pFile, NULL);
    pack_fclose(pFile);
    if (mImage == NULL)
    {
        tWhy = "the BMP reader could not read it";
    }
    return mImage;
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
        if (imgCheckBmp(vData, tWhy))
        {
            mImage = imgDecodeBmp(vData, tWhy);
        }
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
    // The library converts to the current depth unless colour conversion was switched off.
    if (mImage != NULL && bitmap_color_depth(mImage) != get_color_depth())
    {
        destroy_bitmap(mImage);
        mImage = NULL;
        tWhy = "the image could not be converted to the current colour depth";
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
