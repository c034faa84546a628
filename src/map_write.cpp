/*
 * Tarvenloft - the map-file writer: the text of a TMX file that holds the
 * editor's cells.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_write.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "map_layer.h"
#include "map_message.h"
#include "map_offsets.h"
#include "text_scan.h"

/* One change to a file's text: the bytes [iFrom, iTo) become tNew. */
struct stMapwEdit
{
    size_t iFrom;
    size_t iTo;
    std::string tNew;
};

bool mapwCheckCells(const tMapCells& iCells, std::string& tWhy)
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                const int v = iCells[l][x][y];
                if (v < 0 || v > giMaxTerrain)
                {
                    return mapmFail(tWhy, "",
                                    "layer " + std::to_string(l + 1) + ", cell " +
                                        std::to_string(x) + "," + std::to_string(y) + " holds " +
                                        std::to_string(v) + "; a map file holds 0 to " +
                                        std::to_string(giMaxTerrain));
                }
            }
        }
    }
    return true;
}

// Layer l's tile ids, row by row.
static std::vector<uint32_t> mapwLayerGids(const tMapCells& iCells, int l, uint32_t iFirstGid)
{
    std::vector<uint32_t> vGids(giLayerCells);
    for (int i = 0; i < giLayerCells; i++)
    {
        vGids[i] = layerGidOf(iCells[l][i % giMapSide][i / giMapSide], iFirstGid);
    }
    return vGids;
}

// The layers a file needs for the map: up to the last one that is not empty.
static int mapwLayersNeeded(const tMapCells& iCells)
{
    for (int l = giTerrainLayers - 1; l >= 0; l--)
    {
        const int* pCell = &iCells[l][0][0];
        if (std::any_of(pCell, pCell + giLayerCells, [](int v) { return v != 0; }))
        {
            return l + 1;
        }
    }
    return 0;
}

// "\r\n" when the file's first line ends so, else "\n".
static std::string mapwNewline(const std::string& tText)
{
    const size_t iBreak = tText.find('\n');
    return iBreak != std::string::npos && iBreak > 0 && tText[iBreak - 1] == '\r' ? "\r\n" : "\n";
}

// Element x's start tag as pugixml writes it, with attribute cName set to tValue.
static std::string mapwStartTag(pugi::xml_node x, const char* cName, const std::string& tValue)
{
    pugi::xml_document xTag;
    pugi::xml_node xCopy = xTag.append_child(x.name());
    for (pugi::xml_attribute a : x.attributes())
    {
        xCopy.append_attribute(a.name()).set_value(a.value());
    }
    pugi::xml_attribute aSet = xCopy.attribute(cName);
    (aSet ? aSet : xCopy.append_attribute(cName)).set_value(tValue.c_str());
    std::ostringstream sOut;
    xTag.save(sOut, "",
              pugi::format_raw | pugi::format_no_declaration | pugi::format_no_empty_element_tags);
    const std::string tTag = sOut.str();
    return tTag.substr(0, tTag.rfind("</"));
}

