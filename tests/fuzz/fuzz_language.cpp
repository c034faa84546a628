/*
 * Tarvenloft fuzz target - the language files.
 *
 * Each input becomes system/text/EN/map_editor.txt in the scratch directory
 * and is read by parStrings into a string table, as the editor's strings
 * are read; then every key the editor asks for is looked up.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>

#include "fuzz_common.h"
#include "lang_parser.h"

static CText fuzzTable;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    sys_tPath = "system/";
    sys_tLanguage = "EN";
    fuzzMakeDirs(sys_tPath + sys_tTextPath + sys_tLanguage + "/map_editor.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    fuzzWrite(sys_tPath + sys_tTextPath + sys_tLanguage + "/map_editor.txt", pData, iSize);
    parStrings(fuzzTable, "map_editor");
    static const char* const cKeys[] = {
        "prop_ed", "save", "restore", "faction_ed", "prep_ed", "help", "quit", "continue", ""};
    size_t iTotal = 0;
    for (const char* cKey : cKeys)
    {
        iTotal += fuzzTable.Get(cKey).size();
    }
    // Texts come from the file, so together they can never be longer than it.
    if (iTotal > iSize)
    {
        fprintf(stderr, "looked-up texts (%zu bytes) longer than the file (%zu)\n", iTotal, iSize);
        abort();
    }
    return 0;
}
