/*
 * Tarvenloft - the way from the back buffer to the visible screen.
 *
 * screenDisplay presents one frame; screenIn and screenOut are blocking
 * fades between screens; screenGet copies the back buffer for a caller.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SCREEN_H
#define TARVENLOFT_SCREEN_H

#include "header.h"

void screenDisplay();
void screenGet(BITMAP* mBitmap);
void screenIn(int iSpeed, int iColor);
void screenOut(int iSpeed, int iColor);

#endif
