/*
 * Tarvenloft - start-up of the library and the hardware.
 *
 * CSetup brings the library up in a fixed order: the library itself, the
 * pacing timers, keyboard and mouse, the display with its back buffer and
 * pointer, and sound. A step that cannot go on shows a message and ends the
 * process with the exit code of its stage: 1xx library, 2xx timers,
 * 3xx display (display_mode.h).
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SETUP_H
#define TARVENLOFT_SETUP_H

#include "header.h"

/* Exit codes of the start-up stages before the display. */
const int iExitLibrary = 101;  // the library could not be initialised
const int iExitTimers = 201;   // a pacing timer could not be installed

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

#endif
