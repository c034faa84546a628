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
#include <xalleg.h>
#endif
#ifdef ALLEGRO_WINDOWS
#include <winalleg.h>  // windows.h, included the way the library requires
#endif

#include "image.h"
#include "screen.h"
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

// Whether the pointer is over the library's window, asked of the X server on a connection of
// our own, so that the library's input thread is never disturbed. Without that connection the
// library's own idea is taken.
static bool setupQueryPointer()
{
    static Display* pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL || _xwin.window == None)
    {
        return mouse_on_screen();
    }
    Window iRoot, iChild;
    int iRootX, iRootY, iX, iY;
    unsigned int iMask;
    if (!XQueryPointer(pDisplay, _xwin.window, &iRoot, &iChild, &iRootX, &iRootY, &iX, &iY,
                       &iMask))
    {
        return false;
    }
    return iX >= 0 && iY >= 0 && iX < SCREEN_W && iY < SCREEN_H;
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

// Room a window leaves on the desktop for a title bar and a panel, in pixels.
static const int iWindowFrame = 80;

// A display mode: the library's driver and size, and the whole factor the picture is shown at.
struct stDisplayMode
{
    int iDriver;
    int iWidth;
    int iHeight;
    int iScale;
    bool bFullScreen;
};

static int iDesktopWidth = sys_iScreenWidth;    // the desktop's size, asked before any mode is set
static int iDesktopHeight = sys_iScreenHeight;  // (a full-screen mode may change what it reports)
static stDisplayMode sCurrent;                  // the mode now set

// The whole factor for a display on a desktop of iWidth x iHeight: the largest that fits (a
// window leaves room for a title bar and a panel), or the factor the settings name where it
// fits. Without a factor in the settings a window keeps the picture's own size.
int setupChooseScale(int iSetting, int iWidth, int iHeight, bool bFullScreen)
{
    const int iRoom = bFullScreen ? iHeight : iHeight - iWindowFrame;
    int iFit = iWidth / sys_iScreenWidth;
    if (iRoom / sys_iScreenHeight < iFit)
    {
        iFit = iRoom / sys_iScreenHeight;
    }
    if (iFit < 1)
    {
        iFit = 1;
    }
    if (iSetting == giScaleUnset)
    {
        return bFullScreen ? iFit : 1;
    }
    if (iSetting == giScaleAuto || iSetting > iFit)
    {
        return iFit;
    }
    return iSetting;
}

static stDisplayMode setupWindowMode()
{
    const int iScale = setupChooseScale(sys_iDisplayScale, iDesktopWidth, iDesktopHeight, false);
    return {GFX_AUTODETECT_WINDOWED, sys_iScreenWidth * iScale, sys_iScreenHeight * iScale, iScale,
            false};
}

// Full screen at the desktop's own size, so the monitor keeps its mode; the picture is scaled
// and centred on black. The drivers are named, since autodetection would try others first.
static stDisplayMode setupDesktopMode()
{
#if defined(ALLEGRO_WITH_XWINDOWS)
    const int iDriver = GFX_XWINDOWS_FULLSCREEN;
#elif defined(ALLEGRO_WINDOWS)
    const int iDriver = GFX_DIRECTX;
#else
    const int iDriver = GFX_AUTODETECT_FULLSCREEN;
#endif
    const int iScale = setupChooseScale(sys_iDisplayScale, iDesktopWidth, iDesktopHeight, true);
    return {iDriver, iDesktopWidth, iDesktopHeight, iScale, true};
}

// The display the settings and a held shift key ask for at start-up. Without a factor in the
// settings, full screen is the library's own 640x480 mode.
static stDisplayMode setupStartMode()
{
    if (sys_bWindowedMode)
    {
        return setupWindowMode();
    }
    if (sys_iDisplayScale == giScaleUnset)
    {
        return {GFX_AUTODETECT_FULLSCREEN, sys_iScreenWidth, sys_iScreenHeight, 1, true};
    }
    return setupDesktopMode();
}

static bool setupTryMode(const stDisplayMode& sMode)
{
    if (set_gfx_mode(sMode.iDriver, sMode.iWidth, sMode.iHeight, 0, 0) != 0)
    {
        return false;
    }
    sCurrent = sMode;
    return true;
}

// Shows why sMode could not be set and ends the program with its stage's code.
static void setupModeFailed(const stDisplayMode& sMode)
{
    if (sMode.bFullScreen)
    {
        allegro_message(cFullscreenError, allegro_error);
        exit(iExitFullscreen);
    }
    allegro_message(cWindowedError, allegro_error);
    exit(iExitWindowed);
}

// Opens the display at 32 bits, else at 16 bits with the same driver. A held shift key asks for
// a window whatever the settings say; full screen never falls back to a window.
static void setupDisplayMode()
{
    if (get_desktop_resolution(&iDesktopWidth, &iDesktopHeight) != 0)
    {
        iDesktopWidth = sys_iScreenWidth;
        iDesktopHeight = sys_iScreenHeight;
    }
    set_color_depth(32);
    if (setupShiftHeld())
    {
        sys_bWindowedMode = true;
    }
    const stDisplayMode sMode = setupStartMode();
    if (setupTryMode(sMode))
    {
        return;
    }
    set_color_depth(16);
    if (setupTryMode(sMode))
    {
        return;
    }
    setupModeFailed(sMode);
}

// What every newly set mode needs: the picture's geometry for presenting.
static void setupAfterMode()
{
    screenReset(sCurrent.iScale);
}

// Switches between the window and the full screen at the colour depth in use. When the new mode
// cannot be set the old one is set again; when neither can be, the program ends.
void setupSwitchDisplay()
{
    const stDisplayMode sOld = sCurrent;
    const stDisplayMode sNew = sOld.bFullScreen ? setupWindowMode() : setupDesktopMode();
    if (!setupTryMode(sNew) && !setupTryMode(sOld))
    {
        setupModeFailed(sOld);
    }
    setupAfterMode();
}

// Whether the pointer is over the display. The library keeps its own pointer inside the display
// and cannot tell while a button is held, so the platform is asked.
bool setupPointerOverDisplay()
{
#if defined(ALLEGRO_WITH_XWINDOWS)
    return setupQueryPointer();
#elif defined(ALLEGRO_WINDOWS)
    POINT sPoint;
    if (!GetCursorPos(&sPoint) || !ScreenToClient(win_get_window(), &sPoint))
    {
        return mouse_on_screen();
    }
    return sPoint.x >= 0 && sPoint.y >= 0 && sPoint.x < SCREEN_W && sPoint.y < SCREEN_H;
#else
    return mouse_on_screen();
#endif
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
    setupAfterMode();
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
