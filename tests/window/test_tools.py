# SPDX-License-Identifier: MIT
"""A map made with the tools, as a user makes it: the palette to choose tiles, a bucket fill of a
new map's first layer, a rectangle larger than the view (scrolled with the wheel while it is
dragged), a block captured with the right button and stamped twice, a jump with the overview of
the whole map and a cell painted there; then Ctrl+S, and the saved file read back cell by cell.
Every key press, click, wheel notch and button press or release is counted as an input."""

import os
import shutil
import tempfile
import unittest

from harness import POINTER_PARK, WindowTestCase, cell_box, cell_centre, wait_for_editor
from test_map_file import gid, layer_values

SIDE = 120
GRASS, SAND = 1, 4


def palette_slot(value):
    """The middle of the palette's slot for a terrain value: two rows of 13 slots of 40 x 62."""
    return (60 + (value % 13) * 40 + 20, 178 + (value // 13) * 62 + 31)


def mean(img, box):
    pixels = img.pixels(*box)
    return tuple(sum(p[i] for p in pixels) // len(pixels) for i in range(3))


def looks_like(img, cell, value):
    """The shipped tiles: grass is green over red, sand red over green over blue."""
    r, g, b = mean(img, cell_box(*cell))
    return g > r + 20 if value == GRASS else r > g > b + 20


class ToolsTest(WindowTestCase):
    def setUp(self):
        super().setUp()
        self.inputs = 0

    def key(self, prog, name):
        prog.key(name)
        self.inputs += 1

    def click(self, prog, x, y, button=1):
        prog.click(x, y, button)
        self.inputs += 2  # a press and a release

    def wheel(self, prog, notches):
        for _ in range(notches):
            prog._xdo("click", "5")  # one notch down
            self.inputs += 1
        prog.move(*self.at)  # a frame or two to see it

    def choose(self, prog, value):
        self.key(prog, "space")
        prog.wait_for(lambda img: img.pixel(80, 190) == (24, 24, 24), 5, "the palette")
        self.click(prog, *palette_slot(value))

    def test_a_map_made_with_the_tools_is_saved_as_it_was_made(self):
        folder = tempfile.mkdtemp(prefix="tarvenloft-maps-")
        self.addCleanup(shutil.rmtree, folder, True)
        mapfile = os.path.join(folder, "island.tmx")
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.start(args=(mapfile,))
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)

        # Layer 1, all grass: one click of the bucket fill.
        self.choose(prog, GRASS)
        self.key(prog, "f")
        self.click(prog, *cell_centre(9, 9))
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda img: looks_like(img, (3, 3), GRASS), 5, "the grass")

        # Sand from map cell (2, 2) to (30, 18): the view scrolls 12 cells across and 6 down
        # while the button is held, and the release is at view cell (18, 12).
        self.choose(prog, SAND)
        self.key(prog, "r")
        self.at = cell_centre(2, 2)
        prog.move(*self.at)
        prog.mouse_down(1)
        self.inputs += 1
        prog.move(*self.at)
        prog.key_down("shift")
        self.inputs += 1
        self.wheel(prog, 4)
        prog.key_up("shift")
        self.inputs += 1
        self.wheel(prog, 2)
        self.at = cell_centre(18, 12)
        prog.move(*self.at)
        prog.move(*self.at)
        prog.mouse_up(1)
        self.inputs += 1
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda img: looks_like(img, (18, 12), SAND), 5, "the rectangle's corner")

        # The 3 x 3 block at map (29, 17), sand in its top-left 2 x 2, stamped at (12, 19) and
        # (17, 19), which the view shows at (0, 13) and (5, 13).
        prog.drag([cell_centre(17, 11), cell_centre(19, 13)], button=3)
        self.inputs += 2
        self.click(prog, *cell_centre(0, 13))
        self.click(prog, *cell_centre(5, 13))
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda img: looks_like(img, (6, 14), SAND), 5, "the second stamp")

        # The overview: a click on map cell (100, 100) puts the view's top-left at (90, 93),
        # where view cell (10, 7) is map cell (100, 100); B leaves the stamp for the brush.
        self.key(prog, "m")
        prog.wait_for(lambda img: img.pixel(80 + 12 * 4, 6 * 4) == (255, 255, 255), 5,
                      "the overview with the view outlined")
        self.click(prog, 80 + 100 * 4 + 2, 100 * 4 + 2)
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda img: looks_like(img, (10, 7), GRASS), 5, "the view at the jump")
        self.key(prog, "b")
        self.click(prog, *cell_centre(10, 7))
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda img: looks_like(img, (10, 7), SAND), 5, "the painted cell")

        prog.key_down("ctrl")
        self.key(prog, "s")
        prog.key_up("ctrl")
        self.inputs += 1
        title = lambda: prog._xdo("getwindowname", prog.window).stdout.strip()
        prog.wait_for(lambda img: title() == "island.tmx - Tarvenloft", 5, "the save")

        expected = [GRASS] * (SIDE * SIDE)
        for x in range(2, 31):
            for y in range(2, 19):
                expected[y * SIDE + x] = SAND
        for left in (12, 17):
            for dx in range(3):
                for dy in range(3):
                    expected[(19 + dy) * SIDE + left + dx] = SAND if dx < 2 and dy < 2 else GRASS
        expected[100 * SIDE + 100] = SAND
        layers = list(layer_values(mapfile).values())
        self.assertEqual(len(layers), 4)
        self.assertEqual(layers[0], [gid(v) for v in expected])
        for layer in layers[1:]:
            self.assertEqual(set(layer), {0})
        print("\nthe map took %d inputs" % self.inputs)


if __name__ == "__main__":
    unittest.main()
