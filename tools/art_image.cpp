/*
 * Tarvenloft artwork tool - canvases, image files, colours and noise.
 *
 * Canvases are plain RGB arrays. BMP files are written here byte by byte
 * (24-bit, bottom-up, rows padded to four bytes); PNG files go through
 * libpng. The program's window icons are written here too: a Windows icon
 * file (32-bit bitmaps, and a PNG at 256 pixels) and an XPM, which is C
 * source for the X11 build. The noise is value noise on a lattice that wraps around, so that
 * a terrain tile drawn from it joins seamlessly with copies of itself.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <cmath>
#include <cstdio>
#include <png.h>

stImage artImageNew(int iWidth, int iHeight, stRgb cFill)
{
    stImage img;
    img.iWidth = iWidth;
    img.iHeight = iHeight;
    img.sPixels.assign(static_cast<size_t>(iWidth) * iHeight, cFill);
    return img;
}

/* Writes one pixel; pixels outside the canvas are dropped. */
void artPut(stImage& img, int iX, int iY, stRgb c)
{
    if (iX < 0 || iY < 0 || iX >= img.iWidth || iY >= img.iHeight)
    {
        return;
    }
    img.sPixels[static_cast<size_t>(iY) * img.iWidth + iX] = c;
}

/* Reads one pixel; outside the canvas reads as the mask colour. */
stRgb artGet(const stImage& img, int iX, int iY)
{
    if (iX < 0 || iY < 0 || iX >= img.iWidth || iY >= img.iHeight)
    {
        return artMask;
    }
    return img.sPixels[static_cast<size_t>(iY) * img.iWidth + iX];
}

bool artSame(stRgb a, stRgb b)
{
    return a.iR == b.iR && a.iG == b.iG && a.iB == b.iB;
}

/* Copies a rectangle; a masked copy skips mask-coloured source pixels. */
void artBlit(const stImage& src, stImage& dst, int iSrcX, int iSrcY, int iDstX, int iDstY, int iW,
             int iH, bool bMasked)
{
    for (int y = 0; y < iH; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            if (iSrcX + x >= src.iWidth || iSrcY + y >= src.iHeight)
            {
                continue;
            }
            stRgb c = artGet(src, iSrcX + x, iSrcY + y);
            if (bMasked && artSame(c, artMask))
            {
                continue;
            }
            artPut(dst, iDstX + x, iDstY + y, c);
        }
    }
}

static void artPutLe(std::FILE* pFile, unsigned int iValue, int iBytes)
{
    for (int i = 0; i < iBytes; i++)
    {
        std::fputc(static_cast<int>((iValue >> (8 * i)) & 0xFF), pFile);
    }
}

/* Writes a 24-bit uncompressed Windows BMP. */
bool artWriteBmp(const stImage& img, const std::string& tFile)
{
    std::FILE* pFile = std::fopen(tFile.c_str(), "wb");
    if (pFile == nullptr)
    {
        return false;
    }
    const unsigned int iRow = static_cast<unsigned int>((img.iWidth * 3 + 3) & ~3);
    const unsigned int iData = iRow * static_cast<unsigned int>(img.iHeight);
    std::fputc('B', pFile);
    std::fputc('M', pFile);
    artPutLe(pFile, 54 + iData, 4);  // file size
    artPutLe(pFile, 0, 4);           // reserved
    artPutLe(pFile, 54, 4);          // offset of the pixels
    artPutLe(pFile, 40, 4);          // info header size
    artPutLe(pFile, static_cast<unsigned int>(img.iWidth), 4);
    artPutLe(pFile, static_cast<unsigned int>(img.iHeight), 4);
    artPutLe(pFile, 1, 2);   // planes
    artPutLe(pFile, 24, 2);  // bits per pixel
    artPutLe(pFile, 0, 4);   // no compression
    artPutLe(pFile, iData, 4);
    artPutLe(pFile, 2835, 4);  // 72 dpi
    artPutLe(pFile, 2835, 4);
    artPutLe(pFile, 0, 4);
    artPutLe(pFile, 0, 4);
    for (int y = img.iHeight - 1; y >= 0; y--)
    {
        for (int x = 0; x < img.iWidth; x++)
        {
            stRgb c = artGet(img, x, y);
            std::fputc(c.iB, pFile);
            std::fputc(c.iG, pFile);
            std::fputc(c.iR, pFile);
        }
        for (unsigned int i = static_cast<unsigned int>(img.iWidth) * 3; i < iRow; i++)
        {
            std::fputc(0, pFile);
        }
    }
    return std::fclose(pFile) == 0;
}

