/*
 * Tarvenloft - a map file's document: its text, the XML parsed from it,
 * and where each part of the XML lies in the text.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_document.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Everything kept, whitespace-only text too, so that every byte of the file belongs to a node.
static const unsigned int iMapdParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

bool mapdLoadFile(const std::filesystem::path& tFile, std::string& tText, std::string& tWhy)
{
    // A directory or a pipe would open: one reads as nothing, the other can wait for ever.
    std::error_code ec;
    const std::filesystem::file_status sStatus = std::filesystem::status(tFile, ec);
    if (std::filesystem::is_directory(sStatus))
    {
        tWhy = "it is a directory";
        return false;
    }
    if (std::filesystem::exists(sStatus) && !std::filesystem::is_regular_file(sStatus))
    {
        tWhy = "it is no ordinary file";
        return false;
    }
    FILE* pFile = std::fopen(tFile.string().c_str(), "rb");
    if (pFile == NULL)
    {
        tWhy = std::strerror(errno);
        return false;
    }
    tText.clear();
    char cChunk[65536];
    size_t iRead;
    while (tText.size() <= giMapFileMaxBytes &&
           (iRead = std::fread(cChunk, 1, sizeof(cChunk), pFile)) > 0)
    {
        tText.append(cChunk, iRead);
    }
    const bool bFailed = std::ferror(pFile) != 0;
    const int iErrno = errno;
    std::fclose(pFile);
    if (bFailed)
    {
        tWhy = std::strerror(iErrno);
        return false;
    }
    if (tText.size() > giMapFileMaxBytes)
    {
        tWhy = "it is larger than 4 MiB";
        return false;
    }
    return true;
}

int mapdLine(const std::string& tText, size_t iAt)
{
    iAt = std::min(iAt, tText.size());
    return 1 + static_cast<int>(std::count(tText.begin(), tText.begin() + iAt, '\n'));
}

std::string mapdWhere(const std::string& tText, pugi::xml_node x, const std::string& tFile)
{
    const ptrdiff_t iOffset = x.offset_debug();
    const std::string tLine =
        iOffset < 0 ? "" : "line " + std::to_string(mapdLine(tText, static_cast<size_t>(iOffset)));
    return tFile.empty() ? tLine : tFile + " " + tLine;
}

std::string mapdQuote(const std::string& tValue)
{
    std::string tOut;
    for (size_t i = 0; i < tValue.size() && i < 16; i++)
    {
        const unsigned char c = static_cast<unsigned char>(tValue[i]);
        tOut += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    }
    return "\"" + tOut + (tValue.size() > 16 ? "...\"" : "\"");
}

bool mapdParseXml(const std::string& tText, pugi::xml_document& xDoc, const std::string& tFile,
                  std::string& tWhy)
{
    const std::string tWhere = tFile.empty() ? "" : tFile + " ";
    if (tText.find_first_not_of(" \t\r\n") == std::string::npos)
    {
        tWhy = (tFile.empty() ? "the file" : tFile) + " is empty";
        return false;
    }
    const pugi::xml_parse_result r =
        xDoc.load_buffer(tText.data(), tText.size(), iMapdParseOptions, pugi::encoding_utf8);
    if (!r)
    {
        tWhy = tWhere + "line " + std::to_string(mapdLine(tText, static_cast<size_t>(r.offset))) +
               ": broken XML: " + r.description();
        return false;
    }
    return true;
}

size_t mapdNodeStart(const stMapDocument& sDoc, pugi::xml_node x)
{
    const ptrdiff_t iOffset = x.offset_debug();
    if (iOffset < 0 || static_cast<size_t>(iOffset) >= sDoc.tText.size())
    {
        return std::string::npos;
    }
    // Every node but text is opened by the last "<" before its name or value.
    const size_t iAt = static_cast<size_t>(iOffset);
    return x.type() == pugi::node_pcdata ? iAt : sDoc.tText.rfind('<', iAt);
}

// The node that follows x and everything in it, in the order of the text; null at the end.
static pugi::xml_node mapdNodeAfter(pugi::xml_node x)
{
    for (; x; x = x.parent())
    {
        if (x.next_sibling())
        {
            return x.next_sibling();
        }
    }
    return pugi::xml_node();
}

// Between an element with children and the next node there are only end tags: its own and
// those of ancestors that end there too. So its end tag is the last one of its name before it.
size_t mapdCloseStart(const stMapDocument& sDoc, pugi::xml_node x)
{
    const pugi::xml_node xAfter = mapdNodeAfter(x);
    const size_t iLimit = xAfter ? mapdNodeStart(sDoc, xAfter) : sDoc.tText.size();
    const std::string tClose = std::string("</") + x.name();
    if (!x.first_child() || iLimit == std::string::npos || iLimit < tClose.size())
    {
        return std::string::npos;
    }
    const size_t iClose = sDoc.tText.rfind(tClose, iLimit - tClose.size());
    const size_t iStart = mapdNodeStart(sDoc, x);
    return iClose == std::string::npos || iStart == std::string::npos || iClose < iStart
               ? std::string::npos
               : iClose;
}

// Just after the ">" that closes the tag starting at iAt; quoted values may hold ">".
static size_t mapdTagEnd(const std::string& tText, size_t iAt)
{
    char cQuote = 0;
    for (size_t i = iAt; i < tText.size(); i++)
    {
        const char c = tText[i];
        if (cQuote != 0)
        {
            cQuote = c == cQuote ? 0 : cQuote;
        }
        else if (c == '"' || c == '\'')
        {
            cQuote = c;
        }
        else if (c == '>')
        {
            return i + 1;
        }
    }
    return std::string::npos;
}

size_t mapdElementEnd(const stMapDocument& sDoc, pugi::xml_node x)
{
    if (x.first_child())
    {
        const size_t iClose = mapdCloseStart(sDoc, x);
        return iClose == std::string::npos ? iClose : mapdTagEnd(sDoc.tText, iClose);
    }
    const size_t iStart = mapdNodeStart(sDoc, x);
    const size_t iTagEnd = iStart == std::string::npos ? iStart : mapdTagEnd(sDoc.tText, iStart);
    if (iTagEnd == std::string::npos || sDoc.tText[iTagEnd - 2] == '/')
    {
        return iTagEnd;  // "<x ... />"
    }
    return mapdTagEnd(sDoc.tText, iTagEnd);  // "<x ...></x>"
}

bool mapdFail(std::string& tWhy, const std::string& tWhere, const std::string& tWhat)
{
    tWhy = tWhere.empty() ? tWhat : tWhere + ": " + tWhat;
    return false;
}

// A whole number, with whitespace around it at most.
bool mapdParseNumber(const char* cValue, long long& iOut)
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
bool mapdNumber(pugi::xml_node x, const char* cName, long long iDefault, long long& iOut,
                const std::string& tWhere, std::string& tWhy)
{
    const pugi::xml_attribute a = x.attribute(cName);
    iOut = iDefault;
    if (a && !mapdParseNumber(a.value(), iOut))
    {
        return mapdFail(tWhy, tWhere,
                        std::string(cName) + "=" + mapdQuote(a.value()) + " is no whole number");
    }
    return true;
}

std::string mapdSize(long long iW, long long iH)
{
    return std::to_string(iW) + " x " + std::to_string(iH);
}
