/*
 * Tarvenloft - the way from the back buffer to the visible screen.
 *
 * Only this module and display_mode.cpp touch `screen`. The picture is
 * the 640 x 480 back buffer; the display shows it scaled by a whole factor,
 * each picture pixel an s x s block of its colour, centred with black around
 * it. A frame is presented by comparing the back buffer with a copy of the
 * last presented picture and sending only the box of rows and columns that
 * changed, so a still picture costs next to nothing. After presenting, the
 * frame takes the presses latched since the last one (input_latch.h),
 * reads the pointer from the platform and hands the program its position
 * in picture pixels. The fades between screens are screen_fade.cpp's.
 *
 * SPDX-License-Identifier: MIT
 */
#include "screen.h"

#include <cstdint>
#include <cstring>

#include "input_latch.h"
#include "platform.h"

const int iBackgroundNap = 50;   // milliseconds of one rest while another window has the focus
const int iBackgroundNaps = 10;  // rests a frame takes then: about two frames a second, unless
                                 // the focus comes back or input is held

static int iScale = 1;                       // display pixels per picture pixel, across and down
static int iLeft = 0;                        // display column of the picture's left edge
static int iTop = 0;                         // display row of the picture's top edge
static BITMAP* mShown = NULL;                // the picture as last presented
static BITMAP* mScaled = NULL;               // the picture scaled by iScale, when iScale > 1
static BITMAP* mShownOn = NULL;              // the screen bitmap mShown was presented on
static bool bShownValid = false;             // mShown holds what the display shows
static bool bShownPlain[sys_iScreenHeight];  // a row of mShown is one colour throughout
static unsigned char cPlainRow[sys_iScreenWidth * 4];  // a row of one colour, to compare with
static int iPlainBytes = 0;                            // bytes per pixel cPlainRow was made for
static BITMAP* mUnder = NULL;                          // the back buffer's pixels under the pointer
static int iUnderX = 0;                                // where mUnder was taken from
static int iUnderY = 0;
static bool bPointerShown = false;    // the pointer is in the back buffer now
static bool bPointerInside = true;    // the pointer is over the picture
static volatile int iBackground = 0;  // another window has the focus (set on the library's thread)
static bool bAskPointer = true;  // the pointer may have moved: a mode was set since the last ask
static int iLibraryMouse[5];     // the library's mouse_x, _y, _b, _z and _w at the last frame
static int iAskedX = 0;          // the platform's last answer: the pointer in display pixels,
static int iAskedY = 0;
static int iAskedButtons = 0;      // the buttons held,
static bool bAskedInside = false;  // and whether it was over the display
static int iButtonsGiven = 0;      // without a mouse driver: mouse_b as the program set it,
static int iButtonsSet = 0;        // and as the last frame set it, with its latched presses

// The library's display-switch callbacks run on its input thread: they only raise or lower a flag.
static void screenFocusOut()
{
    iBackground = 1;
}

static void screenFocusIn()
{
    iBackground = 0;
}

// Copies the picture pixels [iX0, iX1) of rows [iY0, iY1) into mScaled, each as an iScale x
// iScale block: one scaled row is built pixel by pixel, then copied down iScale - 1 times.
template <typename tPixel> static void screenScaleBox(int iX0, int iY0, int iX1, int iY1)
{
    const int iBytes = (iX1 - iX0) * iScale * (int)sizeof(tPixel);
    for (int y = iY0; y < iY1; y++)
    {
        const tPixel* pSource = reinterpret_cast<const tPixel*>(mBuffer->line[y]);
        tPixel* pRow = reinterpret_cast<tPixel*>(mScaled->line[y * iScale]) + iX0 * iScale;
        for (int x = iX0; x < iX1; x++)
        {
            for (int k = 0; k < iScale; k++)
            {
                *pRow++ = pSource[x];
            }
        }
        const unsigned char* pFirst = mScaled->line[y * iScale] + iX0 * iScale * sizeof(tPixel);
        for (int r = 1; r < iScale; r++)
        {
            memcpy(mScaled->line[y * iScale + r] + iX0 * iScale * sizeof(tPixel), pFirst, iBytes);
        }
    }
}

// The same for depths whose pixels are no whole machine word (15 bits share 16-bit words).
static void screenScaleBoxAnyDepth(int iX0, int iY0, int iX1, int iY1)
{
    for (int y = iY0; y < iY1; y++)
    {
        for (int x = iX0; x < iX1; x++)
        {
            rectfill(mScaled, x * iScale, y * iScale, x * iScale + iScale - 1,
                     y * iScale + iScale - 1, getpixel(mBuffer, x, y));
        }
    }
}

