/*
 * Tarvenloft fuzz target - the settings file.
 *
 * Each input becomes data/settings.ini in the scratch directory and is read
 * by parSettingsIni from the defaults, exactly as at start-up.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>
#include <cstring>

#include "fuzz_common.h"
#include "user_settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    fuzzMakeDirs("data/settings.ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    fuzzWrite("data/settings.ini", pData, iSize);
    sys_bWindowedMode = false;
    sys_bDebugMode = false;
    sys_tLanguage = "XX";
    parSettingsIni();
    // A language code is one token: never empty, never longer than the token buffer, no blanks.
    if (sys_tLanguage.empty() || sys_tLanguage.size() >= (size_t)iBufferSize ||
        sys_tLanguage.find_first_of(" \t\n\v\f\r") != std::string::npos)
    {
        fprintf(stderr, "bad language code of %zu bytes\n", sys_tLanguage.size());
        abort();
    }
    return 0;
}
