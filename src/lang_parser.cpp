/*
 * Tarvenloft - the language file reader.
 *
 * A language file holds entries "[key] text^" and "#" comments. Between
 * entries only "[" and "#" mean anything; inside a key everything up to the
 * first "]" belongs to the key, and inside a text everything up to the first
 * "^" belongs to the text, with each line feed stored as a space. Spaces
 * right after the "]" are skipped. Bytes are stored unchanged: each selects
 * one of the 256 glyphs of the bitmap fonts.
 *
 * The file is read in binary and a CR LF pair is turned into one LF here,
 * so that a file reads the same on every platform whatever line ends it was
 * saved with (a lone CR stays a CR). The end of the file ends the reading
 * wherever it comes; an entry that is still open then (no "]" or no "^") is
 * dropped, since its text is not known to be complete.
 *
 * SPDX-License-Identifier: MIT
 */
#include "lang_parser.h"

#include <cstdio>

// The next byte as 0..255, or EOF. CR LF comes back as a single LF.
static int parNextByte(FILE* pFile)
{
    int c = fgetc(pFile);
    if (c != '\r')
    {
        return c;
    }
    int cNext = fgetc(pFile);
    if (cNext == '\n')
    {
        return '\n';
    }
    if (cNext != EOF)
    {
        ungetc(cNext, pFile);
    }
    return c;
}

// Reads the rest of an entry after its "[" and stores it in txtObj. Returns false when the
// file ends before the entry is complete; nothing is stored then.
static bool parReadEntry(FILE* pFile, CText& txtObj)
{
    std::string tName;
    int c = parNextByte(pFile);
    while (c != ']')
    {
        if (c == EOF)
        {
            return false;
        }
        tName += (char)c;
        c = parNextByte(pFile);
    }
    c = parNextByte(pFile);
    while (c == ' ')
    {
        c = parNextByte(pFile);
    }
    std::string tText;
    while (c != '^')
    {
        if (c == EOF)
        {
            return false;
        }
        tText += (c == '\n') ? ' ' : (char)c;
        c = parNextByte(pFile);
    }
    txtObj.Put(tName, tText);  // a full table drops the entry
    return true;
}

// Skips a comment up to and including its line feed, or to the end of the file.
static void parSkipComment(FILE* pFile)
{
    int c = parNextByte(pFile);
    while (c != '\n' && c != EOF)
    {
        c = parNextByte(pFile);
    }
}

int parStrings(CText& txtObj, std::string tFileName)
{
    std::string tFile = sys_tPath + sys_tTextPath + sys_tLanguage + "/" + tFileName + ".txt";
    FILE* pFile = fopen(tFile.c_str(), "rb");
    // The table is emptied even when the file is missing: lookups then miss, which is what a
    // language without this file should give.
    txtObj.Clear();
    if (pFile == NULL)
    {
        return 0;
    }
    int cCommand = parNextByte(pFile);
    while (cCommand != EOF)
    {
        if (cCommand == '[')
        {
            if (!parReadEntry(pFile, txtObj))
            {
                break;
            }
        }
        else if (cCommand == '#')
        {
            parSkipComment(pFile);
        }
        cCommand = parNextByte(pFile);
    }
    fclose(pFile);
    return 0;
}