// Sends the picture's box [iX0, iX1) x [iY0, iY1) to the display.
static void screenSendBox(int iX0, int iY0, int iX1, int iY1)
{
    if (mScaled == NULL)
    {
        blit(mBuffer, screen, iX0, iY0, iLeft + iX0, iTop + iY0, iX1 - iX0, iY1 - iY0);
        return;
    }
    switch (bitmap_color_depth(mBuffer))
    {
    case 32:
        screenScaleBox<uint32_t>(iX0, iY0, iX1, iY1);
        break;
    case 16:
    case 15:
        screenScaleBox<uint16_t>(iX0, iY0, iX1, iY1);
        break;
    default:
        screenScaleBoxAnyDepth(iX0, iY0, iX1, iY1);
        break;
    }
    blit(mScaled, screen, iX0 * iScale, iY0 * iScale, iLeft + iX0 * iScale, iTop + iY0 * iScale,
         (iX1 - iX0) * iScale, (iY1 - iY0) * iScale);
}

// Paints the display around the picture black.
static void screenClearBorders()
{
    const int iRight = iLeft + sys_iScreenWidth * iScale;
    const int iBottom = iTop + sys_iScreenHeight * iScale;
    if (iLeft > 0 || iTop > 0 || iRight < SCREEN_W || iBottom < SCREEN_H)
    {
        rectfill(screen, 0, 0, SCREEN_W - 1, iTop - 1, 0);
        rectfill(screen, 0, iBottom, SCREEN_W - 1, SCREEN_H - 1, 0);
        rectfill(screen, 0, iTop, iLeft - 1, iBottom - 1, 0);
        rectfill(screen, iRight, iTop, SCREEN_W - 1, iBottom - 1, 0);
    }
}

// Whether mShown can stand for what the display shows; a new screen, a back buffer of another
// depth or a failed copy make the next frame present everything.
static bool screenShownUsable()
{
    if (mShown != NULL && bitmap_color_depth(mShown) != bitmap_color_depth(mBuffer))
    {
        destroy_bitmap(mShown);
        mShown = NULL;
    }
    if (mShown == NULL)
    {
        mShown = create_bitmap_ex(bitmap_color_depth(mBuffer), sys_iScreenWidth, sys_iScreenHeight);
        bShownValid = false;
    }
    if (mShownOn != screen)
    {
        bShownValid = false;
    }
    return mShown != NULL;
}

// A row of the colour of shown row y, which is one colour throughout. Comparing a row of the back
// buffer with it reads a copy that stays in the cache instead of the whole shown row, which
// halves what a frame of a mostly plain picture costs to compare.
static const unsigned char* screenPlainRow(int y, int iPixelBytes)
{
    const unsigned char* pShown = mShown->line[y];
    if (iPlainBytes != iPixelBytes || memcmp(cPlainRow, pShown, iPixelBytes) != 0)
    {
        for (int x = 0; x < sys_iScreenWidth; x++)
        {
            memcpy(cPlainRow + x * iPixelBytes, pShown, iPixelBytes);
        }
        iPlainBytes = iPixelBytes;
    }
    return cPlainRow;
}

// Notes which of the shown rows [iY0, iY1) are one colour: a row is, when it equals itself
// shifted by one pixel.
static void screenNotePlainRows(int iY0, int iY1, int iRowBytes, int iPixelBytes)
{
    for (int y = iY0; y < iY1; y++)
    {
        const unsigned char* pRow = mShown->line[y];
        bShownPlain[y] = memcmp(pRow, pRow + iPixelBytes, iRowBytes - iPixelBytes) == 0;
    }
}

// The first and last byte (+1) of a row that differ from the shown picture, or false.
static bool screenRowChange(int y, int iRowBytes, int iPixelBytes, int& iFirst, int& iEnd)
{
    const unsigned char* pNew = mBuffer->line[y];
    const unsigned char* pOld = bShownPlain[y] ? screenPlainRow(y, iPixelBytes) : mShown->line[y];
    if (memcmp(pNew, pOld, iRowBytes) == 0)
    {
        return false;
    }
    iFirst = 0;
    while (pNew[iFirst] == pOld[iFirst])
    {
        iFirst++;
    }
    iEnd = iRowBytes;
    while (pNew[iEnd - 1] == pOld[iEnd - 1])
    {
        iEnd--;
    }
    return true;
}

