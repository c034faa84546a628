/*
 * Tarvenloft - the map file: the editor's map kept in a TMX file, as Tiled
 * reads and writes it.
 *
 * An open file is written back by changing its text in a few places: the
 * content of each tile layer's <data> (or the whole element, where the old
 * one-<tile>-per-cell form becomes CSV), new layers after the last one,
 * and nextlayerid in the <map> tag when layers are added. Every other byte
 * stays. What is about to be written is read back and checked first, so
 * that no save can make a file that the editor itself would refuse.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "map_check.h"
#include "map_document.h"
#include "map_layer.h"
#include "platform.h"

/* One change to a file's text: the bytes [iFrom, iTo) become tNew. */
struct stMapfEdit
{
    size_t iFrom;
    size_t iTo;
    std::string tNew;
};

static std::unique_ptr<stMapDocument> pMapfOpen;  // the open file, or null
static int iMapfSaved[giTerrainLayers][giMapSide]
                     [giMapSide];  // the cells as the file on disk holds them
static int iMapfCells[giTerrainLayers][giMapSide]
                     [giMapSide];         // a document's cells while it is checked
static uint32_t iMapfGids[giLayerCells];  // one layer's tile ids while it is written

// Parses and checks the text of tFile; null, with the reason in tWhy, when it is no map to open.
static std::unique_ptr<stMapDocument> mapfParse(std::string tText, const std::string& tFile,
                                                bool bTilesetKnown, std::string& tWhy)
{
    std::unique_ptr<stMapDocument> pDoc(new stMapDocument);
    pDoc->tText = std::move(tText);
    const std::filesystem::path tDir = std::filesystem::path(tFile).parent_path();
    if (!mapdParseXml(pDoc->tText, pDoc->xDoc, "", tWhy) ||
        !mapcCheck(*pDoc, tDir, bTilesetKnown, iMapfCells, tWhy))
    {
        return NULL;
    }
    return pDoc;
}

bool mapfRead(const std::string& tFile, std::string& tWhy)
{
    std::string tText;
    if (!mapdLoadFile(tFile, tText, tWhy))
    {
        tWhy = "cannot read the file: " + tWhy;
        return false;
    }
    std::unique_ptr<stMapDocument> pDoc = mapfParse(std::move(tText), tFile, false, tWhy);
    if (!pDoc)
    {
        return false;
    }
    std::memcpy(map.iTerrain, iMapfCells, sizeof(map.iTerrain));
    std::memcpy(iMapfSaved, iMapfCells, sizeof(iMapfSaved));
    pMapfOpen = std::move(pDoc);
    return true;
}

static bool mapfCheckCells(std::string& tWhy)
{
    for (int l = 0; l < giTerrainLayers; l++)
    {
        for (int x = 0; x < giMapSide; x++)
        {
            for (int y = 0; y < giMapSide; y++)
            {
                const int v = map.iTerrain[l][x][y];
                if (v < 0 || v > giMaxTerrain)
                {
                    tWhy = "layer " + std::to_string(l + 1) + ", cell " + std::to_string(x) + "," +
                           std::to_string(y) + " holds " + std::to_string(v) +
                           "; a map file holds 0 to " + std::to_string(giMaxTerrain);
                    return false;
                }
            }
        }
    }
    return true;
}

// Layer l's tile ids, row by row, into iMapfGids.
static void mapfLayerGids(int l, uint32_t iFirstGid)
{
    for (int i = 0; i < giLayerCells; i++)
    {
        iMapfGids[i] = layerGidOf(map.iTerrain[l][i % giMapSide][i / giMapSide], iFirstGid);
    }
}

// The layers a file needs for the map: up to the last one that is not empty.
static int mapfLayersNeeded()
{
    for (int l = giTerrainLayers - 1; l >= 0; l--)
    {
        const int* pCell = &map.iTerrain[l][0][0];
        if (std::any_of(pCell, pCell + giLayerCells, [](int v) { return v != 0; }))
        {
            return l + 1;
        }
    }
    return 0;
}

// "\r\n" when the file's first line ends so, else "\n".
static std::string mapfNewline(const std::string& tText)
{
    const size_t iBreak = tText.find('\n');
    return iBreak != std::string::npos && iBreak > 0 && tText[iBreak - 1] == '\r' ? "\r\n" : "\n";
}

