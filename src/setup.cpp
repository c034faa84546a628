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
 * The window is the program's own: its title is "Tarvenloft", under X11 its
 * class is Tarvenloft and its icon ours (both given to the library before it
 * makes its window), and the close button ends the program with 0 at the
 * next frame, as Quit does.
 *
 * SPDX-License-Identifier: MIT
 */
#include "setup.h"

#include <cerrno>
#include <cstdlib>
#include <loadpng.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <unistd.h>
#include <xalleg.h>  // the library's X11 window and xwin_set_window_name

#include "tarvenloft_icon.xpm"  // tarvenloft_icon_xpm, made by the artwork tool
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

// Set by the close button (from the library's own thread), acted on by the main thread.
static volatile bool bSetupCloseRequested = false;

static void setupCloseButton()
{
    bSetupCloseRequested = true;
}

// Called before every presented frame: after a press of the close button the program ends as
// it would through exit(0), with the library's exit handler. Nothing is saved in this version,
// so there is nothing to ask.
void setupCheckClose()
{
    if (bSetupCloseRequested)
    {
        exit(0);
    }
}

// What must be given to the library before it makes its window. Under X11 the window's class
// (WM_CLASS "tarvenloft", "Tarvenloft", which the desktop entry's StartupWMClass names) and its
// icon are set only when the window is made. On Windows the icon is the resource "allegro_icon"
// of the executable (tools/windows/tarvenloft.rc).
static void setupIdentify()
{
#ifdef ALLEGRO_WITH_XWINDOWS
    xwin_set_window_name("tarvenloft", "Tarvenloft");
    allegro_icon = const_cast<char**>(tarvenloft_icon_xpm);
#endif
}

#ifdef ALLEGRO_WITH_XWINDOWS
// _NET_WM_PID, with the WM_CLIENT_MACHINE it needs, on the library's managed window: with them a
// task bar can tell the program's window from another's and offer to end the process.
static void setupMarkWindowOwner()
{
    XLOCK();
    if (_xwin.display != NULL && _xwin.wm_window != None)
    {
        char cHost[256] = {};
        char* pHost = cHost;
        XTextProperty sHost;
        if (gethostname(cHost, sizeof(cHost) - 1) == 0 &&
            XStringListToTextProperty(&pHost, 1, &sHost) != 0)
        {
            XSetWMClientMachine(_xwin.display, _xwin.wm_window, &sHost);
            XFree(sHost.value);
            const long iPid = static_cast<long>(getpid());  // format 32 is a long to Xlib
            XChangeProperty(_xwin.display, _xwin.wm_window,
                            XInternAtom(_xwin.display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&iPid), 1);
        }
        XFlush(_xwin.display);
    }
    XUNLOCK();
}
#endif

// The window's decoration while the program runs: its title, the close button and, under X11,
// its owner. Safe to call again after every change of the display mode.
static void setupDecorate()
{
    set_window_title("Tarvenloft");
    set_close_button_callback(setupCloseButton);
#ifdef ALLEGRO_WITH_XWINDOWS
    setupMarkWindowOwner();
#endif
}

