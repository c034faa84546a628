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
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "map_layer.h"

static uint32_t iMapcGids[giLayerCells];  // one layer's tile ids while it is read

static bool mapcFail(std::string& tWhy, const std::string& tWhere, const std::string& tWhat)
{
    tWhy = tWhere.empty() ? tWhat : tWhere + ": " + tWhat;
    return false;
}

// A whole number, with whitespace around it at most.
static bool mapcParseNumber(const char* cValue, long long& iOut)
{
    char* cEnd = NULL;
    errno = 0;
    iOut = std::strtoll(cValue, &cEnd, 10);
    while (*cEnd == ' ' || *cEnd == '\t' || *cEnd == '\n' || *cEnd == '\r')
    {
        cEnd++;
    }
    return cEnd != cValue && *cEnd == '\0' && errno == 0;
}

// An attribute as a whole number, iDefault when it is missing; false when it is no number.
static bool mapcNumber(pugi::xml_node x, const char* cName, long long iDefault, long long& iOut,
                       const std::string& tWhere, std::string& tWhy)
{
    const pugi::xml_attribute a = x.attribute(cName);
    iOut = iDefault;
    if (a && !mapcParseNumber(a.value(), iOut))
    {
        return mapcFail(tWhy, tWhere,
                        std::string(cName) + "=" + mapdQuote(a.value()) + " is no whole number");
    }
    return true;
}

static std::string mapcSize(long long iW, long long iH)
{
    return std::to_string(iW) + " x " + std::to_string(iH);
}

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
        return mapcFail(tWhy, tWhere,
                        "the map is " + (tOrientation.empty() ? "of no orientation" : tShown) +
                            "; only orthogonal maps can be opened");
    }
    long long iInfinite, iW, iH, iTileW, iTileH;
    if (!mapcNumber(x, "infinite", 0, iInfinite, tWhere, tWhy) ||
        !mapcNumber(x, "width", 0, iW, tWhere, tWhy) ||
        !mapcNumber(x, "height", 0, iH, tWhere, tWhy) ||
        !mapcNumber(x, "tilewidth", 0, iTileW, tWhere, tWhy) ||
        !mapcNumber(x, "tileheight", 0, iTileH, tWhere, tWhy))
    {
        return false;
    }
    if (iInfinite != 0)
    {
        return mapcFail(tWhy, tWhere, "the map is infinite; only fixed-size maps can be opened");
    }
    if (iW != giLayerSide || iH != giLayerSide)
    {
        return mapcFail(tWhy, tWhere,
                        "the map is " + mapcSize(iW, iH) + " cells; it must be 120 x 120");
    }
    if (iTileW != giTileX || iTileH != giTileY)
    {
        return mapcFail(tWhy, tWhere,
                        "the map's cells are " + mapcSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 32");
    }
    return true;
}