// Element x's start tag as pugixml writes it, with attribute cName set to tValue.
static std::string mapfStartTag(pugi::xml_node x, const char* cName, const std::string& tValue)
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
static bool mapfEditData(const stMapDocument& sDoc, size_t l, const std::string& tNewline,
                         std::vector<stMapfEdit>& vEdits)
{
    const stMapLayer& sLayer = sDoc.vLayers[l];
    mapfLayerGids(static_cast<int>(l), sDoc.iFirstGid);
    const size_t iContent = mapdNodeStart(sDoc, sLayer.xData.first_child());
    const size_t iClose = mapdCloseStart(sDoc, sLayer.xData);
    if (iContent == std::string::npos || iClose == std::string::npos || iClose < iContent)
    {
        return false;
    }
    if (sLayer.tEncoding == "csv")
    {
        vEdits.push_back({iContent, iClose, layerEncodeCsv(iMapfGids, tNewline)});
        return true;
    }
    if (sLayer.tEncoding == "base64")
    {
        // The new text keeps the line breaks and indentation the old one had around it.
        const std::string tOld = sDoc.tText.substr(iContent, iClose - iContent);
        const size_t iFirst = std::min(tOld.find_first_not_of(" \t\r\n"), tOld.size());
        const size_t iLast = tOld.find_last_not_of(" \t\r\n");
        const std::string tAfter = iLast == std::string::npos ? "" : tOld.substr(iLast + 1);
        const std::string tNew = layerEncodeBase64(iMapfGids, sLayer.tCompression);
        vEdits.push_back({iContent, iClose, tOld.substr(0, iFirst) + tNew + tAfter});
        return true;
    }
    // One <tile> element per cell: the whole element becomes CSV.
    const size_t iStart = mapdNodeStart(sDoc, sLayer.xData);
    const size_t iEnd = mapdElementEnd(sDoc, sLayer.xData);
    if (iStart == std::string::npos || iEnd == std::string::npos)
    {
        return false;
    }
    const std::string tTag = mapfStartTag(sLayer.xData, "encoding", "csv");
    vEdits.push_back({iStart, iEnd, tTag + layerEncodeCsv(iMapfGids, tNewline) + "</data>"});
    return true;
}

// The line break and indentation just before element x, or "" when x has none.
static std::string mapfIndentOf(const stMapDocument& sDoc, pugi::xml_node x)
{
    const pugi::xml_node xBefore = x.previous_sibling();
    const size_t iStart = mapdNodeStart(sDoc, x);
    const size_t iBefore =
        xBefore.type() == pugi::node_pcdata ? mapdNodeStart(sDoc, xBefore) : std::string::npos;
    if (iStart == std::string::npos || iBefore == std::string::npos || iBefore > iStart)
    {
        return "";
    }
    const std::string tSpace = sDoc.tText.substr(iBefore, iStart - iBefore);
    size_t iBreak = tSpace.rfind('\n');
    if (iBreak == std::string::npos || tSpace.find_first_not_of(" \t\r\n") != std::string::npos)
    {
        return "";
    }
    iBreak = iBreak > 0 && tSpace[iBreak - 1] == '\r' ? iBreak - 1 : iBreak;
    return tSpace.substr(iBreak);
}

// The id of a new layer: nextlayerid, or past every layer's id where the file lacks it.
static long long mapfNextLayerId(const stMapDocument& sDoc)
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
static std::string mapfLayerText(int l, uint32_t iFirstGid, long long iId,
                                 const std::string& tIndent, const std::string& tNewline)
{
    const std::string tInner = tIndent.empty() ? "" : tIndent + " ";
    mapfLayerGids(l, iFirstGid);
    return tIndent + "<layer id=\"" + std::to_string(iId) + "\" name=\"Layer " +
           std::to_string(l + 1) + "\" width=\"" + std::to_string(giMapSide) + "\" height=\"" +
           std::to_string(giMapSide) + "\">" + tInner + "<data encoding=\"csv\">" +
           layerEncodeCsv(iMapfGids, tNewline) + "</data>" + tIndent + "</layer>";
}

