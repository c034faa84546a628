/*
 * Tarvenloft - fades between screens.
 *
 * A fade takes a snapshot of the back buffer and, step by step, fills the
 * back buffer with a plain colour, lays the snapshot over it at a rising or
 * falling alpha and presents the result. Fades are paced by the vertical
 * retrace, not by the frame timer, and cannot be interrupted. screenGet
 * copies the back buffer for a caller.
 *
 * SPDX-License-Identifier: MIT
 */
#include "screen_fade.h"

#include "screen.h"

static const int iDefaultFadeStep = 16;  // alpha change per fade step when the caller gives none

void screenGet(BITMAP* mBitmap)
{
    blit(mBuffer, mBitmap, 0, 0, 0, 0, sys_iScreenWidth, sys_iScreenHeight);
}

static int screenFadeStep(int iSpeed)
{
    return iSpeed > 0 ? iSpeed : iDefaultFadeStep;
}

// Steps of a fade over the 0..255 alpha scale: in shows 0, s, 2s, ... up to 254, out shows
// 255, 255 - s, ... down to 1; both come to floor(254 / s) + 1 steps. Counting steps instead of
// adding up alphas keeps a huge step from overflowing.
static int screenFadeSteps(int iStep)
{
    return 254 / iStep + 1;
}

// Snapshot of the back buffer without the pointer, or NULL when no bitmap could be made for it.
static BITMAP* screenSnapshot()
{
    BITMAP* mTemp = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    screenPointerHide();
    if (mTemp != NULL)
    {
        blit(mBuffer, mTemp, 0, 0, 0, 0, sys_iScreenWidth, sys_iScreenHeight);
    }
    return mTemp;
}

// One step of a fade: the snapshot over the plain colour at iAlpha, presented after one retrace,
// or two when every frame waits for one.
static void screenFadeFrame(BITMAP* mTemp, int iColor, int iAlpha)
{
    rectfill(mBuffer, 0, 0, sys_iScreenWidth, sys_iScreenHeight, iColor);
    set_trans_blender(0, 0, 0, iAlpha);
    draw_trans_sprite(mBuffer, mTemp, 0, 0);
    vsync();
    if (sys_bUseVSync)
    {
        vsync();
    }
    screenPresent();
}

// Fades the back buffer's picture in from iColor. The blender is left at the last alpha. Without
// memory for the snapshot the picture is simply presented.
void screenIn(int iSpeed, int iColor)
{
    BITMAP* mTemp = screenSnapshot();
    if (mTemp == NULL)
    {
        screenPresent();
        return;
    }
    const int iStep = screenFadeStep(iSpeed);
    const int iSteps = screenFadeSteps(iStep);
    for (int i = 0; i < iSteps; i++)
    {
        screenFadeFrame(mTemp, iColor, i * iStep);
    }
    destroy_bitmap(mTemp);
}

// Fades the back buffer's picture out to iColor and leaves the whole display in that colour.
// Without memory for the snapshot the picture is presented and then covered at once.
void screenOut(int iSpeed, int iColor)
{
    BITMAP* mTemp = screenSnapshot();
    if (mTemp == NULL)
    {
        screenPresent();
    }
    else
    {
        const int iStep = screenFadeStep(iSpeed);
        const int iSteps = screenFadeSteps(iStep);
        for (int i = 0; i < iSteps; i++)
        {
            screenFadeFrame(mTemp, iColor, 255 - i * iStep);
        }
        destroy_bitmap(mTemp);
    }
    screenCover(iColor);
}
