# SPDX-License-Identifier: MIT
"""The language screen, the map editor and its menu, driven through the real window."""

import unittest

from harness import (LANGUAGE_BUTTONS, LANGUAGE_TOP, LANGUAGE_WIDTH, MENU_BUTTON_TOPS, MENU_CONTINUE_TOP,
                     MENU_PANEL, MENU_X0, MENU_X1, POINTER_PARK, QUIT_CENTRE,
                     WindowTestCase, cell_box, cell_centre, label_band, language_button_box,
                     language_button_height, menu_shown, open_menu,
                     is_cursor_grey, wait_for_hover,
                     quit_via_menu, wait_for_editor,
                     wait_for_language_screen)

def language_screen_gone(img):
    # Only the part left of the menu panel, which the editor may open straight away.
    return img.lit((LANGUAGE_BUTTONS[0][1], LANGUAGE_TOP, MENU_PANEL[0], LANGUAGE_TOP + 16)) == 0


LABEL_COLUMN = (MENU_X0, MENU_BUTTON_TOPS[0], MENU_X1, MENU_CONTINUE_TOP + 36)


def menu_labels(prog):
    """Opens the menu, returns the pixels of the eight label bands (prop_ed .. continue)
    with the pointer out of the way, and quits the program through the menu."""
    prog.move(*POINTER_PARK)
    open_menu(prog)
    img = prog.settled_screenshot(LABEL_COLUMN)
    bands = [img.crop(*label_band(top)) for top in MENU_BUTTON_TOPS]
    prog.click(*QUIT_CENTRE)
    return bands


