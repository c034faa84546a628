/*
 * Tarvenloft - whether a map file holds a map the editor can open, and its
 * terrain cells.
 *
 * A map the editor can open is orthogonal and finite, 120 x 120 cells of
 * 32 x 32 pixels, with at most four tile layers straight under <map> and
 * one tileset (in the map or in a .tsx file) of 32 x 48 tiles in two
 * columns without spacing or margin, so that every terrain value has the
 * tile id the editor expects. Nothing else in the file is looked at. Every
 * refusal names the first fault and, where the file has one, its line, so
 * that the user can mend the file; the caller adds the file's name.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_check.h"

#include <algorithm>
#include <cstring>

#include "map_layer.h"
#include "map_tileset.h"

static uint32_t iMapcGids[giLayerCells];  // one layer's tile ids while it is read

static bool mapcCheckMap(const stMapDocument& sDoc, std::string& tWhy)
{
    const pugi::xml_node x = sDoc.xMap;
    const std::string tWhere = mapdWhere(sDoc.tText, x);
    const std::string tOrientation = x.attribute("orientation").value();
    if (tOrientation != "orthogonal")
    {
        // Tiled's own words stand as they are; anything else is quoted and shortened.
        const bool bWord =
            tOrientation.size() <= 16 && std::all_of(tOrientation.begin(), tOrientation.end(),
                                                     [](char c) { return c >= 'a' && c <= 'z'; });
        const std::string tShown = bWord ? tOrientation : mapdQuote(tOrientation);
        return mapdFail(tWhy, tWhere,
                        "the map is " + (tOrientation.empty() ? "of no orientation" : tShown) +
                            "; only orthogonal maps can be opened");
    }
    long long iInfinite, iW, iH, iTileW, iTileH;
    if (!mapdNumber(x, "infinite", 0, iInfinite, tWhere, tWhy) ||
        !mapdNumber(x, "width", 0, iW, tWhere, tWhy) ||
        !mapdNumber(x, "height", 0, iH, tWhere, tWhy) ||
        !mapdNumber(x, "tilewidth", 0, iTileW, tWhere, tWhy) ||
        !mapdNumber(x, "tileheight", 0, iTileH, tWhere, tWhy))
    {
        return false;
    }
    if (iInfinite != 0)
    {
        return mapdFail(tWhy, tWhere, "the map is infinite; only fixed-size maps can be opened");
    }
    if (iW != giMapSide || iH != giMapSide)
    {
        return mapdFail(tWhy, tWhere,
                        "the map is " + mapdSize(iW, iH) + " cells; it must be " +
                            mapdSize(giMapSide, giMapSide));
    }
    if (iTileW != giTileX || iTileH != giTileY)
    {
        return mapdFail(tWhy, tWhere,
                        "the map's cells are " + mapdSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 32");
    }
    return true;
}

static bool mapcIsTileLayer(pugi::xml_node x)
{
    return std::strcmp(x.name(), "layer") == 0;
}

static bool mapcCheckEncoding(const stMapDocument& sDoc, stMapLayer& sLayer, std::string& tWhy)
{
    const std::string tWhere =
        mapdWhere(sDoc.tText, sLayer.xData) + ": layer " + std::to_string(sDoc.vLayers.size() + 1);
    sLayer.tEncoding = sLayer.xData.attribute("encoding").value();
    if (sLayer.tEncoding != "" && sLayer.tEncoding != "csv" && sLayer.tEncoding != "base64")
    {
        return mapdFail(tWhy, tWhere, "the unknown encoding " + mapdQuote(sLayer.tEncoding));
    }
    // Tiled ignores a compression on anything but base64.
    if (sLayer.tEncoding == "base64")
    {
        sLayer.tCompression = sLayer.xData.attribute("compression").value();
    }
    const std::string& tC = sLayer.tCompression;
    if (tC == "zstd")
    {
        return mapdFail(tWhy, tWhere, "zstd compression; only zlib and gzip can be read");
    }
    if (tC != "" && tC != "zlib" && tC != "gzip")
    {
        return mapdFail(tWhy, tWhere, "the unknown compression " + mapdQuote(tC));
    }
    return true;
}

static bool mapcCheckLayer(const stMapDocument& sDoc, pugi::xml_node x, std::string& tWhy)
{
    const std::string tWhere = mapdWhere(sDoc.tText, x);
    const std::string tLayer = "layer " + std::to_string(sDoc.vLayers.size() + 1);
    if (sDoc.vLayers.size() == static_cast<size_t>(giTerrainLayers))
    {
        return mapdFail(tWhy, tWhere, "a fifth tile layer; a map may have four");
    }
    long long iW, iH, iX, iY;
    if (!mapdNumber(x, "width", 0, iW, tWhere, tWhy) ||
        !mapdNumber(x, "height", 0, iH, tWhere, tWhy) || !mapdNumber(x, "x", 0, iX, tWhere, tWhy) ||
        !mapdNumber(x, "y", 0, iY, tWhere, tWhy))
    {
        return false;
    }
    if (iW != giMapSide || iH != giMapSide)
    {
        return mapdFail(tWhy, tWhere,
                        tLayer + " is " + mapdSize(iW, iH) + " cells; it must be " +
                            mapdSize(giMapSide, giMapSide));
    }
    if (iX != 0 || iY != 0)
    {
        return mapdFail(tWhy, tWhere, tLayer + " is moved; it must start at cell 0, 0");
    }
    if (!x.child("data"))
    {
        return mapdFail(tWhy, tWhere, tLayer + " has no <data>");
    }
    return true;
}

static bool mapcFindLayers(stMapDocument& sDoc, std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.first_child(); x; x = x.next_sibling())
    {
        if (std::strcmp(x.name(), "group") == 0 && x.find_node(mapcIsTileLayer))
        {
            return mapdFail(tWhy, mapdWhere(sDoc.tText, x.find_node(mapcIsTileLayer)),
                            "a tile layer in a group layer; tile layers must be in <map>");
        }
        if (!mapcIsTileLayer(x))
        {
            continue;
        }
        if (!mapcCheckLayer(sDoc, x, tWhy))
        {
            return false;
        }
        stMapLayer sLayer;
        sLayer.xLayer = x;
        sLayer.xData = x.child("data");
        if (!mapcCheckEncoding(sDoc, sLayer, tWhy))
        {
            return false;
        }
        sDoc.vLayers.push_back(sLayer);
    }
    return true;
}

// The text of a <data> element and the place in the file where it starts; false, with the
// element in xOdd, when the data holds an element.
static bool mapcDataText(pugi::xml_node xData, std::string& tText, ptrdiff_t& iAt,
                         pugi::xml_node& xOdd)
{
    tText.clear();
    iAt = xData.offset_debug();
    for (pugi::xml_node x = xData.first_child(); x; x = x.next_sibling())
    {
        if (x.type() == pugi::node_element)
        {
            xOdd = x;
            return false;
        }
        if (x.type() == pugi::node_pcdata || x.type() == pugi::node_cdata)
        {
            iAt = tText.empty() ? x.offset_debug() : iAt;
            tText += x.value();
        }
    }
    return true;
}

// Why a <tile> element cannot be read: it is something else, one too many, or its gid is no id.
static bool mapcTileFault(const stMapDocument& sDoc, pugi::xml_node x, const std::string& tLayer,
                          int iCount, std::string& tWhy)
{
    const std::string tWhere = mapdWhere(sDoc.tText, x) + ": " + tLayer;
    if (std::strcmp(x.name(), "tile") != 0)
    {
        return mapdFail(tWhy, tWhere, std::string("a <") + x.name() + "> in its data");
    }
    if (iCount == giLayerCells)
    {
        return mapdFail(tWhy, tWhere, "more than 14400 <tile> elements");
    }
    return mapdFail(tWhy, tWhere,
                    "gid=" + mapdQuote(x.attribute("gid").value()) + " is no tile id");
}

// The old form: one <tile gid="..."/> per cell, a missing gid being an empty cell. The line of a
// fault is looked for only when there is one, since counting lines for every tile would take
// time that grows with the square of the file.
static bool mapcReadTiles(const stMapDocument& sDoc, const stMapLayer& sLayer,
                          const std::string& tLayer, std::string& tWhy)
{
    int iCount = 0;
    for (pugi::xml_node x = sLayer.xData.first_child(); x; x = x.next_sibling())
    {
        if (x.type() != pugi::node_element)
        {
            continue;
        }
        long long iGid = 0;
        const pugi::xml_attribute a = x.attribute("gid");
        const bool bGid =
            (!a || mapdParseNumber(a.value(), iGid)) && iGid >= 0 && iGid <= 0xFFFFFFFFll;
        if (std::strcmp(x.name(), "tile") != 0 || iCount == giLayerCells || !bGid)
        {
            return mapcTileFault(sDoc, x, tLayer, iCount, tWhy);
        }
        iMapcGids[iCount++] = static_cast<uint32_t>(iGid);
    }
    if (iCount < giLayerCells)
    {
        return mapdFail(tWhy, mapdWhere(sDoc.tText, sLayer.xData) + ": " + tLayer,
                        std::to_string(iCount) + " <tile> elements; it must have 14400");
    }
    return true;
}

// One layer's tile ids into iMapcGids.
static bool mapcReadGids(const stMapDocument& sDoc, const stMapLayer& sLayer,
                         const std::string& tLayer, std::string& tWhy)
{
    if (sLayer.tEncoding.empty())
    {
        return mapcReadTiles(sDoc, sLayer, tLayer, tWhy);
    }
    std::string tText;
    ptrdiff_t iAt;
    pugi::xml_node xOdd;
    if (!mapcDataText(sLayer.xData, tText, iAt, xOdd))
    {
        return mapdFail(tWhy, mapdWhere(sDoc.tText, xOdd) + ": " + tLayer,
                        std::string("a <") + xOdd.name() + "> in its data");
    }
    size_t iFault = 0;
    const bool bRead = sLayer.tEncoding == "csv"
                           ? layerDecodeCsv(tText, iMapcGids, tWhy, iFault)
                           : layerDecodeBase64(tText, sLayer.tCompression, iMapcGids, tWhy);
    if (bRead)
    {
        return true;
    }
    const int iLine = mapdLine(sDoc.tText, static_cast<size_t>(std::max<ptrdiff_t>(iAt, 0)));
    const int iFaultLine = iLine + mapdLine(tText, iFault) - 1;
    return mapdFail(tWhy, "line " + std::to_string(iFaultLine) + ": " + tLayer, tWhy);
}

// The line of one cell's tile id, for a message.
static std::string mapcCellWhere(const stMapDocument& sDoc, const stMapLayer& sLayer, int iCell)
{
    if (sLayer.tEncoding.empty())
    {
        pugi::xml_node x = sLayer.xData.child("tile");
        for (int i = 0; i < iCell; i++)
        {
            x = x.next_sibling("tile");
        }
        return mapdWhere(sDoc.tText, x);
    }
    std::string tText;
    ptrdiff_t iAt;
    pugi::xml_node xOdd;
    mapcDataText(sLayer.xData, tText, iAt, xOdd);
    const size_t iField = sLayer.tEncoding == "csv" ? layerCsvFieldAt(tText, iCell) : 0;
    const int iLine = mapdLine(sDoc.tText, static_cast<size_t>(std::max<ptrdiff_t>(iAt, 0)));
    return "line " + std::to_string(iLine + mapdLine(tText, iField) - 1);
}

static bool mapcReadLayers(const stMapDocument& sDoc, int iCells[][giMapSide][giMapSide],
                           std::string& tWhy)
{
    std::memset(iCells, 0, sizeof(int) * giTerrainLayers * giLayerCells);
    for (size_t l = 0; l < sDoc.vLayers.size(); l++)
    {
        const std::string tLayer = "layer " + std::to_string(l + 1);
        if (!mapcReadGids(sDoc, sDoc.vLayers[l], tLayer, tWhy))
        {
            return false;
        }
        for (int i = 0; i < giLayerCells; i++)
        {
            const int v = layerTerrainOf(iMapcGids[i], sDoc.iFirstGid);
            const int iX = i % giMapSide;
            const int iY = i / giMapSide;
            if (v < 0)
            {
                const std::string tCell = ", cell " + std::to_string(iX) + "," + std::to_string(iY);
                return mapdFail(tWhy,
                                mapcCellWhere(sDoc, sDoc.vLayers[l], i) + ": " + tLayer + tCell,
                                layerWhyNoTerrain(iMapcGids[i], sDoc.iFirstGid));
            }
            iCells[l][iX][iY] = v;
        }
    }
    return true;
}

bool mapcCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, bool bTilesetKnown,
               int iCells[][giMapSide][giMapSide], std::string& tWhy)
{
    sDoc.xMap = sDoc.xDoc.document_element();
    if (std::strcmp(sDoc.xMap.name(), "map") != 0)
    {
        return mapdFail(tWhy, mapdWhere(sDoc.tText, sDoc.xMap),
                        std::string("no TMX map: it holds a <") + sDoc.xMap.name() + ">");
    }
    return mapcCheckMap(sDoc, tWhy) && maptCheck(sDoc, tDir, bTilesetKnown, tWhy) &&
           mapcFindLayers(sDoc, tWhy) && mapcReadLayers(sDoc, iCells, tWhy);
}
