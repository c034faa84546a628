/*
 * Tarvenloft - whole-bitmap colour passes used when artwork is loaded.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_COLOR_H
#define TARVENLOFT_COLOR_H

#include "header.h"

int colorReplace(BITMAP* bImage, int iColor, int iReplace);
int colorAlpha(BITMAP* bImage);

#endif
