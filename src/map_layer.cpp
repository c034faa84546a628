/*
 * Tarvenloft - the cells of one tile layer in a map file, and how they are
 * written down.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_layer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "base64.h"
#include "map_message.h"
#include "text_scan.h"

static const size_t iLayerBytes = giLayerCells * 4;  // a layer's ids as 4-byte numbers

// The field at tText[iAt], shortened and made printable, for a message.
static std::string layerQuoteField(const std::string& tText, size_t iAt)
{
    iAt = scanSkipSpace(tText, iAt);
    const size_t iEnd = std::min(tText.find_first_of(",\r\n", iAt), tText.size());
    return mapmQuote(tText.substr(iAt, std::min<size_t>(iEnd - iAt, 64)));  // enough to shorten
}

// As Tiled reads CSV: whitespace counts for nothing, an empty field is 0, and the count must be
// exact, so a comma after the last value is one field too many.
bool layerDecodeCsv(const std::string& tText, uint32_t* pGids, std::string& tWhy, size_t& iAt)
{
    int iField = 0;
    uint64_t iValue = 0;
    size_t iFieldAt = 0;
    bool bDigits = false;
    for (size_t i = 0; i <= tText.size(); i++)
    {
        const char c = i < tText.size() ? tText[i] : ',';  // the end closes the last field
        if (scanIsSpace(c))
        {
            continue;
        }
        if (c == ',')
        {
            if (iField == giLayerCells)
            {
                const bool bTrailingComma = i == tText.size() && !bDigits;
                iAt = bTrailingComma ? iFieldAt - 1 : scanSkipSpace(tText, iFieldAt);
                return mapmFail(tWhy, "",
                                bTrailingComma
                                    ? "a comma after the last value"
                                    : "more than " + std::to_string(giLayerCells) + " values");
            }
            pGids[iField++] = static_cast<uint32_t>(iValue);
            iValue = 0;
            bDigits = false;
            iFieldAt = i + 1;
            continue;
        }
        const bool bDigit = c >= '0' && c <= '9';
        iValue = bDigit ? iValue * 10 + static_cast<unsigned>(c - '0') : iValue;
        bDigits = true;
        if (!bDigit || iValue > 0xFFFFFFFFu)
        {
            iAt = i;
            return mapmFail(tWhy, "", layerQuoteField(tText, iFieldAt) + " is no tile id");
        }
    }
    if (iField < giLayerCells)
    {
        iAt = tText.size();
        return mapmFail(tWhy, "",
                        std::to_string(iField) + " values; it must have " +
                            std::to_string(giLayerCells));
    }
    return true;
}

/* What one run of zlib did. */
struct stLayerZ
{
    bool bStarted;  // the stream was set up (it needs memory)
    int iResult;    // inflate's or deflate's answer
    size_t iMade;   // bytes written to the output
    bool bRest;     // input was left over
};

// Runs zlib once over all of tIn into the bytes of tOut: inflating, or deflating at the fastest
// level into a tOut sized here; zlib's format, or gzip's (a gzip header and trailer around the
// deflate data) with bGzip. zlib's default level takes 3.5 ms for a layer of random cells, four
// times as long as the fastest, for files a fifth smaller.
static stLayerZ layerZRun(bool bDeflate, bool bGzip, const std::string& tIn, std::string& tOut)
{
    z_stream sZ;
    std::memset(&sZ, 0, sizeof(sZ));
    const int iBits = bGzip ? 16 + MAX_WBITS : MAX_WBITS;
    const int iInit =
        bDeflate ? deflateInit2(&sZ, Z_BEST_SPEED, Z_DEFLATED, iBits, 8, Z_DEFAULT_STRATEGY)
                 : inflateInit2(&sZ, iBits);
    if (iInit != Z_OK)
    {
        return {false, iInit, 0, true};
    }
    if (bDeflate)
    {
        tOut.assign(deflateBound(&sZ, static_cast<uLong>(tIn.size())) + 32, '\0');
    }
    sZ.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(tIn.data()));
    sZ.avail_in = static_cast<uInt>(tIn.size());
    sZ.next_out = reinterpret_cast<Bytef*>(&tOut[0]);
    sZ.avail_out = static_cast<uInt>(tOut.size());
    const int iResult = bDeflate ? deflate(&sZ, Z_FINISH) : inflate(&sZ, Z_FINISH);
    const stLayerZ sRun = {true, iResult, static_cast<size_t>(sZ.total_out), sZ.avail_in > 0};
    if (bDeflate)
    {
        deflateEnd(&sZ);
    }
    else
    {
        inflateEnd(&sZ);
    }
    return sRun;
}

