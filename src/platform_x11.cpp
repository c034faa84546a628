/*
 * Tarvenloft - the platform's answers on Linux, under X11.
 *
 * The program keeps one connection of its own to the X server, opened on
 * first use and asked on the main thread only, so that the library's input
 * thread is never disturbed. Without a display (the headless tests) there is
 * no connection, and every question gets the library's own answer. The
 * same connection hears of every button press (XInput 2's raw events), so
 * that a press released before the next frame still counts. What needs no
 * window system is in platform_posix.cpp.
 *
 * SPDX-License-Identifier: MIT
 */
#include "platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <atomic>
#include <unistd.h>
#include <xalleg.h>  // the library's X11 window and xwin_set_window_name

#include "input_latch.h"
#include "platform_x11.h"
#include "tarvenloft_icon.xpm"  // tarvenloft_icon_xpm, made by the artwork tool

static int iPlatLostCode = 0;        // exit code when the display connection is lost
static int iPlatXInput = -1;         // XInput's major opcode, while raw presses are watched
static const int iPlatButtons = 32;  // the most buttons the server's button map has

// Our own connection to the X server, or NULL when none can be had.
static Display* platServer()
{
    static Display* pServer = XOpenDisplay(NULL);
    return pServer;
}

// Under X11 the window's class (WM_CLASS "tarvenloft", "Tarvenloft", which the desktop entry's
// StartupWMClass names) and its icon are set only when the library makes the window.
void platNameWindow()
{
    xwin_set_window_name("tarvenloft", "Tarvenloft");
    allegro_icon = const_cast<char**>(tarvenloft_icon_xpm);
}

// _NET_WM_PID, with the WM_CLIENT_MACHINE it needs, on the library's managed window: with them a
// task bar can tell the program's window from another's and offer to end the process.
void platMarkWindow()
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

// The library sets WM_NAME with every character past ASCII made '^'. WM_NAME is set again here
// as Xlib converts it (Latin-1, else compound text), and _NET_WM_NAME, which window managers
// show first, as the UTF-8 it is.
void platTitleWindow(const std::string& tTitle)
{
    XLOCK();
    if (_xwin.display != NULL && _xwin.wm_window != None)
    {
        char* pTitle = const_cast<char*>(tTitle.c_str());
        XTextProperty sName;
        if (Xutf8TextListToTextProperty(_xwin.display, &pTitle, 1, XStdICCTextStyle, &sName) ==
            Success)
        {
            XSetWMName(_xwin.display, _xwin.wm_window, &sName);
            XFree(sName.value);
        }
        XChangeProperty(
            _xwin.display, _xwin.wm_window, XInternAtom(_xwin.display, "_NET_WM_NAME", False),
            XInternAtom(_xwin.display, "UTF8_STRING", False), 8, PropModeReplace,
            reinterpret_cast<const unsigned char*>(tTitle.data()), static_cast<int>(tTitle.size()));
        XFlush(_xwin.display);
    }
    XUNLOCK();
}

// Xlib's own handler for a lost display connection calls exit from whichever thread noticed,
// and the library's exit handler then tears the display down under the main thread: the
// program crashes or deadlocks. Say so in one line and end at once, without exit handlers.
// The library's thread and the main thread, each on its own connection, may notice together:
// only the first says it.
static int platDisplayLost(Display*)
{
    static std::atomic_flag aSaid = ATOMIC_FLAG_INIT;
    static const char cMessage[] = "Tarvenloft: the connection to the X display was lost.\n";
    if (!aSaid.test_and_set())
    {
        ssize_t iWritten = write(STDERR_FILENO, cMessage, sizeof(cMessage) - 1);
        (void)iWritten;  // with standard error gone too, nothing more can be said
    }
    _exit(iPlatLostCode);
}

void platWatchDisplay(int iExitCode)
{
    iPlatLostCode = iExitCode;
    XSetIOErrorHandler(platDisplayLost);
}

