/*
 * Tarvenloft - start-up of the library and the hardware.
 *
 * CSetup brings the library up in a fixed order: the library itself, the
 * pacing timers, keyboard and mouse, the display with its back buffer and
 * pointer, and sound. A step that cannot go on shows a message and ends the
 * process with the exit code of its stage: 1xx library, 2xx timers,
 * 3xx display. Only this module and screen.cpp touch the display. The
 * window's close button ends the program at the next presented frame.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SETUP_H
#define TARVENLOFT_SETUP_H

#include "header.h"

#ifdef ALLEGRO_WITH_XWINDOWS
// The library's window icon, an XPM that it gives the window when it makes it. The library
// defines it (as its own picture) but declares it in no public header.
extern "C" void* allegro_icon;
#endif

/* Exit codes of the start-up stages. */
const int iExitLibrary = 101;      // the library could not be initialised
const int iExitTimers = 201;       // a pacing timer could not be installed
const int iExitFullscreen = 301;   // no full-screen mode at 32 or 16 bits
const int iExitWindowed = 302;     // no windowed mode at 32 or 16 bits
const int iExitBackBuffer = 303;   // the back buffer could not be created
const int iExitDisplayLost = 304;  // the connection to the display was lost while running

class CSetup
{
  public:
    std::string tPath;  // path of the pointer image, set by Graphics

    int Init();
    int Graphics();
    int Input();
    int Network();
    int Sound();
    int Timers();
};

extern CSetup setup;  // the one start-up object

int setupCore();
int setupChooseScale(int iSetting, int iWidth, int iHeight, bool bFullScreen);
void setupSwitchDisplay();
bool setupReadPointer(int& iX, int& iY, int& iButtons);

// Ends the program (as exit(0) does) when the window's close button has been pressed since
// start-up. screenDisplay calls it before every presented frame.
void setupCheckClose();

#endif
