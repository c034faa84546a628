/*
 * Tarvenloft - image buttons.
 *
 * A fixed table of 100 button slots. Each active button shows its up,
 * hover or down image, is hit-tested against the mouse every frame, and
 * latches a click (left button released over it after being held there)
 * until the slot is reset or created again.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_BUTTONS_H
#define TARVENLOFT_BUTTONS_H

#include "header.h"

const int iTotalButtons = 100;  // slots of the button table
const int iExitButton = 402;    // a button image could not be loaded

struct stButton
{
    BITMAP* mDown;   // image while pressed; owned by the slot
    BITMAP* mHover;  // image while the pointer rests on it; owned by the slot
    BITMAP* mUp;     // image otherwise; its size is the button's size
    bool bActive;    // slot in use
    bool bClicked;   // click latch
    bool bDown;      // pointer over it with the left button held, as of the last update
    bool bHover;     // pointer over it with the left button up, as of the last update
    int iHeight;     // height of the up image
    int iWidth;      // width of the up image
    int iOffsetX;    // hit-box margin left and right (negative shrinks it)
    int iOffsetY;    // hit-box margin above and below
    int iX;          // top-left x on the back buffer
    int iY;          // top-left y on the back buffer
};

extern stButton sButton[iTotalButtons];  // the button slots
extern bool bBlink;                      // hovered and pressed buttons blink
extern int iBlinker;                     // blink phase, 0..5

int butNew(int iToSet, int iSetX, int iSetY, std::string tUp, std::string tDown, std::string tHover,
           int iOffset);
void butUpdate();
void butDisplay();
int butCheck(int iToCheck);
int butReset(int iToSet);
int butKill(int iToKill);
int butKillAll();
void butBlink(bool bSet);

#endif
