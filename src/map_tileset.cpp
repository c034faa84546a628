/*
 * Tarvenloft - whether a map file's tileset is one the editor can draw
 * with.
 *
 * A map has one tileset, in the map or in a .tsx file beside it, of 32 x 48
 * tiles in two columns without spacing or margin: the layout of the
 * editor's own tilesets, in which terrain value v is the tile in the second
 * column of row v. Any other layout would give the cells other tiles than
 * the editor shows. The tileset's image is not looked at: the editor draws
 * with its own tileset whatever the file names.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_tileset.h"

#include <cstring>

#include "map_layer.h"

// The measures of a tileset, in the map or in a .tsx: only the editor's own layout of tiles
// gives every terrain value the tile id the editor expects.
static bool maptCheckMeasures(pugi::xml_node x, const std::string& tText, const std::string& tFile,
                              std::string& tWhy)
{
    const std::string tWhere = mapdWhere(tText, x, tFile);
    long long iTileW, iTileH, iSpacing, iMargin, iColumns, iImageW;
    if (!mapdNumber(x, "tilewidth", 0, iTileW, tWhere, tWhy) ||
        !mapdNumber(x, "tileheight", 0, iTileH, tWhere, tWhy) ||
        !mapdNumber(x, "spacing", 0, iSpacing, tWhere, tWhy) ||
        !mapdNumber(x, "margin", 0, iMargin, tWhere, tWhy) ||
        !mapdNumber(x, "columns", -1, iColumns, tWhere, tWhy) ||
        !mapdNumber(x.child("image"), "width", -1, iImageW, tWhere, tWhy))
    {
        return false;
    }
    if (iTileW != giTileWidth || iTileH != giTileHeight)
    {
        return mapdFail(tWhy, tWhere,
                        "the tileset's tiles are " + mapdSize(iTileW, iTileH) +
                            " pixels; they must be 32 x 48");
    }
    if (iSpacing != 0)
    {
        return mapdFail(tWhy, tWhere,
                        "the tileset has spacing " + std::to_string(iSpacing) +
                            "; it must have none");
    }
    if (iMargin != 0)
    {
        return mapdFail(tWhy, tWhere,
                        "the tileset has margin " + std::to_string(iMargin) +
                            "; it must have none");
    }
    // Tiled counts the columns from the image when it has one, so both must say 2.
    const long long iImageColumns = iImageW < 0 ? iColumns : iImageW / giTileWidth;
    iColumns = iColumns < 0 ? iImageColumns : iColumns;
    if (iColumns < 0)
    {
        return mapdFail(tWhy, tWhere, "the tileset gives neither its columns nor its image width");
    }
    if (iColumns != 2 || iImageColumns != 2)
    {
        return mapdFail(tWhy, tWhere,
                        "the tileset has " +
                            std::to_string(iColumns != 2 ? iColumns : iImageColumns) +
                            " columns; it must have 2");
    }
    return true;
}

// An external tileset: the .tsx file, relative to the map file's directory.
static bool maptCheckTsx(const std::filesystem::path& tDir, const std::string& tSource,
                         std::string& tWhy)
{
    const std::string tName = mapdQuote(tSource);
    std::string tText;
    if (!mapdLoadFile(tDir / tSource, tText, tWhy))
    {
        return mapdFail(tWhy, "", "cannot read the tileset " + tName + ": " + tWhy);
    }
    pugi::xml_document xTsx;
    if (!mapdParseXml(tText, xTsx, tName, tWhy))
    {
        return false;
    }
    if (std::strcmp(xTsx.document_element().name(), "tileset") != 0)
    {
        return mapdFail(tWhy, "", "the tileset " + tName + " holds no <tileset>");
    }
    return maptCheckMeasures(xTsx.document_element(), tText, tName, tWhy);
}

bool maptCheck(stMapDocument& sDoc, const std::filesystem::path& tDir, bool bTilesetKnown,
               std::string& tWhy)
{
    for (pugi::xml_node x = sDoc.xMap.child("tileset"); x; x = x.next_sibling("tileset"))
    {
        if (sDoc.xTileset)
        {
            return mapdFail(tWhy, mapdWhere(sDoc.tText, x), "a second tileset; a map may have one");
        }
        sDoc.xTileset = x;
    }
    if (!sDoc.xTileset)
    {
        return mapdFail(tWhy, mapdWhere(sDoc.tText, sDoc.xMap), "the map has no tileset");
    }
    const std::string tWhere = mapdWhere(sDoc.tText, sDoc.xTileset);
    long long iFirstGid;
    if (!mapdNumber(sDoc.xTileset, "firstgid", 0, iFirstGid, tWhere, tWhy))
    {
        return false;
    }
    // The highest terrain tile must stay clear of the flag bits.
    if (iFirstGid < 1 || iFirstGid + 2 * giMaxTerrain + 1 >= giLayerFlipFlags >> 3)
    {
        return mapdFail(tWhy, tWhere, "firstgid " + std::to_string(iFirstGid) + " is out of range");
    }
    sDoc.iFirstGid = static_cast<uint32_t>(iFirstGid);
    const std::string tSource = sDoc.xTileset.attribute("source").value();
    if (tSource.empty())
    {
        return maptCheckMeasures(sDoc.xTileset, sDoc.tText, "", tWhy);
    }
    return bTilesetKnown || maptCheckTsx(tDir, tSource, tWhy);
}
