# SPDX-License-Identifier: MIT
"""The map file named on the command line: saved and loaded through the menu and Ctrl+S, kept
across runs, guarded by a second request while there are unsaved changes, and refused at start
when it is no map the editor can open. With a map file the whole map is in reach: the view
scrolls, keys 1 to 4 choose the layer. Without one, none of that does anything."""

import os
import re
import shutil
import tempfile
import time
import unittest

from harness import (CELL, MENU_BUTTON_TOPS, POINTER_PARK, QUIT_CENTRE, WindowTestCase,
                     cell_box, cell_centre, menu_shown, open_menu, picker_shown,
                     wait_for_editor)

SAVE_CENTRE = (320, MENU_BUTTON_TOPS[1] + 18)
LOAD_CENTRE = (320, MENU_BUTTON_TOPS[2] + 18)
CONTINUE_CENTRE = (320, MENU_BUTTON_TOPS[7] + 18)
STRIP_NOTICE = (164, 446, 476, 480)  # the lines under the menu's panel that tell what happened
MAP_AREA = (0, 0, 640, 480)


def painted(img, cell):
    """A tile lights a cell of the empty map, which is black."""
    return img.lit(cell_box(*cell)) >= 2 * CELL


def layer_values(path):
    """The CSV values of each layer of a map file written by the editor, by layer name."""
    with open(path) as f:
        text = f.read()
    layers = {}
    for name, data in re.findall(r'<layer [^>]*name="([^"]+)"[^>]*>\s*<data encoding="csv">'
                                 r'(.*?)</data>', text, re.S):
        layers[name] = [int(v) for v in data.replace("\n", "").split(",")]
    return layers


def gid(value):
    """The global tile id of terrain value v in the editor's new files (firstgid 1)."""
    return 2 * value + 2


class MapFileTest(WindowTestCase):
    def start(self, mapfile, language="EN"):
        prog = self.program()
        prog.write_settings(windowed=True, language=language)
        prog.start(args=(mapfile,))
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)
        return prog

    def paint(self, prog, cells, tiles=1):
        for _ in range(tiles):
            prog.key("Right")
        for cell in cells:
            prog.click(*cell_centre(*cell))
        prog.move(*POINTER_PARK)
        return prog.wait_for(lambda img: all(painted(img, c) for c in cells), 5,
                             "cells %r painted" % (cells,))

    def map_picture(self, prog):
        prog.move(*POINTER_PARK)
        return prog.settled_screenshot(MAP_AREA).crop(0, 0, 600, 420)  # clear of the cursor

    def title(self, prog):
        return prog._xdo("getwindowname", prog.window).stdout.strip()

    def ctrl(self, prog, key):
        prog.key_down("ctrl")
        prog.key(key)
        prog.key_up("ctrl")

    def test_saved_map_comes_back_after_load_and_in_the_next_run(self):
        mapfile = os.path.join(self.scratch(), "castle.tmx")
        prog = self.start(mapfile)
        self.assertEqual(self.title(prog), "castle.tmx - Tarvenloft")
        self.paint(prog, [(2, 2), (3, 2), (8, 6)], tiles=2)
        self.assertEqual(self.title(prog), "castle.tmx* - Tarvenloft")
        open_menu(prog)
        prog.click(*SAVE_CENTRE)
        prog.wait_for(lambda img: self.title(prog) == "castle.tmx - Tarvenloft", 5, "the save")
        self.assertTrue(os.path.exists(mapfile))
        prog.click(*CONTINUE_CENTRE)
        saved = self.map_picture(prog)

        self.paint(prog, [(12, 9), (13, 9)])
        strip = open_menu(prog).crop(*STRIP_NOTICE)
        prog.click(*LOAD_CENTRE)  # asks first: there are unsaved changes
        prog.wait_for(lambda img: img.lit(STRIP_NOTICE) > 0 and img.crop(*STRIP_NOTICE) != strip,
                      5, "the question in the strip")
        self.assertEqual(self.title(prog), "castle.tmx* - Tarvenloft")
        prog.click(*LOAD_CENTRE)  # the file picker, with the map's own file chosen
        prog.wait_for(picker_shown, 5, "the file picker")
        prog.key("Return")
        prog.wait_for(lambda img: self.title(prog) == "castle.tmx - Tarvenloft", 5, "the load")
        prog.click(*CONTINUE_CENTRE)
        self.assertEqual(self.map_picture(prog), saved, "Load Map did not give the saved map")
        open_menu(prog)
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0)

        again = self.start(mapfile)
        self.assertEqual(self.map_picture(again), saved, "the next run showed another map")
        open_menu(again)
        again.click(*QUIT_CENTRE)
        self.assertExits(again, 0)

    def test_quit_and_the_close_button_ask_once_while_changes_are_unsaved(self):
        mapfile = os.path.join(self.scratch(), "m.tmx")
        prog = self.start(mapfile)
        self.paint(prog, [(4, 4)])
        open_menu(prog)
        prog.click(*QUIT_CENTRE)
        prog.wait_for(lambda img: img.lit(STRIP_NOTICE) > 100, 5, "the question under the menu")
        self.assertTrue(prog.running(), "the first Quit ended the program")
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0)
        self.assertFalse(os.path.exists(mapfile), "Quit saved the map")

        prog = self.start(mapfile)
        self.paint(prog, [(4, 4)])
        prog.request_close()
        prog.wait_for(menu_shown, 5, "the menu, asking")
        prog.wait_for(lambda img: img.lit(STRIP_NOTICE) > 100, 5, "the question under the menu")
        self.assertTrue(prog.running(), "the first close request ended the program")
        prog.request_close()
        self.assertExits(prog, 0)
        self.assertFalse(os.path.exists(mapfile), "closing saved the map")

    def test_a_failed_save_keeps_the_program_and_the_map_and_says_why(self):
        folder = os.path.join(self.scratch(), "maps")
        os.mkdir(folder)
        mapfile = os.path.join(folder, "m.tmx")
        prog = self.start(mapfile)
        painted_map = self.paint(prog, [(6, 6)])
        shutil.rmtree(folder)
        prog.move(*POINTER_PARK)
        self.ctrl(prog, "s")
        prog.wait_for(lambda img: img.lit(STRIP_NOTICE) > 100, 5, "the reason of the failure")
        self.assertTrue(prog.running(), prog.describe())
        self.assertEqual(self.title(prog), "m.tmx* - Tarvenloft")
        self.assertFalse(os.path.exists(folder))
        self.assertTrue(painted(prog.screenshot(), (6, 6)))
        open_menu(prog)
        prog.click(*QUIT_CENTRE)
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0)
        self.assertTrue(painted(painted_map, (6, 6)))

    def test_a_map_the_editor_cannot_open_stops_it_before_the_window(self):
        mapfile = os.path.join(self.scratch(), "iso.tmx")
        text = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<map version="1.8" orientation="isometric" renderorder="right-down" '
                'width="120" height="120" tilewidth="32" tileheight="32" infinite="0">\n</map>\n')
        with open(mapfile, "w") as f:
            f.write(text)
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.start(args=(mapfile,))
        self.assertExits(prog, 601 % 256)
        self.assertIn("iso.tmx", prog.stderr)
        self.assertRegex(prog.stderr, r"line 2\b.*isometric")
        with open(mapfile) as f:
            self.assertEqual(f.read(), text, "the refused file was changed")

    def scratch(self):
        path = tempfile.mkdtemp(prefix="tarvenloft-maps-")
        self.addCleanup(shutil.rmtree, path, True)
        return path


