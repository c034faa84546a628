/*
 * Tarvenloft artwork tool - canvases, image files, colours and noise.
 *
 * Canvases are plain RGB arrays. BMP files are written here byte by byte
 * (24-bit, bottom-up, rows padded to four bytes); PNG files go through
 * libpng. The noise is value noise on a lattice that wraps around, so that
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

/* Writes an 8-bit RGB PNG; with bMaskClear an RGBA one whose mask-coloured pixels are clear. */
bool artWritePng(const stImage& img, const std::string& tFile, bool bMaskClear)
{
    std::FILE* pFile = std::fopen(tFile.c_str(), "wb");
    if (pFile == nullptr)
    {
        return false;
    }
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr || setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        std::fclose(pFile);
        return false;
    }
    const int iChannels = bMaskClear ? 4 : 3;
    png_init_io(pPng, pFile);
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
