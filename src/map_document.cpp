/*
 * Tarvenloft - a map file's document: its text, the XML parsed from it, and
 * its attributes as numbers.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_document.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "whole_file.h"
#include "map_message.h"
#include "text_scan.h"

// Everything kept, whitespace-only text too, so that every byte of the file belongs to a node.
static const unsigned int iMapdParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

bool mapdLoadFile(const std::string& tFile, std::string& tText, std::string& tWhy)
{
    stWholeFault sFault;
    if (wholeRead(tFile, giMapFileMaxBytes, tText, sFault))
    {
        return true;
    }
    switch (sFault.eKind)
    {
    case wholeFaultDirectory:
        return mapmFail(tWhy, "", "it is a directory");
    case wholeFaultOdd:
        return mapmFail(tWhy, "", "it is no ordinary file");
    case wholeFaultLarge:
        return mapmFail(tWhy, "",
                        "it is larger than " + std::to_string(giMapFileMaxBytes >> 20) + " MiB");
    default:
        return mapmFail(
            tWhy, "", sFault.tSystem.empty() ? "it could not be read to its end" : sFault.tSystem);
    }
}

bool mapdParseXml(const std::string& tText, pugi::xml_document& xDoc, const std::string& tFile,
                  std::string& tWhy)
{
    if (std::all_of(tText.begin(), tText.end(), scanIsSpace))
    {
        return mapmFail(tWhy, "", (tFile.empty() ? "the file" : tFile) + " is empty");
    }
    const pugi::xml_parse_result r =
        xDoc.load_buffer(tText.data(), tText.size(), iMapdParseOptions, pugi::encoding_utf8);
    if (!r)
    {
        const std::string tLine = mapmLineAt(tText, static_cast<size_t>(r.offset));
        return mapmFail(tWhy, tFile.empty() ? tLine : tFile + " " + tLine,
                        std::string("broken XML: ") + r.description());
    }
    return true;
}

bool mapdParseNumber(const char* cValue, long long& iOut)
{
    char* cEnd = NULL;
    errno = 0;
    iOut = std::strtoll(cValue, &cEnd, 10);
    while (scanIsSpace(*cEnd))
    {
        cEnd++;
    }
    return cEnd != cValue && *cEnd == '\0' && errno == 0;
}

bool mapdNumber(pugi::xml_node x, const char* cName, long long iDefault, long long& iOut,
                const std::string& tWhere, std::string& tWhy)
{
    const pugi::xml_attribute a = x.attribute(cName);
    iOut = iDefault;
    if (a && !mapdParseNumber(a.value(), iOut))
    {
        return mapmFail(tWhy, tWhere,
                        std::string(cName) + "=" + mapmQuote(a.value()) + " is no whole number");
    }
    return true;
}
