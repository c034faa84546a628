/*
 * Tarvenloft - the messages of the map-file readers.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_message.h"

#include <algorithm>

static const size_t iMapmQuoted = 16;  // characters of a value that a message shows

bool mapmFail(std::string& tWhy, const std::string& tWhere, const std::string& tWhat)
{
    tWhy = tWhere.empty() ? tWhat : tWhere + ": " + tWhat;
    return false;
}

int mapmLine(const std::string& tText, size_t iAt)
{
    iAt = std::min(iAt, tText.size());
    return 1 + static_cast<int>(std::count(tText.begin(), tText.begin() + iAt, '\n'));
}

std::string mapmLineAt(const std::string& tText, size_t iAt)
{
    return "line " + std::to_string(mapmLine(tText, iAt));
}

std::string mapmWhere(const std::string& tText, pugi::xml_node x, const std::string& tFile)
{
    const ptrdiff_t iOffset = x.offset_debug();
    const std::string tLine = iOffset < 0 ? "" : mapmLineAt(tText, static_cast<size_t>(iOffset));
    return tFile.empty() ? tLine : tFile + " " + tLine;
}

std::string mapmQuote(const std::string& tValue)
{
    std::string tOut;
    for (size_t i = 0; i < tValue.size() && i < iMapmQuoted; i++)
    {
        const unsigned char c = static_cast<unsigned char>(tValue[i]);
        tOut += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    }
    return "\"" + tOut + (tValue.size() > iMapmQuoted ? "...\"" : "\"");
}

std::string mapmSize(long long iW, long long iH)
{
    return std::to_string(iW) + " x " + std::to_string(iH);
}