int CSetup::Init()
{
    setupIdentify();
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
    {
        allegro_message("Could not initialize the Allegro library.");
        exit(iExitLibrary);
    }
    // Decorated at once, so that even the message of a display that cannot be set carries the
    // program's name (on Windows the message box takes the window's title).
    setupDecorate();
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
// Our own connection to the X server, for what the library does not tell: asked on the main
// thread only, so that the library's input thread is never disturbed. NULL when none can be had.
static Display* setupServer()
{
    static Display* pServer = XOpenDisplay(NULL);
    return pServer;
}

// Under X11 the library learns of keys only from its own window's events, so a shift key held
// since before that window exists never reaches key[]: ask the X server for the keyboard itself.
static bool setupShiftHeldOnServer()
{
    Display* pDisplay = setupServer();
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

// The pointer and its buttons at this moment, from the X server, while the library has a button
// held. Right after a display mode is set the library moves the X pointer itself for a while (to
// measure motion from the middle of its window); then, and without our connection, its own idea
// is kept.
static bool setupQueryPointer(int& iX, int& iY, int& iButtons)
{
    Display* pServer = setupServer();
    if (pServer == NULL || _xwin.window == None || _xwin.mouse_warped)
    {
        return mouse_on_screen();
    }
    if (iButtons == 0)
    {
        return mouse_on_screen();  // nothing to paint with: the library's idea will do, unasked
    }
    Window iRoot, iChild;
    int iRootX, iRootY;
    unsigned int iMask;
    if (!XQueryPointer(pServer, _xwin.window, &iRoot, &iChild, &iRootX, &iRootY, &iX, &iY, &iMask))
    {
        return false;  // on another screen of the server
    }
    iButtons = ((iMask & Button1Mask) ? 1 : 0) | ((iMask & Button3Mask) ? 2 : 0) |
               ((iMask & Button2Mask) ? 4 : 0);
    return iX >= 0 && iY >= 0 && iX < SCREEN_W && iY < SCREEN_H;
}

// The point of the X screen the program is at: the middle of its window once that is shown,
// else the pointer, where the user is about to look.
static bool setupWhereOnServer(Display* pServer, bool bByWindow, int& iX, int& iY)
{
    Window iRoot = DefaultRootWindow(pServer), iChild;
    if (bByWindow)
    {
        return XTranslateCoordinates(pServer, _xwin.window, iRoot, SCREEN_W / 2, SCREEN_H / 2, &iX,
                                     &iY, &iChild);
    }
    int iWindowX, iWindowY;
    unsigned int iMask;
    return XQueryPointer(pServer, iRoot, &iRoot, &iChild, &iX, &iY, &iWindowX, &iWindowY, &iMask);
}

// Where several monitors make one X screen, the one the program is at (see setupWhereOnServer),
// from the server's list of monitors. Leaves the area as it is where the server keeps no list
// (before RandR 1.5) or no monitor holds the point.
static void setupFindMonitor(bool bByWindow, int& iX, int& iY, int& iWidth, int& iHeight)
{
    Display* pServer = setupServer();
    int iEvent, iError, iMajor = 0, iMinor = 0, iAtX, iAtY;
    if (pServer == NULL || !XRRQueryExtension(pServer, &iEvent, &iError) ||
        !XRRQueryVersion(pServer, &iMajor, &iMinor) || iMajor * 100 + iMinor < 105 ||
        !setupWhereOnServer(pServer, bByWindow, iAtX, iAtY))
    {
        return;
    }
    int iCount = 0;
    XRRMonitorInfo* pMonitors = XRRGetMonitors(pServer, DefaultRootWindow(pServer), True, &iCount);
    for (int i = 0; i < iCount; i++)
    {
        const XRRMonitorInfo& sMonitor = pMonitors[i];
        if (iAtX >= sMonitor.x && iAtY >= sMonitor.y && iAtX < sMonitor.x + sMonitor.width &&
            iAtY < sMonitor.y + sMonitor.height)
        {
            iX = sMonitor.x;
            iY = sMonitor.y;
            iWidth = sMonitor.width;
            iHeight = sMonitor.height;
            break;
        }
    }
    XRRFreeMonitors(pMonitors);
}
#endif

#ifdef ALLEGRO_WINDOWS
// In a window the library takes the pointer from the system's cursor, which can be asked at once;
// in full screen it reads the mouse device on its own and the pointer stays on the screen.
static bool setupCursorInWindow(int& iX, int& iY)
{
    POINT sPoint;
    if (!is_windowed_mode() || !GetCursorPos(&sPoint) || !ScreenToClient(win_get_window(), &sPoint))
    {
        return true;
    }
    iX = sPoint.x;
    iY = sPoint.y;
    return iX >= 0 && iY >= 0 && iX < SCREEN_W && iY < SCREEN_H;
}

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

// A display mode: the library's driver and size, the whole factor the picture is shown at and
// where on the display the scaled picture's top-left corner is.
struct stDisplayMode
{
    int iDriver;
    int iWidth;
    int iHeight;
    int iScale;
    int iLeft;
    int iTop;
    bool bFullScreen;
};

// A rectangle of the desktop.
struct stArea
{
    int iX;
    int iY;
    int iWidth;
    int iHeight;
};

static stArea sDesktop = {0, 0, sys_iScreenWidth, sys_iScreenHeight};  // the whole desktop
static stArea sMonitor = {0, 0, sys_iScreenWidth, sys_iScreenHeight};  // the monitor in use
static stDisplayMode sCurrent;                                         // the mode now set

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
    const int iScale =
        setupChooseScale(sys_iDisplayScale, sMonitor.iWidth, sMonitor.iHeight, false);
    return {GFX_AUTODETECT_WINDOWED,
            sys_iScreenWidth * iScale,
            sys_iScreenHeight * iScale,
            iScale,
            0,
            0,
            false};
}

// Takes the monitor the program is at as the one to size the display for (under X11, where
// several monitors may make one screen; elsewhere the desktop is the monitor).
static void setupUseMonitor(bool bByWindow)
{
    sMonitor = sDesktop;
#ifdef ALLEGRO_WITH_XWINDOWS
    setupFindMonitor(bByWindow, sMonitor.iX, sMonitor.iY, sMonitor.iWidth, sMonitor.iHeight);
#endif
}

// Full screen at the desktop's own size, so the monitor keeps its mode; the picture is scaled
// to fit the monitor in use and centred on it, on black. The drivers are named, since
// autodetection would try others first.
static stDisplayMode setupDesktopMode()
{
#if defined(ALLEGRO_WITH_XWINDOWS)
    const int iDriver = GFX_XWINDOWS_FULLSCREEN;
#elif defined(ALLEGRO_WINDOWS)
    const int iDriver = GFX_DIRECTX;
#else
    const int iDriver = GFX_AUTODETECT_FULLSCREEN;
#endif
    const int iScale = setupChooseScale(sys_iDisplayScale, sMonitor.iWidth, sMonitor.iHeight, true);
    return {iDriver,
            sDesktop.iWidth,
            sDesktop.iHeight,
            iScale,
            sMonitor.iX + (sMonitor.iWidth - sys_iScreenWidth * iScale) / 2,
            sMonitor.iY + (sMonitor.iHeight - sys_iScreenHeight * iScale) / 2,
            true};
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
        return {GFX_AUTODETECT_FULLSCREEN, sys_iScreenWidth, sys_iScreenHeight, 1, 0, 0, true};
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
    if (get_desktop_resolution(&sDesktop.iWidth, &sDesktop.iHeight) != 0)
    {
        sDesktop = {0, 0, sys_iScreenWidth, sys_iScreenHeight};
    }
    setupUseMonitor(false);
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

// What every newly set mode needs: the window's decoration and the picture's geometry.
static void setupAfterMode()
{
    setupDecorate();
    screenReset(sCurrent.iScale, sCurrent.iLeft, sCurrent.iTop);
}

// Switches between the window and the full screen at the colour depth in use. When the new mode
// cannot be set the old one is set again; when neither can be, the program ends.
void setupSwitchDisplay()
{
    const stDisplayMode sOld = sCurrent;
    if (!sOld.bFullScreen)
    {
        setupUseMonitor(true);
    }
    const stDisplayMode sNew = sOld.bFullScreen ? setupWindowMode() : setupDesktopMode();
    if (!setupTryMode(sNew) && !setupTryMode(sOld))
    {
        setupModeFailed(sOld);
    }
    setupAfterMode();
}

// Where the pointer is, in pixels of the display, and which buttons are held, as the library's
// bits (1 left, 2 right, 4 middle); false when it is off the display. iX, iY and iButtons come
// in as the library has them. The library keeps its pointer inside the display even while a
// drag goes beyond it, and learns of the pointer later than the platform does, so where the
// platform can be asked it answers all three at one moment.
bool setupReadPointer(int& iX, int& iY, int& iButtons)
{
#if defined(ALLEGRO_WITH_XWINDOWS)
    return setupQueryPointer(iX, iY, iButtons);
#elif defined(ALLEGRO_WINDOWS)
    return setupCursorInWindow(iX, iY);
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