// Sends the picture's box [iX0, iX1) x [iY0, iY1) to the display and keeps it as shown.
static void screenKeepBox(int iX0, int iY0, int iX1, int iY1, int iRowBytes, int iPixelBytes)
{
    screenSendBox(iX0, iY0, iX1, iY1);
    blit(mBuffer, mShown, iX0, iY0, iX0, iY0, iX1 - iX0, iY1 - iY0);
    screenNotePlainRows(iY0, iY1, iRowBytes, iPixelBytes);
}

// Presents what changed since the last presented frame, or everything when that is unknown.
void screenPresent()
{
    if (!screenShownUsable())
    {
        screenSendBox(0, 0, sys_iScreenWidth, sys_iScreenHeight);
        return;
    }
    const int iPixelBytes = (bitmap_color_depth(mBuffer) + 7) / 8;
    const int iRowBytes = sys_iScreenWidth * iPixelBytes;
    if (!bShownValid)
    {
        screenClearBorders();
        screenKeepBox(0, 0, sys_iScreenWidth, sys_iScreenHeight, iRowBytes, iPixelBytes);
        bShownValid = true;
        mShownOn = screen;
        return;
    }
    int iY0 = sys_iScreenHeight, iY1 = 0, iB0 = iRowBytes, iB1 = 0;
    for (int y = 0; y < sys_iScreenHeight; y++)
    {
        int iFirst, iEnd;
        if (screenRowChange(y, iRowBytes, iPixelBytes, iFirst, iEnd))
        {
            iY0 = (y < iY0) ? y : iY0;
            iY1 = y + 1;
            iB0 = (iFirst < iB0) ? iFirst : iB0;
            iB1 = (iEnd > iB1) ? iEnd : iB1;
        }
    }
    if (iY1 == 0)
    {
        return;
    }
    const int iX0 = iB0 / iPixelBytes;
    const int iX1 = (iB1 + iPixelBytes - 1) / iPixelBytes;
    screenKeepBox(iX0, iY0, iX1, iY1, iRowBytes, iPixelBytes);
}

// Without a mouse driver mouse_b is the program's own (the headless tests set it): the frame's
// latched presses are added to what the program last set, and taken off again with the next
// frame.
static void screenKeepButtons()
{
    iButtonsGiven = (mouse_b != iButtonsSet) ? mouse_b : iButtonsGiven;
    mouse_b = iButtonsSet = iButtonsGiven | latchButtonsTaken();
}

// Reads the pointer for the next frame: its place and its buttons, from one answer of the
// platform at one moment, so that a press is taken where the pointer is when it is seen, however
// the pointer got there. The platform is asked only when the pointer may have moved (bMoved: the
// window system told of a change; the library saw one; or a mode was set) or when its last answer
// held a button: a short press may be over before the library sees it at all, and then its release
// changes nothing the library shows. Otherwise the last answer stands. The buttons pressed since
// the last frame count as held, released or not. The library is switched to polled input here
// for good, so from now on it never writes mouse_x, mouse_y or mouse_b by itself.
static void screenReadPointer(bool bMoved)
{
    if (poll_mouse() != 0)
    {
        screenKeepButtons();
        return;
    }
    const int iLibrary[5] = {mouse_x, mouse_y, mouse_b, mouse_z, mouse_w};
    if (bMoved || bAskPointer || iAskedButtons != 0 ||
        memcmp(iLibrary, iLibraryMouse, sizeof(iLibrary)) != 0)
    {
        iAskedX = mouse_x;
        iAskedY = mouse_y;
        iAskedButtons = mouse_b;
        bAskedInside = platReadPointer(iAskedX, iAskedY, iAskedButtons);
        bAskPointer = false;
    }
    memcpy(iLibraryMouse, iLibrary, sizeof(iLibraryMouse));
    screenMapPointer(iAskedX, iAskedY, iAskedButtons | latchButtonsTaken(), bAskedInside);
}

// Whether a mouse button or a key is held, or a press is latched. Resting in the background ends
// then, so that a press is answered at once, whatever the library was told about the focus.
static bool screenInputHeld()
{
    if (latchWaiting())
    {
        return true;
    }
    const int iX = mouse_x, iY = mouse_y, iButtons = mouse_b;
    poll_mouse();
    bool bHeld = mouse_b != 0;
    mouse_x = iX;  // the program keeps the pointer it was given for the frame
    mouse_y = iY;
    mouse_b = iButtons;
    for (int i = 0; i < KEY_MAX && !bHeld; i++)
    {
        bHeld = key[i] != 0;
    }
    return bHeld;
}

