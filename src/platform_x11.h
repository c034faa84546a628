/*
 * Tarvenloft - what the library defines under X11 but declares in no public
 * header. Only platform_x11.cpp includes this.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PLATFORM_X11_H
#define TARVENLOFT_PLATFORM_X11_H

// The window's icon, an XPM that the library gives its window when it makes it (its own picture
// unless the program names another first).
extern "C" void* allegro_icon;

#endif
