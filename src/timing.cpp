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
// millisecond (rest also yields when no timer is installed), so a waiting editor costs next to
// nothing; the first poll that sees a tick returns.
void timeWait()
{
    while (iWait <= 0)
    {
        rest(1);
    }
    iWait = 0;
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
