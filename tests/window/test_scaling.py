# SPDX-License-Identifier: MIT
"""Whole-number scaling on a 1920 x 1080 screen: the 2x window shows the 1x picture block for
block and maps the pointer back exactly, the desktop full screen centres the picture on black,
Alt+Enter switches between the two and keeps the map, and a drag that leaves the window paints
nothing it does not point at."""

import subprocess
import time
import unittest

import harness
from harness import (POINTER_PARK, WindowTestCase, cell_box, cell_centre,
                     is_cursor_grey, quit_via_menu, wait_for_editor)

WIDE = "1920x1080x24"
WIDE_OUTSIDE = (1910, 1075)  # outside a window of up to 1280 x 960 at the top-left


def scaled(img, factor):
    """img with every pixel made a factor x factor block."""
    rows = []
    for y in range(img.height):
        row = img.crop(0, y, img.width, y + 1)
        wide = b"".join(row[i:i + 3] * factor for i in range(0, len(row), 3))
        rows.extend([wide] * factor)
    return b"".join(rows)


def painted(img, col, row, factor=1, left=0, top=0):
    x0, y0, x1, y1 = cell_box(col, row)
    return img.lit((left + x0 * factor, top + y0 * factor, left + x1 * factor,
                    top + y1 * factor)) >= 32 * factor * factor


class ScaledWindowTest(WindowTestCase):
    XVFB = WIDE

    def strokes(self, prog, factor):
        """Selects tile 3, drags along row 6 and clicks cell (12, 10), at the window's scale;
        returns the settled picture with the pointer outside the window."""
        for _ in range(3):
            prog.key("Right")
        prog.drag([tuple(v * factor for v in cell_centre(col, 6)) for col in range(1, 6)])
        prog.click(*(v * factor for v in cell_centre(12, 10)))
        prog._xdo("mousemove", *map(str, WIDE_OUTSIDE))
        time.sleep(0.3)
        return prog.wait_for(lambda i: painted(i, 12, 10, factor), 5, "the strokes")

    def run_scale(self, factor, extra):
        prog = self.launch(windowed=True, language="EN", extra=extra)
        x, y = (v * factor for v in cell_centre(9, 9))
        prog.move(x, y)
        prog.wait_for(lambda i: i.count(tuple(v * factor for v in cell_box(9, 9)),
                                        is_cursor_grey) >= 200 * factor * factor,
                      10, "the editor at %dx" % factor)
        self.assertEqual(prog.geometry()[2:], (640 * factor, 480 * factor))
        return prog

    def test_2x_window_shows_the_1x_picture_block_for_block(self):
        prog = self.run_scale(1, "")
        self.strokes(prog, 1)
        small = prog.settled_screenshot()
        quit_via_menu(prog)
        self.assertExits(prog, 0)
        prog.stop()

        prog = self.run_scale(2, "DisplayScale 2\n")
        # Pixel 447 of the window is picture pixel 223 (cell 6); 448 is 224 (cell 7).
        for x, col in ((447, 6), (448, 7)):
            prog.move(x, 200)
            prog.wait_for(lambda i: i.count(tuple(2 * v for v in cell_box(col, 3)),
                                            is_cursor_grey) >= 800,
                          5, "the cell cursor on cell (%d, 3) at window x %d" % (col, x))
        self.strokes(prog, 2)
        big = prog.settled_screenshot()
        self.assertEqual((big.width, big.height), (1280, 960))
        self.assertTrue(scaled(small, 2) == big.data, "the 2x picture is not the 1x one doubled")
        quit_via_menu_scaled(prog, 2)
        self.assertExits(prog, 0)


def quit_via_menu_scaled(prog, factor):
    prog.key("Escape")
    time.sleep(0.3)
    prog.click(*(v * factor for v in harness.QUIT_CENTRE))


class DragOutsideTest(WindowTestCase):
    def test_drag_leaving_the_window_paints_nothing_outside(self):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        for _ in range(3):
            prog.key("Right")
        prog.move(*cell_centre(17, 7))
        prog.mouse_down()
        try:
            for x, y in [cell_centre(18, 7), cell_centre(19, 7), (700, 240), (760, 290),
                         (820, 330), (700, 345)]:
                prog._xdo("mousemove", "--window", prog.window, str(x), str(y))
                time.sleep(0.15)
        finally:
            prog.mouse_up()
        prog.move(*POINTER_PARK)
        img = prog.wait_for(lambda i: painted(i, 19, 7), 5, "cells 17..19 of row 7")
        for row in (8, 9, 10):
            self.assertFalse(painted(img, 19, row), "cell (19, %d) was painted" % row)
        quit_via_menu(prog)
        self.assertExits(prog, 0)


