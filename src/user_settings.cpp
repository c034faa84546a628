/*
 * Tarvenloft - the settings file.
 *
 * "data/settings.ini" is a stream of blank-separated tokens. The keys
 * "WindowedMode" and "DebugMode" take "ON" or "OFF", "Language" takes any
 * token, a "#" standing as a token of its own comments out the rest of
 * its line, and "DisplayScale" takes "AUTO" or a whole factor from 1 to 8.
 * The five tests run one after another on the same token buffer,
 * so a value that happens to equal a later key acts as that key. Settings
 * the file does not mention keep their defaults; a missing file changes
 * nothing.
 *
 * SPDX-License-Identifier: MIT
 */
#include "user_settings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

// Reads the next blank-separated token into cBuffer (iBufferSize bytes). A longer token is cut
// to iBufferSize - 1 bytes and the rest of it is skipped, so that its tail can never be taken
// for a key or a value. The blank that ends the token is left unread: it may be the line break
// that ends a "#" comment. Returns false when the file ends before a token starts.
static bool parReadToken(FILE* pFile, char* cBuffer)
{
    int c = fgetc(pFile);
    while (c != EOF && isspace(c))
    {
        c = fgetc(pFile);
    }
    if (c == EOF)
    {
        cBuffer[0] = 0;
        return false;
    }
    int iLength = 0;
    while (c != EOF && !isspace(c))
    {
        if (iLength < iBufferSize - 1)
        {
            cBuffer[iLength++] = (char)c;
        }
        c = fgetc(pFile);
    }
    if (c != EOF)
    {
        ungetc(c, pFile);
    }
    cBuffer[iLength] = 0;
    return true;
}

// Reads the value after a key. A key with nothing after it leaves an empty buffer, so it
// changes nothing and no later test mistakes the key for its own value.
static void parReadValue(FILE* pFile, char* cBuffer)
{
    if (!parReadToken(pFile, cBuffer))
    {
        cBuffer[0] = 0;
    }
}

// Skips the rest of a comment line; the comment also ends at the end of the file.
static void parSkipLine(FILE* pFile)
{
    int c = fgetc(pFile);
    while (c != EOF && c != '\n')
    {
        c = fgetc(pFile);
    }
}

// "AUTO" or one of the digits 1..giScaleMax; any other value leaves the setting as it is.
static void parDisplayScale(const char* cValue)
{
    if (strcmp(cValue, "AUTO") == 0)
    {
        sys_iDisplayScale = giScaleAuto;
    }
    else if (cValue[0] >= '1' && cValue[0] <= '0' + giScaleMax && cValue[1] == 0)
    {
        sys_iDisplayScale = cValue[0] - '0';
    }
}

int parSettingsIni()
{
    FILE* pFile = fopen("data/settings.ini", "rt");
    if (pFile == NULL)
    {
        return 0;
    }
    char cBuffer[iBufferSize];
    while (parReadToken(pFile, cBuffer))
    {
        if (strcmp(cBuffer, "WindowedMode") == 0)
        {
            parReadValue(pFile, cBuffer);
            if (strcmp(cBuffer, "OFF") == 0)
                sys_bWindowedMode = false;
            if (strcmp(cBuffer, "ON") == 0)
                sys_bWindowedMode = true;
        }
        if (strcmp(cBuffer, "DebugMode") == 0)
        {
            parReadValue(pFile, cBuffer);
            if (strcmp(cBuffer, "OFF") == 0)
                sys_bDebugMode = false;
            if (strcmp(cBuffer, "ON") == 0)
                sys_bDebugMode = true;
        }
        if (strcmp(cBuffer, "Language") == 0)
        {
            parReadValue(pFile, cBuffer);
            if (cBuffer[0] != 0)
                sys_tLanguage = cBuffer;
        }
        if (strcmp(cBuffer, "#") == 0)
        {
            parSkipLine(pFile);
        }
        if (strcmp(cBuffer, "DisplayScale") == 0)
        {
            parReadValue(pFile, cBuffer);
            parDisplayScale(cBuffer);
        }
    }
    fclose(pFile);
    return 0;
}
