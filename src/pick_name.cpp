/*
 * Tarvenloft - the file picker's checks of a name typed for a map file.
 *
 * A file name may be 255 bytes long on Linux and 255 UTF-16 units on
 * Windows. Windows takes a device name with an extension for the device
 * too ("con.tmx" is the console), and ignores spaces before the dot, so
 * the reserved words are compared with the part before the first dot,
 * trailing spaces dropped, without regard to case.
 *
 * SPDX-License-Identifier: MIT
 */
#include "pick_name.h"

#include "text_utf8.h"

static const size_t giNameMax = 255;  // bytes (Linux) or UTF-16 units (Windows) in a file name

// ASCII capitals made small, for the extension and the device names.
static std::string pickLowerAscii(std::string tText)
{
    for (char& c : tText)
    {
        if (c >= 'A' && c <= 'Z')
        {
            c = (char)(c - 'A' + 'a');
        }
    }
    return tText;
}

std::string pickWithExtension(const std::string& tName)
{
    const bool bHas = tName.size() >= 4 && pickLowerAscii(tName.substr(tName.size() - 4)) == ".tmx";
    return bHas ? tName : tName + ".tmx";
}

// The first character of tName that the system keeps for itself, or -1.
static int pickBadChar(const std::string& tName, bool bWindows)
{
    for (const char c : tName)
    {
        const bool bControl = (unsigned char)c < 32;
        const bool bWindowsOnly = c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                                  c == '<' || c == '>' || c == '|' || bControl;
        if (c == '/' || c == 0 || (bWindows && bWindowsOnly))
        {
            return (unsigned char)c;
        }
    }
    return -1;
}

// Whether Windows takes tName for a device.
static bool pickIsDevice(const std::string& tName)
{
    std::string tStem = pickLowerAscii(tName.substr(0, tName.find('.')));
    while (!tStem.empty() && tStem.back() == ' ')
    {
        tStem.pop_back();
    }
    if (tStem == "con" || tStem == "prn" || tStem == "aux" || tStem == "nul" || tStem == "conin$" ||
        tStem == "conout$")
    {
        return true;
    }
    const bool bPort =
        tStem.size() == 4 && (tStem.compare(0, 3, "com") == 0 || tStem.compare(0, 3, "lpt") == 0);
    return bPort && tStem[3] >= '1' && tStem[3] <= '9';
}

// The length of tName as the system counts it: bytes, or on Windows UTF-16 units.
static size_t pickLength(const std::string& tName, bool bWindows)
{
    if (!bWindows)
    {
        return tName.size();
    }
    size_t iUnits = 0;
    for (size_t i = 0; i < tName.size();)
    {
        int iCodePoint;
        i += txtUtf8Char(tName, i, iCodePoint);
        iUnits += iCodePoint > 0xFFFF ? 2 : 1;
    }
    return iUnits;
}

bool pickCheckName(const std::string& tName, bool bWindows, std::string& tWhyKey,
                   std::string& tWhat)
{
    tWhat.clear();
    const std::string tStem = tName.substr(0, tName.size() >= 4 ? tName.size() - 4 : 0);
    const int iBad = pickBadChar(tName, bWindows);
    if (tStem.find_first_not_of(' ') == std::string::npos)
    {
        tWhyKey = "pick_name_empty";
    }
    else if (iBad >= 0)
    {
        tWhyKey = "pick_name_char";
        tWhat = iBad < 32 ? "^" + std::string(1, (char)(iBad + 64)) : std::string(1, (char)iBad);
    }
    else if (bWindows && pickIsDevice(tName))
    {
        tWhyKey = "pick_name_device";
        tWhat = tName.substr(0, tName.find('.'));
    }
    else if (pickLength(tName, bWindows) > giNameMax)
    {
        tWhyKey = "pick_name_long";
    }
    else
    {
        return true;
    }
    return false;
}