class LanguageScreenTest(WindowTestCase):
    def through_language_screen(self, code, x, removed=()):
        """Starts without a language (and without the files `removed`), checks the screen,
        clicks the button at x and returns the menu labels of the editor that follows."""
        prog = self.program()
        for relpath in removed:
            prog.remove(relpath)
        prog.write_settings(windowed=True, language=None)
        prog.start()
        try:
            self.assertIsNotNone(prog.find_window(), prog.describe())
            img = wait_for_language_screen(prog)
            height = language_button_height(img, x)
            self.assertGreater(height, 4, "language button %s has no height" % code)
            if code == "SP":
                # The Spanish button shows its own flag when the tree has it, else Dutch's.
                dutch = img.crop(*language_button_box(LANGUAGE_BUTTONS[1][1], height))
                fourth = img.crop(*language_button_box(x, height))
                self.assertEqual(fourth == dutch, bool(removed), "fourth button's images")
            prog.click(x + LANGUAGE_WIDTH // 2, LANGUAGE_TOP + height // 2)
            prog.move(*POINTER_PARK)
            prog.wait_for(language_screen_gone, 5,
                          "the language screen to give way to the editor (%s)" % code)
            wait_for_editor(prog)
            bands = menu_labels(prog)
            self.assertExits(prog, 0)
            return bands
        finally:
            prog.stop()  # one program at a time on the display

    def with_language(self, code):
        prog = self.launch(windowed=True, language=code)
        try:
            wait_for_editor(prog)
            bands = menu_labels(prog)
            self.assertExits(prog, 0)
            return bands
        finally:
            prog.stop()

    def test_each_language_button_loads_its_language(self):
        direct = {}
        for code, x in LANGUAGE_BUTTONS:
            with self.subTest(language=code):
                clicked = self.through_language_screen(code, x)
                direct[code] = self.with_language(code)
                self.assertEqual(clicked, direct[code],
                                 "the %s button did not give the %s labels" % (code, code))
                # Labelled buttons: quit and continue carry different texts on the same
                # button image.
                self.assertNotEqual(direct[code][6], direct[code][7])
        codes = sorted(direct)
        for i, a in enumerate(codes):
            for b in codes[i + 1:]:
                self.assertNotEqual(direct[a], direct[b], "%s and %s menus look alike" % (a, b))

    def test_tree_without_spanish_images_shows_dutch_on_spanish_button(self):
        spanish = ["system/images/buttons/sp_%s.png" % s for s in "udh"]
        _, x = LANGUAGE_BUTTONS[3]
        self.assertEqual(self.through_language_screen("SP", x, removed=spanish),
                         self.with_language("SP"))

    def test_escape_on_language_screen_goes_to_editor_without_labels(self):
        prog = self.launch(windowed=True, language=None)
        wait_for_language_screen(prog)
        prog.key("Escape")
        prog.wait_for(language_screen_gone, 5, "the language screen to close")
        # The screen leaves while Escape is down; its release may reach the editor's key
        # presses and open the menu at once. The cursor drawn at a cell the pointer reached
        # after the release, twice over, shows a frame that came after the release was taken.
        for cell in ((2, 2), (3, 2)):
            prog.move(*cell_centre(*cell))
            img = prog.wait_for(lambda i, c=cell: menu_shown(i) or
                                i.count(cell_box(*c), is_cursor_grey) >= 200, 5,
                                "the editor's cursor or its menu")
        if not menu_shown(img):
            open_menu(prog)
        img = prog.settled_screenshot(LABEL_COLUMN)
        bands = [img.crop(*label_band(top)) for top in MENU_BUTTON_TOPS]
        # No language chosen: every button shows its bare image, so all bands are alike.
        for i, band in enumerate(bands):
            self.assertEqual(band, bands[0], "label band %d is not empty" % i)

        prog.key("Escape")
        prog.wait_for(lambda i: not menu_shown(i), 5, "the menu to close")
        wait_for_editor(prog)
        quit_via_menu(prog)
        self.assertExits(prog, 0)


class EditorTest(WindowTestCase):
    ROW = 6

    def lit_cell(self, img, col, row=None):
        return img.lit(cell_box(col, self.ROW if row is None else row))

    def start_editor(self):
        prog = self.launch(windowed=True, language="EN")
        img = wait_for_editor(prog)
        for col in range(0, 8):
            self.assertEqual(self.lit_cell(img, col), 0, "cell %d is not empty at start" % col)
        return prog

    def select_tile(self, prog, value):
        for _ in range(value):
            prog.key("Right")

    def test_left_drag_paints_and_right_click_picks(self):
        prog = self.start_editor()
        self.select_tile(prog, 3)
        prog.drag([cell_centre(col, self.ROW) for col in range(1, 6)])
        prog.move(*POINTER_PARK)
        img = prog.wait_for(lambda i: all(self.lit_cell(i, c) >= 32 for c in range(1, 6)),
                            5, "cells 1..5 of row 6 to be painted")
        self.assertEqual(self.lit_cell(img, 0), 0, "cell left of the drag was painted")
        self.assertEqual(self.lit_cell(img, 6), 0, "cell right of the drag was painted")
        for col in range(1, 6):
            self.assertEqual(self.lit_cell(img, col, self.ROW + 2), 0)

        # Picking a painted cell takes its tile: painting with it elsewhere gives the
        # same picture.
        prog.click(*cell_centre(1, self.ROW), button=3)
        prog.click(*cell_centre(1, self.ROW + 2))
        prog.move(*POINTER_PARK)
        img = prog.wait_for(lambda i: self.lit_cell(i, 1, self.ROW + 2) >= 32, 5,
                            "the picked tile to be painted at cell (1, 8)")
        self.assertEqual(img.crop(*cell_box(1, self.ROW + 2)), img.crop(*cell_box(1, self.ROW)))

        # Picking an empty cell selects 0, which clears a painted cell.
        prog.click(*cell_centre(10, 10), button=3)
        prog.click(*cell_centre(3, self.ROW))
        prog.move(*POINTER_PARK)
        img = prog.wait_for(lambda i: self.lit_cell(i, 3) == 0, 5, "cell (3, 6) to be cleared")
        self.assertGreaterEqual(self.lit_cell(img, 2), 32)
        self.assertGreaterEqual(self.lit_cell(img, 4), 32)

        quit_via_menu(prog)
        self.assertExits(prog, 0)

    def test_escape_opens_and_closes_the_menu(self):
        prog = self.start_editor()
        self.select_tile(prog, 3)
        # Cell 5 of row 6 (x 160..191) is partly under the menu panel, which starts at x 164;
        # cell 4 is wholly outside it.
        prog.click(*cell_centre(4, self.ROW))
        prog.click(*cell_centre(5, self.ROW))
        prog.move(*POINTER_PARK)
        prog.wait_for(lambda i: self.lit_cell(i, 4) >= 32 and self.lit_cell(i, 5) >= 32, 5,
                      "cells 4 and 5 to be painted")
        before = prog.settled_screenshot()

        under = (MENU_PANEL[0], self.ROW * 32, 192, self.ROW * 32 + 32)
        beside = (128, self.ROW * 32, MENU_PANEL[0], self.ROW * 32 + 32)
        self.assertGreater(before.brightness(under), 0)

        open_menu(prog)
        menu = prog.settled_screenshot()
        self.assertLess(menu.brightness(under), 0.75 * before.brightness(under),
                        "the panel does not darken the map")
        self.assertGreater(menu.brightness(under), 0, "the panel hides the map completely")
        self.assertEqual(menu.crop(*beside), before.crop(*beside),
                         "the map outside the panel changed")

        # A button without an action leaves the menu open: once a later move over another
        # button shows, the click has been taken.
        prog.click(320, 278)
        img = wait_for_hover(prog, MENU_BUTTON_TOPS[0])
        self.assertTrue(menu_shown(img), "the help button closed the menu")
        prog.move(*POINTER_PARK)

        prog.key("Escape")
        prog.wait_for(lambda i: not menu_shown(i) and i.crop(*under) == before.crop(*under),
                      5, "the menu to close and the map to show again")

        # Editing goes on with the same selection.
        prog.click(*cell_centre(7, self.ROW))
        prog.move(*POINTER_PARK)
        img = prog.wait_for(lambda i: self.lit_cell(i, 7) >= 32, 5, "cell 7 to be painted")
        self.assertEqual(img.crop(*cell_box(7, self.ROW)), img.crop(*cell_box(4, self.ROW)))

        quit_via_menu(prog)
        self.assertExits(prog, 0)

    def test_quit_button_ends_with_status_0(self):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        prog.move(*POINTER_PARK)
        open_menu(prog)
        wait_for_hover(prog, MENU_BUTTON_TOPS[0])
        self.assertTrue(prog.running(), "the program ended while the menu was open")
        prog.click(*QUIT_CENTRE)
        self.assertExits(prog, 0, timeout=5)


if __name__ == "__main__":
    unittest.main()
