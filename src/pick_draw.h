/*
 * Tarvenloft - drawing the file picker.
 *
 * The picture under the picker is kept, with the panel already laid over
 * it, in a bitmap of its own (pickShadeBackground, once per opening); each
 * frame copies it into mBuffer and draws on it the title, the folder's
 * path, the visible rows with the selection, the scroll bar, the message
 * and, in Save As, the name field. The buttons and their labels are the
 * frame composer's.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PICK_DRAW_H
#define TARVENLOFT_PICK_DRAW_H

#include "header.h"
#include "pick_state.h"

/* Lays the panel and the list's box over mBack, the picture the picker opens over. */
void pickShadeBackground(BITMAP* mBack);

/* Draws a frame of the picker into mBuffer, over mBack. */
void pickDraw(const stPicker& p, BITMAP* mBack);

/* How far the name field's text is pushed left so that the caret stays in the box, in pixels. */
int pickFieldScroll(const stPickField& field);

/* The x of the boundary before byte iAt of the field's text, on the screen. */
int pickFieldX(const stPickField& field, size_t iAt);

#endif
