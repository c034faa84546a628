/*
 * Tarvenloft - presses shorter than a frame.
 *
 * The program samples the keys and the mouse buttons once a frame, so a
 * press whose release comes before the next sample (a tap of a touchpad, a
 * click sent by a remote desktop) would never be seen. Wherever a press is
 * first seen, on whatever thread, it is latched here, per key and per
 * button. Once a frame the main thread takes all latched presses, and for
 * that frame a taken press counts as held, released or not; a key pressed
 * since the take counts at once, as the library's key table, which the
 * frame reads as it goes, may already show it. A press held
 * over many frames counts as it always did: the library's own tables say
 * it is held.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_INPUT_LATCH_H
#define TARVENLOFT_INPUT_LATCH_H

// A key went down or, with bit 7 set, up: the form of the library's keyboard_lowlevel_callback,
// which calls this on its input thread. iScancode & 127 is the library's scan code. A key that
// goes down brings the modifiers (Shift, Ctrl, Alt) held at that moment along for its frame.
void latchKeyEvent(int iScancode);

// The mouse buttons iButtons (the library's bits: 1 left, 2 right, 4 middle) went down. Any
// thread.
void latchButtonPress(int iButtons);

// Whether a press is latched and not yet taken.
bool latchWaiting();

// Takes every latched press for the frame that starts now; main thread, once a frame.
void latchTakeFrame();

// Whether key iKey went down for this frame, or since this frame took its presses, however
// short the press. A key that the frame sees down in the library's table may have gone down
// after the take, with a modifier that went down and up before it: the modifier counts too.
bool latchKeyPressed(int iKey);

// Which buttons went down for this frame, however short the press.
int latchButtonsTaken();

#endif
