/*
 * Tarvenloft - the first-run language selection screen.
 *
 * Shown while no language has been chosen. Four buttons store the code of
 * a language directory in sys_tLanguage; Escape leaves without a choice.
 * The screen composes its frames itself, without the key edges and the
 * debug overlay of displayAll, and draws over the back buffer as it finds
 * it. Its own words are fixed English, since no strings are loaded yet.
 *
 * SPDX-License-Identifier: MIT
 */
#include "lang_select.h"

#include "buttons.h"
#include "display_mode.h"
#include "keyboard.h"
#include "screen.h"
#include "text.h"
#include "timing.h"

static const int iLangButtons = 4;
static const char* const cLangCodes[iLangButtons + 1] = {"", "EN", "SW", "DU", "SP"};  // by slot

// The image set of the Spanish button: its own flag where the resource tree has all three of
// its images, else the Dutch set, which the fourth button showed before it had a flag.
static std::string langSpanishImages()
{
    const std::string tBase = sys_tSysPath + sys_tButPath + "sp";
    for (const char* cSuffix : {"_u.png", "_d.png", "_h.png"})
    {
        if (!exists((tBase + cSuffix).c_str()))
        {
            return "du";
        }
    }
    return "sp";
}

static void langCreate()
{
    txtNew(0, 320, 100, "Welcome to Tarvenloft!", 2, -1, 1, 0);
    txtNew(1, 320, 132, "Please select a language.", 2, -1, 1, 0);
    txtNew(2, 320, 148,
           "You may change this setting later by selecting \"Options\" from the main menu.", 2, -1,
           1, 0);
    txtNew(3, 16, 440, "Tarvenloft", 1, -1, 0, 0);
    txtNew(4, 16, 448, "Ver. " + sys_tVersion, 1, -1, 0, 0);
    txtNew(5, 16, 456, "Made with Allegro 4 - a Tarvenloft project", 1, -1, 0, 0);

    butNew(1, 16, 250, "en", "", "", 0);
    butNew(2, 224, 250, "sw", "", "", 0);
    butNew(3, 120, 250, "du", "", "", 0);
    butNew(4, 328, 250, langSpanishImages(), "", "", 0);
}

// The pointer stays in the back buffer until the next frame takes it out.
static void langFrame()
{
    screenPointerHide();
    butUpdate();
    butDisplay();
    txtDisplay();
    screenPointerShow();
    modeCheckRequests();
    screenDisplay();
    timeWait();
}

// The slot of the first language button clicked, in slot order, or 0.
static int langClicked()
{
    for (int i = 1; i <= iLangButtons; i++)
    {
        if (butCheck(i))
        {
            return i;
        }
    }
    return 0;
}

void titleLanguageSelect()
{
    langCreate();
    while (!keyHeld(KEY_ESC))
    {
        langFrame();
        int iSlot = langClicked();
        if (iSlot != 0)
        {
            sys_tLanguage = cLangCodes[iSlot];
            break;
        }
    }
    butKillAll();
    txtKillAll();
}