// The edits that add the tile layers the map has and the file lacks, after its last tile layer
// (or its tileset), and count them in nextlayerid.
static bool mapfAddLayers(const stMapDocument& sDoc, int iNeeded, const std::string& tNewline,
                          std::vector<stMapfEdit>& vEdits)
{
    const pugi::xml_node xAfter = sDoc.vLayers.empty() ? sDoc.xTileset : sDoc.vLayers.back().xLayer;
    const size_t iAt = mapdElementEnd(sDoc, xAfter);
    const size_t iMapStart = mapdNodeStart(sDoc, sDoc.xMap);
    const size_t iMapTagEnd = mapdNodeStart(sDoc, sDoc.xMap.first_child());
    if (iAt == std::string::npos || iMapStart == std::string::npos ||
        iMapTagEnd == std::string::npos)
    {
        return false;
    }
    const std::string tIndent = mapfIndentOf(sDoc, xAfter);
    long long iId = mapfNextLayerId(sDoc);
    std::string tNew;
    for (int l = static_cast<int>(sDoc.vLayers.size()); l < iNeeded; l++, iId++)
    {
        tNew += mapfLayerText(l, sDoc.iFirstGid, iId, tIndent, tNewline);
    }
    vEdits.push_back({iAt, iAt, tNew});
    if (sDoc.xMap.attribute("nextlayerid"))
    {
        const std::string tTag = mapfStartTag(sDoc.xMap, "nextlayerid", std::to_string(iId));
        vEdits.push_back({iMapStart, iMapTagEnd, tTag});
    }
    return true;
}

// The open file's text with the map's cells in it; false where its layers cannot be found.
static bool mapfEdited(const stMapDocument& sDoc, std::string& tOut)
{
    std::vector<stMapfEdit> vEdits;
    const std::string tNewline = mapfNewline(sDoc.tText);
    for (size_t l = 0; l < sDoc.vLayers.size(); l++)
    {
        if (!mapfEditData(sDoc, l, tNewline, vEdits))
        {
            return false;
        }
    }
    const int iNeeded = mapfLayersNeeded();
    if (iNeeded > static_cast<int>(sDoc.vLayers.size()) &&
        !mapfAddLayers(sDoc, iNeeded, tNewline, vEdits))
    {
        return false;
    }
    std::sort(vEdits.begin(), vEdits.end(),
              [](const stMapfEdit& a, const stMapfEdit& b) { return a.iFrom < b.iFrom; });
    size_t iAt = 0;
    for (const stMapfEdit& e : vEdits)
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

// A text as an XML attribute value.
static std::string mapfEscape(const std::string& tText)
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
        default:
            tOut += c;
        }
    }
    return tOut;
}

// tTarget relative to the directory of tFile, with "/" between names; absolute where no
// relative path leads there (another drive). Symbolic links are taken as they are named.
static std::string mapfRelativePath(const std::string& tTarget, const std::string& tFile)
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

// A new file for the map, laid out as Tiled lays it out, with the tileset the editor loaded.
static std::string mapfNewText(const std::string& tFile)
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
        mapfEscape(mapfRelativePath(tImage, tFile)) + "\" trans=\"ff00ff\" width=\"" +
        std::to_string(iW) + "\" height=\"" + std::to_string(iH) + "\"/>\n </tileset>";
    for (int l = 0; l < giTerrainLayers; l++)
    {
        tText += mapfLayerText(l, 1, l + 1, "\n ", "\n");
    }
    return tText + "\n</map>\n";
}

bool mapfWrite(const std::string& tFile, std::string& tWhy)
{
    if (!mapfCheckCells(tWhy))
    {
        return false;
    }
    std::string tText;
    if (pMapfOpen && !mapfEdited(*pMapfOpen, tText))
    {
        tWhy = "cannot find where the open file keeps its layers";
        return false;
    }
    if (!pMapfOpen)
    {
        tText = mapfNewText(tFile);
    }
    std::unique_ptr<stMapDocument> pDoc = mapfParse(std::move(tText), tFile, true, tWhy);
    if (!pDoc || std::memcmp(iMapfCells, map.iTerrain, sizeof(iMapfCells)) != 0)
    {
        tWhy = "the map came out wrong: " + (pDoc ? "other cells" : tWhy);
        return false;
    }
    if (!platWriteFileAtomically(tFile, pDoc->tText, tWhy))
    {
        return false;
    }
    std::memcpy(iMapfSaved, map.iTerrain, sizeof(iMapfSaved));
    pMapfOpen = std::move(pDoc);
    return true;
}

void mapfForget()
{
    pMapfOpen.reset();
    std::memset(iMapfSaved, 0, sizeof(iMapfSaved));
}

bool mapfUnsaved()
{
    return std::memcmp(iMapfSaved, map.iTerrain, sizeof(iMapfSaved)) != 0;
}
