/*
 * Tarvenloft - the frame composer.
 *
 * A screen draws its picture into mBuffer and ends the frame with
 * displayAll, which adds buttons, texts, the debug overlay and the pointer,
 * presents the frame and waits for the next tick.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_GUI_MAIN_H
#define TARVENLOFT_GUI_MAIN_H

#include "header.h"

void displayAll();
void guiDebug_();

#endif