// The measures of a tileset, in the map or in a .tsx: only the editor's own layout of tiles
// gives every terrain value the tile id the editor expects.
static bool mapcCheckMeasures(pugi::xml_node x, const std::string& tText, const std::string& tFile,
                              std::string& tWhy)
{
    const std::string tWhere = mapdWhere(tText, x, tFile);
    long long iTileW, iTileH, iSpacing, iMargin, iColumns, iImageW;
    if (!mapcNumber(x, "tilewidth", 0, iTileW, tWhere, tWhy) ||
        !mapcNumber(x, "tileheight", 0, iTileH, tWhere, tWhy) ||
        !mapcNumber(x, "spacing", 0, iSpacing, tWhere, tWhy) ||
        !mapcNumber(x, "margin", 0, iMargin, tWhere, tWhy) ||
        !mapcNumber(x, "columns", -1, iColumns, tWhere, tWhy) ||
        !mapcNumber(x.child("image"), "width", -1, iImageW, tWhere, tWhy))
    {
        return false;
    }
    if (iTileW != giTileWidth || iTileH != giTileHeight)
    {
        return mapcFail(tWhy, tWhere,
                        "the tileset's tiles are " + mapcSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 48");
    }
    if (iSpacing != 0)
    {
        return mapcFail(tWhy, tWhere,
                        "the tileset has spacing " + std::to_string(iSpacing) +
                            "; it must have none");
    }
    if (iMargin != 0)
    {
        return mapcFail(tWhy, tWhere,
                        "the tileset has margin " + std::to_string(iMargin) +
                            "; it must have none");
    }
    // Tiled counts the columns from the image when it has one, so both must say 2.
    const long long iImageColumns = iImageW < 0 ? iColumns : iImageW / giTileWidth;
    iColumns = iColumns < 0 ? iImageColumns : iColumns;
    if (iColumns < 0)
    {
        return mapcFail(tWhy, tWhere, "the tileset gives neither its columns nor its image width");
    }
    if (iColumns != 2 || iImageColumns != 2)
    {
        return mapcFail(tWhy, tWhere,
                        "the tileset has " +
                            std::to_string(iColumns != 2 ? iColumns : iImageColumns) +
                            " columns; it must have 2");
    }
    return true;
}

// An external tileset: the .tsx file, relative to the map file's directory.
static bool mapcCheckTsx(const std::filesystem::path& tDir, const std::string& tSource,
                         std::string& tWhy)
{
    const std::string tName = mapdQuote(tSource);
    std::string tText;
    if (!mapdLoadFile(tDir / tSource, tText, tWhy))
    {
        return mapcFail(tWhy, "", "cannot read the tileset " + tName + ": " + tWhy);
    }
    pugi::xml_document xTsx;
    if (!mapdParseXml(tText, xTsx, tName, tWhy))
    {
        return false;
    }
    if (std::strcmp(xTsx.document_element().name(), "tileset") != 0)
    {
        return mapcFail(tWhy, "", "the tileset " + tName + " holds no <tileset>");
    }
    return mapcCheckMeasures(xTsx.document_element(), tText, tName, tWhy);
}

static bool mapcCheckTileset(stMapDocument& sDoc, const std::filesystem::path& tDir,
                             bool bTilesetKnown, std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.child("tileset"); x; x = x.next_sibling("tileset"))
    {
        if (sDoc.xTileset)
        {
            return mapcFail(tWhy, mapdWhere(sDoc.tText, x), "a second tileset; a map may have one");
        }
        sDoc.xTileset = x;
    }
    if (!sDoc.xTileset)
    {
        return mapcFail(tWhy, mapdWhere(sDoc.tText, sDoc.xMap), "the map has no tileset");
    }
    const std::string tWhere = mapdWhere(sDoc.tText, sDoc.xTileset);
    long long iFirstGid;
    if (!mapcNumber(sDoc.xTileset, "firstgid", 0, iFirstGid, tWhere, tWhy))
    {
        return false;
    }
    // The highest terrain tile must stay clear of the flag bits.
    if (iFirstGid < 1 || iFirstGid + 2 * giLayerMaxTerrain + 1 >= giLayerFlipFlags >> 3)
    {
        return mapcFail(tWhy, tWhere, "firstgid " + std::to_string(iFirstGid) + " is out of range");
    }
    sDoc.iFirstGid = static_cast<uint32_t>(iFirstGid);
    const std::string tSource = sDoc.xTileset.attribute("source").value();
    if (tSource.empty())
    {
        return mapcCheckMeasures(sDoc.xTileset, sDoc.tText, "", tWhy);
    }
    return bTilesetKnown || mapcCheckTsx(tDir, tSource, tWhy);
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
        return mapcFail(tWhy, tWhere, "the unknown encoding " + mapdQuote(sLayer.tEncoding));
    }
    // Tiled ignores a compression on anything but base64.
    if (sLayer.tEncoding == "base64")
    {
        sLayer.tCompression = sLayer.xData.attribute("compression").value();
    }
    const std::string& tC = sLayer.tCompression;
    if (tC == "zstd")
    {
        return mapcFail(tWhy, tWhere, "zstd compression; only zlib and gzip can be read");
    }
    if (tC != "" && tC != "zlib" && tC != "gzip")
    {
        return mapcFail(tWhy, tWhere, "the unknown compression " + mapdQuote(tC));
    }
    return true;
}

