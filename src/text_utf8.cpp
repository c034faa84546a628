/*
 * Tarvenloft - UTF-8 text in the bitmap fonts' characters.
 *
 * The decoder follows the well-formed byte sequences of the Unicode
 * standard (table 3-7): no overlong forms, no surrogates, nothing past
 * U+10FFFF. A byte where no well-formed character starts stands for one
 * character that cannot be shown, so a name that is not UTF-8 at all (a
 * Latin-1 name on a Linux disk, say) still shows one glyph per byte, and
 * the program keeps the name's own bytes to open the file.
 *
 * SPDX-License-Identifier: MIT
 */
#include "text_utf8.h"

// The bytes a character of iLength bytes needs after its lead byte, and the range the first of
// them must lie in (narrower than 0x80..0xBF after E0, ED, F0 and F4).
static int txtUtf8Length(unsigned char cLead, unsigned char& cLow, unsigned char& cHigh)
{
    cLow = 0x80;
    cHigh = 0xBF;
    if (cLead >= 0xC2 && cLead <= 0xDF)
    {
        return 2;
    }
    if (cLead >= 0xE0 && cLead <= 0xEF)
    {
        cLow = cLead == 0xE0 ? 0xA0 : 0x80;
        cHigh = cLead == 0xED ? 0x9F : 0xBF;
        return 3;
    }
    if (cLead >= 0xF0 && cLead <= 0xF4)
    {
        cLow = cLead == 0xF0 ? 0x90 : 0x80;
        cHigh = cLead == 0xF4 ? 0x8F : 0xBF;
        return 4;
    }
    return 0;  // a continuation byte, C0, C1 or F5..FF: no character starts here
}

int txtUtf8Char(const std::string& tText, size_t iAt, int& iCodePoint)
{
    const unsigned char cLead = (unsigned char)tText[iAt];
    if (cLead < 0x80)
    {
        iCodePoint = cLead;
        return 1;
    }
    unsigned char cLow;
    unsigned char cHigh;
    const int iLength = txtUtf8Length(cLead, cLow, cHigh);
    if (iLength == 0 || iAt + iLength > tText.size())
    {
        iCodePoint = -1;
        return 1;
    }
    int iCode = cLead & (0xFF >> (iLength + 1));
    for (int i = 1; i < iLength; i++)
    {
        const unsigned char c = (unsigned char)tText[iAt + i];
        if (c < (i == 1 ? cLow : 0x80) || c > (i == 1 ? cHigh : 0xBF))
        {
            iCodePoint = -1;
            return 1;
        }
        iCode = (iCode << 6) | (c & 0x3F);
    }
    iCodePoint = iCode;
    return iLength;
}

int txtGlyphOf(int iCodePoint)
{
    const bool bShown =
        (iCodePoint >= 32 && iCodePoint <= 126) || (iCodePoint >= 160 && iCodePoint <= 255);
    return bShown ? iCodePoint : giStandInChar;
}

std::string txtFromUtf8(const std::string& tText)
{
    std::string tOut;
    tOut.reserve(tText.size());
    size_t i = 0;
    while (i < tText.size())
    {
        int iCodePoint;
        i += txtUtf8Char(tText, i, iCodePoint);
        tOut += (char)txtGlyphOf(iCodePoint);
    }
    return tOut;
}

void txtAppendUtf8(std::string& tText, int iCodePoint)
{
    const int c = iCodePoint;
    if (c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    {
        return;
    }
    if (c < 0x80)
    {
        tText += (char)c;
    }
    else if (c < 0x800)
    {
        tText += (char)(0xC0 | (c >> 6));
        tText += (char)(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        tText += (char)(0xE0 | (c >> 12));
        tText += (char)(0x80 | ((c >> 6) & 0x3F));
        tText += (char)(0x80 | (c & 0x3F));
    }
    else
    {
        tText += (char)(0xF0 | (c >> 18));
        tText += (char)(0x80 | ((c >> 12) & 0x3F));
        tText += (char)(0x80 | ((c >> 6) & 0x3F));
        tText += (char)(0x80 | (c & 0x3F));
    }
}

// Steps back over continuation bytes to a start that decodes to a character reaching iAt; a
// stray continuation byte is a character of its own.
size_t txtUtf8Before(const std::string& tText, size_t iAt)
{
    if (iAt == 0)
    {
        return 0;
    }
    for (size_t iBack = 1; iBack <= 4 && iBack <= iAt; iBack++)
    {
        int iCodePoint;
        if (txtUtf8Char(tText, iAt - iBack, iCodePoint) == (int)iBack && iCodePoint >= 0)
        {
            return iAt - iBack;
        }
    }
    return iAt - 1;
}
