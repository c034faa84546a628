/*
 * Tarvenloft - whether a map file's tileset is one the editor can draw
 * with, and how many tiles it holds.
 *
 * A map has one tileset, in the map or in a .tsx file beside it, of 32 x 48
 * tiles in two columns without spacing or margin: the layout of the
 * editor's own tilesets, in which terrain value v is the tile in the second
 * column of row v. Any other layout would give the cells other tiles than
 * the editor shows. The tileset's image is not looked at: the editor draws
 * with its own tileset whatever the file names.
 *
 * Its tile ids, from firstgid to firstgid + tilecount - 1, must stay below
 * bit 28, where a tile id's flip and rotation flags begin: else a cell of
 * a high terrain value would be written as a flipped tile. Without a
 * tilecount, the tiles are those the image's height gives; never fewer
 * than the highest terrain value needs.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_tileset.h"

#include <algorithm>
#include <cstring>

#include "map_layer.h"
#include "map_message.h"

// The tiles the editor's terrain needs: both columns down to the row of the highest value.
static const long long iMaptTerrainTiles = 2 * giMaxTerrain + 2;

// The tile size, spacing and margin of a tileset, in the map or in a .tsx.
static bool maptCheckTiles(pugi::xml_node x, const std::string& tWhere, std::string& tWhy)
{
    long long iTileW, iTileH, iSpacing, iMargin;
    if (!mapdNumber(x, "tilewidth", 0, iTileW, tWhere, tWhy) ||
        !mapdNumber(x, "tileheight", 0, iTileH, tWhere, tWhy) ||
        !mapdNumber(x, "spacing", 0, iSpacing, tWhere, tWhy) ||
        !mapdNumber(x, "margin", 0, iMargin, tWhere, tWhy))
    {
        return false;
    }
    if (iTileW != giTileWidth || iTileH != giTileHeight)
    {
        return mapmFail(tWhy, tWhere,
                        "the tileset's tiles are " + mapmSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 48");
    }
    if (iSpacing != 0)
    {
        return mapmFail(tWhy, tWhere,
                        "the tileset has spacing " + std::to_string(iSpacing) +
                            "; it must have none");
    }
    if (iMargin != 0)
    {
        return mapmFail(tWhy, tWhere,
                        "the tileset has margin " + std::to_string(iMargin) +
                            "; it must have none");
    }
    return true;
}

// The columns of a tileset: Tiled counts them from the image when it has one, so both must
// say 2.
static bool maptCheckColumns(pugi::xml_node x, const std::string& tWhere, std::string& tWhy)
{
    long long iColumns, iImageW;
    if (!mapdNumber(x, "columns", -1, iColumns, tWhere, tWhy) ||
        !mapdNumber(x.child("image"), "width", -1, iImageW, tWhere, tWhy))
    {
        return false;
    }
    const long long iImageColumns = iImageW < 0 ? iColumns : iImageW / giTileWidth;
    iColumns = iColumns < 0 ? iImageColumns : iColumns;
    if (iColumns < 0)
    {
        return mapmFail(tWhy, tWhere, "the tileset gives neither its columns nor its image width");
    }
    if (iColumns != 2 || iImageColumns != 2)
    {
        return mapmFail(tWhy, tWhere,
                        "the tileset has " +
                            std::to_string(iColumns != 2 ? iColumns : iImageColumns) +
                            " columns; it must have 2");
    }
    return true;
}

// The tiles of a tileset whose layout passed: its tilecount, or else what the image's height
// gives in two columns; at least those the terrain needs.
static bool maptCountTiles(pugi::xml_node x, const std::string& tWhere, long long& iCount,
                           std::string& tWhy)
{
    long long iTileCount, iImageH;
    if (!mapdNumber(x, "tilecount", -1, iTileCount, tWhere, tWhy) ||
        !mapdNumber(x.child("image"), "height", -1, iImageH, tWhere, tWhy))
    {
        return false;
    }
    const long long iImplied = iImageH < 0 ? 0 : 2 * (iImageH / giTileHeight);
    iCount = std::max(iTileCount < 0 ? iImplied : iTileCount, iMaptTerrainTiles);
    return true;
}

// A tileset's element, in the map or in a .tsx (tFile names it, "" for the map): its layout,
// and the tiles it holds.
static bool maptCheckElement(pugi::xml_node x, const std::string& tText, const std::string& tFile,
                             long long& iCount, std::string& tWhy)
{
    const std::string tWhere = mapmWhere(tText, x, tFile);
    return maptCheckTiles(x, tWhere, tWhy) && maptCheckColumns(x, tWhere, tWhy) &&
           maptCountTiles(x, tWhere, iCount, tWhy);
}

// An external tileset: the .tsx file, relative to the map file's directory.
static bool maptCheckTsx(const std::filesystem::path& tDir, const std::string& tSource,
                         long long& iCount, std::string& tWhy)
{
    const std::string tName = mapmQuote(tSource);
    std::string tText;
    if (!mapdLoadFile((tDir / tSource).string(), tText, tWhy))
    {
        return mapmFail(tWhy, "", "cannot read the tileset " + tName + ": " + tWhy);
    }
    pugi::xml_document xTsx;
    if (!mapdParseXml(tText, xTsx, tName, tWhy))
    {
        return false;
    }
    if (std::strcmp(xTsx.document_element().name(), "tileset") != 0)
    {
        return mapmFail(tWhy, "", "the tileset " + tName + " holds no <tileset>");
    }
    return maptCheckElement(xTsx.document_element(), tText, tName, iCount, tWhy);
}

// The one <tileset> of the map.
static bool maptFind(stMapDocument& sDoc, std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.child("tileset"); x; x = x.next_sibling("tileset"))
    {
        if (sDoc.xTileset)
        {
            return mapmFail(tWhy, mapmWhere(sDoc.tText, x), "a second tileset; a map may have one");
        }
        sDoc.xTileset = x;
    }
    return sDoc.xTileset ||
           mapmFail(tWhy, mapmWhere(sDoc.tText, sDoc.xMap), "the map has no tileset");
}

bool maptCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, const stMapDocument* pKnown,
               std::string& tWhy)
{
    if (!maptFind(sDoc, tWhy))
    {
        return false;
    }
    const std::string tWhere = mapmWhere(sDoc.tText, sDoc.xTileset);
    long long iFirstGid;
    if (!mapdNumber(sDoc.xTileset, "firstgid", 0, iFirstGid, tWhere, tWhy))
    {
        return false;
    }
    if (iFirstGid < 1)
    {
        return mapmFail(tWhy, tWhere, "firstgid " + std::to_string(iFirstGid) + " is out of range");
    }
    const std::string tSource = sDoc.xTileset.attribute("source").value();
    long long iCount = pKnown != NULL ? pKnown->iTileCount : iMaptTerrainTiles;
    const bool bMeasured = tSource.empty()
                               ? maptCheckElement(sDoc.xTileset, sDoc.tText, "", iCount, tWhy)
                               : pKnown != NULL || maptCheckTsx(tDir, tSource, iCount, tWhy);
    if (!bMeasured)
    {
        return false;
    }
    // The last tile id, firstgid + count - 1, below the flags; written so that it cannot overflow.
    if (iFirstGid > giLayerMaxGid || iCount > giLayerMaxGid - iFirstGid + 1)
    {
        return mapmFail(tWhy, tWhere,
                        "firstgid " + std::to_string(iFirstGid) + " with " +
                            std::to_string(iCount) + " tiles reaches the flip flags");
    }
    sDoc.iFirstGid = static_cast<uint32_t>(iFirstGid);
    sDoc.iTileCount = iCount;
    return true;
}
