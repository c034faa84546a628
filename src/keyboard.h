/*
 * Tarvenloft - single key presses from the live key table.
 *
 * The library keeps a table of held keys. keyUpdate samples it once per
 * frame and registers a press when a key that was seen held is seen
 * released; keyCheck hands each registered press out once. Every other
 * reader of the keyboard asks keyHeld, and finds the moment a key or a
 * chord goes down or up with keyEdge.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_KEYBOARD_H
#define TARVENLOFT_KEYBOARD_H

#include "header.h"

class CKeys
{
  public:
    bool bDown[256];     // key seen held and not yet seen released
    bool bPressed[256];  // release seen and not yet collected
};

extern CKeys keycheck;  // the key edge tables, indexed by scan code

int keyUpdate();
bool keyCheck(int iKey);
int keyReset();

/* Whether key iKey (a library scan code) is held. */
bool keyHeld(int iKey);
bool keyShiftHeld();    // either shift key
bool keyControlHeld();  // either control key

/* Whether bHeld, a key or a chord as this frame sees it, has just gone down (or, with
   bOnRelease, up) since the last call that kept its state in bWasHeld. */
bool keyEdge(bool& bWasHeld, bool bHeld, bool bOnRelease);

#endif