// The edit that writes the map's layer l into the file's layer l.
static bool mapwEditData(const stMapDocument& sDoc, const tMapCells& iCells, size_t l,
                         const std::string& tNewline, std::vector<stMapwEdit>& vEdits)
{
    const stMapLayer& sLayer = sDoc.vLayers[l];
    const std::vector<uint32_t> vGids = mapwLayerGids(iCells, static_cast<int>(l), sDoc.iFirstGid);
    const size_t iContent = mapoNodeStart(sDoc.tText, sLayer.xData.first_child());
    const size_t iClose = mapoCloseStart(sDoc.tText, sLayer.xData);
    if (iContent == std::string::npos || iClose == std::string::npos || iClose < iContent)
    {
        return false;
    }
    if (sLayer.tEncoding == "csv")
    {
        vEdits.push_back({iContent, iClose, layerEncodeCsv(vGids.data(), tNewline)});
        return true;
    }
    if (sLayer.tEncoding == "base64")
    {
        // The new text keeps the line breaks and indentation the old one had around it.
        const std::string tOld = sDoc.tText.substr(iContent, iClose - iContent);
        const size_t iFirst = scanSkipSpace(tOld, 0);
        const std::string tAfter = tOld.substr(scanTrimEnd(tOld, iFirst, tOld.size()));
        const std::string tNew = layerEncodeBase64(vGids.data(), sLayer.tCompression);
        vEdits.push_back({iContent, iClose, tOld.substr(0, iFirst) + tNew + tAfter});
        return true;
    }
    // One <tile> element per cell: the whole element becomes CSV.
    const size_t iStart = mapoNodeStart(sDoc.tText, sLayer.xData);
    const size_t iEnd = mapoElementEnd(sDoc.tText, sLayer.xData);
    if (iStart == std::string::npos || iEnd == std::string::npos)
    {
        return false;
    }
    const std::string tTag = mapwStartTag(sLayer.xData, "encoding", "csv");
    vEdits.push_back({iStart, iEnd, tTag + layerEncodeCsv(vGids.data(), tNewline) + "</data>"});
    return true;
}

// The line break and indentation just before element x, or "" when x has none.
static std::string mapwIndentOf(const stMapDocument& sDoc, pugi::xml_node x)
{
    const pugi::xml_node xBefore = x.previous_sibling();
    const size_t iStart = mapoNodeStart(sDoc.tText, x);
    const size_t iBefore = xBefore.type() == pugi::node_pcdata ? mapoNodeStart(sDoc.tText, xBefore)
                                                               : std::string::npos;
    if (iStart == std::string::npos || iBefore == std::string::npos || iBefore > iStart)
    {
        return "";
    }
    const std::string tSpace = sDoc.tText.substr(iBefore, iStart - iBefore);
    size_t iBreak = tSpace.rfind('\n');
    if (iBreak == std::string::npos || scanSkipSpace(tSpace, 0) != tSpace.size())
    {
        return "";
    }
    iBreak = iBreak > 0 && tSpace[iBreak - 1] == '\r' ? iBreak - 1 : iBreak;
    return tSpace.substr(iBreak);
}

// The id of a new layer: nextlayerid, or past every layer's id where the file lacks it.
static long long mapwNextLayerId(const stMapDocument& sDoc)
{
    long long iNext = std::max(1ll, sDoc.xMap.attribute("nextlayerid").as_llong(1));
    sDoc.xMap.find_node(
        [&iNext](pugi::xml_node x)
        {
            const std::string tName = x.name();
            if (tName == "layer" || tName == "objectgroup" || tName == "imagelayer" ||
                tName == "group")
            {
                iNext = std::max(iNext, x.attribute("id").as_llong(0) + 1);
            }
            return false;
        });
    return iNext;
}

// The map's layer l as a new CSV <layer> element with the given id, each tag on a line of its
// own after tIndent (a line break and the layer's indentation; "" puts everything on one line).
static std::string mapwLayerText(const tMapCells& iCells, int l, uint32_t iFirstGid, long long iId,
                                 const std::string& tIndent, const std::string& tNewline)
{
    const std::string tInner = tIndent.empty() ? "" : tIndent + " ";
    const std::vector<uint32_t> vGids = mapwLayerGids(iCells, l, iFirstGid);
    return tIndent + "<layer id=\"" + std::to_string(iId) + "\" name=\"Layer " +
           std::to_string(l + 1) + "\" width=\"" + std::to_string(giMapSide) + "\" height=\"" +
           std::to_string(giMapSide) + "\">" + tInner + "<data encoding=\"csv\">" +
           layerEncodeCsv(vGids.data(), tNewline) + "</data>" + tIndent + "</layer>";
}