// Inflates zlib or gzip data into exactly iLayerBytes bytes, and stops as soon as it would make
// more, so that no data can make it use more memory than a layer's.
static bool layerInflate(const std::string& tIn, bool bGzip, std::string& tOut, std::string& tWhy)
{
    tOut.assign(iLayerBytes + 1, '\0');
    const stLayerZ sRun = layerZRun(false, bGzip, tIn, tOut);
    const std::string tKind = bGzip ? "gzip" : "zlib";
    if (!sRun.bStarted)
    {
        return mapmFail(tWhy, "", "no memory to decompress");
    }
    if (sRun.iMade > iLayerBytes)
    {
        return mapmFail(tWhy, "",
                        tKind + " data of more than " + std::to_string(iLayerBytes) + " bytes");
    }
    if (sRun.iResult != Z_STREAM_END || sRun.bRest)
    {
        return mapmFail(
            tWhy, "",
            sRun.iResult == Z_DATA_ERROR
                ? "broken " + tKind + " data"
                : tKind + (sRun.bRest ? " data with bytes after its end" : " data cut short"));
    }
    tOut.resize(sRun.iMade);
    return true;
}

bool layerDecodeBase64(const std::string& tText, const std::string& tCompression, uint32_t* pGids,
                       std::string& tWhy)
{
    std::string tBytes;
    std::string tRaw;
    if (!b64Decode(tText.data(), tText.size(), tBytes, tWhy))
    {
        return mapmFail(tWhy, "", "bad base64: " + tWhy);
    }
    if (!tCompression.empty())
    {
        if (!layerInflate(tBytes, tCompression == "gzip", tRaw, tWhy))
        {
            return false;
        }
        tBytes.swap(tRaw);
    }
    if (tBytes.size() != iLayerBytes)
    {
        return mapmFail(tWhy, "",
                        std::to_string(tBytes.size()) + " bytes of data; it must have " +
                            std::to_string(iLayerBytes));
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(tBytes.data());
    for (int i = 0; i < giLayerCells; i++, p += 4)
    {
        pGids[i] = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    return true;
}

std::string layerEncodeCsv(const uint32_t* pGids, const std::string& tNewline)
{
    std::string tOut = tNewline;
    tOut.reserve(giLayerCells * 4);
    for (int i = 0; i < giLayerCells; i++)
    {
        tOut += std::to_string(pGids[i]);
        if (i + 1 < giLayerCells)
        {
            tOut += ',';
        }
        if ((i + 1) % giMapSide == 0)
        {
            tOut += tNewline;
        }
    }
    return tOut;
}

// Deflates tIn with zlib's header, or gzip's when bGzip; an empty result when memory runs out.
static std::string layerDeflate(const std::string& tIn, bool bGzip)
{
    std::string tOut;
    const stLayerZ sRun = layerZRun(true, bGzip, tIn, tOut);
    tOut.resize(sRun.bStarted && sRun.iResult == Z_STREAM_END ? sRun.iMade : 0);
    return tOut;
}

std::string layerEncodeBase64(const uint32_t* pGids, const std::string& tCompression)
{
    std::string tBytes(iLayerBytes, '\0');
    for (int i = 0; i < giLayerCells; i++)
    {
        for (int b = 0; b < 4; b++)
        {
            tBytes[4 * i + b] = static_cast<char>((pGids[i] >> (8 * b)) & 255);
        }
    }
    if (!tCompression.empty())
    {
        tBytes = layerDeflate(tBytes, tCompression == "gzip");
    }
    return b64Encode(reinterpret_cast<const unsigned char*>(tBytes.data()), tBytes.size());
}

int layerTerrainOf(uint32_t iGid, uint32_t iFirstGid)
{
    if (iGid == 0)
    {
        return 0;
    }
    if ((iGid & giLayerFlipFlags) != 0 || iGid < iFirstGid)
    {
        return -1;
    }
    const uint32_t iLocal = iGid - iFirstGid;
    const bool bTerrainTile = iLocal % 2 == 1 && iLocal >= 3 && iLocal <= 2 * giMaxTerrain + 1;
    return bTerrainTile ? static_cast<int>((iLocal - 1) / 2) : -1;
}

std::string layerWhyNoTerrain(uint32_t iGid, uint32_t iFirstGid)
{
    const std::string tId = "tile id " + std::to_string(iGid);
    if ((iGid & giLayerFlipFlags) != 0)
    {
        return "a flipped or rotated tile";
    }
    if (iGid < iFirstGid)
    {
        return tId + " is below firstgid " + std::to_string(iFirstGid);
    }
    const uint32_t iLocal = iGid - iFirstGid;
    const std::string tWhere = iLocal % 2 == 0 ? "first column"
                               : iLocal < 3    ? "row 0"
                                               : "past row " + std::to_string(giMaxTerrain);
    return tId + " is no terrain (" + tWhere + ")";
}

uint32_t layerGidOf(int iTerrain, uint32_t iFirstGid)
{
    return iTerrain == 0 ? 0 : iFirstGid + 2 * static_cast<uint32_t>(iTerrain) + 1;
}

size_t layerCsvFieldAt(const std::string& tText, int iField)
{
    size_t iAt = 0;
    for (int i = 0; i < iField && iAt != std::string::npos; i++)
    {
        iAt = tText.find(',', iAt);
        iAt = iAt == std::string::npos ? iAt : iAt + 1;
    }
    return iAt == std::string::npos ? tText.size() : scanSkipSpace(tText, iAt);
}
