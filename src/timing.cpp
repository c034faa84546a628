/*
 * Tarvenloft - frame pacing and the one-second clock.
 *
 * The two callbacks run on the library's timer thread and do nothing but
 * count. The main thread reads the counters and sets them back to 0; it
 * never decreases them, so late frames are not caught up.
 *
 * SPDX-License-Identifier: MIT
 */
#include "timing.h"

#include <chrono>

// Milliseconds after a tick that the next frame wait may sleep in one go: a frame lasts 16.7 ms.
// A sleep that ends after the tick only makes that frame a little late, and the next wait
// measures from then.
static const int iFrameSleep = 15;

volatile int iWait = 0;
volatile int iSecond = 0;

void timeIncrease()
{
    iWait = iWait + 1;
}

void timeSecondIncrease()
{
    iSecond = iSecond + 1;
}

// Waits for the next frame tick. Each poll that finds no tick gives the processor away for a
// millisecond (rest also yields when no timer is installed), and the first poll that sees a tick
// returns. When the last wait saw its tick come, the next one is due a frame after it: most of
// that time is slept in one go, so a waiting editor wakes a few times a frame, not sixteen.
void timeWait()
{
    using tClock = std::chrono::steady_clock;
    static bool bPhaseKnown = false;  // the last wait saw its tick arrive, at tLastTick
    static tClock::time_point tLastTick;
    if (iWait > 0)
    {
        iWait = 0;
        bPhaseKnown = false;
        return;
    }
    if (bPhaseKnown)
    {
        const auto iSince =
            std::chrono::duration_cast<std::chrono::milliseconds>(tClock::now() - tLastTick)
                .count();
        if (iSince < iFrameSleep)
        {
            rest(iFrameSleep - iSince);
        }
    }
    while (iWait <= 0)
    {
        rest(1);
    }
    iWait = 0;
    tLastTick = tClock::now();
    bPhaseKnown = true;
}

// True once for every run of seconds counted since the last call.
bool timeCheck()
{
    if (iSecond > 0)
    {
        iSecond = 0;
        return true;
    }
    return false;
}

void timeStandby(int iToWait)
{
    for (int i = 0; i < iToWait; i++)
    {
        timeWait();
    }
}
