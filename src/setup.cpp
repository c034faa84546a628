/*
 * Tarvenloft - start-up of the library and the hardware.
 *
 * setupCore runs the steps of CSetup in a fixed order: the library, the
 * pacing timers, keyboard and mouse (the display step reads the shift
 * keys), the display, sound, and the network, which this version leaves
 * empty. A fatal step shows its message and exits with its stage's code;
 * sound, keyboard, mouse and the pointer image may fail without stopping
 * the program. The display mode itself is display_mode.cpp's.
 *
 * SPDX-License-Identifier: MIT
 */
#include "setup.h"

#include <cerrno>
#include <cstdlib>
#include <loadpng.h>

#include "display_mode.h"
#include "image.h"
#include "input_latch.h"
#include "platform.h"
#include "timing.h"

CSetup setup;

int CSetup::Init()
{
    platNameWindow();
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
    {
        allegro_message("Could not initialize the Allegro library.");
        exit(iExitLibrary);
    }
    // Decorated at once, so that even the message of a display that cannot be set carries the
    // program's name (on Windows the message box takes the window's title).
    modeDecorate();
    return 0;
}

int CSetup::Timers()
{
    install_timer();
    if (install_int_ex(timeIncrease, BPS_TO_TIMER(60)) != 0)
    {
        allegro_message("Error setting up the frames per second timer.\n\nTry shutting down any "
                        "other applications running, and then run the program again.");
        exit(iExitTimers);
    }
    if (install_int_ex(timeSecondIncrease, SECS_TO_TIMER(1)) != 0)
    {
        allegro_message("Error setting up the clock timer.\n\nTry shutting down any other "
                        "applications running, and then run the program again.");
        exit(iExitTimers);
    }
    return 0;
}

int CSetup::Input()
{
    install_keyboard();
    keyboard_lowlevel_callback = latchKeyEvent;  // sees every press, however short
    install_mouse();
    platWatchPresses();
    return 0;
}

// Every screen draws into the back buffer, so the program cannot go on without it.
static void setupBackBuffer()
{
    mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    if (mBuffer == NULL)
    {
        allegro_message("There was a problem, and the program was unable to create its %dx%d "
                        "drawing buffer.\n\nTry shutting down any other applications running, "
                        "and then run the program again.",
                        sys_iScreenWidth, sys_iScreenHeight);
        exit(iExitBackBuffer);
    }
    clear_bitmap(mBuffer);
}

// The pointer is optional: without its image the library draws its own arrow.
static void setupPointer(const std::string& tPath)
{
    std::string tWhy;
    mMouse = imgLoad(tPath, tWhy);
    set_mouse_sprite(mMouse);
    set_mouse_sprite_focus(32, 32);
}

int CSetup::Graphics()
{
    gfx_capabilities = GFX_HW_MEM_BLIT;
    modeOpen();
    set_trans_blender(0, 0, 0, 127);
    loadpng_init();
    setupBackBuffer();
    tPath = sys_tSysPath + sys_tMousePath + "pointer_01.bmp";
    setupPointer(tPath);
    return 0;
}

// Without a sound card the sound library's drivers each complain on standard error while it
// looks for one; the program goes on silent, so they are hushed.
int CSetup::Sound()
{
    platHushErrors(true);
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, NULL);
    platHushErrors(false);
    set_volume(255, 255);
    return 0;
}

int CSetup::Network()
{
    return 0;
}

int setupCore()
{
    setup.Init();
    setup.Timers();
    setup.Input();
    setup.Graphics();
    setup.Sound();
    setup.Network();
    return 0;
}
