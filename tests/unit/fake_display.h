/*
 * Tarvenloft unit tests - a stand-in display for the headless library.
 *
 * Without a graphics driver SCREEN_W and SCREEN_H are 0, `screen` is NULL
 * and vsync() would follow a null driver. CFakeDisplay puts in a driver that
 * has only a size (640 x 480 unless asked) and a retrace hook, makes `screen` a memory
 * bitmap, gives the program a fresh back buffer, and puts everything back
 * when closed. The hook records, at every retrace, the pixel at (0, 0) of
 * the back buffer and of the screen, so a test sees each step of a fade.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TEST_FAKE_DISPLAY_H
#define TARVENLOFT_TEST_FAKE_DISPLAY_H

#include <cstring>
#include <vector>

#include "header.h"

namespace fake
{
inline std::vector<int> vBufferAtRetrace;  // mBuffer's pixel (0, 0) at each retrace
inline std::vector<int> vScreenAtRetrace;  // screen's pixel (0, 0) at each retrace

inline void Retrace()
{
    vBufferAtRetrace.push_back(getpixel(mBuffer, 0, 0));
    vScreenAtRetrace.push_back(getpixel(screen, 0, 0));
}

class CFakeDisplay
{
  public:
    // A display of iWidth x iHeight; the back buffer is always the 640 x 480 picture.
    void Open(int iWidth = sys_iScreenWidth, int iHeight = sys_iScreenHeight)
    {
        std::memset(&sDriver_, 0, sizeof(sDriver_));
        sDriver_.name = "test display";
        sDriver_.w = iWidth;
        sDriver_.h = iHeight;
        sDriver_.vsync = Retrace;
        mOldScreen_ = screen;
        mOldBuffer_ = mBuffer;
        pOldDriver_ = gfx_driver;
        gfx_driver = &sDriver_;
        screen = create_bitmap(iWidth, iHeight);
        mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
        clear_to_color(screen, 0);
        clear_to_color(mBuffer, 0);
        vBufferAtRetrace.clear();
        vScreenAtRetrace.clear();
    }

    void Close()
    {
        destroy_bitmap(screen);
        destroy_bitmap(mBuffer);
        screen = mOldScreen_;
        mBuffer = mOldBuffer_;
        gfx_driver = pOldDriver_;
    }

  private:
    GFX_DRIVER sDriver_;
    GFX_DRIVER* pOldDriver_ = NULL;
    BITMAP* mOldScreen_ = NULL;
    BITMAP* mOldBuffer_ = NULL;
};
}  // namespace fake

#endif
