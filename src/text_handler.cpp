/*
 * Tarvenloft - keyed string tables.
 *
 * A CText keeps up to 500 entries of a key and a text in fixed slots. Put
 * fills the lowest free slot without looking for the key, so a key put twice
 * takes two slots and Get, which searches from slot 0, finds the first one.
 * A miss reads "!Error!" in debug mode, so that a missing word shows on the
 * screen, and an empty text otherwise.
 *
 * SPDX-License-Identifier: MIT
 */
#include "text_strings.h"

std::string CText::Get(std::string tName)
{
    int iID = Find(tName);
    if (iID != -1)
    {
        return tString[iID];
    }
    if (sys_bDebugMode)
    {
        return "!Error!";
    }
    return "";
}

int CText::Clear()
{
    for (int i = 0; i < giTotalStrings; i++)
    {
        bOccupied[i] = false;
        tHandle[i].clear();
        tString[i].clear();
    }
    return 0;
}

// Stores the entry in the lowest free slot; -1 when the table is full.
int CText::Put(std::string tName, std::string tContent)
{
    int iFind = FindEmpty();
    if (iFind == -1)
    {
        return -1;
    }
    tHandle[iFind] = tName;
    tString[iFind] = tContent;
    bOccupied[iFind] = true;
    return 0;
}

// The first slot whose key is tName, or -1. Free slots take part too: their key is empty, so
// an empty name matches the first free slot when no entry has an empty key.
int CText::Find(std::string tName)
{
    for (int i = 0; i < giTotalStrings; i++)
    {
        if (tHandle[i] == tName)
        {
            return i;
        }
    }
    return -1;
}

int CText::FindEmpty()
{
    for (int i = 0; i < giTotalStrings; i++)
    {
        if (!bOccupied[i])
        {
            return i;
        }
    }
    return -1;
}
