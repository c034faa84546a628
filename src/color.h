/*
 * Tarvenloft - colour passes: whole-bitmap passes used when artwork is
 * loaded, and the translucent box that panels, cursors and notices are
 * drawn with.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_COLOR_H
#define TARVENLOFT_COLOR_H

#include "header.h"

int colorReplace(BITMAP* bImage, int iColor, int iReplace);
int colorAlpha(BITMAP* bImage);

/* Lays a box of iColor from (iX0, iY0) to (iX1, iY1) inclusive over mImage, translucent at the
   blender's level (start-up sets 127, half and half). */
void colorShade(BITMAP* mImage, int iX0, int iY0, int iX1, int iY1, int iColor);

#endif