// The edits that add the tile layers the map has and the file lacks, after its last tile layer
// (or its tileset), and count them in nextlayerid.
static bool mapwAddLayers(const stMapDocument& sDoc, const tMapCells& iCells, int iNeeded,
                          const std::string& tNewline, std::vector<stMapwEdit>& vEdits)
{
    const pugi::xml_node xAfter = sDoc.vLayers.empty() ? sDoc.xTileset : sDoc.vLayers.back().xLayer;
    const size_t iAt = mapoElementEnd(sDoc.tText, xAfter);
    const size_t iMapStart = mapoNodeStart(sDoc.tText, sDoc.xMap);
    const size_t iMapTagEnd = mapoNodeStart(sDoc.tText, sDoc.xMap.first_child());
    if (iAt == std::string::npos || iMapStart == std::string::npos ||
        iMapTagEnd == std::string::npos)
    {
        return false;
    }
    const std::string tIndent = mapwIndentOf(sDoc, xAfter);
    long long iId = mapwNextLayerId(sDoc);
    std::string tNew;
    for (int l = static_cast<int>(sDoc.vLayers.size()); l < iNeeded; l++, iId++)
    {
        tNew += mapwLayerText(iCells, l, sDoc.iFirstGid, iId, tIndent, tNewline);
    }
    vEdits.push_back({iAt, iAt, tNew});
    if (sDoc.xMap.attribute("nextlayerid"))
    {
        const std::string tTag = mapwStartTag(sDoc.xMap, "nextlayerid", std::to_string(iId));
        vEdits.push_back({iMapStart, iMapTagEnd, tTag});
    }
    return true;
}

// A text as an XML attribute value, in double quotes or in cQuote.
static std::string mapwEscape(const std::string& tText, char cQuote = '"')
{
    std::string tOut;
    for (char c : tText)
    {
        switch (c)
        {
        case '&':
            tOut += "&amp;";
            break;
        case '<':
            tOut += "&lt;";
            break;
        case '>':
            tOut += "&gt;";
            break;
        case '"':
            tOut += "&quot;";
            break;
        case '\'':
            tOut += cQuote == '\'' ? "&apos;" : "'";
            break;
        default:
            tOut += c;
        }
    }
    return tOut;
}

// tTarget relative to the directory of tFile, with "/" between names; absolute where no
// relative path leads there (another drive). Symbolic links are taken as they are named.
static std::string mapwRelativePath(const std::string& tTarget, const std::string& tFile)
{
    std::error_code ec;
    const std::filesystem::path tAbsolute =
        std::filesystem::absolute(tTarget, ec).lexically_normal();
    const std::filesystem::path tDir =
        std::filesystem::absolute(tFile, ec).parent_path().lexically_normal();
    if (ec)
    {
        return std::filesystem::path(tTarget).generic_string();
    }
    const std::filesystem::path tRelative = tAbsolute.lexically_relative(tDir);
    return (tRelative.empty() ? tAbsolute : tRelative).generic_string();
}

// The attribute of element x that names another file relative to the map file's folder: a
// tileset's .tsx or image, an image layer's or a tile's image, an object's template, a property
// of the file type; NULL for any other element.
static const char* mapwReferenceOf(pugi::xml_node x)
{
    const std::string tName = x.name();
    if (tName == "tileset" || tName == "image")
    {
        return "source";
    }
    if (tName == "object")
    {
        return "template";
    }
    return tName == "property" && std::string(x.attribute("type").value()) == "file" ? "value"
                                                                                     : NULL;
}

// Whether a reference names its file by itself: from a root ("/", "\\"), or with a drive or
// scheme before its first folder ("C:/", "ext:").
static bool mapwStandsAlone(const std::string& tReference)
{
    const size_t iColon = tReference.find(':');
    return tReference[0] == '/' || tReference[0] == '\\' ||
           (iColon != std::string::npos && iColon < tReference.find_first_of("/\\"));
}

