/*
 * Tarvenloft unit tests - reading image files (imgLoad, imgRequire).
 *
 * Good BMP and PNG files of every layout the program may meet are written
 * here by small encoders and must load with their known colours at 32 and
 * 16 bits (true-colour BMPs also as the library's own load_bitmap gives
 * them). Damaged files, RLE streams that leave the image, and the files in
 * tests/data/image-repro that break the library's readers must be refused
 * quickly with a reason; the two valid files among those must load.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <filesystem>

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "image.h"

#include <loadpng.h>

namespace
{

typedef std::vector<unsigned char> Bytes;

struct Rgb
{
    int r, g, b;
};

const int kWidth = 13;  // odd, so that BMP rows need padding
const int kHeight = 7;

// The test picture: the mask colour, light pink and glyph-marker blue first, then a spread.
Rgb pictureColour(int x, int y)
{
    if (y == 0 && x < 3)
    {
        const Rgb cKeys[3] = {{255, 0, 255}, {255, 128, 255}, {0, 0, 255}};
        return cKeys[x];
    }
    return {(x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, ((x * 13) ^ (y * 29)) & 255};
}

// A palette whose first entries are the three key colours; index of (x, y) below.
std::vector<Rgb> pictureTable(int iColours)
{
    std::vector<Rgb> v;
    for (int i = 0; i < iColours; i++)
    {
        v.push_back(i < 3 ? pictureColour(i, 0) : Rgb{(i * 67) & 255, (i * 23) & 255, 255 - i});
    }
    return v;
}

int pictureIndex(int x, int y, int iColours)
{
    return iColours > 0 ? (x + y * kWidth) % iColours : 0;
}

void put16(Bytes& v, uint32_t i)
{
    v.push_back(i & 255);
    v.push_back((i >> 8) & 255);
}

void put32(Bytes& v, uint32_t i)
{
    put16(v, i & 0xFFFF);
    put16(v, i >> 16);
}

struct BmpOptions
{
    int iBits = 24;
    int iColours = 0;  // palette entries written (paletted images)
    uint32_t iCompression = 0;
    uint32_t cMasks[3] = {0, 0, 0};  // bit fields, written when compression is 3 or 6
    uint32_t iAlphaMask = 0;         // set in every pixel; written with 6 or a 56+ byte header
    bool bTopDown = false;
    int iWidth = kWidth;
    int iHeight = kHeight;
    int iInfoSize = 40;     // 12 (OS/2 1.x), 40, 52, 56, 64 (OS/2 2.x), 108 or 124
    int iIndices = 0;       // palette indices cycle over this many (0: iColours)
    int iColoursUsed = -1;  // palette entries the header declares (-1: iColours)
    int iGap = 0;           // bytes between the palette and the pixel data
    Bytes vRle;             // the pixel data of an RLE image, as it is written
};

BmpOptions bmpOf(int iBits, int iColours, int iInfoSize = 40)
{
    BmpOptions o;
    o.iBits = iBits;
    o.iColours = iColours;
    o.iInfoSize = iInfoSize;
    return o;
}

// o with bit-field compression (3, or 6 with an alpha mask) and these masks.
BmpOptions bmpFields(BmpOptions o, uint32_t iCompression, uint32_t r, uint32_t g, uint32_t b,
                     uint32_t a = 0)
{
    o.iCompression = iCompression;
    o.cMasks[0] = r;
    o.cMasks[1] = g;
    o.cMasks[2] = b;
    o.iAlphaMask = a;
    return o;
}

// o changed by fChange, for a case that differs in one field.
BmpOptions bmpWithChange(BmpOptions o, const std::function<void(BmpOptions&)>& fChange)
{
    fChange(o);
    return o;
}

// The red, green and blue masks of a true-colour image.
std::vector<uint32_t> bmpMasks(const BmpOptions& o)
{
    if (o.iCompression == 3 || o.iCompression == 6)
    {
        return {o.cMasks[0], o.cMasks[1], o.cMasks[2]};
    }
    if (o.iBits == 16)
    {
        return {0x7C00, 0x3E0, 0x1F};
    }
    return {0xFF0000, 0xFF00, 0xFF};
}

// An 8-bit channel value as the n bits of iMask store it: the top bits, or repeated bits.
uint32_t bmpChannel(int c, uint32_t iMask)
{
    int n = __builtin_popcount(iMask);
    uint32_t q = n >= 8 ? (c << (n - 8)) | (c >> (16 - n)) : c >> (8 - n);
    return q << __builtin_ctz(iMask);
}

// What that channel reads as: the library's own tables for 5 and 6 bits, v * 17 (255 / 15) for
// 4 bits; with 8 bits and more, the value written.
int bmpChannelRead(int c, uint32_t iMask)
{
    int n = __builtin_popcount(iMask);
    int q = n >= 8 ? c : c >> (8 - n);
    return n >= 8 ? c : n == 6 ? _rgb_scale_6[q] : n == 5 ? _rgb_scale_5[q] : q * 17;
}

uint32_t bmpPixel(const BmpOptions& o, int x, int y)
{
    if (o.iBits <= 8)
    {
        return pictureIndex(x, y, o.iIndices > 0 ? o.iIndices : o.iColours);
    }
    Rgb c = pictureColour(x, y);
    std::vector<uint32_t> vMasks = bmpMasks(o);
    return bmpChannel(c.r, vMasks[0]) | bmpChannel(c.g, vMasks[1]) | bmpChannel(c.b, vMasks[2]) |
           o.iAlphaMask;
}

// The colour a correct reader gives for (x, y); indices past the palette are black.
Rgb bmpExpected(const BmpOptions& o, int x, int y)
{
    if (o.iBits <= 8)
    {
        uint32_t i = bmpPixel(o, x, y);
        return i < (uint32_t)o.iColours ? pictureTable(o.iColours)[i] : Rgb{0, 0, 0};
    }
    Rgb c = pictureColour(x, y);
    std::vector<uint32_t> vMasks = bmpMasks(o);
    return {bmpChannelRead(c.r, vMasks[0]), bmpChannelRead(c.g, vMasks[1]),
            bmpChannelRead(c.b, vMasks[2])};
}

// One BMP row, packed and padded to four bytes.
Bytes bmpRow(const BmpOptions& o, int y)
{
    Bytes v;
    uint32_t iAccum = 0;
    int iAccumBits = 0;
    for (int x = 0; x < o.iWidth; x++)
    {
        uint32_t iPixel = bmpPixel(o, x, y);
        if (o.iBits < 8)
        {
            iAccum = (iAccum << o.iBits) | iPixel;
            iAccumBits += o.iBits;
            if (iAccumBits == 8)
            {
                v.push_back(iAccum);
                iAccum = iAccumBits = 0;
            }
        }
        else
        {
            for (int b = 0; b < o.iBits / 8; b++)
            {
                v.push_back((iPixel >> (8 * b)) & 255);
            }
        }
    }
    if (iAccumBits > 0)
    {
        v.push_back(iAccum << (8 - iAccumBits));
    }
    while (v.size() % 4 != 0)
    {
        v.push_back(0);
    }
    return v;
}

Bytes makeOs2Bmp(const BmpOptions& o);

// A BMP of the test picture (or of o.vRle), with the header o.iInfoSize asks for; the headers
// longer than 40 bytes hold the masks and end in zeros.
Bytes makeBmp(const BmpOptions& o)
{
    if (o.iInfoSize == 12)
    {
        return makeOs2Bmp(o);
    }
    Bytes vPixels = o.vRle;
    for (int y = o.iHeight - 1; y >= 0 && o.vRle.empty(); y--)
    {
        Bytes vRow = bmpRow(o, o.bTopDown ? o.iHeight - 1 - y : y);
        vPixels.insert(vPixels.end(), vRow.begin(), vRow.end());
    }
    Bytes v = {'B', 'M'};
    put32(v, 0);  // file size and pixel data offset, filled in below
    put32(v, 0);
    put32(v, 0);
    put32(v, o.iInfoSize);
    put32(v, o.iWidth);
    put32(v, o.bTopDown ? -o.iHeight : o.iHeight);
    put16(v, 1);
    put16(v, o.iBits);
    put32(v, o.iCompression);
    put32(v, vPixels.size());
    put32(v, 2835);
    put32(v, 2835);
    put32(v, o.iColoursUsed < 0 ? o.iColours : o.iColoursUsed);
    put32(v, 0);
    if (o.iCompression == 3 || o.iCompression == 6)
    {
        for (uint32_t iMask : o.cMasks)
        {
            put32(v, iMask);
        }
        if (o.iCompression == 6 || o.iInfoSize >= 56)
        {
            put32(v, o.iAlphaMask);
        }
    }
    v.resize(std::max(v.size(), (size_t)(14 + o.iInfoSize)), 0);
    for (const Rgb& c : pictureTable(o.iColours))
    {
        v.insert(v.end(), {(unsigned char)c.b, (unsigned char)c.g, (unsigned char)c.r, 0});
    }
    v.resize(v.size() + o.iGap, 0);
    for (int b = 0; b < 4; b++)
    {
        v[10 + b] = (v.size() >> (8 * b)) & 255;
        v[2 + b] = ((v.size() + vPixels.size()) >> (8 * b)) & 255;
    }
    v.insert(v.end(), vPixels.begin(), vPixels.end());
    return v;
}

// An OS/2 1.x BMP (12-byte header) of the test picture.
Bytes makeOs2Bmp(const BmpOptions& o)
{
    Bytes vPixels;
    for (int y = o.iHeight - 1; y >= 0; y--)
    {
        Bytes vRow = bmpRow(o, y);
        vPixels.insert(vPixels.end(), vRow.begin(), vRow.end());
    }
    uint32_t iOffset = 26 + 3 * o.iColours;
    Bytes v = {'B', 'M'};
    put32(v, iOffset + vPixels.size());
    put32(v, 0);
    put32(v, iOffset);
    put32(v, 12);
    put16(v, o.iWidth);
    put16(v, o.iHeight);
    put16(v, 1);
    put16(v, o.iBits);
    for (const Rgb& c : pictureTable(o.iColours))
    {
        v.insert(v.end(), {(unsigned char)c.b, (unsigned char)c.g, (unsigned char)c.r});
    }
    v.insert(v.end(), vPixels.begin(), vPixels.end());
    return v;
}

struct PngOptions
{
    int iColourType = PNG_COLOR_TYPE_RGB;
    int iBitDepth = 8;
    int iColours = 0;  // palette entries (paletted images)
    bool bTransparency = false;
    bool bInterlaced = false;
    int iWidth = kWidth;
    int iHeight = kHeight;
};

// The channel values of one pixel as a PNG of this type stores them.
std::vector<int> pngChannels(const PngOptions& o, int x, int y)
{
    Rgb c = pictureColour(x, y);
    int iAlpha = (x * 40) & 255;
    switch (o.iColourType)
    {
    case PNG_COLOR_TYPE_PALETTE:
        return {pictureIndex(x, y, o.iColours)};
    case PNG_COLOR_TYPE_GRAY:
        return {c.g};
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return {c.g, iAlpha};
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return {c.r, c.g, c.b, iAlpha};
    default:
        return {c.r, c.g, c.b};
    }
}

// The colour a correct reader must give for (x, y), whatever the alpha.
Rgb pngExpected(const PngOptions& o, int x, int y)
{
    std::vector<int> v = pngChannels(o, x, y);
    if (o.iColourType == PNG_COLOR_TYPE_PALETTE)
    {
        return pictureTable(o.iColours)[v[0]];
    }
    if (o.iColourType == PNG_COLOR_TYPE_GRAY || o.iColourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    {
        return {v[0], v[0], v[0]};
    }
    return {v[0], v[1], v[2]};
}

void pngCollect(png_structp pPng, png_bytep pData, png_size_t iCount)
{
    Bytes* pOut = (Bytes*)png_get_io_ptr(pPng);
    pOut->insert(pOut->end(), pData, pData + iCount);
}

void pngFlush(png_structp) {}

// A PNG of the test picture, written with libpng; 16-bit samples repeat the 8-bit value.
Bytes makePng(const PngOptions& o)
{
    Bytes vOut;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop pInfo = png_create_info_struct(pPng);
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        return Bytes();
    }
    png_set_write_fn(pPng, &vOut, pngCollect, pngFlush);
    png_set_IHDR(pPng, pInfo, o.iWidth, o.iHeight, o.iBitDepth, o.iColourType,
                 o.bInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> vPalette;
    for (const Rgb& c : pictureTable(o.iColours))
    {
        vPalette.push_back({(png_byte)c.r, (png_byte)c.g, (png_byte)c.b});
    }
    if (!vPalette.empty())
    {
        png_set_PLTE(pPng, pInfo, vPalette.data(), (int)vPalette.size());
    }
    std::vector<png_byte> vAlpha(o.iColours, 128);
    if (o.bTransparency)
    {
        png_set_tRNS(pPng, pInfo, vAlpha.data(), (int)vAlpha.size(), NULL);
    }
    png_write_info(pPng, pInfo);
    png_set_packing(pPng);
    std::vector<Bytes> vRows(o.iHeight);
    std::vector<png_bytep> vRowPointers;
    for (int y = 0; y < o.iHeight; y++)
    {
        for (int x = 0; x < o.iWidth; x++)
        {
            for (int iChannel : pngChannels(o, x, y))
            {
                vRows[y].push_back(iChannel);
                if (o.iBitDepth == 16)
                {
                    vRows[y].push_back(iChannel);
                }
            }
        }
        vRowPointers.push_back(vRows[y].data());
    }
    png_write_image(pPng, vRowPointers.data());
    png_write_end(pPng, NULL);
    png_destroy_write_struct(&pPng, &pInfo);
    return vOut;
}

// A PNG chunk with its length and checksum.
Bytes pngChunk(const char* cType, const Bytes& vData)
{
    Bytes v;
    for (int i = 3; i >= 0; i--)
    {
        v.push_back((vData.size() >> (8 * i)) & 255);
    }
    v.insert(v.end(), cType, cType + 4);
    v.insert(v.end(), vData.begin(), vData.end());
    Bytes vCovered(cType, cType + 4);
    vCovered.insert(vCovered.end(), vData.begin(), vData.end());
    uint32_t iCrc = 0xFFFFFFFF;
    for (unsigned char c : vCovered)
    {
        iCrc ^= c;
        for (int k = 0; k < 8; k++)
        {
            iCrc = (iCrc >> 1) ^ (0xEDB88320 & (0 - (iCrc & 1)));
        }
    }
    iCrc ^= 0xFFFFFFFF;
    for (int i = 3; i >= 0; i--)
    {
        v.push_back((iCrc >> (8 * i)) & 255);
    }
    return v;
}

// A PNG that is only a signature and a header chunk claiming the given size.
Bytes pngHeaderOnly(uint32_t iWidth, uint32_t iHeight)
{
    Bytes v = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes vHeader;
    for (uint32_t i : {iWidth, iHeight})
    {
        for (int b = 3; b >= 0; b--)
        {
            vHeader.push_back((i >> (8 * b)) & 255);
        }
    }
    vHeader.insert(vHeader.end(), {8, 2, 0, 0, 0});
    Bytes vChunk = pngChunk("IHDR", vHeader);
    v.insert(v.end(), vChunk.begin(), vChunk.end());
    return v;
}

// The current test's directory; also removed at exit, since death-test children never tear down.
struct stImageTempDir
{
    std::string tPath;
    void Remove()
    {
        std::error_code ec;
        if (!tPath.empty())
            std::filesystem::remove_all(tPath, ec);
        tPath.clear();
    }
    ~stImageTempDir()
    {
        Remove();
    }
};
stImageTempDir sImageTemp;

class ImageTest : public ::testing::Test
{
  protected:
    std::string tDir;

    void SetUp() override
    {
        set_color_depth(32);
        char cTemplate[] = "/tmp/tarvenloft_image_XXXXXX";
        ASSERT_NE(mkdtemp(cTemplate), nullptr);
        tDir = cTemplate;
        sImageTemp.tPath = tDir;
    }

    void TearDown() override
    {
        set_color_depth(32);
        sImageTemp.Remove();
    }

    std::string write(const std::string& tName, const Bytes& vData)
    {
        std::string tPath = tDir + "/" + tName;
        FILE* pFile = fopen(tPath.c_str(), "wb");
        EXPECT_NE(pFile, nullptr);
        if (pFile != NULL)
        {
            if (!vData.empty())
            {
                fwrite(vData.data(), 1, vData.size(), pFile);
            }
            fclose(pFile);
        }
        return tPath;
    }

    // imgLoad must fail with a reason; returns the reason.
    std::string refused(const std::string& tPath)
    {
        std::string tWhy;
        BITMAP* mImage = imgLoad(tPath, tWhy);
        EXPECT_EQ(mImage, nullptr) << tPath;
        if (mImage != NULL)
        {
            destroy_bitmap(mImage);
        }
        EXPECT_FALSE(tWhy.empty()) << tPath;
        return tWhy;
    }
};

// Both bitmaps hold the same pixels; with bColourOnly, bits beyond r, g and b are not compared.
void expectSamePixels(BITMAP* mOurs, BITMAP* mLibrary, bool bColourOnly)
{
    ASSERT_NE(mOurs, nullptr);
    ASSERT_NE(mLibrary, nullptr);
    ASSERT_EQ(mOurs->w, mLibrary->w);
    ASSERT_EQ(mOurs->h, mLibrary->h);
    ASSERT_EQ(bitmap_color_depth(mOurs), bitmap_color_depth(mLibrary));
    int iDepth = bitmap_color_depth(mOurs);
    int iMismatches = 0;
    for (int y = 0; y < mOurs->h; y++)
    {
        for (int x = 0; x < mOurs->w; x++)
        {
            int a = getpixel(mOurs, x, y);
            int b = getpixel(mLibrary, x, y);
            if (bColourOnly)
            {
                b = makecol_depth(iDepth, getr_depth(iDepth, b), getg_depth(iDepth, b),
                                  getb_depth(iDepth, b));
            }
            if (a != b && iMismatches++ < 5)
            {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << a
                              << ", load_bitmap gives " << b;
            }
        }
    }
    EXPECT_EQ(iMismatches, 0);
}

// Every pixel is makecol of the colour the encoder wrote.
void expectPicture(BITMAP* mImage, const std::function<Rgb(int, int)>& fColour, int iWidth = kWidth,
                   int iHeight = kHeight)
{
    ASSERT_NE(mImage, nullptr);
    ASSERT_EQ(mImage->w, iWidth);
    ASSERT_EQ(mImage->h, iHeight);
    int iMismatches = 0;
    for (int y = 0; y < iHeight; y++)
    {
        for (int x = 0; x < iWidth; x++)
        {
            Rgb c = fColour(x, y);
            if (getpixel(mImage, x, y) != makecol(c.r, c.g, c.b) && iMismatches++ < 5)
            {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is not makecol(" << c.r << ", "
                              << c.g << ", " << c.b << ")";
            }
        }
    }
    EXPECT_EQ(iMismatches, 0);
}

const int kDepths[2] = {32, 16};

// The library's reader gives the known colours for these. Palettes it cuts to 6 bits, and the
// green of 5-5-5 pixels it sends through 6 bits at 32-bit colour: those files are checked
// against their known colours below.
TEST_F(ImageTest, TrueColourBmpsLoadAsLoadBitmapDoes)
{
    std::vector<std::pair<std::string, Bytes>> vFiles = {
        {"rgb24.bmp", makeBmp(BmpOptions())},
        {"rgb32.bmp", makeBmp(bmpOf(32, 0))},
        {"rgb565.bmp", makeBmp(bmpFields(bmpOf(16, 0), 3, 0xF800, 0x7E0, 0x1F))},
        {"os2_rgb24.bmp", makeOs2Bmp(BmpOptions())},
    };
    for (const auto& c : vFiles)
    {
        std::string tPath = write(c.first, c.second);
        for (int iDepth : kDepths)
        {
            SCOPED_TRACE(c.first + " at " + std::to_string(iDepth) + " bits");
            set_color_depth(iDepth);
            std::string tWhy;
            BITMAP* mOurs = imgLoad(tPath, tWhy);
            BITMAP* mLibrary = load_bitmap(tPath.c_str(), NULL);
            EXPECT_TRUE(tWhy.empty()) << tWhy;
            expectSamePixels(mOurs, mLibrary, false);
            if (mOurs != NULL)
            {
                EXPECT_EQ(bitmap_color_depth(mOurs), iDepth);
                EXPECT_TRUE(is_memory_bitmap(mOurs));
                destroy_bitmap(mOurs);
            }
            if (mLibrary != NULL)
            {
                destroy_bitmap(mLibrary);
            }
        }
    }
}

// Loads every file at 32 and 16 bits and compares each pixel with the colour fExpected gives.
void expectFilesLoadAs(const std::vector<std::pair<std::string, std::string>>& vPaths,
                       const std::function<Rgb(size_t, int, int)>& fExpected,
                       const std::vector<std::pair<int, int>>& vSizes)
{
    for (size_t i = 0; i < vPaths.size(); i++)
    {
        for (int iDepth : kDepths)
        {
            SCOPED_TRACE(vPaths[i].first + " at " + std::to_string(iDepth) + " bits");
            set_color_depth(iDepth);
            std::string tWhy;
            BITMAP* mImage = imgLoad(vPaths[i].second, tWhy);
            EXPECT_TRUE(tWhy.empty()) << tWhy;
            expectPicture(
                mImage, [&](int x, int y) { return fExpected(i, x, y); }, vSizes[i].first,
                vSizes[i].second);
            if (mImage != NULL)
            {
                destroy_bitmap(mImage);
            }
        }
    }
}

// Every header size, every depth, palettes at full 8 bits (with light pink at index 1), bit
// fields of odd widths and order (alpha ignored), top-down rows, gaps before the pixel data,
// a header that declares more colours than fit, and indices past the palette (black).
TEST_F(ImageTest, BmpFamiliesGiveExactColours)
{
    std::vector<std::pair<std::string, BmpOptions>> vCases = {
        {"pal8", bmpOf(8, 256)},
        {"pal4", bmpOf(4, 16)},
        {"pal1", bmpOf(1, 2)},
        {"os2_pal8", bmpOf(8, 256, 12)},
        {"os2_pal4", bmpOf(4, 16, 12)},
        {"os2v2_pal4", bmpOf(4, 16, 64)},
        {"rgb555", bmpOf(16, 0)},
        {"v2_rgb444", bmpFields(bmpOf(16, 0, 52), 3, 0xF00, 0xF0, 0xF)},
        {"v3_rgb10", bmpFields(bmpOf(32, 0, 56), 3, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000)},
        {"v4_bgr", bmpFields(bmpOf(32, 0, 108), 3, 0xFF, 0xFF00, 0xFF0000)},
        {"alpha_fields", bmpFields(bmpOf(32, 0), 6, 0xFF00, 0xFF0000, 0xFF000000, 0xFF)},
        {"v5_pal8_gap", bmpWithChange(bmpOf(8, 5, 124), [](BmpOptions& o) { o.iGap = 7; })},
        {"rgb24_gap", bmpWithChange(bmpOf(24, 0), [](BmpOptions& o) { o.iGap = 2; })},
        {"top_down_pal8", bmpWithChange(bmpOf(8, 200), [](BmpOptions& o) { o.bTopDown = true; })},
        {"top_down_rgb24", bmpWithChange(bmpOf(24, 0), [](BmpOptions& o) { o.bTopDown = true; })},
        {"declares_more", bmpWithChange(bmpOf(8, 3), [](BmpOptions& o) { o.iColoursUsed = 200; })},
        {"past_palette", bmpWithChange(bmpOf(4, 3), [](BmpOptions& o) { o.iIndices = 6; })},
    };
    std::vector<std::pair<std::string, std::string>> vPaths;
    for (const auto& c : vCases)
    {
        vPaths.push_back({c.first, write(c.first + ".bmp", makeBmp(c.second))});
    }
    expectFilesLoadAs(
        vPaths, [&](size_t i, int x, int y) { return bmpExpected(vCases[i].second, x, y); },
        std::vector<std::pair<int, int>>(vCases.size(), {kWidth, kHeight}));
}

// RLE8 and RLE4, 5 x 4 pixels, with palette indices (hexadecimal digits, top row first) of the
// picture each stream gives: runs, odd absolute runs with their padding byte, runs over the
// row's padding (as ImageMagick writes them), deltas, and pixels an early end of line or of
// bitmap leaves at entry 0.
struct RleCase
{
    const char* cName;
    int iBits;
    Bytes vStream;
    std::vector<std::string> vIndices;
};

const std::vector<RleCase> kRleCases = {
    {"rle8",
     8,
     {2, 3,  0, 3,  4, 5, 6,  0, 3, 7, 0, 0,  // bottom row
      0, 5,  1, 2,  8, 9, 10, 0, 0, 0,        // next row up
      1, 11, 0, 2,  2, 1,                     // then a delta
      2, 12, 3, 13, 0, 1},                    // early end of bitmap
     {"000cc", "b0000", "1289a", "33456"}},
    {"rle4",
     4,
     {3, 0x45, 0,    5,    0xab, 0xcd, 0xe0, 0,    0, 0,         // bottom row
      0, 3,    0x12, 0x30, 2,    0xf6, 0,    0,                  // next row up
      0, 0,                                                      // an empty row
      0, 2,    1,    0,    4,    0x9c, 3,    0x11, 0, 0, 0, 1},  // delta, runs
     {"09c9c", "00000", "123f6", "454ab"}},
};

BmpOptions rleOptions(int iBits, const Bytes& vStream)
{
    BmpOptions o = bmpOf(iBits, 16);
    o.iWidth = 5;
    o.iHeight = 4;
    o.iCompression = iBits == 8 ? 1 : 2;
    o.vRle = vStream;
    return o;
}

TEST_F(ImageTest, RleBmpsGiveExactColours)
{
    std::vector<std::pair<std::string, std::string>> vPaths;
    for (const RleCase& c : kRleCases)
    {
        vPaths.push_back({c.cName, write(std::string(c.cName) + ".bmp",
                                         makeBmp(rleOptions(c.iBits, c.vStream)))});
    }
    expectFilesLoadAs(
        vPaths,
        [&](size_t i, int x, int y)
        {
            std::string tDigit(1, kRleCases[i].vIndices[y][x]);
            return pictureTable(16)[std::stoi(tDigit, nullptr, 16)];
        },
        std::vector<std::pair<int, int>>(vPaths.size(), {5, 4}));
}

// Streams that would write or move outside the 5 x 4 image (rows hold 8 pixels with their
// padding), and streams cut short, also under a header that claims 16M pixels. The library's
// reader writes out of bounds on the first kind.
TEST_F(ImageTest, RleStreamsLeavingTheImageAreRefused)
{
    std::vector<std::pair<std::string, BmpOptions>> vCases = {
        {"run_past_padding", rleOptions(8, {9, 1, 0, 1})},
        {"rle4_run_past_padding", rleOptions(4, {9, 0x11, 0, 1})},
        {"run_after_padding_run", rleOptions(8, {8, 1, 1, 1, 0, 1})},
        {"absolute_past_padding", rleOptions(8, {4, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1})},
        {"rle4_absolute_past_padding",
         rleOptions(4, {0, 9, 0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 1})},
        {"delta_past_row", rleOptions(8, {0, 2, 9, 0, 0, 1})},
        {"delta_past_image", rleOptions(8, {0, 2, 0, 5, 0, 1})},
        {"delta_into_row_after_last", rleOptions(8, {0, 2, 1, 4, 0, 1})},
        {"run_after_last_row", rleOptions(8, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1})},
        {"line_after_last_row", rleOptions(8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})},
        {"no_end_of_bitmap", rleOptions(8, {5, 1, 0, 0})},
        {"absolute_cut_short", rleOptions(8, {0, 5, 1, 2})},
        {"absolute_padding_missing", rleOptions(8, {0, 3, 1, 2, 3})},
        {"delta_cut_short", rleOptions(8, {0, 2, 1})},
        {"rle8_at_4_bits", bmpWithChange(rleOptions(4, kRleCases[0].vStream),
                                         [](BmpOptions& o) { o.iCompression = 1; })},
        {"huge_cut_short",
         bmpWithChange(rleOptions(8, {0, 0}), [](BmpOptions& o) { o.iWidth = o.iHeight = 4096; })},
    };
    for (const auto& c : vCases)
    {
        std::string tPath = write(c.first + ".bmp", makeBmp(c.second));
        auto tStart = std::chrono::steady_clock::now();
        std::string tWhy = refused(tPath);
        auto iMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - tStart)
                       .count();
        EXPECT_NE(tWhy.find("RLE"), std::string::npos) << c.first << ": " << tWhy;
        EXPECT_LT(iMs, 100) << c.first;  // refused before 16M pixels are made
    }
}

TEST_F(ImageTest, TrueColourBmpKeysMatchMakecol)
{
    BmpOptions o;
    std::string tPath = write("keys.bmp", makeBmp(o));
    for (int iDepth : kDepths)
    {
        set_color_depth(iDepth);
        std::string tWhy;
        BITMAP* mImage = imgLoad(tPath, tWhy);
        ASSERT_NE(mImage, nullptr) << tWhy;
        EXPECT_EQ(getpixel(mImage, 0, 0), makecol(255, 0, 255)) << iDepth;
        EXPECT_EQ(getpixel(mImage, 0, 0), bitmap_mask_color(mImage)) << iDepth;
        EXPECT_EQ(getpixel(mImage, 1, 0), makecol(255, 128, 255)) << iDepth;
        EXPECT_EQ(getpixel(mImage, 2, 0), makecol(0, 0, 255)) << iDepth;
        if (iDepth == 32)
        {
            expectPicture(mImage, pictureColour);
        }
        destroy_bitmap(mImage);
    }
}

TEST_F(ImageTest, PngLayoutsGiveExactColours)
{
    struct Case
    {
        const char* cName;
        PngOptions o;
    };
    std::vector<Case> vCases(8);
    vCases[0].cName = "rgb.png";
    vCases[1].cName = "rgba.png";
    vCases[1].o.iColourType = PNG_COLOR_TYPE_RGB_ALPHA;
    vCases[2].cName = "pal.png";
    vCases[2].o.iColourType = PNG_COLOR_TYPE_PALETTE;
    vCases[2].o.iColours = 200;
    vCases[3].cName = "pal_trns.png";
    vCases[3].o.iColourType = PNG_COLOR_TYPE_PALETTE;
    vCases[3].o.iColours = 16;
    vCases[3].o.iBitDepth = 4;
    vCases[3].o.bTransparency = true;
    vCases[4].cName = "grey.png";
    vCases[4].o.iColourType = PNG_COLOR_TYPE_GRAY;
    vCases[5].cName = "grey_alpha16.png";
    vCases[5].o.iColourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    vCases[5].o.iBitDepth = 16;
    vCases[6].cName = "rgb16.png";
    vCases[6].o.iBitDepth = 16;
    vCases[7].cName = "rgb_interlaced.png";
    vCases[7].o.bInterlaced = true;
    for (const Case& c : vCases)
    {
        Bytes vPng = makePng(c.o);
        ASSERT_FALSE(vPng.empty()) << c.cName;
        std::string tPath = write(c.cName, vPng);
        for (int iDepth : kDepths)
        {
            SCOPED_TRACE(std::string(c.cName) + " at " + std::to_string(iDepth) + " bits");
            set_color_depth(iDepth);
            std::string tWhy;
            BITMAP* mImage = imgLoad(tPath, tWhy);
            EXPECT_TRUE(tWhy.empty()) << tWhy;
            expectPicture(mImage, [&](int x, int y) { return pngExpected(c.o, x, y); });
            if (mImage != NULL)
            {
                EXPECT_EQ(bitmap_color_depth(mImage), iDepth);
                destroy_bitmap(mImage);
            }
        }
    }
}

// The PNG add-on keeps alpha in 32-bit pixels and reads palettes at 6 bits a channel; apart
// from that the pixels are the ones load_bitmap gives.
TEST_F(ImageTest, PngPixelsMatchLoadBitmap)
{
    loadpng_init();
    PngOptions oRgb, oRgba, oGrey, oPalette;
    oRgba.iColourType = PNG_COLOR_TYPE_RGB_ALPHA;
    oGrey.iColourType = PNG_COLOR_TYPE_GRAY;
    oPalette.iColourType = PNG_COLOR_TYPE_PALETTE;
    oPalette.iColours = 1;  // only the mask colour, which 6-bit palettes keep exactly
    std::vector<std::pair<std::string, PngOptions>> vCases = {
        {"rgb.png", oRgb}, {"rgba.png", oRgba}, {"grey.png", oGrey}, {"pal.png", oPalette}};
    for (const auto& c : vCases)
    {
        std::string tPath = write(c.first, makePng(c.second));
        for (int iDepth : kDepths)
        {
            SCOPED_TRACE(c.first + " at " + std::to_string(iDepth) + " bits");
            set_color_depth(iDepth);
            std::string tWhy;
            BITMAP* mOurs = imgLoad(tPath, tWhy);
            BITMAP* mLibrary = load_bitmap(tPath.c_str(), NULL);
            expectSamePixels(mOurs, mLibrary, true);
            destroy_bitmap(mOurs);
            destroy_bitmap(mLibrary);
        }
    }
}

TEST_F(ImageTest, TypeComesFromContentNotName)
{
    std::string tBmpAsPng = write("really_a_bmp.png", makeBmp(BmpOptions()));
    std::string tPngAsBmp = write("really_a_png.bmp", makePng(PngOptions()));
    for (const std::string& tPath : {tBmpAsPng, tPngAsBmp})
    {
        std::string tWhy;
        BITMAP* mImage = imgLoad(tPath, tWhy);
        expectPicture(mImage, pictureColour);
        if (mImage != NULL)
        {
            destroy_bitmap(mImage);
        }
    }
}

TEST_F(ImageTest, UnusableFilesAreRefusedWithAReason)
{
    EXPECT_EQ(refused(tDir + "/missing.bmp"), "file not found");
    EXPECT_EQ(refused(tDir + "/no_dir/missing.bmp"), "file not found");
    EXPECT_NE(refused(tDir).find("directory"), std::string::npos);
    EXPECT_NE(refused("/dev/null").find("not a regular file"), std::string::npos);
    EXPECT_NE(refused(write("empty.bmp", Bytes())).find("empty"), std::string::npos);

    Bytes vNoise;
    for (int i = 0; i < 4000; i++)
    {
        vNoise.push_back((i * 7919 + 13) & 255);
    }
    EXPECT_NE(refused(write("noise.png", vNoise)).find("not a BMP or PNG"), std::string::npos);

    // Larger than the cap; sparse, so nothing is written to disk.
    std::string tHuge = write("huge.bmp", makeBmp(BmpOptions()));
    ASSERT_EQ(truncate(tHuge.c_str(), 65 * 1024 * 1024), 0);
    EXPECT_NE(refused(tHuge).find("64 MiB"), std::string::npos);
}

// A good 24-bit BMP with one header field changed.
Bytes bmpWith(size_t iAt, uint32_t iValue, int iBytes)
{
    Bytes v = makeBmp(BmpOptions());
    for (int b = 0; b < iBytes; b++)
    {
        v[iAt + b] = (iValue >> (8 * b)) & 255;
    }
    return v;
}

// A BMP of the given layout with its compression and masks changed.
Bytes bmpCompressed(int iBits, int iInfoSize, uint32_t iCompression, uint32_t r = 0, uint32_t g = 0,
                    uint32_t b = 0)
{
    return makeBmp(bmpFields(bmpOf(iBits, iBits <= 8 ? 2 : 0, iInfoSize), iCompression, r, g, b));
}

TEST_F(ImageTest, DamagedBmpFilesAreRefused)
{
    Bytes vGood = makeBmp(BmpOptions());
    Bytes vHeaderOnly(vGood.begin(), vGood.begin() + 54);
    Bytes vShort(vGood.begin(), vGood.end() - 1);
    BmpOptions oRle = bmpOf(8, 256);  // uncompressed rows read as RLE8: a run leaves the row
    oRle.iCompression = 1;
    Bytes over16M = bmpWith(18, 8192, 4);
    over16M[22] = 2049 & 255;
    over16M[23] = 2049 >> 8;
    Bytes vMasksCut = bmpCompressed(16, 40, 3, 0xF800, 0x7E0, 0x1F);
    vMasksCut.resize(60);
    std::vector<std::pair<std::string, Bytes>> vCases = {
        {"header_only", vHeaderOnly},
        {"short_pixels", vShort},
        {"tiny", Bytes{'B', 'M', 0, 0}},
        {"rle8", makeBmp(oRle)},
        {"no_palette", makeBmp(bmpOf(8, 0))},
        {"wide", bmpWith(18, 32768, 4)},
        {"tall", bmpWith(22, 32768, 4)},
        {"over_16M", over16M},
        {"zero_width", bmpWith(18, 0, 4)},
        {"header_size_16", bmpWith(14, 16, 4)},
        {"header_108_past_offset", bmpWith(14, 108, 4)},
        {"two_planes", bmpWith(26, 2, 2)},
        {"bits_2", bmpWith(28, 2, 2)},
        {"offset_past_end", bmpWith(10, 100000, 4)},
        {"offset_inside_header", bmpWith(10, 20, 4)},
        {"offset_between_entries", bmpWith(10, 56, 4)},
        {"os2_huffman", bmpCompressed(1, 64, 3)},
        {"os2_rle24", bmpCompressed(24, 64, 4)},
        {"jpeg", bmpCompressed(24, 40, 4)},
        {"png", bmpCompressed(24, 124, 5)},
        {"compression_7", bmpCompressed(24, 40, 7)},
        {"masks_at_24_bits", bmpCompressed(24, 40, 3, 0xFF0000, 0xFF00, 0xFF)},
        {"masks_with_holes", bmpCompressed(16, 40, 3, 0xF00F, 0xF0, 0xF00)},
        {"masks_past_pixel", bmpCompressed(16, 52, 3, 0x1F0000, 0x7E0, 0x1F)},
        {"masks_cut_off", vMasksCut},
    };
    for (const auto& c : vCases)
    {
        std::string tWhy = refused(write(c.first + ".bmp", c.second));
        EXPECT_FALSE(tWhy.empty()) << c.first;
    }
    EXPECT_NE(refused(write("rle.bmp", makeBmp(oRle))).find("RLE"), std::string::npos);
    EXPECT_NE(refused(write("huff.bmp", vCases[16].second)).find("Huffman"), std::string::npos);
    EXPECT_NE(refused(write("jpeg.bmp", vCases[18].second)).find("JPEG"), std::string::npos);
    EXPECT_NE(refused(write("big.bmp", bmpWith(18, 32768, 4))).find("too large"),
              std::string::npos);
}

TEST_F(ImageTest, DamagedPngFilesAreRefused)
{
    Bytes vGood = makePng(PngOptions());
    Bytes vNoEnd(vGood.begin(), vGood.end() - 12);
    Bytes vCut(vGood.begin(), vGood.begin() + (vGood.size() - 12) / 2 + 16);
    Bytes vBadData = vGood;
    vBadData[vBadData.size() - 20] ^= 0x55;  // inside the pixel data, so its checksum fails
    std::vector<std::pair<std::string, Bytes>> vCases = {
        {"no_end", vNoEnd},
        {"cut", vCut},
        {"bad_data", vBadData},
        {"signature_only", Bytes(vGood.begin(), vGood.begin() + 8)},
        {"header_only", pngHeaderOnly(kWidth, kHeight)},
        {"wide", pngHeaderOnly(32768, 1)},
        {"over_16M", pngHeaderOnly(8192, 2049)},
        {"zero_height", pngHeaderOnly(1, 0)},
    };
    for (const auto& c : vCases)
    {
        std::string tWhy = refused(write(c.first + ".png", c.second));
        EXPECT_FALSE(tWhy.empty()) << c.first;
    }
}

TEST_F(ImageTest, LargestAllowedImageLoads)
{
    BmpOptions o;
    o.iBits = 8;
    o.iColours = 2;
    o.iWidth = 8192;
    o.iHeight = 2048;
    std::string tWhy;
    BITMAP* mImage = imgLoad(write("largest.bmp", makeBmp(o)), tWhy);
    ASSERT_NE(mImage, nullptr) << tWhy;
    EXPECT_EQ(mImage->w, 8192);
    EXPECT_EQ(mImage->h, 2048);
    destroy_bitmap(mImage);
}

// Tilesets are found under sys_tPath; these tests point it at their own directory and draw into
// a back buffer of their own.
class ImageTilesetTest : public ImageTest
{
  protected:
    void SetUp() override
    {
        ImageTest::SetUp();
        sys_tPath = tDir + "/";
        std::filesystem::create_directories(sys_tPath + sys_tTilePath);
        map.Clear();
        mBuffer = create_bitmap(640, 480);
        clear_to_color(mBuffer, makecol(10, 20, 30));
    }
    void TearDown() override
    {
        map.Clear();
        destroy_bitmap(mBuffer);
        mBuffer = NULL;
        sys_tPath = "system/";
        ImageTest::TearDown();
    }
    void writeTiles(const std::string& tName, const Bytes& vData)
    {
        write(sys_tTilePath + tName, vData);
    }
};

// A palette tileset of the mask colour, light pink, blue and one more colour: with exact palette
// colours the light pink becomes the mask colour on loading and is not drawn.
TEST_F(ImageTilesetTest, PaletteBmpLightPinkIsTransparent)
{
    BmpOptions o = bmpOf(8, 4);
    o.iWidth = 64;
    o.iHeight = 96;
    writeTiles("001.bmp", makeBmp(o));
    map.LoadTiles("001");
    ASSERT_NE(map.mTiles, nullptr);
    map.iTerrain[0][0][1] = 1;  // tile 1 (x 32..63, y 48..95) drawn at x 0..31, y 16..63
    map.Display(0, 0, 0, 0, false, 0);
    int iPink = 0, iMismatches = 0;
    for (int y = 16; y < 64; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            Rgb c = bmpExpected(o, x + 32, y + 32);
            bool bClear = c.r == 255 && c.g <= 128 && c.b == 255;
            iPink += c.g == 128;
            int iExpected = bClear ? makecol(10, 20, 30) : makecol(c.r, c.g, c.b);
            iMismatches += getpixel(mBuffer, x, y) != iExpected;
        }
    }
    EXPECT_EQ(iPink, 32 * 48 / 4);
    EXPECT_EQ(iMismatches, 0);
}

// A single column of 188 tiles: far below the pixel cap, so it loads as BMP and as PNG.
TEST_F(ImageTilesetTest, TallSingleColumnTilesetsLoad)
{
    BmpOptions oBmp = bmpOf(24, 0);
    PngOptions oPng;
    oBmp.iWidth = oPng.iWidth = 32;
    oBmp.iHeight = oPng.iHeight = 9024;
    writeTiles("tall.bmp", makeBmp(oBmp));
    writeTiles("tall2.png", makePng(oPng));
    for (const char* cName : {"tall", "tall2"})
    {
        map.LoadTiles(cName);
        ASSERT_NE(map.mTiles, nullptr) << cName;
        EXPECT_EQ(map.mTiles->w, 32) << cName;
        EXPECT_EQ(map.mTiles->h, 9024) << cName;
        Rgb c = pictureColour(31, 9023);
        EXPECT_EQ(getpixel(map.mTiles, 31, 9023), makecol(c.r, c.g, c.b)) << cName;
    }
}

TEST_F(ImageTest, RequireEndsWithTheCodeAndNamesTheFile)
{
    // Without a display the library prints its messages on standard output, which the death
    // test does not capture; the child sends it to standard error. A process exit status keeps
    // only the low eight bits of the code.
    std::string tMissing = tDir + "/missing_image.bmp";
    EXPECT_EXIT(
        {
            dup2(2, 1);
            imgRequire(tMissing, 402);
        },
        ::testing::ExitedWithCode(402 & 0xFF),
        "unable to load the image .*missing_image\\.bmp\\.\n\nReason: file not found");
    std::string tBroken = write("broken_image.png", pngHeaderOnly(9000, 9000));
    EXPECT_EXIT(
        {
            dup2(2, 1);
            imgRequire(tBroken, 502);
        },
        ::testing::ExitedWithCode(502 & 0xFF), "broken_image\\.png.*too large");
}

TEST_F(ImageTest, RequireReturnsTheImage)
{
    BITMAP* mImage = imgRequire(write("good.bmp", makeBmp(BmpOptions())), 402);
    expectPicture(mImage, pictureColour);
    destroy_bitmap(mImage);
}

// The files that crash, hang or exhaust memory in the library's readers.
std::vector<std::string> reproFiles()
{
    std::vector<std::string> v;
    DIR* pDir = opendir(TARVENLOFT_TEST_DATA_DIR "/image-repro");
    if (pDir == NULL)
    {
        return {""};
    }
    while (dirent* pEntry = readdir(pDir))
    {
        std::string tName = pEntry->d_name;
        if (tName.size() > 4 &&
            (tName.substr(tName.size() - 4) == ".bmp" || tName.substr(tName.size() - 4) == ".png"))
        {
            v.push_back(tName);
        }
    }
    closedir(pDir);
    std::sort(v.begin(), v.end());
    return v;
}

class ImageReproTest : public ::testing::TestWithParam<std::string>
{
};

struct ReproPicture
{
    int iWidth, iHeight;
    std::function<Rgb(int, int)> fColour;
};

// The two valid files among them, which the library's reader overflows its bitmap on, load with
// their pixels: ImageMagick's RLE8 ramp (red at the top to blue at the bottom, one colour a row,
// each row ending with a run over its padding) and a top-down 24-bit picture.
const std::map<std::string, ReproPicture> kReproValid = {
    {"bmp_rle8_valid_imagemagick_2byte_heap_overflow.bmp",
     {10, 6,
      [](int, int y) {
          return Rgb{255 - 51 * y, 0, 51 * y};
      }}},
    {"bmp_valid_topdown_alloc_size_too_big.bmp",
     {5, 3,
      [](int x, int y) {
          return Rgb{10, 60 * y, 50 * x};
      }}},
};

TEST_P(ImageReproTest, RefusedQuicklyUnlessValid)
{
    if (GetParam().empty())
    {
        GTEST_SKIP() << "no " TARVENLOFT_TEST_DATA_DIR "/image-repro";
    }
    std::string tPath = std::string(TARVENLOFT_TEST_DATA_DIR "/image-repro/") + GetParam();
    auto itValid = kReproValid.find(GetParam());
    for (int iDepth : kDepths)
    {
        set_color_depth(iDepth);
        std::string tWhy;
        auto tStart = std::chrono::steady_clock::now();
        BITMAP* mImage = imgLoad(tPath, tWhy);
        auto iMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - tStart)
                       .count();
        if (itValid != kReproValid.end())
        {
            EXPECT_TRUE(tWhy.empty()) << tWhy;
            const ReproPicture& p = itValid->second;
            expectPicture(mImage, p.fColour, p.iWidth, p.iHeight);
        }
        else
        {
            EXPECT_EQ(mImage, nullptr);
            EXPECT_FALSE(tWhy.empty());
        }
        EXPECT_LT(iMs, 100) << tWhy;
        if (mImage != NULL)
        {
            destroy_bitmap(mImage);
        }
    }
    set_color_depth(32);
}

TEST(ImageReproData, AllFilesPresent)
{
    EXPECT_EQ(reproFiles().size(), 22u);
}

std::string reproTestName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string t = info.param.empty() ? "missing" : info.param;
    for (char& c : t)
    {
        if (!isalnum((unsigned char)c))
        {
            c = '_';
        }
    }
    return t;
}

INSTANTIATE_TEST_SUITE_P(Files, ImageReproTest, ::testing::ValuesIn(reproFiles()), reproTestName);

}  // namespace
