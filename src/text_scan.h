/*
 * Tarvenloft - whitespace in text read from files.
 *
 * XML, the CSV and base64 of a map file's layers and the numbers in its
 * attributes all count the same four characters as whitespace: blank,
 * tab, line feed and carriage return. The test is inline, since the layer
 * readers ask it of every character of a layer.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TEXT_SCAN_H
#define TARVENLOFT_TEXT_SCAN_H

#include <cstddef>
#include <string>

/* Whether c is whitespace. */
inline bool scanIsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

/* The first place at or after iAt in tText that is not whitespace; tText.size() at the end. */
inline size_t scanSkipSpace(const std::string& tText, size_t iAt)
{
    while (iAt < tText.size() && scanIsSpace(tText[iAt]))
    {
        iAt++;
    }
    return iAt;
}

/* Just after the last place before iEnd in tText that is not whitespace; iFrom when there is
   none from iFrom on. */
inline size_t scanTrimEnd(const std::string& tText, size_t iFrom, size_t iEnd)
{
    while (iEnd > iFrom && scanIsSpace(tText[iEnd - 1]))
    {
        iEnd--;
    }
    return iEnd;
}

#endif
