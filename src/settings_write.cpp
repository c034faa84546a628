/*
 * Tarvenloft - the language chosen, kept in the user's settings file.
 *
 * The settings are blank-separated tokens whose meaning depends on the
 * tokens before them, so the place to write is found by the settings
 * reader itself, and every way of writing is read back before it is used:
 * the old value replaced, the new one put before an old value that also
 * acts as a key, or a line added.
 *
 * SPDX-License-Identifier: MIT
 */
#include "settings_write.h"

#include "whole_file.h"
#include "platform.h"
#include "user_settings.h"

static const char* cSettingsFile = "data/settings.ini";
static const uint64_t iSettingsMax = 1 << 20;  // a settings file larger than this is left alone

// The line end of the text's first line: CR LF or LF.
static std::string parLineEnd(const std::string& tText)
{
    const size_t iBreak = tText.find('\n');
    return iBreak != std::string::npos && iBreak > 0 && tText[iBreak - 1] == '\r' ? "\r\n" : "\n";
}

// Whether tNew sets tCode as its language and everything else as sOld does.
static bool parReadsAs(const std::string& tNew, const stSettings& sOld, const std::string& tCode)
{
    stSettings sNew;
    parSettingsText(tNew, sNew);
    return sNew.tLanguage == tCode && sNew.bWindowedMode == sOld.bWindowedMode &&
           sNew.bDebugMode == sOld.bDebugMode && sNew.bMapFiles == sOld.bMapFiles &&
           sNew.iDisplayScale == sOld.iDisplayScale;
}

std::string parWithLanguage(const std::string& tText, const std::string& tCode)
{
    stSettings sOld;
    parSettingsText(tText, sOld);
    if (sOld.iLanguageAt != std::string::npos)
    {
        const size_t iAt = sOld.iLanguageAt;
        const size_t iLength = sOld.iLanguageEnd - iAt;
        std::string tReplaced = tText;
        tReplaced.replace(iAt, iLength, iLength == 0 ? " " + tCode : tCode);
        if (parReadsAs(tReplaced, sOld, tCode))
        {
            return tReplaced;
        }
        std::string tInserted = tText;
        tInserted.insert(iAt, tCode + " ");
        if (parReadsAs(tInserted, sOld, tCode))
        {
            return tInserted;
        }
    }
    const std::string tEnd = parLineEnd(tText);
    const bool bOpenLine = !tText.empty() && tText.back() != '\n';
    return tText + (bOpenLine ? tEnd : "") + "Language " + tCode + tEnd;
}

bool parKeepLanguage(const std::string& tCode)
{
    std::string tText;
    stWholeFault sFault;
    if (!wholeRead(cSettingsFile, iSettingsMax, tText, sFault))
    {
        if (sFault.eKind != wholeFaultMissing)
        {
            return false;
        }
        tText.clear();
    }
    std::string tWhy;
    return platWriteFileAtomically(cSettingsFile, parWithLanguage(tText, tCode), tWhy);
}
