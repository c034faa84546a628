/*
 * Tarvenloft - the display mode and the window's manners.
 *
 * The picture is always 640 x 480. Without "DisplayScale" in the settings
 * the display is the library's own 640 x 480 window or full screen, as it
 * always was. With it, a window is 640·s x 480·s for a whole factor s, and
 * full screen takes the desktop's own size, so the monitor keeps its mode,
 * with the picture enlarged as far as fits and centred on black. Where
 * several monitors make one desktop, the factor and the centring follow the
 * monitor the program is at. Alt+Enter switches between the window and the
 * desktop's full screen; a mode that cannot be set gives way to the old one.
 *
 * The window is the program's own: its title is "Tarvenloft" (with a map
 * file, the file's name first), and the close button ends the program with
 * 0 at the next frame, as Quit does, unless the program has unsaved changes
 * to ask about.
 *
 * SPDX-License-Identifier: MIT
 */
#include "display_mode.h"

#include <cstdlib>

#include "keyboard.h"
#include "platform.h"
#include "screen.h"

static const char* cFullscreenError =
    "There was a problem, and the program was unable to setup the FULLSCREEN display. Try "
    "running the game in windowed mode by holding the shift key when booting up.\n\nAllegro "
    "Error:\n%s";
static const char* cWindowedError =
    "There was a problem, and the program was unable to setup the WINDOWED display.\n\nAllegro "
    "Error:\n%s";

// Room a window leaves on the desktop for a title bar and a panel, in pixels.
static const int iWindowFrame = 80;

// A display mode: the library's driver and size, the whole factor the picture is shown at and
// where on the display the scaled picture's top-left corner is.
struct stMode
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
static stMode sCurrent;                                                // the mode now set
static volatile bool bCloseRequested = false;  // set by the close button, on the library's thread
static bool bCloseGuarded = false;             // a close request is left to the program to answer
static bool bSwitchHeld = false;               // Alt+Enter was down at the last frame
static std::string tTitle = "Tarvenloft";      // the window's title

// What the close button does, on the library's thread.
void modeRequestClose()
{
    bCloseRequested = true;
}

// The window's decoration while the program runs: its title, the close button and its owner.
// Safe to call again after every change of the display mode.
void modeDecorate()
{
    set_window_title(tTitle.c_str());
    platTitleWindow(tTitle);
    set_close_button_callback(modeRequestClose);
    platMarkWindow();
}

// The whole factor for a display on a desktop of iWidth x iHeight: the largest that fits (a
// window leaves room for a title bar and a panel), or the factor the settings name where it
// fits. Without a factor in the settings a window keeps the picture's own size.
int modeChooseScale(int iSetting, int iWidth, int iHeight, bool bFullScreen)
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

static stMode modeWindow()
{
    const int iScale = modeChooseScale(sys_iDisplayScale, sMonitor.iWidth, sMonitor.iHeight, false);
    return {GFX_AUTODETECT_WINDOWED,
            sys_iScreenWidth * iScale,
            sys_iScreenHeight * iScale,
            iScale,
            0,
            0,
            false};
}

// Takes the monitor the program is at as the one to size the display for.
static void modeUseMonitor(bool bByWindow)
{
    sMonitor = sDesktop;
    platFindMonitor(bByWindow, sMonitor.iX, sMonitor.iY, sMonitor.iWidth, sMonitor.iHeight);
}

// Full screen at the desktop's own size; the picture is scaled to fit the monitor in use and
// centred on it, on black.
static stMode modeDesktop()
{
    const int iScale = modeChooseScale(sys_iDisplayScale, sMonitor.iWidth, sMonitor.iHeight, true);
    return {platDesktopDriver(),
            sDesktop.iWidth,
            sDesktop.iHeight,
            iScale,
            sMonitor.iX + (sMonitor.iWidth - sys_iScreenWidth * iScale) / 2,
            sMonitor.iY + (sMonitor.iHeight - sys_iScreenHeight * iScale) / 2,
            true};
}

// The display the settings and a held shift key ask for at start-up. Without a factor in the
// settings, full screen is the library's own 640x480 mode.
static stMode modeAtStart()
{
    if (sys_bWindowedMode)
    {
        return modeWindow();
    }
    if (sys_iDisplayScale == giScaleUnset)
    {
        return {GFX_AUTODETECT_FULLSCREEN, sys_iScreenWidth, sys_iScreenHeight, 1, 0, 0, true};
    }
    return modeDesktop();
}

