/*
 * Tarvenloft - presses shorter than a frame.
 *
 * The latch is the only state shared between the threads that see presses
 * and the main thread: a bit per key and per button, set with an atomic
 * OR and taken with an atomic exchange, so that no press can fall between
 * the reading and the clearing. No lock. What the frame took is the main
 * thread's alone.
 *
 * SPDX-License-Identifier: MIT
 */
#include "input_latch.h"

#include <atomic>
#include <cstdint>

static const int iLatchKeys = 128;  // scan codes 0..127, all the library has
static const int iWordBits = 32;
static const int iKeyWords = iLatchKeys / iWordBits;

static std::atomic<uint32_t> aKeysLatched[iKeyWords];  // pressed since the last take
static std::atomic<int> aButtonsLatched(0);
static uint32_t iKeysTaken[iKeyWords] = {};  // what this frame took
static int iButtonsTaken = 0;

void latchKeyEvent(int iScancode)
{
    if ((iScancode & 0x80) == 0)
    {
        const int iKey = iScancode & 0x7f;
        aKeysLatched[iKey / iWordBits].fetch_or(1u << (iKey % iWordBits));
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

bool latchKeyTaken(int iKey)
{
    return iKey >= 0 && iKey < iLatchKeys &&
           ((iKeysTaken[iKey / iWordBits] >> (iKey % iWordBits)) & 1);
}

int latchButtonsTaken()
{
    return iButtonsTaken;
}