// Under X11 the library learns of keys only from its own window's events, so a shift key held
// since before that window exists never reaches key[]: ask the X server for the keyboard itself.
bool platShiftHeld()
{
    Display* pDisplay = platServer();
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

// Asked of the X server at every frame, on the program's own connection: the library learns of
// the pointer only from its window's events, so it misses a window moved under a still pointer,
// and a pointer that jumps without motion (a touch screen, a tablet, a remote desktop) reaches it
// later than the press that follows. Without a connection, the library's own idea is kept.
bool platReadPointer(int& iX, int& iY, int& iButtons)
{
    Display* pServer = platServer();
    if (pServer == NULL || _xwin.window == None)
    {
        return mouse_on_screen();
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

void platWatchPointer()
{
    Display* pServer = platServer();
    if (pServer == NULL || _xwin.window == None)
    {
        return;
    }
    XSelectInput(pServer, _xwin.window, PointerMotionMask | EnterWindowMask | LeaveWindowMask);
    if (_xwin.wm_window != None)
    {
        XSelectInput(pServer, _xwin.wm_window, StructureNotifyMask);  // moved by a user or a WM
    }
    XFlush(pServer);
}

// The physical buttons of a raw press (bit b - 1 for button b), or 0 for any other event.
static unsigned platRawPress(Display* pServer, XEvent& sEvent)
{
    XGenericEventCookie& sCookie = sEvent.xcookie;
    if (sCookie.type != GenericEvent || sCookie.extension != iPlatXInput ||
        !XGetEventData(pServer, &sCookie))
    {
        return 0;
    }
    unsigned iPressed = 0;
    if (sCookie.evtype == XI_RawButtonPress)
    {
        const int iButton = static_cast<XIRawEvent*>(sCookie.data)->detail;
        iPressed = (iButton >= 1 && iButton <= iPlatButtons) ? 1u << (iButton - 1) : 0;
    }
    XFreeEventData(pServer, &sCookie);
    return iPressed;
}

// The library's bits (1 left, 2 right, 4 middle) for the physical buttons iPressed, through the
// server's button map, which a left-handed setting turns round. Wheel notches come as presses of
// buttons 4 and up, and give no bit.
static int platLibraryButtons(Display* pServer, unsigned iPressed)
{
    unsigned char cMap[iPlatButtons];
    const int iMapped = XGetPointerMapping(pServer, cMap, iPlatButtons);
    int iButtons = 0;
    for (int i = 0; i < iPlatButtons; i++)
    {
        const int iLogical = (i < iMapped) ? cMap[i] : i + 1;
        if ((iPressed >> i) & 1)
        {
            iButtons |= (iLogical == 1) ? 1 : (iLogical == 3) ? 2 : (iLogical == 2) ? 4 : 0;
        }
    }
    return iButtons;
}

// Whether the pointer is on the program's window with no other window over it there: the
// deepest window under the pointer, found from the root down.
static bool platPointerOnWindow(Display* pServer)
{
    Window iWindow = None, iChild = DefaultRootWindow(pServer), iRoot;
    int iRootX, iRootY, iX, iY;
    unsigned int iMask;
    while (iChild != None)
    {
        iWindow = iChild;
        if (!XQueryPointer(pServer, iWindow, &iRoot, &iChild, &iRootX, &iRootY, &iX, &iY, &iMask))
        {
            return false;
        }
    }
    return iWindow == _xwin.window;
}

// Reads away every event that has reached the program's own connection. A full screen grabs the
// pointer for the library's connection alone; then the library's own reports tell of motion.
// Raw presses tell only which button went down, not where: they count for the program when the
// pointer is on its window now, a frame at most later.
bool platPointerMoved()
{
    Display* pServer = platServer();
    if (pServer == NULL)
    {
        return true;
    }
    bool bMoved = false;
    unsigned iPressed = 0;
    while (XPending(pServer) > 0)
    {
        XEvent sEvent;
        XNextEvent(pServer, &sEvent);
        iPressed |= platRawPress(pServer, sEvent);
        bMoved = true;
    }
    if (iPressed != 0 && _xwin.window != None && platPointerOnWindow(pServer))
    {
        latchButtonPress(platLibraryButtons(pServer, iPressed));
    }
    return bMoved;
}

// Only one client may select the button presses of a window, and the library has; but any
// client may select the raw presses of every device on the root window, which reach it whoever
// holds a grab (XInput 2.1 and later). Without XInput 2.1 only presses held into a frame count.
void platWatchPresses()
{
    Display* pServer = platServer();
    int iEvent, iError, iMajor = 2, iMinor = 2;
    if (pServer == NULL ||
        !XQueryExtension(pServer, "XInputExtension", &iPlatXInput, &iEvent, &iError) ||
        XIQueryVersion(pServer, &iMajor, &iMinor) != Success || iMajor * 100 + iMinor < 201)
    {
        iPlatXInput = -1;
        return;
    }
    unsigned char cMask[XIMaskLen(XI_RawButtonPress)] = {};
    XISetMask(cMask, XI_RawButtonPress);
    XIEventMask sMask;
    sMask.deviceid = XIAllMasterDevices;
    sMask.mask_len = sizeof(cMask);
    sMask.mask = cMask;
    XISelectEvents(pServer, DefaultRootWindow(pServer), &sMask, 1);
    XFlush(pServer);
}

bool platDesktopPointer(int& iX, int& iY)
{
    Display* pServer = platServer();
    Window iRoot, iChild;
    int iWindowX, iWindowY;
    unsigned int iMask;
    return pServer != NULL && XQueryPointer(pServer, DefaultRootWindow(pServer), &iRoot, &iChild,
                                            &iX, &iY, &iWindowX, &iWindowY, &iMask);
}

void platPlacePointer(int iX, int iY)
{
    Display* pServer = platServer();
    if (pServer != NULL)
    {
        XWarpPointer(pServer, None, DefaultRootWindow(pServer), 0, 0, 0, 0, iX, iY);
        XFlush(pServer);
    }
}

// The point of the X screen the program is at: the middle of its window once that is shown,
// else the pointer, where the user is about to look.
static bool platWhereOnServer(Display* pServer, bool bByWindow, int& iX, int& iY)
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

// From the server's list of monitors (RandR 1.5), where several monitors make one X screen.
void platFindMonitor(bool bByWindow, int& iX, int& iY, int& iWidth, int& iHeight)
{
    Display* pServer = platServer();
    int iEvent, iError, iMajor = 0, iMinor = 0, iAtX, iAtY;
    if (pServer == NULL || !XRRQueryExtension(pServer, &iEvent, &iError) ||
        !XRRQueryVersion(pServer, &iMajor, &iMinor) || iMajor * 100 + iMinor < 105 ||
        !platWhereOnServer(pServer, bByWindow, iAtX, iAtY))
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

// Named, since autodetection would try other full-screen drivers first.
int platDesktopDriver()
{
    return GFX_XWINDOWS_FULLSCREEN;
}

// The X11 drivers only simulate the retrace (a sleep until a 70 Hz counter moves), which guards
// against nothing there; waiting for it would only cost time.
bool platRetraceIsReal()
{
    return gfx_driver != NULL && gfx_driver->id != GFX_XWINDOWS &&
           gfx_driver->id != GFX_XWINDOWS_FULLSCREEN;
}
