/*
 * Tarvenloft - where the nodes of a map file's XML lie in its text.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_offsets.h"

#include <cstring>

#include "text_scan.h"

size_t mapoNodeStart(const std::string& tText, pugi::xml_node x)
{
    const ptrdiff_t iOffset = x.offset_debug();
    if (iOffset < 0 || static_cast<size_t>(iOffset) >= tText.size())
    {
        return std::string::npos;
    }
    // Every node but text is opened by the last "<" before its name or value.
    const size_t iAt = static_cast<size_t>(iOffset);
    return x.type() == pugi::node_pcdata ? iAt : tText.rfind('<', iAt);
}

// The node that follows x and everything in it, in the order of the text; null at the end.
static pugi::xml_node mapoNodeAfter(pugi::xml_node x)
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
size_t mapoCloseStart(const std::string& tText, pugi::xml_node x)
{
    const pugi::xml_node xAfter = mapoNodeAfter(x);
    const size_t iLimit = xAfter ? mapoNodeStart(tText, xAfter) : tText.size();
    const std::string tClose = std::string("</") + x.name();
    if (!x.first_child() || iLimit == std::string::npos || iLimit < tClose.size())
    {
        return std::string::npos;
    }
    const size_t iClose = tText.rfind(tClose, iLimit - tClose.size());
    const size_t iStart = mapoNodeStart(tText, x);
    return iClose == std::string::npos || iStart == std::string::npos || iClose < iStart
               ? std::string::npos
               : iClose;
}

// Just after the ">" that closes the tag starting at iAt; quoted values may hold ">".
static size_t mapoTagEnd(const std::string& tText, size_t iAt)
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

size_t mapoElementEnd(const std::string& tText, pugi::xml_node x)
{
    if (x.first_child())
    {
        const size_t iClose = mapoCloseStart(tText, x);
        return iClose == std::string::npos ? iClose : mapoTagEnd(tText, iClose);
    }
    const size_t iStart = mapoNodeStart(tText, x);
    const size_t iTagEnd = iStart == std::string::npos ? iStart : mapoTagEnd(tText, iStart);
    if (iTagEnd == std::string::npos || tText[iTagEnd - 2] == '/')
    {
        return iTagEnd;  // "<x ... />"
    }
    return mapoTagEnd(tText, iTagEnd);  // "<x ...></x>"
}

bool mapoAttributeValue(const std::string& tText, pugi::xml_node x, const char* cName,
                        size_t& iFrom, size_t& iTo)
{
    const size_t iStart = mapoNodeStart(tText, x);
    const size_t iEnd = iStart == std::string::npos ? iStart : mapoTagEnd(tText, iStart);
    if (iEnd == std::string::npos || x.type() != pugi::node_element)
    {
        return false;
    }
    size_t i = iStart + 1 + std::strlen(x.name());
    while (i < iEnd)
    {
        const size_t iName = scanSkipSpace(tText, i);
        i = iName;
        while (i < iEnd && tText[i] != '=' && !scanIsSpace(tText[i]) && tText[i] != '>' &&
               tText[i] != '/')
        {
            i++;
        }
        const std::string tName = tText.substr(iName, i - iName);
        i = scanSkipSpace(tText, i);
        if (tName.empty() || i >= iEnd || tText[i] != '=')
        {
            return false;
        }
        i = scanSkipSpace(tText, i + 1);
        const size_t iClose = i < iEnd ? tText.find(tText[i], i + 1) : std::string::npos;
        if ((tText[i] != '"' && tText[i] != '\'') || iClose == std::string::npos || iClose >= iEnd)
        {
            return false;
        }
        if (tName == cName)
        {
            iFrom = i + 1;
            iTo = iClose;
            return true;
        }
        i = iClose + 1;
    }
    return false;
}
