/*
 * Tarvenloft - presses shorter than a frame.
 *
 * The latch is the only state shared between the threads that see presses
 * and the main thread: a bit per key and per button, set with an atomic
 * OR and taken with an atomic exchange, so that no press can fall between
 * the reading and the clearing. No lock. Beside it the reporting threads
 * keep which keys are down, so that a repeat is no new press. What the
 * frame took is the main thread's alone.
 *
 * SPDX-License-Identifier: MIT
 */
#include "input_latch.h"

#include <atomic>

#include "header.h"
#include <cstdint>

static const int iLatchKeys = 128;  // scan codes 0..127, all the library has
static const int iWordBits = 32;
static const int iKeyWords = iLatchKeys / iWordBits;

static std::atomic<uint32_t> aKeysLatched[iKeyWords];  // pressed since the last take
static std::atomic<uint32_t> aKeysDown[iKeyWords];     // down, as the reports tell it
static std::atomic<int> aButtonsLatched(0);
static uint32_t iKeysTaken[iKeyWords] = {};  // what this frame took
static int iButtonsTaken = 0;

static void latchKey(int iKey)
{
    aKeysLatched[iKey / iWordBits].fetch_or(1u << (iKey % iWordBits));
}

// A key goes down with the modifiers held at that moment: they are latched with it, so that a
// chord (Ctrl+S) that is let go before the frame takes it still reads as the chord, even when
// the modifier went down a frame earlier and up again before this one. A key reported down
// again while it is down is the library's own repeat, which its timer thread may send just
// before the release: latched, it would count as held for the frame after the release, and
// give a second press.
void latchKeyEvent(int iScancode)
{
    static const int iModifiers[] = {KEY_LSHIFT,   KEY_RSHIFT, KEY_LCONTROL,
                                     KEY_RCONTROL, KEY_ALT,    KEY_ALTGR};
    const int iKey = iScancode & 0x7f;
    const uint32_t iBit = 1u << (iKey % iWordBits);
    if ((iScancode & 0x80) != 0)
    {
        aKeysDown[iKey / iWordBits].fetch_and(~iBit);
        return;
    }
    if ((aKeysDown[iKey / iWordBits].fetch_or(iBit) & iBit) != 0)
    {
        return;
    }
    latchKey(iKey);
    for (int iModifier : iModifiers)
    {
        if (key[iModifier] != 0)
        {
            latchKey(iModifier);
        }
    }
}

void latchButtonPress(int iButtons)
{
    aButtonsLatched.fetch_or(iButtons);
}

bool latchWaiting()
{
    bool bWaiting = aButtonsLatched.load() != 0;
    for (int i = 0; i < iKeyWords; i++)
    {
        bWaiting = bWaiting || aKeysLatched[i].load() != 0;
    }
    return bWaiting;
}

void latchTakeFrame()
{
    for (int i = 0; i < iKeyWords; i++)
    {
        iKeysTaken[i] = aKeysLatched[i].exchange(0);
    }
    iButtonsTaken = aButtonsLatched.exchange(0);
}

bool latchKeyPressed(int iKey)
{
    if (iKey < 0 || iKey >= iLatchKeys)
    {
        return false;
    }
    const uint32_t iBit = 1u << (iKey % iWordBits);
    return ((iKeysTaken[iKey / iWordBits] | aKeysLatched[iKey / iWordBits].load()) & iBit) != 0;
}

int latchButtonsTaken()
{
    return iButtonsTaken;
}
