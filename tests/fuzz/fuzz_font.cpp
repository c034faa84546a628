/*
 * Tarvenloft fuzz target - font images.
 *
 * The first byte of an input picks the glyph cell size (W = 1 + bits 0-2,
 * H = 1 + bits 3-5); the rest is the font image, written to a file in the
 * scratch directory. txtSetFont ends the process on an image it cannot use,
 * so the image first goes through imgLoad, the checked reader that every
 * image load starts with, and the size the cell layout needs is checked;
 * only an image the program would accept reaches txtSetFont. The font then
 * draws a text with every marker and a wrap, and is released again.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>

#include "fuzz_common.h"
#include "image.h"
#include "text.h"

static const char* const cFuzzFontFile = "font.img";

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    fuzzStartLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    if (iSize < 1)
    {
        return 0;
    }
    int iW = 1 + (pData[0] & 7);
    int iH = 1 + ((pData[0] >> 3) & 7);
    fuzzWrite(cFuzzFontFile, pData + 1, iSize - 1);

    std::string tWhy;
    BITMAP* mImage = imgLoad(cFuzzFontFile, tWhy);
    if (mImage == NULL)
    {
        return 0;
    }
    // The same condition as txtSetFont's own size check (a static in text.cpp), which would
    // otherwise end the process: 16 glyph columns after one spare column, and 16 glyph rows
    // each under a marker row.
    bool bBigEnough = mImage->w >= 17 * iW && mImage->h >= 17 * (iH + 1) - 1;
    destroy_bitmap(mImage);
    if (!bBigEnough)
    {
        return 0;
    }

    txtSetFont(1, cFuzzFontFile, iW, iH);
    clear_bitmap(mBuffer);
    std::string tText = "Tarvenloft /wjoined/n-next line/p-paragraph \xE9\xFF\x7F end/n";
    txtOut(1, 4, 4, tText, 60, -1);
    txtOut(1, 600, 470, tText, 0, 12);
    txtCenter(1, 320, 240, tText, -1);
    txtCheckWordLength(1, tText);

    destroy_bitmap(sFont[1].bSource);
    sFont[1].bSource = NULL;
    return 0;
}