class WholeMapTest(WindowTestCase):
    """The view scrolls with the keys and the wheel, and the working layer is chosen with the
    number keys: map cell (57, 88) of the third layer is painted and saved."""

    def test_scroll_choose_layer_3_and_paint_cell_57_88(self):
        prog = self.program()
        mapfile = os.path.join(prog.tmp, "whole.tmx")
        prog.write_settings(windowed=True, language="EN")
        prog.start(args=(mapfile,))
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)
        prog.key("Right")  # tile 1
        prog.move(*cell_centre(7, 8))
        prog._xdo("click", "--repeat", "26", "--delay", "20", "5")  # down 78 rows
        time.sleep(0.1)  # a notch counts with the Shift key as the frame that takes it sees it
        prog.key_down("shift")
        time.sleep(0.1)
        prog._xdo("click", "--repeat", "16", "--delay", "20", "5")  # right 48 columns
        time.sleep(0.1)
        prog.key_up("shift")
        for key in ("s", "s", "d", "d"):  # and 2 more each: the view's top-left is (50, 80)
            prog.key(key)
        prog.key("3")
        prog.click(*cell_centre(7, 8))
        prog.key_down("ctrl")
        prog.key("s")
        prog.key_up("ctrl")
        prog.wait_for(lambda img: os.path.exists(mapfile), 5, "the saved file")
        layers = layer_values(mapfile)
        at = 88 * 120 + 57
        self.assertEqual([layers[name][at] for name in ("Layer 1", "Layer 2", "Layer 3",
                                                        "Layer 4")], [0, 0, gid(1), 0])
        self.assertEqual(sum(1 for name in layers for v in layers[name] if v), 1)
        open_menu(prog)
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0)

    def test_without_a_map_file_the_new_keys_change_nothing(self):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        prog.key("Right")
        prog.click(*cell_centre(1, 1))
        prog.move(*POINTER_PARK)
        before = prog.settled_screenshot()
        prog.move(*cell_centre(10, 7))
        for key in ("s", "d", "w", "a", "2", "3", "4"):
            prog.key(key)
        prog._xdo("click", "--repeat", "3", "--delay", "30", "5")
        prog.drag([cell_centre(10, 7), cell_centre(5, 3)], button=2)
        prog.key_down("ctrl")
        prog.key("z")
        prog.key_up("ctrl")
        # A pick reads the working layer: still layer 0, so the tile comes back and is painted.
        prog.click(*cell_centre(1, 1), button=3)
        prog.click(*cell_centre(2, 1))
        prog.move(*POINTER_PARK)
        # Once the tile shows, every key before it has been taken.
        prog.wait_for(lambda img: painted(img, (2, 1)), 5,
                      "the pick after the keys to read layer 0 and paint")
        after = prog.settled_screenshot()
        for cell in [(x, y) for x in range(18) for y in range(13)]:
            if cell not in ((2, 1), (2, 0)):  # the new tile and its overhang
                self.assertEqual(after.crop(*cell_box(*cell)), before.crop(*cell_box(*cell)),
                                 "cell %r changed" % (cell,))
        open_menu(prog)
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0)


if __name__ == "__main__":
    unittest.main()
