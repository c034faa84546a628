/*
 * Tarvenloft - fades between screens.
 *
 * screenIn and screenOut are blocking fades of the back buffer's picture
 * from and to a plain colour; screenGet copies the back buffer for a caller.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SCREEN_FADE_H
#define TARVENLOFT_SCREEN_FADE_H

#include "header.h"

void screenGet(BITMAP* mBitmap);
void screenIn(int iSpeed, int iColor);
void screenOut(int iSpeed, int iColor);

#endif
