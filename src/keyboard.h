/*
 * Tarvenloft - single key presses from the live key table.
 *
 * The library keeps a table of held keys. keyUpdate samples it once per
 * frame and registers a press when a key that was seen held is seen
 * released; keyCheck hands each registered press out once.
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

#endif
