/*
 * Tarvenloft - what the program asks of the window system and the
 * operating system.
 *
 * The library does nearly everything: display, input, timers. What it does
 * not tell, or tells too late, is asked here: whether a shift key is held
 * before the window exists, where the pointer is at this moment, which
 * monitor the program is on, how the window is named and marked, what to
 * do when the display goes away, how a file is replaced safely, which
 * drives there are and where the user's own folders are. One source file
 * answers for each platform: platform_x11.cpp for Linux under X11 (and for
 * the headless unit tests and fuzzers, which have no display, so its
 * questions find nobody to ask and give the library's own answers), with
 * platform_posix.cpp for what needs no window system there (standard error,
 * replacing a file) and platform_xdg.cpp for the user's folders, and
 * platform_windows.cpp for Windows. The build compiles the ones that fit. No other module talks
 * to X11 or Windows.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PLATFORM_H
#define TARVENLOFT_PLATFORM_H

#include <vector>

#include "header.h"

// Gives the library what it must know before it makes its window: the window's class and icon.
void platNameWindow();

// Names the window tTitle (UTF-8) in any script: under X11 _NET_WM_NAME beside WM_NAME, on
// Windows through the wide title call. Called after the library's own title, which it betters.
void platTitleWindow(const std::string& tTitle);

// Marks the window as this process's (under X11 _NET_WM_PID and WM_CLIENT_MACHINE), after every
// display mode set.
void platMarkWindow();

// From now on a lost connection to the display ends the program at once with iExitCode.
void platWatchDisplay(int iExitCode);

// Whether either shift key is held now, asked of the system itself: the library learns of keys
// only through its window, which may not exist yet.
bool platShiftHeld();

// The pointer and its buttons at this moment: (iX, iY) in pixels of the display and the buttons
// as the library's bits (1 left, 2 right, 4 middle). False when the pointer is off the display.
// iX, iY and iButtons come in as the library has them and are kept where the system cannot say.
bool platReadPointer(int& iX, int& iY, int& iButtons);

// Lets the program learn cheaply when the pointer may have moved: under X11, motion, crossings
// and moves of the program's window reach its own connection too. Called after every mode set;
// a press made before it is forgotten.
void platWatchPointer();

// Whether the window system has told of motion, a crossing or a moved window since the last
// call (true where it cannot tell): only then, or when the library saw the mouse change, is the
// pointer worth asking for, which under X11 is a round trip to the server. Presses of the mouse
// buttons on the program's window that the system told of meanwhile go to the latch of
// input_latch.h, so that a press released before the frame looks still counts.
bool platPointerMoved();

// From now on the system's reports of button presses on the program's window reach the latch of
// input_latch.h, on whatever thread sees them first (or at the next platPointerMoved). Once, at
// start-up.
void platWatchPresses();

// The pointer's place on the desktop, and putting it there: a mode set may move it, and the
// program puts it back.
bool platDesktopPointer(int& iX, int& iY);
void platPlacePointer(int iX, int iY);

// The monitor the program is at, where several make one desktop: the one under the middle of
// the window when bByWindow, else the one under the pointer. Leaves the area as it is where
// there is no such list or no monitor holds the point.
void platFindMonitor(bool bByWindow, int& iX, int& iY, int& iWidth, int& iHeight);

// The library's driver for a full screen at the desktop's own size.
int platDesktopDriver();

// Whether waiting for the vertical retrace waits for a real one (some drivers only sleep).
bool platRetraceIsReal();

// Makes standard output a copy of standard error, where the library prints the messages it
// cannot show in a box.
void platMessagesToStandardError();

// Where the program started with a map file from another directory than its own folder (on
// Windows, a file dropped on the program starts it elsewhere), tMapFile becomes an absolute path
// and the program's own folder, which holds its settings and resources, the working directory.
// Under X11 the launcher sees to the working directory, and this does nothing.
void platWorkBesideProgram(std::string& tMapFile);

// While hushed, nothing reaches standard error: the sound library's complaints about a machine
// without a sound card are hushed while it looks for one. Standard output still shows.
void platHushErrors(bool bHush);

// The folder where the program keeps what it remembers for the user between runs (the last
// map): under X11 $XDG_STATE_HOME/tarvenloft (~/.local/state/tarvenloft without it), on Windows
// %APPDATA%\Tarvenloft. Never made here; "" where the system cannot say.
std::string platStateFolder();

// The user's own folder for maps, "Tarvenloft" in the documents folder: under X11 the XDG
// documents folder of user-dirs.dirs, else ~/Documents; on Windows the user's Documents. Never
// made here (on Windows the Documents folder is, where it is missing); "" where the system
// cannot say.
std::string platMapsFolder();

// Writes tData to tFile so that the file holds either its old content or all of tData, never a
// part: a temporary file in the same directory, flushed to the disk, then renamed over tFile.
// False, with the reason in tWhy, when that fails; tFile is then as it was. No temporary file is
// left behind either way.
bool platWriteFileAtomically(const std::string& tFile, const std::string& tData, std::string& tWhy);

// The roots of the drives, where each drive is a tree of folders of its own (on Windows "C:\" and
// "D:\", say, in UTF-8); none where one root holds every folder.
std::vector<std::string> platDriveRoots();

#endif
