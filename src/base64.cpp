/*
 * Tarvenloft - base64 text, as map files carry their binary layer data.
 *
 * SPDX-License-Identifier: MIT
 */
#include "base64.h"

#include "map_message.h"
#include "text_scan.h"

static const char cB64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string b64Encode(const unsigned char* pData, size_t iSize)
{
    std::string tOut;
    tOut.reserve((iSize + 2) / 3 * 4);
    for (size_t i = 0; i < iSize; i += 3)
    {
        const size_t iLeft = iSize - i;
        unsigned int iGroup = pData[i] << 16;
        iGroup |= iLeft > 1 ? pData[i + 1] << 8 : 0;
        iGroup |= iLeft > 2 ? pData[i + 2] : 0;
        tOut += cB64Alphabet[(iGroup >> 18) & 63];
        tOut += cB64Alphabet[(iGroup >> 12) & 63];
        tOut += iLeft > 1 ? cB64Alphabet[(iGroup >> 6) & 63] : '=';
        tOut += iLeft > 2 ? cB64Alphabet[iGroup & 63] : '=';
    }
    return tOut;
}

// The value of one base64 character, or -1.
static int b64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
    {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z')
    {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9')
    {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : (c == '/' ? 63 : -1);
}

// Appends the bytes of one group of four characters, iPad of them "=".
static void b64PutGroup(unsigned int iGroup, int iPad, std::string& tOut)
{
    tOut += static_cast<char>((iGroup >> 16) & 255);
    if (iPad < 2)
    {
        tOut += static_cast<char>((iGroup >> 8) & 255);
    }
    if (iPad < 1)
    {
        tOut += static_cast<char>(iGroup & 255);
    }
}

bool b64Decode(const char* cText, size_t iSize, std::string& tOut, std::string& tWhy)
{
    tOut.clear();
    tOut.reserve(iSize / 4 * 3);
    unsigned int iGroup = 0;
    int iInGroup = 0;
    int iPad = 0;
    bool bEnded = false;  // a group with padding has ended the text
    for (size_t i = 0; i < iSize; i++)
    {
        const char c = cText[i];
        if (scanIsSpace(c))
        {
            continue;
        }
        const int iValue = b64Value(c);
        // "=" may only fill the last one or two places of the last group.
        const bool bPadOk = c == '=' && iInGroup >= 2 && !bEnded;
        if (bEnded || (iValue < 0 && !bPadOk) || (iPad > 0 && c != '='))
        {
            return mapmFail(tWhy, "",
                            iValue < 0 && c != '=' ? "a character outside the alphabet"
                                                   : "misplaced padding");
        }
        iPad += c == '=' ? 1 : 0;
        iGroup = (iGroup << 6) | static_cast<unsigned int>(iValue < 0 ? 0 : iValue);
        if (++iInGroup == 4)
        {
            b64PutGroup(iGroup, iPad, tOut);
            bEnded = iPad > 0;
            iGroup = 0;
            iInGroup = 0;
        }
    }
    if (iInGroup != 0)
    {
        return mapmFail(tWhy, "", "base64 text cut short");
    }
    return true;
}
