/*
 * Tarvenloft tests - TMX map texts, made as Tiled writes them.
 *
 * The map file tests make their input files here, independently of the
 * program's writer: a map of 120 x 120 cells of 32 x 32 pixels with the
 * tileset "001" (32 x 48 tiles in two columns) and tile layers in CSV or
 * base64 (plain, zlib, gzip), laid out as Tiled 1.8 lays them out. Terrain
 * value v is tile id firstgid + 2v + 1, 0 an empty cell.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TESTS_TMX_TEXT_H
#define TARVENLOFT_TESTS_TMX_TEXT_H

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base64.h"

const int iTmxSide = 120;
const int iTmxCells = iTmxSide * iTmxSide;

const std::string tTmxTileset =
    " <tileset firstgid=\"1\" name=\"001\" tilewidth=\"32\" tileheight=\"48\" tilecount=\"52\" "
    "columns=\"2\">\n"
    "  <image source=\"001.png\" trans=\"ff00ff\" width=\"64\" height=\"1248\"/>\n"
    " </tileset>\n";

inline uint32_t tmxGid(int v, uint32_t iFirstGid = 1)
{
    return v == 0 ? 0 : iFirstGid + 2 * static_cast<uint32_t>(v) + 1;
}

/* A layer's tile ids row by row (cell (x, y) at 120 y + x) from the terrain value of each cell. */
inline std::vector<uint32_t> tmxIds(const std::function<int(int, int)>& fTerrain,
                                    uint32_t iFirstGid = 1)
{
    std::vector<uint32_t> vIds(iTmxCells);
    for (int i = 0; i < iTmxCells; i++)
    {
        vIds[i] = tmxGid(fTerrain(i % iTmxSide, i / iTmxSide), iFirstGid);
    }
    return vIds;
}

/* The content of a CSV <data> element as Tiled writes it. */
inline std::string tmxCsv(const std::vector<uint32_t>& vIds)
{
    std::string tText = "\n";
    for (int i = 0; i < iTmxCells; i++)
    {
        tText += std::to_string(vIds[i]) + (i + 1 < iTmxCells ? "," : "");
        tText += i % iTmxSide == iTmxSide - 1 ? "\n" : "";
    }
    return tText;
}

/* zlib's or gzip's deflate data of tRaw. */
inline std::string tmxDeflate(const std::string& tRaw, bool bGzip)
{
    z_stream sZ;
    std::memset(&sZ, 0, sizeof(sZ));
    deflateInit2(&sZ, Z_BEST_COMPRESSION, Z_DEFLATED, bGzip ? 31 : 15, 9, Z_DEFAULT_STRATEGY);
    std::string tOut(deflateBound(&sZ, tRaw.size()), '\0');
    sZ.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(tRaw.data()));
    sZ.avail_in = static_cast<uInt>(tRaw.size());
    sZ.next_out = reinterpret_cast<Bytef*>(&tOut[0]);
    sZ.avail_out = static_cast<uInt>(tOut.size());
    deflate(&sZ, Z_FINISH);
    tOut.resize(sZ.total_out);
    deflateEnd(&sZ);
    return tOut;
}

/* The content of a base64 <data> element ("", "zlib" or "gzip") as Tiled lays it out. */
inline std::string tmxBase64(const std::vector<uint32_t>& vIds, const std::string& tCompression)
{
    std::string tRaw;
    for (uint32_t iId : vIds)
    {
        for (int b = 0; b < 4; b++)
        {
            tRaw += static_cast<char>((iId >> (8 * b)) & 255);
        }
    }
    if (!tCompression.empty())
    {
        tRaw = tmxDeflate(tRaw, tCompression == "gzip");
    }
    const unsigned char* pRaw = reinterpret_cast<const unsigned char*>(tRaw.data());
    return "\n   " + b64Encode(pRaw, tRaw.size()) + "\n  ";
}

/* A tile layer: tAttributes are those of <data> (e.g. " encoding=\"csv\""). */
inline std::string tmxLayer(int iId, const std::string& tAttributes, const std::string& tData)
{
    const std::string tN = std::to_string(iId);
    return " <layer id=\"" + tN + "\" name=\"Layer " + tN +
           "\" width=\"120\" height=\"120\">\n  <data" + tAttributes + ">" + tData +
           "</data>\n </layer>\n";
}

/* A whole map around tBody (tilesets and layers). */
inline std::string tmxMap(const std::string& tBody, int iNextLayerId = 5)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" "
           "renderorder=\"right-down\" width=\"120\" height=\"120\" tilewidth=\"32\" "
           "tileheight=\"32\" infinite=\"0\" nextlayerid=\"" +
           std::to_string(iNextLayerId) + "\" nextobjectid=\"1\">\n" + tBody + "</map>\n";
}

inline std::string tmxReadFile(const std::string& tFile)
{
    std::ifstream sIn(tFile, std::ios::binary);
    std::ostringstream sOut;
    sOut << sIn.rdbuf();
    return sOut.str();
}

/* The text with every <data> element's content left out, for comparing everything else. */
inline std::string tmxOutsideData(const std::string& tText)
{
    std::string tOut;
    size_t iAt = 0;
    for (size_t iOpen = tText.find("<data"); iOpen != std::string::npos;
         iOpen = tText.find("<data", iAt))
    {
        const size_t iClose = tText.find("</data>", iOpen);
        tOut += tText.substr(iAt, iOpen - iAt) + "<data/>";
        iAt = iClose == std::string::npos ? tText.size() : iClose + 7;
    }
    return tOut + tText.substr(std::min(iAt, tText.size()));
}

#endif
