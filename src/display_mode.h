/*
 * Tarvenloft - the display mode and the window's manners.
 *
 * modeOpen sets the display at start-up: a window or full screen, at 32
 * bits or else 16, at the picture's own size or enlarged by a whole factor
 * ("DisplayScale"), and ends the program with its stage's code when no mode
 * can be had. modeCheckRequests, called before every presented frame of
 * a screen loop, acts on the window's requests: Alt+Enter switches between
 * the window and the desktop's full screen, and the close button ends the
 * program unless modeGuardClose leaves the request to the program. After every mode set the window
 * is decorated again and the picture's new geometry goes to the screen module.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_DISPLAY_MODE_H
#define TARVENLOFT_DISPLAY_MODE_H

#include "header.h"

/* Exit codes of the display stage. */
const int iExitFullscreen = 301;   // no full-screen mode at 32 or 16 bits
const int iExitWindowed = 302;     // no windowed mode at 32 or 16 bits
const int iExitBackBuffer = 303;   // the back buffer could not be created
const int iExitDisplayLost = 304;  // the connection to the display was lost while running

void modeDecorate();
void modeOpen();
void modeCheckRequests();
void modeSetTitle(const std::string& tTitle);
void modeGuardClose(bool bGuard);
void modeRequestClose();
bool modeCloseRequested();
bool modeTakeCloseRequest();
int modeChooseScale(int iSetting, int iWidth, int iHeight, bool bFullScreen);

#endif
