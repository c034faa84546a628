# SPDX-License-Identifier: MIT
"""The pointer is where the X server says, from the first frame: a window that opens under the
pointer, a click at once after the window opens or after Alt+Enter, and a window moved under a
still pointer. The program never moves the user's pointer either."""

import time
import unittest

from harness import (CELL, LANGUAGE_BUTTONS, LANGUAGE_TOP, LANGUAGE_WIDTH, WindowTestCase,
                     cell_box, cell_centre, is_cursor_grey, language_screen_shown)

def cursor_at(cell):
    return lambda img: img.count(cell_box(*cell), is_cursor_grey) >= 200


def painted(img, cell):
    """A tile lights a cell of the empty map, which is black."""
    return img.lit(cell_box(*cell)) >= 2 * CELL


class PointerFromTheFirstFrameTest(WindowTestCase):
    def start_under_pointer(self, x, y, **settings):
        """Puts the X pointer at (x, y) of the screen, where the window will open, and starts
        the program there; the pointer is not moved again."""
        prog = self.program()
        prog.write_settings(**settings)
        prog._xdo("mousemove", str(x), str(y))
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        return prog

    def pointer(self, prog):
        out = prog._xdo("getmouselocation", "--shell").stdout
        vals = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(vals["X"]), int(vals["Y"])

    def test_a_click_at_once_on_the_language_screen_chooses(self):
        prog = self.start_under_pointer(300, 200, windowed=True, language=None)
        prog.wait_for(language_screen_shown, 10, "the four language buttons")
        _, x = LANGUAGE_BUTTONS[0]
        at = (x + LANGUAGE_WIDTH // 2, LANGUAGE_TOP + 8)
        prog.click(*at)
        prog.wait_for(cursor_at((at[0] // CELL, at[1] // CELL)), 5,
                      "the editor after one click on EN")

    def test_the_editor_shows_its_cursor_under_the_pointer_and_paints_there(self):
        start = cell_centre(13, 4)
        prog = self.start_under_pointer(*start, windowed=True, language="EN")
        prog.wait_for(cursor_at((13, 4)), 10, "the cell cursor under the pointer")
        self.assertEqual(self.pointer(prog), start, "the program moved the user's pointer")
        prog.key("Right")
        prog.click(*cell_centre(5, 9))
        prog.wait_for(lambda img: painted(img, (5, 9)), 5, "cell (5, 9) painted")
        time.sleep(0.5)
        self.assertEqual(self.pointer(prog), cell_centre(5, 9),
                         "the program moved the user's pointer")

    def test_a_click_at_once_after_alt_enter_there_and_back(self):
        prog = self.start_under_pointer(*cell_centre(2, 2), windowed=True, language="EN")
        prog.wait_for(cursor_at((2, 2)), 10, "the cell cursor under the pointer")
        prog.key("Right")
        for _ in range(2):
            prog.key_down("alt")
            prog.key("Return")
            prog.key_up("alt")
        self.assertIsNotNone(prog.find_window(), prog.describe())
        self.assertEqual(prog.geometry()[2:], (640, 480))
        self.assertEqual(self.pointer(prog), cell_centre(2, 2),
                         "the program moved the user's pointer")
        prog.click(*cell_centre(16, 11))
        img = prog.wait_for(lambda img: painted(img, (16, 11)), 5, "cell (16, 11) painted")
        self.assertFalse(painted(img, (10, 7)), "the middle cell was painted")

    def test_a_window_moved_under_a_still_pointer_paints_the_cell_now_under_it(self):
        prog = self.start_under_pointer(*cell_centre(6, 6), windowed=True, language="EN")
        prog.wait_for(cursor_at((6, 6)), 10, "the cell cursor under the pointer")
        prog.key("Right")
        prog._xdo("windowmove", prog.window, str(2 * CELL), str(3 * CELL))
        prog.mouse_down()
        time.sleep(0.1)
        prog.mouse_up()
        img = prog.wait_for(lambda img: painted(img, (4, 3)), 5, "cell (4, 3) painted")
        self.assertFalse(painted(img, (6, 6)), "the cell under the pointer before the move")


if __name__ == "__main__":
    unittest.main()
