/*
 * Tarvenloft benchmarks - the library's own cost of an open window.
 *
 * Opens the library's 640 x 480 window (32-bit, else 16-bit) with the
 * timer, keyboard and mouse installed, then only sleeps until it is ended
 * with a signal. Its processor use is the floor under any program on the
 * library: the library's window thread and timer, with nothing drawn. The
 * window benchmark's comparison mode shows it beside the editor's figures.
 *
 * SPDX-License-Identifier: MIT
 */
#include <allegro.h>
#include <unistd.h>

int main(void)
{
    if (allegro_init() != 0 || install_timer() != 0)
        return 1;
    install_keyboard();
    install_mouse();
    set_color_depth(32);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0)
    {
        set_color_depth(16);
        if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0)
            return 3;
    }
    for (;;)
        pause();
}
END_OF_MAIN()
