/*
 * Tarvenloft - frame pacing and the one-second clock.
 *
 * The library's timer thread advances two counters, iWait 60 times a second
 * and iSecond once a second. The main thread waits on iWait at the end of
 * every frame and consumes iSecond for the frame-rate display. Both counters
 * are only ever incremented by the timer thread and reset to 0 by the main
 * thread, so ticks that pile up during a slow frame are dropped, never
 * caught up.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TIMING_H
#define TARVENLOFT_TIMING_H

#include "header.h"

extern volatile int iWait;    // frame ticks since the last finished frame wait
extern volatile int iSecond;  // seconds since the main thread last took notice

void timeIncrease();
void timeSecondIncrease();
void timeWait();
bool timeCheck();
void timeStandby(int iToWait);

#endif
