# SPDX-License-Identifier: MIT
"""Presses shorter than a frame, as a touchpad's tap, a remote desktop or a scripting tool sends
them: xdotool's click and key, the press and its release back to back. Each must count, every
time: on the language screen, in the editor and in its menu."""

import unittest

from harness import (CELL, LANGUAGE_BUTTONS, LANGUAGE_TOP, LANGUAGE_WIDTH, QUIT_CENTRE,
                     WindowTestCase, cell_box, cell_centre, fullscreen_window, is_cursor_grey,
                     menu_shown, wait_for_editor, wait_for_language_screen)

ROUNDS = 10
PREVIEW_FOOT = (312, 336, 344, 344)  # the preview's bottom rows with the pointer at (304, 304)


def cursor_at(cell):
    return lambda img: img.count(cell_box(*cell), is_cursor_grey) >= 200


def tile_under_cursor(cell):
    """A tile painted into the cell under the cursor tints the cursor's grey."""
    return lambda img: img.count(cell_box(*cell),
                                 lambda p: max(p) > 24 and not p[0] == p[1] == p[2]) >= 2 * CELL


class TapTest(WindowTestCase):
    def tap_round(self, prog, cell):
        """From the language screen to the program's end, by taps alone."""
        wait_for_language_screen(prog)
        flag = (LANGUAGE_BUTTONS[0][1] + LANGUAGE_WIDTH // 2, LANGUAGE_TOP + 8)
        prog.tap(*flag)
        prog.wait_for(cursor_at((flag[0] // CELL, flag[1] // CELL)), 5,
                      "the editor after a tap on the English flag")

        self.tap_right(prog)
        self.tap_paint(prog, cell)
        self.tap_quit(prog)

    def tap_right(self, prog):
        """A tap of Right chooses tile 1, whose preview shows beside the pointer."""
        wait_for_editor(prog)
        self.assertEqual(prog.screenshot().lit(PREVIEW_FOOT), 0, "a preview before any choice")
        prog.tap_key("Right")
        prog.wait_for(lambda img: img.lit(PREVIEW_FOOT) > 0, 5,
                      "the preview of tile 1 after a tap of Right")

    def tap_paint(self, prog, cell):
        prog.tap(*cell_centre(*cell))
        prog.wait_for(tile_under_cursor(cell), 5, "cell %r painted by a tap" % (cell,))

    def tap_quit(self, prog):
        prog.tap_key("Escape")
        prog.wait_for(menu_shown, 5, "the menu after a tap of Escape")
        prog.tap(*QUIT_CENTRE)
        self.assertExits(prog, 0, timeout=10)

    def test_taps_choose_a_language_step_paint_open_the_menu_and_quit(self):
        for i in range(ROUNDS):
            with self.subTest(round=i):
                prog = self.program()
                prog.write_settings(windowed=True, language=None)
                prog.start()
                try:
                    self.assertIsNotNone(prog.find_window(), prog.describe())
                    self.tap_round(prog, (2 + i, 3))
                finally:
                    prog.stop()  # one program at a time on the display

    def test_taps_paint_and_quit_in_full_screen(self):
        prog = self.program()
        prog.write_settings(windowed=False, language="EN")
        prog.start()
        prog.window = fullscreen_window(prog)[0]
        self.tap_right(prog)
        for i in range(ROUNDS):
            self.tap_paint(prog, (2 + i, 3))
        self.tap_quit(prog)


if __name__ == "__main__":
    unittest.main()