class DesktopFullScreenTest(WindowTestCase):
    XVFB = WIDE

    def test_full_screen_centred_on_black_and_alt_enter_keeps_the_map(self):
        prog = self.program()
        prog.write_settings(windowed=False, language="EN", extra="DisplayScale 2\n")
        prog.start()
        left, top = (1920 - 1280) // 2, (1080 - 960) // 2
        prog.window = "root"
        cx, cy = cell_centre(4, 4)
        at = (str(left + 2 * cx), str(top + 2 * cy))
        prog._xdo("mousemove", *at)
        prog.wait_for(lambda i: i.count((left + 256, top + 256, left + 320, top + 320),
                                        is_cursor_grey) >= 800,
                      10, "the editor's cell cursor in the full screen")
        for _ in range(3):
            prog.key("Right")
        prog.mouse_down()
        time.sleep(harness.HOLD)
        prog.mouse_up()
        prog._xdo("mousemove", "5", "5")  # onto the black border
        img = prog.wait_for(lambda i: painted(i, 4, 4, 2, left, top), 5, "the painted cell")
        border = [(0, 0, 1920, top), (0, top + 960, 1920, 1080), (0, top, left, top + 960),
                  (left + 1280, top, 1920, top + 960)]
        for box in border:
            self.assertEqual(img.lit(box, threshold=0), 0, "the border %r is not black" % (box,))

        # Alt+Enter: a 1280 x 960 window with the same map; again: the full screen.
        self.alt_enter(prog)
        self.assertIsNotNone(prog.find_window(), prog.describe())
        self.assertEqual(prog.geometry()[2:], (1280, 960))
        prog.move(1270, 950)
        prog.wait_for(lambda i: painted(i, 4, 4, 2), 5, "the painted cell in the window")
        self.alt_enter(prog)
        prog.window = "root"
        prog._xdo("mousemove", "5", "5")
        img = prog.wait_for(lambda i: painted(i, 4, 4, 2, left, top) and
                            i.lit(border[2], threshold=0) == 0, 5,
                            "the painted cell in the full screen again")

        prog.key("Escape")
        time.sleep(0.3)
        qx, qy = harness.QUIT_CENTRE
        prog._xdo("mousemove", str(left + 2 * qx), str(top + 2 * qy))
        time.sleep(0.2)
        prog.mouse_down()
        time.sleep(harness.HOLD)
        prog.mouse_up()
        self.assertExits(prog, 0)

    def alt_enter(self, prog):
        prog.key_down("alt")
        prog.key("Return")
        prog.key_up("alt")


class TwoMonitorsTest(WindowTestCase):
    """One X screen of two monitors: a 1280 x 720 one on the left, a 1920 x 1080 one beside it.
    The display is sized for the monitor the program is at, not for the whole screen."""

    XVFB = "3200x1080x24"

    def setUp(self):
        super().setUp()
        for monitor in (["A", "1280/338x720/190+0+0", "screen"],
                        ["B", "1920/508x1080/286+1280+0", "none"]):
            subprocess.run(["xrandr", "--setmonitor"] + monitor, env=self.xserver.env(),
                           check=True, capture_output=True, timeout=10)

    def test_window_and_full_screen_follow_the_small_monitor(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN", extra="DisplayScale AUTO\n")
        prog._xdo("mousemove", "100", "100")  # the user is on the small monitor
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        self.assertEqual(prog.geometry()[2:], (640, 480))  # the whole screen would allow 2x
        wait_for_editor(prog)
        prog.key_down("alt")
        prog.key("Return")
        prog.key_up("alt")
        # The full screen covers both monitors; the picture, at 1x, is centred on the small one.
        prog.window = "root"
        left, top = (1280 - 640) // 2, (720 - 480) // 2
        cx, cy = cell_centre(9, 9)
        at = (str(left + cx), str(top + cy))
        prog._xdo("mousemove", *at)
        x0, y0, x1, y1 = cell_box(9, 9)
        img = prog.wait_for(lambda i: i.count((left + x0, top + y0, left + x1, top + y1),
                                              is_cursor_grey) >= 200,
                            10, "the cell cursor on the small monitor")
        self.assertEqual(img.lit((1280, 0, 3200, 1080), threshold=0), 0,
                         "the large monitor is not black")
        prog.key("Escape")
        time.sleep(0.3)
        qx, qy = harness.QUIT_CENTRE
        prog._xdo("mousemove", str(left + qx), str(top + qy))
        time.sleep(0.2)
        prog.mouse_down()
        time.sleep(harness.HOLD)
        prog.mouse_up()
        self.assertExits(prog, 0)


if __name__ == "__main__":
    unittest.main()