// Sets sMode, leaving the user's pointer where it is. Setting a mode makes the library put its
// pointer in the middle of the display through its mouse driver, and the drivers take the user's
// pointer with them: on Windows the system's cursor is moved there; under X11 the library moves
// the X pointer to the middle of its window for a while and counts motion from there, then leaves
// the X pointer where its count ended. The program reads the pointer from the platform itself, so
// the driver is kept from moving anything: without its position call the library only notes the
// middle as its own idea. Under X11 a full screen also moves the pointer to its middle as it
// takes it, so the pointer is put back where it was on the desktop.
static bool modeTry(const stMode& sMode)
{
    int iPointerX, iPointerY;
    const bool bPointerKnown = platDesktopPointer(iPointerX, iPointerY);
    void (*fnPosition)(int, int) = mouse_driver != NULL ? mouse_driver->position : NULL;
    if (mouse_driver != NULL)
    {
        mouse_driver->position = NULL;
    }
    const bool bSet = set_gfx_mode(sMode.iDriver, sMode.iWidth, sMode.iHeight, 0, 0) == 0;
    if (mouse_driver != NULL)
    {
        mouse_driver->position = fnPosition;
    }
    if (bSet && bPointerKnown && sMode.bFullScreen)
    {
        platPlacePointer(iPointerX, iPointerY);
    }
    if (bSet)
    {
        sCurrent = sMode;
    }
    return bSet;
}

// Shows why sMode could not be set and ends the program with its stage's code.
static void modeFailed(const stMode& sMode)
{
    if (sMode.bFullScreen)
    {
        allegro_message(cFullscreenError, allegro_error);
        exit(iExitFullscreen);
    }
    allegro_message(cWindowedError, allegro_error);
    exit(iExitWindowed);
}

// What every newly set mode needs: the window's decoration and the picture's geometry.
static void modeAfterSet()
{
    modeDecorate();
    platWatchPointer();
    screenReset(sCurrent.iScale, sCurrent.iLeft, sCurrent.iTop);
}

// Whether either shift key is held: the library's key table, or the system's own answer.
static bool modeShiftHeld()
{
    return keyShiftHeld() || platShiftHeld();
}

// Opens the display at 32 bits, else at 16 bits with the same driver. A held shift key asks for
// a window whatever the settings say; full screen never falls back to a window. From then on a
// lost display ends the program with its own code.
void modeOpen()
{
    if (get_desktop_resolution(&sDesktop.iWidth, &sDesktop.iHeight) != 0)
    {
        sDesktop = {0, 0, sys_iScreenWidth, sys_iScreenHeight};
    }
    modeUseMonitor(false);
    set_color_depth(32);
    if (modeShiftHeld())
    {
        sys_bWindowedMode = true;
    }
    const stMode sMode = modeAtStart();
    if (!modeTry(sMode))
    {
        set_color_depth(16);
        if (!modeTry(sMode))
        {
            modeFailed(sMode);
        }
    }
    platWatchDisplay(iExitDisplayLost);
    modeAfterSet();
}

// Switches between the window and the full screen at the colour depth in use. When the new mode
// cannot be set the old one is set again; when neither can be, the program ends.
static void modeSwitch()
{
    const stMode sOld = sCurrent;
    if (!sOld.bFullScreen)
    {
        modeUseMonitor(true);
    }
    const stMode sNew = sOld.bFullScreen ? modeWindow() : modeDesktop();
    if (!modeTry(sNew) && !modeTry(sOld))
    {
        modeFailed(sOld);
    }
    modeAfterSet();
}

// Names the window, from now on and after every mode set.
void modeSetTitle(const std::string& tNewTitle)
{
    if (tNewTitle != tTitle)
    {
        tTitle = tNewTitle;
        set_window_title(tTitle.c_str());
        platTitleWindow(tTitle);
    }
}

// While guarded, a press of the close button does not end the program: modeTakeCloseRequest
// hands it to the program, which has something to ask first.
void modeGuardClose(bool bGuard)
{
    bCloseGuarded = bGuard;
}

// Whether a press of the close button waits to be taken, leaving it there: a screen that runs
// over the caller's, such as the file picker, ends at it and leaves the answer to the caller.
bool modeCloseRequested()
{
    return bCloseRequested;
}

// Whether the close button was pressed since the last call.
bool modeTakeCloseRequest()
{
    const bool bRequested = bCloseRequested;
    bCloseRequested = false;
    return bRequested;
}

// After a press of the close button the program ends as it would through exit(0), with the
// library's exit handler, unless the program guards it; Alt+Enter switches the display once per
// press.
void modeCheckRequests()
{
    if (bCloseRequested && !bCloseGuarded)
    {
        exit(0);
    }
    const bool bHeld = keyHeld(KEY_ENTER) && (keyHeld(KEY_ALT) || keyHeld(KEY_ALTGR));
    if (keyEdge(bSwitchHeld, bHeld, false))
    {
        modeSwitch();
    }
}
