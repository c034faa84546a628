/*
 * Tarvenloft - the settings file.
 *
 * "data/settings.ini" is a stream of blank-separated tokens. The keys
 * "WindowedMode", "DebugMode" and "MapFiles" take "ON" or "OFF",
 * "Language" takes any token, a "#" standing as a token of its own
 * comments out the rest of its line, and "DisplayScale" takes "AUTO" or a
 * whole factor from 1 to 8. The six tests run one after another on the
 * same token buffer, so a value that happens to equal a later key acts as
 * that key. Settings the file does not mention keep their defaults; a
 * missing file changes nothing. The file is read as a stream, whatever its
 * size; a text in memory is read the same way, counting its bytes.
 *
 * SPDX-License-Identifier: MIT
 */
#include "user_settings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

// Where the tokens come from: the open file, or else a text in memory; iAt counts the bytes
// taken, so that a token's place in a text is known.
struct stSource
{
    FILE* pFile;
    const std::string* pText;
    size_t iAt;
};

static int parGet(stSource& sSource)
{
    int c = EOF;
    if (sSource.pFile != NULL)
    {
        c = fgetc(sSource.pFile);
    }
    else if (sSource.iAt < sSource.pText->size())
    {
        c = static_cast<unsigned char>((*sSource.pText)[sSource.iAt]);
    }
    sSource.iAt += c != EOF ? 1 : 0;
    return c;
}

static void parUnget(stSource& sSource, int c)
{
    sSource.iAt--;
    if (sSource.pFile != NULL)
    {
        ungetc(c, sSource.pFile);
    }
}

// Reads the next blank-separated token into cBuffer (iBufferSize bytes) and its first byte's
// place into iStart. A longer token is cut to iBufferSize - 1 bytes and the rest of it is
// skipped, so that its tail can never be taken for a key or a value. The blank that ends the
// token is left unread: it may be the line break that ends a "#" comment. Returns false when
// the source ends before a token starts.
static bool parReadToken(stSource& sSource, char* cBuffer, size_t& iStart)
{
    int c = parGet(sSource);
    while (c != EOF && isspace(c))
    {
        c = parGet(sSource);
    }
    cBuffer[0] = 0;
    iStart = sSource.iAt - (c != EOF ? 1 : 0);
    if (c == EOF)
    {
        return false;
    }
    int iLength = 0;
    while (c != EOF && !isspace(c))
    {
        if (iLength < iBufferSize - 1)
        {
            cBuffer[iLength++] = (char)c;
        }
        c = parGet(sSource);
    }
    if (c != EOF)
    {
        parUnget(sSource, c);
    }
    cBuffer[iLength] = 0;
    return true;
}

// Skips the rest of a comment line; the comment also ends at the end of the source.
static void parSkipLine(stSource& sSource)
{
    int c = parGet(sSource);
    while (c != EOF && c != '\n')
    {
        c = parGet(sSource);
    }
}

// "ON" or "OFF" for a switch; any other value leaves it as it is.
static void parSwitch(const char* cValue, bool& bSwitch)
{
    if (strcmp(cValue, "OFF") == 0)
        bSwitch = false;
    if (strcmp(cValue, "ON") == 0)
        bSwitch = true;
}

// "AUTO" or one of the digits 1..giScaleMax; any other value leaves the setting as it is.
static void parDisplayScale(const char* cValue, int& iScale)
{
    if (strcmp(cValue, "AUTO") == 0)
    {
        iScale = giScaleAuto;
    }
    else if (cValue[0] >= '1' && cValue[0] <= '0' + giScaleMax && cValue[1] == 0)
    {
        iScale = cValue[0] - '0';
    }
}

// Reads every token of the source into sSettings. A key with nothing after it reads an empty
// value, so it changes nothing and no later test mistakes the key for its own value.
static void parScan(stSource& sSource, stSettings& sSettings)
{
    char cBuffer[iBufferSize];
    size_t iStart;
    while (parReadToken(sSource, cBuffer, iStart))
    {
        if (strcmp(cBuffer, "WindowedMode") == 0)
        {
            parReadToken(sSource, cBuffer, iStart);
            parSwitch(cBuffer, sSettings.bWindowedMode);
        }
        if (strcmp(cBuffer, "DebugMode") == 0)
        {
            parReadToken(sSource, cBuffer, iStart);
            parSwitch(cBuffer, sSettings.bDebugMode);
        }
        if (strcmp(cBuffer, "Language") == 0)
        {
            const size_t iKeyEnd = sSource.iAt;
            const bool bValue = parReadToken(sSource, cBuffer, iStart);
            sSettings.iLanguageAt = bValue ? iStart : iKeyEnd;
            sSettings.iLanguageEnd = bValue ? sSource.iAt : iKeyEnd;
            // A token that starts with a NUL byte reads as empty: no language code.
            if (bValue && cBuffer[0] != 0)
                sSettings.tLanguage = cBuffer;
        }
        if (strcmp(cBuffer, "#") == 0)
        {
            parSkipLine(sSource);
        }
        if (strcmp(cBuffer, "DisplayScale") == 0)
        {
            parReadToken(sSource, cBuffer, iStart);
            parDisplayScale(cBuffer, sSettings.iDisplayScale);
        }
        if (strcmp(cBuffer, "MapFiles") == 0)
        {
            parReadToken(sSource, cBuffer, iStart);
            parSwitch(cBuffer, sSettings.bMapFiles);
        }
    }
}

int parSettingsIni()
{
    FILE* pFile = fopen("data/settings.ini", "rt");
    if (pFile == NULL)
    {
        return 0;
    }
    stSettings sSettings;
    sSettings.bWindowedMode = sys_bWindowedMode;
    sSettings.bDebugMode = sys_bDebugMode;
    sSettings.bMapFiles = sys_bMapFiles;
    sSettings.iDisplayScale = sys_iDisplayScale;
    sSettings.tLanguage = sys_tLanguage;
    stSource sSource = {pFile, NULL, 0};
    parScan(sSource, sSettings);
    fclose(pFile);
    sys_bWindowedMode = sSettings.bWindowedMode;
    sys_bDebugMode = sSettings.bDebugMode;
    sys_bMapFiles = sSettings.bMapFiles;
    sys_iDisplayScale = sSettings.iDisplayScale;
    sys_tLanguage = sSettings.tLanguage;
    return 0;
}

void parSettingsText(const std::string& tText, stSettings& sSettings)
{
    stSource sSource = {NULL, &tText, 0};
    parScan(sSource, sSettings);
}
