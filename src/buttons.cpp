/*
 * Tarvenloft - image buttons.
 *
 * Each slot owns three images read from the button directory (up, down,
 * hover), all named after one base name. butUpdate decides afresh every
 * frame whether the pointer rests on a button or presses it; the only
 * memory between frames is bDown, which turns a release over the button
 * into a latched click. Slots are walked in ascending order: the lowest
 * slot under the pointer takes it, and a later slot draws over an earlier.
 *
 * SPDX-License-Identifier: MIT
 */
#include "buttons.h"
#include "image.h"

stButton sButton[iTotalButtons];
bool bBlink = false;
int iBlinker = 0;

// Gives back the images of a slot; a slot that never had any has NULLs, which cost nothing.
static void butRelease(stButton& sBut)
{
    destroy_bitmap(sBut.mUp);
    destroy_bitmap(sBut.mDown);
    destroy_bitmap(sBut.mHover);
    sBut.mUp = NULL;
    sBut.mDown = NULL;
    sBut.mHover = NULL;
}

// The hit box is the up image widened by the margins, its far edges included.
static bool butUnderMouse(const stButton& sBut)
{
    return mouse_x >= sBut.iX - sBut.iOffsetX && mouse_x <= sBut.iX + sBut.iWidth + sBut.iOffsetX &&
           mouse_y >= sBut.iY - sBut.iOffsetY && mouse_y <= sBut.iY + sBut.iHeight + sBut.iOffsetY;
}

// Sets up slot iToSet from the images tUp + "_u.png", "_d.png" and "_h.png"; tDown and tHover
// are not used. A missing image stops the program (imgRequire), so a button always has all three.
int butNew(int iToSet, int iSetX, int iSetY, std::string tUp, std::string tDown, std::string tHover,
           int iOffset)
{
    stButton& sBut = sButton[iToSet];
    butRelease(sBut);  // a slot set again while still active would otherwise leak its images
    sBut.bActive = true;
    sBut.iX = iSetX;
    sBut.iY = iSetY;
    sBut.bClicked = false;
    sBut.bDown = false;
    sBut.bHover = false;
    const std::string tBase = sys_tSysPath + sys_tButPath + tUp;
    sBut.mUp = imgRequire(tBase + "_u.png", iExitButton);
    sBut.mDown = imgRequire(tBase + "_d.png", iExitButton);
    sBut.mHover = imgRequire(tBase + "_h.png", iExitButton);
    sBut.iHeight = sBut.mUp->h;
    sBut.iWidth = sBut.mUp->w;
    sBut.iOffsetX = iOffset;
    sBut.iOffsetY = iOffset;
    return 0;
}

// Updates hover, down and click from the mouse. Only one button per frame can take the pointer.
void butUpdate()
{
    bool bAlreadySetOne = false;
    for (int i = 0; i < iTotalButtons; i++)
    {
        stButton& sBut = sButton[i];
        if (!sBut.bActive)
        {
            continue;
        }
        if (butUnderMouse(sBut) && !bAlreadySetOne)
        {
            if (mouse_b & 1)
            {
                sBut.bDown = true;
                sBut.bHover = false;
            }
            else
            {
                if (sBut.bDown)
                {
                    sBut.bClicked = true;
                }
                sBut.bDown = false;
                sBut.bHover = true;
            }
            bAlreadySetOne = true;
        }
        else
        {
            sBut.bDown = false;
            sBut.bHover = false;
        }
    }
}

// Draws every active button into the back buffer. While blinking, hovered and pressed buttons
// show their own image for three frames of six and their up image for the other three.
void butDisplay()
{
    if (bBlink)
    {
        iBlinker++;
        if (iBlinker > 5)
        {
            iBlinker = 0;
        }
    }
    for (int i = 0; i < iTotalButtons; i++)
    {
        const stButton& sBut = sButton[i];
        if (!sBut.bActive)
        {
            continue;
        }
        BITMAP* mImage = sBut.mUp;
        if (sBut.bHover && iBlinker <= 2)
        {
            mImage = sBut.mHover;
        }
        else if (sBut.bDown && iBlinker <= 2)
        {
            mImage = sBut.mDown;
        }
        draw_sprite(mBuffer, mImage, sBut.iX, sBut.iY);
    }
}

// 1 when slot iToCheck is active and has latched a click; the latch stays set.
int butCheck(int iToCheck)
{
    return (sButton[iToCheck].bActive && sButton[iToCheck].bClicked) ? 1 : 0;
}

int butReset(int iToSet)
{
    sButton[iToSet].bClicked = false;
    return 0;
}

int butKill(int iToKill)
{
    sButton[iToKill].bActive = false;
    butRelease(sButton[iToKill]);
    return 0;
}

int butKillAll()
{
    for (int i = 0; i < iTotalButtons; i++)
    {
        butKill(i);
    }
    return 0;
}

void butBlink(bool bSet)
{
    bBlink = bSet;
    iBlinker = 0;
}