/* Where a PNG goes: a file, or bytes in memory. */
struct stPngSink
{
    std::FILE* pFile;
    std::vector<unsigned char>* pBytes;
};

static void artPngWrite(png_structp pPng, png_bytep pData, png_size_t iLength)
{
    stPngSink* pSink = static_cast<stPngSink*>(png_get_io_ptr(pPng));
    if (pSink->pBytes != nullptr)
    {
        pSink->pBytes->insert(pSink->pBytes->end(), pData, pData + iLength);
    }
    else if (std::fwrite(pData, 1, iLength, pSink->pFile) != iLength)
    {
        png_error(pPng, "write error");
    }
}

static void artPngFlush(png_structp pPng)
{
    stPngSink* pSink = static_cast<stPngSink*>(png_get_io_ptr(pPng));
    if (pSink->pFile != nullptr)
    {
        std::fflush(pSink->pFile);
    }
}

/* Encodes an 8-bit RGB PNG, or with bMaskClear an RGBA one whose mask-coloured pixels are clear,
   into the sink. */
static bool artPngEncode(const stImage& img, stPngSink& sink, bool bMaskClear)
{
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr || setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        return false;
    }
    const int iChannels = bMaskClear ? 4 : 3;
    png_set_write_fn(pPng, &sink, artPngWrite, artPngFlush);
    png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(img.iWidth),
                 static_cast<png_uint_32>(img.iHeight), 8,
                 bMaskClear ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    std::vector<png_byte> cRow(static_cast<size_t>(img.iWidth) * iChannels);
    for (int y = 0; y < img.iHeight; y++)
    {
        for (int x = 0; x < img.iWidth; x++)
        {
            stRgb c = artGet(img, x, y);
            const bool bClear = bMaskClear && artSame(c, artMask);
            png_byte* pOut = &cRow[static_cast<size_t>(x) * iChannels];
            pOut[0] = static_cast<png_byte>(bClear ? 0 : c.iR);
            pOut[1] = static_cast<png_byte>(bClear ? 0 : c.iG);
            pOut[2] = static_cast<png_byte>(bClear ? 0 : c.iB);
            if (bMaskClear)
            {
                pOut[3] = static_cast<png_byte>(bClear ? 0 : 255);
            }
        }
        png_write_row(pPng, cRow.data());
    }
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return true;
}

/* Writes an 8-bit RGB PNG; with bMaskClear an RGBA one whose mask-coloured pixels are clear. */
bool artWritePng(const stImage& img, const std::string& tFile, bool bMaskClear)
{
    stPngSink sink = {std::fopen(tFile.c_str(), "wb"), nullptr};
    if (sink.pFile == nullptr)
    {
        return false;
    }
    const bool bEncoded = artPngEncode(img, sink, bMaskClear);
    return std::fclose(sink.pFile) == 0 && bEncoded;
}

static void artPushLe(std::vector<unsigned char>& cOut, unsigned int iValue, int iBytes)
{
    for (int i = 0; i < iBytes; i++)
    {
        cOut.push_back(static_cast<unsigned char>((iValue >> (8 * i)) & 0xFF));
    }
}

/* One image of an icon file as a 32-bit bitmap: the header, the colours with their alpha from
   the bottom row up, and the 1-bit mask (set where clear) with rows padded to 32 bits. */