void screenDisplay()
{
    if (sys_bUseVSync && platRetraceIsReal())
    {
        vsync();
    }
    screenPresent();
    for (int i = 0; i < iBackgroundNaps && iBackground && !screenInputHeld(); i++)
    {
        rest(iBackgroundNap);
    }
    // The window system's reports first: they may latch a press for the frame that starts now.
    const bool bMoved = platPointerMoved();
    latchTakeFrame();
    screenReadPointer(bMoved);
}

// Gives the program the pointer's place in picture pixels, from display pixel (iX, iY), and the
// buttons iButtons. Outside the picture no button counts as held, so a drag that leaves it stops
// painting.
void screenMapPointer(int iX, int iY, int iButtons, bool bInside)
{
    iX -= iLeft;
    iY -= iTop;
    bPointerInside = bInside && iX >= 0 && iY >= 0 && iX < sys_iScreenWidth * iScale &&
                     iY < sys_iScreenHeight * iScale;
    iX = (iX < 0) ? 0 : iX / iScale;
    iY = (iY < 0) ? 0 : iY / iScale;
    mouse_x = (iX < sys_iScreenWidth) ? iX : sys_iScreenWidth - 1;
    mouse_y = (iY < sys_iScreenHeight) ? iY : sys_iScreenHeight - 1;
    mouse_b = bPointerInside ? iButtons : 0;
}

// Takes the geometry of a newly set display mode: the picture is scaled by iNewScale, its
// top-left corner at display pixel (iNewLeft, iNewTop). The next frame presents the whole
// picture, with black around it.
void screenReset(int iNewScale, int iNewLeft, int iNewTop)
{
    destroy_bitmap(mScaled);
    mScaled = NULL;
    iScale = iNewScale;
    iLeft = iNewLeft;
    iTop = iNewTop;
    if (iScale > 1)
    {
        mScaled = create_bitmap_ex(bitmap_color_depth(screen), sys_iScreenWidth * iScale,
                                   sys_iScreenHeight * iScale);
    }
    if (iScale > 1 && mScaled == NULL)
    {
        // Without memory for the scaled picture it is shown at its own size, in the middle.
        iLeft += sys_iScreenWidth * (iScale - 1) / 2;
        iTop += sys_iScreenHeight * (iScale - 1) / 2;
        iScale = 1;
    }
    bShownValid = false;
    iBackground = 0;
    bAskPointer = true;
    screenReadPointer(true);  // the first frame in the new mode already knows where the pointer is
    remove_display_switch_callback(screenFocusOut);  // a mode set may or may not have
    remove_display_switch_callback(screenFocusIn);   // dropped them: never twice
    set_display_switch_callback(SWITCH_OUT, screenFocusOut);
    set_display_switch_callback(SWITCH_IN, screenFocusIn);
}

// Draws the pointer image into the back buffer at the pointer, keeping what it covers. The
// pointer is left out while it is off the picture.
void screenPointerShow()
{
    screenPointerHide();
    if (mouse_sprite == NULL || !bPointerInside)
    {
        return;
    }
    if (mUnder == NULL || mUnder->w != mouse_sprite->w || mUnder->h != mouse_sprite->h ||
        bitmap_color_depth(mUnder) != bitmap_color_depth(mBuffer))
    {
        destroy_bitmap(mUnder);
        mUnder = create_bitmap_ex(bitmap_color_depth(mBuffer), mouse_sprite->w, mouse_sprite->h);
        if (mUnder == NULL)
        {
            return;
        }
    }
    iUnderX = mouse_x - mouse_x_focus;
    iUnderY = mouse_y - mouse_y_focus;
    blit(mBuffer, mUnder, iUnderX, iUnderY, 0, 0, mUnder->w, mUnder->h);
    draw_sprite(mBuffer, mouse_sprite, iUnderX, iUnderY);
    bPointerShown = true;
}

// Puts back what the pointer covered, so the back buffer holds only the frame's own drawing.
void screenPointerHide()
{
    if (bPointerShown)
    {
        blit(mUnder, mBuffer, 0, 0, iUnderX, iUnderY, mUnder->w, mUnder->h);
        bPointerShown = false;
    }
}

// Fills the whole display with iColor; the next frame presents the whole picture again.
void screenCover(int iColor)
{
    rectfill(screen, 0, 0, SCREEN_W, SCREEN_H, iColor);
    bShownValid = false;
}
