/*
 * Tarvenloft fuzz target - button images.
 *
 * Each input becomes the up, down and hover images of the button "fuzz" in
 * system/images/buttons/ of the scratch directory. butNew ends the process
 * on an image it cannot use, so the image first goes through imgLoad, the
 * checked reader butNew itself uses; only an accepted image reaches butNew.
 * The button then lives through a few frames (pointer away, over it,
 * pressed, released, blinking) and is killed, which releases its images.
 *
 * SPDX-License-Identifier: MIT
 */
#include <cstdint>

#include "buttons.h"
#include "fuzz_common.h"
#include "image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzEnterScratch();
    fuzzStartLibrary();
    fuzzMakeDirs(sys_tSysPath + sys_tButPath + "fuzz_u.png");
    return 0;
}

// One frame of a screen: the buttons are updated from the pointer and drawn.
static void fuzzFrame(int iMouseX, int iMouseY, int iButtons)
{
    mouse_x = iMouseX;
    mouse_y = iMouseY;
    mouse_b = iButtons;
    butUpdate();
    butDisplay();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t iSize)
{
    std::string tBase = sys_tSysPath + sys_tButPath + "fuzz";
    for (const char* cSuffix : {"_u.png", "_d.png", "_h.png"})
    {
        fuzzWrite(tBase + cSuffix, pData, iSize);
    }
    std::string tWhy;
    BITMAP* mImage = imgLoad(tBase + "_u.png", tWhy);
    if (mImage == NULL)
    {
        return 0;
    }
    destroy_bitmap(mImage);

    clear_bitmap(mBuffer);
    butBlink(true);
    butNew(1, 600, 440, "fuzz", "", "", 4);
    butNew(2, -8, -8, "fuzz", "", "", -2);
    fuzzFrame(0, 0, 0);
    fuzzFrame(602, 442, 0);
    fuzzFrame(602, 442, 1);
    fuzzFrame(602, 442, 0);
    fuzzFrame(639, 479, 1);
    if (!butCheck(1))
    {
        fprintf(stderr, "a click on the button was not latched\n");
        abort();
    }
    butKillAll();
    butBlink(false);
    return 0;
}
