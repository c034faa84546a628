/*
 * Tarvenloft - start-up of the library and the hardware.
 *
 * setupCore runs the steps of CSetup in a fixed order: the library, the
 * pacing timers, keyboard and mouse (the display step reads the shift
 * keys), the display, sound, and the network, which this version leaves
 * empty. A fatal step shows its message and exits with its stage's code;
 * sound, keyboard, mouse and the pointer image may fail without stopping
 * the program. Under X11 a lost display connection, at any later time,
 * also ends the program with a code of the display stage.
 *
 * SPDX-License-Identifier: MIT
 */
#include "setup.h"

#include <cerrno>
#include <cstdlib>
#include <loadpng.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>
#endif
#ifdef ALLEGRO_WINDOWS
#include <winalleg.h>  // windows.h, included the way the library requires
#endif

#include "image.h"
#include "timing.h"

CSetup setup;

static const char* cFullscreenError =
    "There was a problem, and the program was unable to setup the FULLSCREEN display. Try "
    "running the game in windowed mode by holding the shift key when booting up.\n\nAllegro "
    "Error:\n%s";
static const char* cWindowedError =
    "There was a problem, and the program was unable to setup the WINDOWED display.\n\nAllegro "
    "Error:\n%s";

int CSetup::Init()
{
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
    {
        allegro_message("Could not initialize the Allegro library.");
        exit(iExitLibrary);
    }
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
    install_mouse();
    return 0;
}

#ifdef ALLEGRO_WITH_XWINDOWS
// Under X11 the library learns of keys only from its own window's events, so a shift key held
// since before that window exists never reaches key[]: ask the X server for the keyboard itself.
static bool setupShiftHeldOnServer()
{
    Display* pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL)
    {
        return false;
    }
    char cKeys[32];
    XQueryKeymap(pDisplay, cKeys);
    bool bHeld = false;
    for (KeySym iShift : {XK_Shift_L, XK_Shift_R})
    {
        KeyCode iCode = XKeysymToKeycode(pDisplay, iShift);
        bHeld = bHeld || (iCode != 0 && ((cKeys[iCode / 8] >> (iCode % 8)) & 1));
    }
    XCloseDisplay(pDisplay);
    return bHeld;
}

// Xlib's own handler for a lost display connection calls exit from whichever thread noticed,
// and the library's exit handler then tears the display down under the main thread: the
// program crashes or deadlocks. Say so in one line and end at once, without exit handlers.
static int setupDisplayLost(Display*)
{
    static const char cMessage[] = "Tarvenloft: the connection to the X display was lost.\n";
    ssize_t iWritten = write(STDERR_FILENO, cMessage, sizeof(cMessage) - 1);
    (void)iWritten;  // with standard error gone too, nothing more can be said
    _exit(iExitDisplayLost);
}
#endif

#ifdef ALLEGRO_WINDOWS
// On Windows the library fills key[] from DirectInput's reports of changes, so a shift key held
// since before the window exists never reaches it either: ask the system for the keys' state.
static bool setupShiftHeldOnSystem()
{
    for (int iKey : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT})
    {
        if (GetAsyncKeyState(iKey) & 0x8000)
        {
            return true;
        }
    }
    return false;
}
#endif

// Whether either shift key is held at this moment.
static bool setupShiftHeld()
{
    if (key[KEY_LSHIFT] || key[KEY_RSHIFT])
    {
        return true;
    }
#if defined(ALLEGRO_WITH_XWINDOWS)
    return setupShiftHeldOnServer();
#elif defined(ALLEGRO_WINDOWS)
    return setupShiftHeldOnSystem();
#else
    return false;
#endif
}

// From here on a lost display ends the program cleanly with its own exit code.
static void setupWatchDisplay()
{
#ifdef ALLEGRO_WITH_XWINDOWS
    XSetIOErrorHandler(setupDisplayLost);
#endif
}

// Opens the 640x480 display at 32 bits, else at 16 bits with the same driver. A held shift key
// asks for a window whatever the settings say; full screen never falls back to a window.
static void setupDisplayMode()
{
    set_color_depth(32);
    if (setupShiftHeld())
    {
        sys_bWindowedMode = true;
    }
    int iDriver = sys_bWindowedMode ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT_FULLSCREEN;
    if (set_gfx_mode(iDriver, sys_iScreenWidth, sys_iScreenHeight, 0, 0) == 0)
    {
        return;
    }
    set_color_depth(16);
    if (set_gfx_mode(iDriver, sys_iScreenWidth, sys_iScreenHeight, 0, 0) == 0)
    {
        return;
    }
    if (sys_bWindowedMode)
    {
        allegro_message(cWindowedError, allegro_error);
        exit(iExitWindowed);
    }
    allegro_message(cFullscreenError, allegro_error);
    exit(iExitFullscreen);
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
    setupDisplayMode();
    setupWatchDisplay();
    set_trans_blender(0, 0, 0, 127);
    loadpng_init();
    setupBackBuffer();
    tPath = sys_tSysPath + sys_tMousePath + "pointer_01.bmp";
    setupPointer(tPath);
    return 0;
}

int CSetup::Sound()
{
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, NULL);
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
