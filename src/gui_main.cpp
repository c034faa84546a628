/*
 * Tarvenloft - the frame composer and the debug overlay.
 *
 * displayAll ends every frame of a screen: on top of the screen's own
 * picture it lays, from bottom to top, the buttons, the text objects, the
 * frame-rate box and the mouse pointer, presents the frame and waits for
 * the next tick. The pointer is drawn into the back buffer only while the
 * frame is presented, so the back buffer never keeps it. The overlay also
 * lets Tab switch debug mode on every screen that uses displayAll.
 *
 * SPDX-License-Identifier: MIT
 */
#include "gui_main.h"

#include <cstdio>

#include "buttons.h"
#include "color.h"
#include "display_mode.h"
#include "keyboard.h"
#include "screen.h"
#include "text.h"
#include "timing.h"

void displayAll()
{
    keyUpdate();
    butUpdate();
    butDisplay();
    txtDisplay();
    guiDebug_();
    screenPointerShow();
    modeCheckRequests();
    screenDisplay();
    screenPointerHide();
    timeWait();
}

// Tab switch of debug mode, frame counting, and the frame-rate box while debug mode is on.
void guiDebug_()
{
    static bool bKeyDown = false;  // Tab seen held, its release not yet handled
    static int iFPS = 0;           // frames of the last full second, the number shown
    static int iFPSCounter = 0;    // frames so far in this second

    // Reads the key itself, not the edge tables, so a screen's keyCheck never eats the Tab.
    if (keyEdge(bKeyDown, keyHeld(KEY_TAB), true))
    {
        sys_bDebugMode = !sys_bDebugMode;
    }

    // The frame that reports a second is the first frame of the next one, so it counts there.
    if (timeCheck())
    {
        iFPS = iFPSCounter;
        iFPSCounter = 0;
    }
    iFPSCounter++;

    if (sys_bDebugMode || sys_bFPS)
    {
        colorShade(mBuffer, 8, 457, 46, 472, makecol(0, 0, 255));
        char cText[20];
        snprintf(cText, sizeof(cText), "FPS: %-ld", static_cast<long>(iFPS));
        txtCenter(1, 28, 461, cText, -1);
    }
}
