/*
 * Tarvenloft - the map-file reader: a TMX file read, checked and turned into
 * terrain cells.
 *
 * Reading runs down through the rooms: the file and its XML
 * (map_document.cpp), the map's measures and its layers (here), the
 * tileset (map_tileset.cpp), each layer's tile ids (map_layer.cpp, with
 * base64.cpp), and the cells. Every refusal goes through map_message.cpp.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_read.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "map_layer.h"
#include "map_message.h"
#include "map_tileset.h"

typedef std::vector<uint32_t> tMaprGids;  // one layer's tile ids, row by row

static bool maprCheckMap(const stMapDocument& sDoc, std::string& tWhy)
{
    const pugi::xml_node x = sDoc.xMap;
    const std::string tWhere = mapmWhere(sDoc.tText, x);
    const std::string tOrientation = x.attribute("orientation").value();
    if (tOrientation != "orthogonal")
    {
        // Tiled's own words stand as they are; anything else is quoted and shortened.
        const bool bWord =
            tOrientation.size() <= 16 && std::all_of(tOrientation.begin(), tOrientation.end(),
                                                     [](char c) { return c >= 'a' && c <= 'z'; });
        const std::string tShown = bWord ? tOrientation : mapmQuote(tOrientation);
        return mapmFail(tWhy, tWhere,
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
        return mapmFail(tWhy, tWhere, "the map is infinite; only fixed-size maps can be opened");
    }
    if (iW != giMapSide || iH != giMapSide)
    {
        return mapmFail(tWhy, tWhere,
                        "the map is " + mapmSize(iW, iH) + " cells; it must be " +
                            mapmSize(giMapSide, giMapSide));
    }
    if (iTileW != giTileX || iTileH != giTileY)
    {
        return mapmFail(tWhy, tWhere,
                        "the map's cells are " + mapmSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 32");
    }
    return true;
}

static bool maprIsTileLayer(pugi::xml_node x)
{
    return std::strcmp(x.name(), "layer") == 0;
}

static bool maprCheckEncoding(const stMapDocument& sDoc, stMapLayer& sLayer, std::string& tWhy)
{
    const std::string tWhere =
        mapmWhere(sDoc.tText, sLayer.xData) + ": layer " + std::to_string(sDoc.vLayers.size() + 1);
    sLayer.tEncoding = sLayer.xData.attribute("encoding").value();
    if (sLayer.tEncoding != "" && sLayer.tEncoding != "csv" && sLayer.tEncoding != "base64")
    {
        return mapmFail(tWhy, tWhere, "the unknown encoding " + mapmQuote(sLayer.tEncoding));
    }
    // Tiled ignores a compression on anything but base64.
    if (sLayer.tEncoding == "base64")
    {
        sLayer.tCompression = sLayer.xData.attribute("compression").value();
    }
    const std::string& tC = sLayer.tCompression;
    if (tC == "zstd")
    {
        return mapmFail(tWhy, tWhere, "zstd compression; only zlib and gzip can be read");
    }
    if (tC != "" && tC != "zlib" && tC != "gzip")
    {
        return mapmFail(tWhy, tWhere, "the unknown compression " + mapmQuote(tC));
    }
    return true;
}

static bool maprCheckLayer(const stMapDocument& sDoc, pugi::xml_node x, std::string& tWhy)
{
    const std::string tWhere = mapmWhere(sDoc.tText, x);
    const std::string tLayer = "layer " + std::to_string(sDoc.vLayers.size() + 1);
    if (sDoc.vLayers.size() == static_cast<size_t>(giTerrainLayers))
    {
        return mapmFail(tWhy, tWhere, "a fifth tile layer; a map may have four");
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
        return mapmFail(tWhy, tWhere,
                        tLayer + " is " + mapmSize(iW, iH) + " cells; it must be " +
                            mapmSize(giMapSide, giMapSide));
    }
    if (iX != 0 || iY != 0)
    {
        return mapmFail(tWhy, tWhere, tLayer + " is moved; it must start at cell 0, 0");
    }
    if (!x.child("data"))
    {
        return mapmFail(tWhy, tWhere, tLayer + " has no <data>");
    }
    return true;
}

static bool maprFindLayers(stMapDocument& sDoc, std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.first_child(); x; x = x.next_sibling())
    {
        if (std::strcmp(x.name(), "group") == 0 && x.find_node(maprIsTileLayer))
        {
            return mapmFail(tWhy, mapmWhere(sDoc.tText, x.find_node(maprIsTileLayer)),
                            "a tile layer in a group layer; tile layers must be in <map>");
        }
        if (!maprIsTileLayer(x))
        {
            continue;
        }
        if (!maprCheckLayer(sDoc, x, tWhy))
        {
            return false;
        }
        stMapLayer sLayer;
        sLayer.xLayer = x;
        sLayer.xData = x.child("data");
        if (!maprCheckEncoding(sDoc, sLayer, tWhy))
        {
            return false;
        }
        sDoc.vLayers.push_back(sLayer);
    }
    return true;
}

// The text of a <data> element and the place in the file where it starts; false, with the
// element in xOdd, when the data holds an element.
static bool maprDataText(pugi::xml_node xData, std::string& tText, ptrdiff_t& iAt,
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
static bool maprTileFault(const stMapDocument& sDoc, pugi::xml_node x, const std::string& tLayer,
                          int iCount, std::string& tWhy)
{
    const std::string tWhere = mapmWhere(sDoc.tText, x) + ": " + tLayer;
    if (std::strcmp(x.name(), "tile") != 0)
    {
        return mapmFail(tWhy, tWhere, std::string("a <") + x.name() + "> in its data");
    }
    if (iCount == giLayerCells)
    {
        return mapmFail(tWhy, tWhere,
                        "more than " + std::to_string(giLayerCells) + " <tile> elements");
    }
    return mapmFail(tWhy, tWhere,
                    "gid=" + mapmQuote(x.attribute("gid").value()) + " is no tile id");
}

// The old form: one <tile gid="..."/> per cell, a missing gid being an empty cell. The line of a
// fault is looked for only when there is one, since counting lines for every tile would take
// time that grows with the square of the file.
static bool maprReadTiles(const stMapDocument& sDoc, const stMapLayer& sLayer,
                          const std::string& tLayer, tMaprGids& vGids, std::string& tWhy)
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
            return maprTileFault(sDoc, x, tLayer, iCount, tWhy);
        }
        vGids[iCount++] = static_cast<uint32_t>(iGid);
    }
    if (iCount < giLayerCells)
    {
        return mapmFail(tWhy, mapmWhere(sDoc.tText, sLayer.xData) + ": " + tLayer,
                        std::to_string(iCount) + " <tile> elements; it must have " +
                            std::to_string(giLayerCells));
    }
    return true;
}

// One layer's tile ids into vGids.
static bool maprReadGids(const stMapDocument& sDoc, const stMapLayer& sLayer,
                         const std::string& tLayer, tMaprGids& vGids, std::string& tWhy)
{
    if (sLayer.tEncoding.empty())
    {
        return maprReadTiles(sDoc, sLayer, tLayer, vGids, tWhy);
    }
    std::string tText;
    ptrdiff_t iAt;
    pugi::xml_node xOdd;
    if (!maprDataText(sLayer.xData, tText, iAt, xOdd))
    {
        return mapmFail(tWhy, mapmWhere(sDoc.tText, xOdd) + ": " + tLayer,
                        std::string("a <") + xOdd.name() + "> in its data");
    }
    size_t iFault = 0;
    const bool bRead = sLayer.tEncoding == "csv"
                           ? layerDecodeCsv(tText, vGids.data(), tWhy, iFault)
                           : layerDecodeBase64(tText, sLayer.tCompression, vGids.data(), tWhy);
    if (bRead)
    {
        return true;
    }
    const int iLine = mapmLine(sDoc.tText, static_cast<size_t>(std::max<ptrdiff_t>(iAt, 0)));
    const int iFaultLine = iLine + mapmLine(tText, iFault) - 1;
    return mapmFail(tWhy, "line " + std::to_string(iFaultLine) + ": " + tLayer, tWhy);
}

// The line of one cell's tile id, for a message.
static std::string maprCellWhere(const stMapDocument& sDoc, const stMapLayer& sLayer, int iCell)
{
    if (sLayer.tEncoding.empty())
    {
        pugi::xml_node x = sLayer.xData.child("tile");
        for (int i = 0; i < iCell; i++)
        {
            x = x.next_sibling("tile");
        }
        return mapmWhere(sDoc.tText, x);
    }
    std::string tText;
    ptrdiff_t iAt;
    pugi::xml_node xOdd;
    maprDataText(sLayer.xData, tText, iAt, xOdd);
    const size_t iField = sLayer.tEncoding == "csv" ? layerCsvFieldAt(tText, iCell) : 0;
    const int iLine = mapmLine(sDoc.tText, static_cast<size_t>(std::max<ptrdiff_t>(iAt, 0)));
    return "line " + std::to_string(iLine + mapmLine(tText, iField) - 1);
}

// Every layer's cells into sDoc.iCells; the layers the file lacks are empty.
static bool maprReadLayers(stMapDocument& sDoc, std::string& tWhy)
{
    std::memset(sDoc.iCells, 0, sizeof(sDoc.iCells));
    tMaprGids vGids(giLayerCells);
    for (size_t l = 0; l < sDoc.vLayers.size(); l++)
    {
        const std::string tLayer = "layer " + std::to_string(l + 1);
        if (!maprReadGids(sDoc, sDoc.vLayers[l], tLayer, vGids, tWhy))
        {
            return false;
        }
        for (int i = 0; i < giLayerCells; i++)
        {
            const int v = layerTerrainOf(vGids[i], sDoc.iFirstGid);
            const int iX = i % giMapSide;
            const int iY = i / giMapSide;
            if (v < 0)
            {
                const std::string tCell = ", cell " + std::to_string(iX) + "," + std::to_string(iY);
                return mapmFail(tWhy,
                                maprCellWhere(sDoc, sDoc.vLayers[l], i) + ": " + tLayer + tCell,
                                layerWhyNoTerrain(vGids[i], sDoc.iFirstGid));
            }
            sDoc.iCells[l][iX][iY] = v;
        }
    }
    return true;
}

std::unique_ptr<stMapDocument> maprText(std::string tText, const std::string& tFile,
                                        const stMapDocument* pKnown, std::string& tWhy)
{
    std::unique_ptr<stMapDocument> pDoc(new stMapDocument);
    stMapDocument& sDoc = *pDoc;
    sDoc.tText = std::move(tText);
    if (!mapdParseXml(sDoc.tText, sDoc.xDoc, "", tWhy))
    {
        return NULL;
    }
    sDoc.xMap = sDoc.xDoc.document_element();
    if (std::strcmp(sDoc.xMap.name(), "map") != 0)
    {
        mapmFail(tWhy, mapmWhere(sDoc.tText, sDoc.xMap),
                 std::string("no TMX map: it holds a <") + sDoc.xMap.name() + ">");
        return NULL;
    }
    const std::filesystem::path tDir = std::filesystem::path(tFile).parent_path();
    const bool bRead = maprCheckMap(sDoc, tWhy) && maptCheck(sDoc, tDir, pKnown, tWhy) &&
                       maprFindLayers(sDoc, tWhy) && maprReadLayers(sDoc, tWhy);
    if (!bRead)
    {
        return NULL;
    }
    return pDoc;
}

std::unique_ptr<stMapDocument> maprFile(const std::string& tFile, std::string& tWhy)
{
    std::string tText;
    if (!mapdLoadFile(tFile, tText, tWhy))
    {
        mapmFail(tWhy, "", "cannot read the file: " + tWhy);
        return NULL;
    }
    return maprText(std::move(tText), tFile, NULL, tWhy);
}
