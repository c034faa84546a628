/*
 * Tarvenloft - single key presses from the live key table.
 *
 * A press counts when the key goes up, once it has been seen held. The
 * library's key table has KEY_MAX entries; the edge tables have 256, and
 * the entries past KEY_MAX never change. A key that went down counts as
 * held for at least the frame that took its press, even when it went up
 * again before that frame sampled it.
 *
 * SPDX-License-Identifier: MIT
 */
#include "keyboard.h"

#include "input_latch.h"

CKeys keycheck;

int keyUpdate()
{
    for (int i = 0; i < KEY_MAX; i++)
    {
        if (keyEdge(keycheck.bDown[i], keyHeld(i), true))
        {
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

// Held in the library's table, or pressed for this frame however briefly (input_latch.h).
bool keyHeld(int iKey)
{
    return iKey >= 0 && iKey < KEY_MAX && (key[iKey] != 0 || latchKeyPressed(iKey));
}

bool keyShiftHeld()
{
    return keyHeld(KEY_LSHIFT) || keyHeld(KEY_RSHIFT);
}

bool keyControlHeld()
{
    return keyHeld(KEY_LCONTROL) || keyHeld(KEY_RCONTROL);
}

bool keyEdge(bool& bWasHeld, bool bHeld, bool bOnRelease)
{
    const bool bEdge = bOnRelease ? bWasHeld && !bHeld : bHeld && !bWasHeld;
    bWasHeld = bHeld;
    return bEdge;
}
