/*
 * Tarvenloft - the file picker's keys and clicks.
 *
 * Keys come from the library's key buffer, each press once, in the order
 * typed, with the character it makes in the user's layout; so a press
 * shorter than a frame still counts and typing never drops a letter. What
 * only moves the list or edits the name field is done here; what needs the
 * disk or the caller (entering a folder, choosing a file, leaving) goes
 * back as a request, one of giAsk..., for file_picker.cpp to carry out.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PICK_INPUT_H
#define TARVENLOFT_PICK_INPUT_H

#include "pick_state.h"

/* Selects entry i (kept inside the list; none in an empty list) and scrolls it into view. In
   Save As a file's name goes into the name field, all of it selected. */
void pickSelect(stPicker& p, int i);

/* Takes the keys typed since the last frame from the library's buffer, up to the first that asks
   for something, and returns that request (giAskNothing when none did); iScan is then the scan
   code of the key that asked. */
int pickKeys(stPicker& p, int& iScan);

/* Takes the mouse as this frame left it: the wheel, a press on the list, the scroll bar or the
   name field, and clicks of the two buttons. Returns the request, giAskNothing when none. */
int pickMouse(stPicker& p);

#endif