static bool mapcCheckLayer(const stMapDocument& sDoc, pugi::xml_node x, std::string& tWhy)
{
    const std::string tWhere = mapdWhere(sDoc.tText, x);
    const std::string tLayer = "layer " + std::to_string(sDoc.vLayers.size() + 1);
    if (sDoc.vLayers.size() == static_cast<size_t>(giTerrainLayers))
    {
        return mapcFail(tWhy, tWhere, "a fifth tile layer; a map may have four");
    }
    long long iW, iH, iX, iY;
    if (!mapcNumber(x, "width", 0, iW, tWhere, tWhy) ||
        !mapcNumber(x, "height", 0, iH, tWhere, tWhy) || !mapcNumber(x, "x", 0, iX, tWhere, tWhy) ||
        !mapcNumber(x, "y", 0, iY, tWhere, tWhy))
    {
        return false;
    }
    if (iW != giLayerSide || iH != giLayerSide)
    {
        return mapcFail(tWhy, tWhere,
                        tLayer + " is " + mapcSize(iW, iH) + " cells; it must be 120 x 120");
    }
    if (iX != 0 || iY != 0)
    {
        return mapcFail(tWhy, tWhere, tLayer + " is moved; it must start at cell 0, 0");
    }
    if (!x.child("data"))
    {
        return mapcFail(tWhy, tWhere, tLayer + " has no <data>");
    }
    return true;
}

static bool mapcFindLayers(stMapDocument& sDoc, std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.first_child(); x; x = x.next_sibling())
    {
        if (std::strcmp(x.name(), "group") == 0 && x.find_node(mapcIsTileLayer))
        {
            return mapcFail(tWhy, mapdWhere(sDoc.tText, x.find_node(mapcIsTileLayer)),
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
        return mapcFail(tWhy, tWhere, std::string("a <") + x.name() + "> in its data");
    }
    if (iCount == giLayerCells)
    {
        return mapcFail(tWhy, tWhere, "more than 14400 <tile> elements");
    }
    return mapcFail(tWhy, tWhere,
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
            (!a || mapcParseNumber(a.value(), iGid)) && iGid >= 0 && iGid <= 0xFFFFFFFFll;
        if (std::strcmp(x.name(), "tile") != 0 || iCount == giLayerCells || !bGid)
        {
            return mapcTileFault(sDoc, x, tLayer, iCount, tWhy);
        }
        iMapcGids[iCount++] = static_cast<uint32_t>(iGid);
    }
    if (iCount < giLayerCells)
    {
        return mapcFail(tWhy, mapdWhere(sDoc.tText, sLayer.xData) + ": " + tLayer,
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
        return mapcFail(tWhy, mapdWhere(sDoc.tText, xOdd) + ": " + tLayer,
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
    return mapcFail(tWhy, "line " + std::to_string(iFaultLine) + ": " + tLayer, tWhy);
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

static bool mapcReadLayers(const stMapDocument& sDoc, int iCells[][120][120], std::string& tWhy)
{
    std::memset(iCells, 0, sizeof(int) * giTerrainLayers * 120 * 120);
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
            const int iX = i % giLayerSide;
            const int iY = i / giLayerSide;
            if (v < 0)
            {
                const std::string tCell = ", cell " + std::to_string(iX) + "," + std::to_string(iY);
                return mapcFail(tWhy,
                                mapcCellWhere(sDoc, sDoc.vLayers[l], i) + ": " + tLayer + tCell,
                                layerWhyNoTerrain(iMapcGids[i], sDoc.iFirstGid));
            }
            iCells[l][iX][iY] = v;
        }
    }
    return true;
}

bool mapcCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, bool bTilesetKnown,
               int iCells[][120][120], std::string& tWhy)
{
    sDoc.xMap = sDoc.xDoc.document_element();
    if (std::strcmp(sDoc.xMap.name(), "map") != 0)
    {
        return mapcFail(tWhy, mapdWhere(sDoc.tText, sDoc.xMap),
                        std::string("no TMX map: it holds a <") + sDoc.xMap.name() + ">");
    }
    return mapcCheckMap(sDoc, tWhy) && mapcCheckTileset(sDoc, tDir, bTilesetKnown, tWhy) &&
           mapcFindLayers(sDoc, tWhy) && mapcReadLayers(sDoc, iCells, tWhy);
}
