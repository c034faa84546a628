/*
 * Tarvenloft - the way from the back buffer to the visible screen.
 *
 * screenDisplay presents one frame and then reads the pointer and the
 * presses for the next one; screenPresent presents the picture alone (as
 * the fades of screen_fade.h do step by step), and screenCover fills the
 * display with a colour. The picture is always the 640 x 480 back buffer: the display may
 * be larger, and shows it scaled by a whole factor and centred.
 * screenPointerShow and screenPointerHide put the mouse pointer into the
 * back buffer around a presented frame.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SCREEN_H
#define TARVENLOFT_SCREEN_H

#include "header.h"

void screenDisplay();
void screenPresent();
void screenCover(int iColor);

void screenPointerShow();
void screenPointerHide();

void screenReset(int iScale, int iLeft, int iTop);
void screenMapPointer(int iX, int iY, int iButtons, bool bInside);

#endif
