/*
 * Tarvenloft - single key presses from the live key table.
 *
 * A press counts when the key goes up, once it has been seen held. The
 * library's key table has KEY_MAX entries; the edge tables have 256, and
 * the entries past KEY_MAX never change.
 *
 * SPDX-License-Identifier: MIT
 */
#include "keyboard.h"

CKeys keycheck;

int keyUpdate()
{
    for (int i = 0; i < KEY_MAX; i++)
    {
        if (key[i])
        {
            keycheck.bDown[i] = true;
        }
        if (!key[i] && keycheck.bDown[i])
        {
            keycheck.bDown[i] = false;
            keycheck.bPressed[i] = true;
        }
    }
    return 0;
}

// Hands out a registered press of iKey once. Codes outside the table are never pressed.
bool keyCheck(int iKey)
{
    if (iKey < 0 || iKey >= 256 || !keycheck.bPressed[iKey])
    {
        return false;
    }
    keycheck.bPressed[iKey] = false;
    return true;
}

int keyReset()
{
    for (int i = 0; i < 256; i++)
    {
        keycheck.bPressed[i] = false;
    }
    return 0;
}
