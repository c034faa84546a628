/*
 * Tarvenloft - the settings file.
 *
 * parSettingsIni reads "data/settings.ini" once, before the library starts,
 * and sets windowed mode, debug mode, the language code, the display scale
 * and map-file mode from it. parSettingsText reads the same keys from a
 * text in memory into a record, without touching the program's settings,
 * and tells where the language that counts stands in it, so that it can be
 * replaced.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_USER_SETTINGS_H
#define TARVENLOFT_USER_SETTINGS_H

#include "header.h"

const int iBufferSize = 1200;  // token buffer of the settings reader, terminator included

// What a settings text sets, from the values the record had before, and where in the text the
// value of the Language key that counts (the last one) stands: bytes iLanguageAt up to
// iLanguageEnd. Both are npos without such a key; they are equal after a Language key that ends
// the text with no value.
struct stSettings
{
    bool bWindowedMode = false;
    bool bDebugMode = false;
    bool bMapFiles = false;
    int iDisplayScale = giScaleUnset;
    std::string tLanguage = "XX";
    size_t iLanguageAt = std::string::npos;
    size_t iLanguageEnd = std::string::npos;
};

int parSettingsIni();
void parSettingsText(const std::string& tText, stSettings& sSettings);

#endif