static std::vector<unsigned char> artIcoBitmap(const stImage& img)
{
    const unsigned int iMaskRow = static_cast<unsigned int>((img.iWidth + 31) / 32 * 4);
    std::vector<unsigned char> cOut;
    artPushLe(cOut, 40, 4);  // header size
    artPushLe(cOut, static_cast<unsigned int>(img.iWidth), 4);
    artPushLe(cOut, static_cast<unsigned int>(2 * img.iHeight), 4);  // colours and mask
    artPushLe(cOut, 1, 2);                                           // planes
    artPushLe(cOut, 32, 2);                                          // bits per pixel
    artPushLe(cOut, 0, 4);                                           // no compression
    artPushLe(cOut,
              static_cast<unsigned int>(img.iWidth * img.iHeight * 4) + iMaskRow * img.iHeight, 4);
    artPushLe(cOut, 0, 16);  // resolution and palette: none
    for (int y = img.iHeight - 1; y >= 0; y--)
    {
        for (int x = 0; x < img.iWidth; x++)
        {
            stRgb c = artGet(img, x, y);
            const bool bClear = artSame(c, artMask);
            cOut.push_back(static_cast<unsigned char>(bClear ? 0 : c.iB));
            cOut.push_back(static_cast<unsigned char>(bClear ? 0 : c.iG));
            cOut.push_back(static_cast<unsigned char>(bClear ? 0 : c.iR));
            cOut.push_back(static_cast<unsigned char>(bClear ? 0 : 255));
        }
    }
    for (int y = img.iHeight - 1; y >= 0; y--)
    {
        std::vector<unsigned char> cRow(iMaskRow, 0);
        for (int x = 0; x < img.iWidth; x++)
        {
            if (artSame(artGet(img, x, y), artMask))
            {
                cRow[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        cOut.insert(cOut.end(), cRow.begin(), cRow.end());
    }
    return cOut;
}

/* Writes a Windows icon file holding the square images, smallest first: 32-bit bitmaps, except
   at 256 pixels, where the image is stored as a PNG (as Windows' own icons do). */
bool artWriteIco(const std::vector<stImage>& images, const std::string& tFile)
{
    std::vector<std::vector<unsigned char>> cImages;
    for (const stImage& img : images)
    {
        std::vector<unsigned char> cData;
        stPngSink sink = {nullptr, &cData};
        if (img.iWidth != img.iHeight || img.iWidth > 256 ||
            (img.iWidth == 256 && !artPngEncode(img, sink, true)))
        {
            return false;
        }
        cImages.push_back(img.iWidth == 256 ? cData : artIcoBitmap(img));
    }
    std::vector<unsigned char> cOut;
    artPushLe(cOut, 0, 2);  // reserved
    artPushLe(cOut, 1, 2);  // an icon, not a cursor
    artPushLe(cOut, static_cast<unsigned int>(images.size()), 2);
    unsigned int iOffset = 6 + 16 * static_cast<unsigned int>(images.size());
    for (size_t i = 0; i < images.size(); i++)
    {
        const unsigned int iSide = static_cast<unsigned int>(images[i].iWidth);
        artPushLe(cOut, iSide % 256, 1);  // 256 is written as 0
        artPushLe(cOut, iSide % 256, 1);
        artPushLe(cOut, 0, 2);   // no palette
        artPushLe(cOut, 1, 2);   // planes
        artPushLe(cOut, 32, 2);  // bits per pixel
        artPushLe(cOut, static_cast<unsigned int>(cImages[i].size()), 4);
        artPushLe(cOut, iOffset, 4);
        iOffset += static_cast<unsigned int>(cImages[i].size());
    }
    for (const std::vector<unsigned char>& cData : cImages)
    {
        cOut.insert(cOut.end(), cData.begin(), cData.end());
    }
    std::FILE* pFile = std::fopen(tFile.c_str(), "wb");
    if (pFile == nullptr)
    {
        return false;
    }
    const bool bWritten = std::fwrite(cOut.data(), 1, cOut.size(), pFile) == cOut.size();
    return std::fclose(pFile) == 0 && bWritten;
}

/* Writes the image as XPM, which is C source: a char-pointer array named tName that C and C++
   code can include. Mask-coloured pixels are "None" (clear). Colours are numbered in the order
   they first appear, each written with as few characters as the number of colours allows. */
bool artWriteXpm(const stImage& img, const std::string& tName, const std::string& tFile,
                 const std::string& tComment)
{
    // Printable characters that need no escaping in a C string.
    const std::string tDigits = " .+@#$%&*=-;>,')!~{]^/(_:<[}|1234567890abcdefghijklmnopqrstuvwxyz"
                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ`";
    std::vector<stRgb> cColours;
    std::vector<size_t> iIndex(img.sPixels.size());
    for (size_t i = 0; i < img.sPixels.size(); i++)
    {
        size_t k = 0;
        while (k < cColours.size() && !artSame(cColours[k], img.sPixels[i]))
        {
            k++;
        }
        if (k == cColours.size())
        {
            cColours.push_back(img.sPixels[i]);
        }
        iIndex[i] = k;
    }
    int iPerPixel = 1;
    for (size_t iCodes = tDigits.size(); iCodes < cColours.size(); iCodes *= tDigits.size())
    {
        iPerPixel++;
    }
    auto code = [&](size_t k)
    {
        std::string tCode;
        for (int i = 0; i < iPerPixel; i++)
        {
            tCode += tDigits[k % tDigits.size()];
            k /= tDigits.size();
        }
        return tCode;
    };
    std::FILE* pFile = std::fopen(tFile.c_str(), "w");
    if (pFile == nullptr)
    {
        return false;
    }
    std::fprintf(pFile, "/* XPM */\n/* %s */\nstatic const char* const %s[] = {\n",
                 tComment.c_str(), tName.c_str());
    std::fprintf(pFile, "\"%d %d %zu %d\",\n", img.iWidth, img.iHeight, cColours.size(), iPerPixel);
    for (size_t k = 0; k < cColours.size(); k++)
    {
        const stRgb c = cColours[k];
        if (artSame(c, artMask))
        {
            std::fprintf(pFile, "\"%s c None\",\n", code(k).c_str());
        }
        else
        {
            std::fprintf(pFile, "\"%s c #%02X%02X%02X\",\n", code(k).c_str(), c.iR, c.iG, c.iB);
        }
    }
    for (int y = 0; y < img.iHeight; y++)
    {
        std::string tRow;
        for (int x = 0; x < img.iWidth; x++)
        {
            tRow += code(iIndex[static_cast<size_t>(y) * img.iWidth + x]);
        }
        std::fprintf(pFile, "\"%s\"%s\n", tRow.c_str(), y + 1 < img.iHeight ? "," : "};");
    }
    return std::fclose(pFile) == 0;
}

static int artClamp(double dValue)
{
    int i = static_cast<int>(std::lround(dValue));
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

/* Blends a towards b; dT 0 gives a, 1 gives b. */
stRgb artMix(stRgb a, stRgb b, double dT)
{
    return {artClamp(a.iR + (b.iR - a.iR) * dT), artClamp(a.iG + (b.iG - a.iG) * dT),
            artClamp(a.iB + (b.iB - a.iB) * dT)};
}

/* Scales a colour: below 1 darker, above 1 lighter. */
stRgb artShade(stRgb c, double dFactor)
{
    stRgb cOut = {artClamp(c.iR * dFactor), artClamp(c.iG * dFactor), artClamp(c.iB * dFactor)};
    // Never produce a key colour by accident.
    if (artSame(cOut, artMask) || artSame(cOut, artBlue))
    {
        cOut.iG += 1;
    }
    return cOut;
}

/* A repeatable pseudo-random value in 0..1 for a lattice point. */
double artHash(int iX, int iY, int iSeed)
{
    uint32_t h = static_cast<uint32_t>(iX) * 374761393u + static_cast<uint32_t>(iY) * 668265263u +
                 static_cast<uint32_t>(iSeed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777215.0;
}

/* Smooth value noise with lattice spacing iCell, repeating every iPeriod pixels. */
double artNoise(double dX, double dY, int iCell, int iPeriod, int iSeed)
{
    const int iCells = iPeriod / iCell;
    double dU = dX / iCell;
    double dV = dY / iCell;
    int iX0 = static_cast<int>(std::floor(dU));
    int iY0 = static_cast<int>(std::floor(dV));
    double dFx = dU - iX0;
    double dFy = dV - iY0;
    auto wrap = [iCells](int i) { return ((i % iCells) + iCells) % iCells; };
    double d00 = artHash(wrap(iX0), wrap(iY0), iSeed);
    double d10 = artHash(wrap(iX0 + 1), wrap(iY0), iSeed);
    double d01 = artHash(wrap(iX0), wrap(iY0 + 1), iSeed);
    double d11 = artHash(wrap(iX0 + 1), wrap(iY0 + 1), iSeed);
    double dSx = dFx * dFx * (3 - 2 * dFx);
    double dSy = dFy * dFy * (3 - 2 * dFy);
    double dTop = d00 + (d10 - d00) * dSx;
    double dBottom = d01 + (d11 - d01) * dSx;
    return dTop + (dBottom - dTop) * dSy;
}

/* Three octaves of tileable noise, 0..1. */
double artFractal(double dX, double dY, int iPeriod, int iSeed)
{
    return 0.5 * artNoise(dX, dY, 8, iPeriod, iSeed) +
           0.3 * artNoise(dX, dY, 4, iPeriod, iSeed + 1) +
           0.2 * artNoise(dX, dY, 2, iPeriod, iSeed + 2);
}
