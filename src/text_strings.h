/*
 * Tarvenloft - keyed string tables.
 *
 * A CText is a fixed block of 500 slots, each an optional key and text.
 * Put fills the lowest free slot; Get returns the text of the first slot
 * whose key matches exactly. Screens look their words up here instead of
 * carrying them, so that the language files decide what they say.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TEXT_STRINGS_H
#define TARVENLOFT_TEXT_STRINGS_H

#include "header.h"

class CText
{
  public:
    std::string Get(std::string tName);
    int Clear();
    int Put(std::string tName, std::string tContent);

  private:
    bool bOccupied[giTotalStrings] = {};  // slot holds an entry; a new table has none
    std::string tHandle[giTotalStrings];  // the entry's key; empty in a free slot
    std::string tString[giTotalStrings];  // the entry's text; empty in a free slot

    int Find(std::string tName);
    int FindEmpty();
};

#endif