// The edits that name each relative reference of the file from tTo's folder instead of tFrom's,
// where the two differ. False where a reference's value cannot be found in the text.
static bool mapwEditReferences(const stMapDocument& sDoc, const std::string& tFrom,
                               const std::string& tTo, std::vector<stMapwEdit>& vEdits)
{
    std::error_code ec;
    const std::filesystem::path tFromDir =
        std::filesystem::absolute(tFrom, ec).parent_path().lexically_normal();
    if (ec || tFromDir == std::filesystem::absolute(tTo, ec).parent_path().lexically_normal())
    {
        return true;
    }
    bool bFound = true;
    sDoc.xMap.find_node(
        [&](pugi::xml_node x)
        {
            const char* cName = mapwReferenceOf(x);
            const std::string tOld = cName != NULL ? x.attribute(cName).value() : "";
            size_t iFrom, iTo;
            if (tOld.empty() || mapwStandsAlone(tOld))
            {
                return false;
            }
            if (!mapoAttributeValue(sDoc.tText, x, cName, iFrom, iTo))
            {
                bFound = false;
                return true;
            }
            const std::string tNew = mapwRelativePath((tFromDir / tOld).string(), tTo);
            vEdits.push_back({iFrom, iTo, mapwEscape(tNew, sDoc.tText[iFrom - 1])});
            return false;
        });
    return bFound;
}

bool mapwSplice(const stMapDocument& sDoc, const tMapCells& iCells, const std::string& tFrom,
                const std::string& tTo, std::string& tOut)
{
    std::vector<stMapwEdit> vEdits;
    if (!mapwEditReferences(sDoc, tFrom, tTo, vEdits))
    {
        return false;
    }
    const std::string tNewline = mapwNewline(sDoc.tText);
    for (size_t l = 0; l < sDoc.vLayers.size(); l++)
    {
        if (!mapwEditData(sDoc, iCells, l, tNewline, vEdits))
        {
            return false;
        }
    }
    const int iNeeded = mapwLayersNeeded(iCells);
    if (iNeeded > static_cast<int>(sDoc.vLayers.size()) &&
        !mapwAddLayers(sDoc, iCells, iNeeded, tNewline, vEdits))
    {
        return false;
    }
    std::sort(vEdits.begin(), vEdits.end(),
              [](const stMapwEdit& a, const stMapwEdit& b) { return a.iFrom < b.iFrom; });
    size_t iAt = 0;
    for (const stMapwEdit& e : vEdits)
    {
        if (e.iFrom < iAt || e.iTo < e.iFrom || e.iTo > sDoc.tText.size())
        {
            return false;
        }
        tOut.append(sDoc.tText, iAt, e.iFrom - iAt);
        tOut += e.tNew;
        iAt = e.iTo;
    }
    tOut.append(sDoc.tText, iAt, std::string::npos);
    return true;
}

std::string mapwNewText(const std::string& tFile, const tMapCells& iCells)
{
    const bool bLoaded = map.mTiles != NULL && !map.tTilesFile.empty();
    const std::string tImage = bLoaded ? map.tTilesFile : sys_tPath + sys_tTilePath + "001.png";
    const int iW = bLoaded ? map.mTiles->w : 64;
    const int iH = bLoaded ? map.mTiles->h : 1248;
    const int iTileCount = (iW / giTileWidth) * (iH / giTileHeight);
    std::string tText =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" "
        "renderorder=\"right-down\" width=\"" +
        std::to_string(giMapSide) + "\" height=\"" + std::to_string(giMapSide) +
        "\" tilewidth=\"32\" tileheight=\"32\" infinite=\"0\" nextlayerid=\"5\" "
        "nextobjectid=\"1\">\n"
        " <tileset firstgid=\"1\" name=\"001\" tilewidth=\"32\" tileheight=\"48\" tilecount=\"" +
        std::to_string(iTileCount) + "\" columns=\"2\">\n  <image source=\"" +
        mapwEscape(mapwRelativePath(tImage, tFile)) + "\" trans=\"ff00ff\" width=\"" +
        std::to_string(iW) + "\" height=\"" + std::to_string(iH) + "\"/>\n </tileset>";
    for (int l = 0; l < giTerrainLayers; l++)
    {
        tText += mapwLayerText(iCells, l, 1, l + 1, "\n ", "\n");
    }
    return tText + "\n</map>\n";
}
