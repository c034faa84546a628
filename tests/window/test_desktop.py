# SPDX-License-Identifier: MIT
"""Map files from the desktop: the shipped settings keep maps in files, so a start without a map
file opens the user's last map, or a new, untitled one. Save As, Open and New go through the
file picker; the maps folder is the user's documents folder; the language chosen on the first
start is kept; the window's title names the file in any script. Every program here has a home
of its own (harness.Program), where the maps and the last map end up."""

import os
import re
import unittest

from harness import (CELL, LANGUAGE_BUTTONS, LANGUAGE_TOP, LANGUAGE_WIDTH, POINTER_PARK,
                     WindowTestCase, cell_box, cell_centre, picker_shown, quit_via_menu,
                     wait_for_editor, wait_for_language_screen)

CYRILLIC = "\u043a\u0430\u0440\u0442\u0430.tmx"  # "karta", a map
MESSAGE_LINE = (44, 354, 596, 372)  # where the picker asks before it replaces a file
STRIP = (164, 432, 476, 480)  # under the menu's panel, where notices show in the editor too


def painted(img, cell):
    """A tile lights a cell of the empty map, which is black."""
    return img.lit(cell_box(*cell)) >= 2 * CELL


def layer_one(path):
    """The terrain values of the first layer of a map file the editor wrote, as {(x, y): v}."""
    with open(path, encoding="utf-8") as f:
        data = re.search(r'<data encoding="csv">(.*?)</data>', f.read(), re.S).group(1)
    gids = [int(v) for v in data.replace("\n", "").split(",")]
    return {(i % 120, i // 120): (g - 2) // 2 for i, g in enumerate(gids) if g}


def with_layer_one(path, cells):
    """The text of the map file at path with its first layer holding only cells {(x, y): v}."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    gids = [0] * (120 * 120)
    for (x, y), v in cells.items():
        gids[y * 120 + x] = 2 * v + 2
    rows = [",".join(str(g) for g in gids[y * 120:(y + 1) * 120]) for y in range(120)]
    return re.sub(r'(<data encoding="csv">).*?(</data>)', lambda m: m.group(1) + "\n" +
                  ",\n".join(rows) + "\n" + m.group(2), text, count=1, flags=re.S)


class MapFilesTest(WindowTestCase):
    def title(self, prog):
        return prog._xdo("getwindowname", prog.window).stdout.strip()

    def wait_title(self, prog, title, what):
        prog.wait_for(lambda img: self.title(prog) == title, 5, what)

    def open_picker(self, prog, keys):
        prog.move(*POINTER_PARK)
        prog.tap_key(keys)
        return prog.wait_for(picker_shown, 5, "the file picker after " + keys)

    def show_map(self, prog):
        prog.move(*POINTER_PARK)
        return prog.settled_screenshot((0, 0, 600, 420))

    def start_again(self, prog):
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())

    def test_maps_are_kept_in_files_from_the_first_start_on(self):
        prog = self.program()  # with the shipped settings: a window, map files, no language
        with open(prog.path("data/settings.ini"), "rb") as f:
            shipped = f.read()
        os.makedirs(os.path.join(prog.home, ".config"))
        with open(os.path.join(prog.home, ".config/user-dirs.dirs"), "w") as f:
            f.write('XDG_DOCUMENTS_DIR="$HOME/Dokument"\n')
        maps = os.path.join(prog.home, "Dokument", "Tarvenloft")

        # The first start asks for the language and keeps it; the map is new and untitled.
        self.start_again(prog)
        wait_for_language_screen(prog)
        prog.click(LANGUAGE_BUTTONS[0][1] + LANGUAGE_WIDTH // 2, LANGUAGE_TOP + 20)
        wait_for_editor(prog)
        self.assertEqual(self.title(prog), "Untitled - Tarvenloft")
        with open(prog.path("data/settings.ini"), "rb") as f:
            self.assertEqual(f.read(), shipped + b"Language EN\n")

        # Ctrl+S saves an untitled map as: the picker starts in the maps folder, made for it.
        prog.key("Right")
        prog.click(*cell_centre(3, 3))
        self.wait_title(prog, "Untitled* - Tarvenloft", "the change in the title")
        self.open_picker(prog, "ctrl+s")
        prog.type("castle")
        prog.tap_key("Return")
        self.wait_title(prog, "castle.tmx - Tarvenloft", "the save")
        castle = os.path.join(maps, "castle.tmx")
        self.assertEqual(layer_one(castle), {(3, 3): 1})
        quit_via_menu(prog)
        self.assertExits(prog, 0)

        # The next start goes straight to the editor, with the same map.
        self.start_again(prog)
        wait_for_editor(prog, (9, 9))
        self.assertEqual(self.title(prog), "castle.tmx - Tarvenloft")
        self.assertTrue(painted(self.show_map(prog), (3, 3)), "the map did not come back")

        # Ctrl+O opens a map from a sub-folder, named in any script.
        os.makedirs(os.path.join(maps, "sub"))
        other = os.path.join(maps, "sub", CYRILLIC)
        with open(other, "w", encoding="utf-8") as f:
            f.write(with_layer_one(castle, {(6, 4): 5}))
        self.open_picker(prog, "ctrl+o")
        prog.type("s")  # jumps to the folder "sub"
        prog.tap_key("Return")  # enters it
        prog.tap_key("Return")  # opens its first map
        self.wait_title(prog, CYRILLIC + " - Tarvenloft", "the other map")
        img = self.show_map(prog)
        self.assertTrue(painted(img, (6, 4)) and not painted(img, (3, 3)), "not the other map")
        with open(os.path.join(prog.home, ".local/state/tarvenloft/last-map"), "rb") as f:
            self.assertEqual(f.read(), other.encode() + b"\n")

        # Save As onto an existing file asks once before it replaces it.
        prog.key("Right")  # the selection of this run: tile 1
        prog.click(*cell_centre(7, 7))
        self.wait_title(prog, CYRILLIC + "* - Tarvenloft", "the change in the title")
        self.open_picker(prog, "ctrl+shift+s")  # the name is the file's own
        prog.tap_key("Return")
        prog.wait_for(lambda img: img.lit(MESSAGE_LINE) > 0, 5, "the question")
        self.assertTrue(picker_shown(prog.screenshot()), "the picker closed without asking")
        self.assertEqual(layer_one(other), {(6, 4): 5})
        prog.tap_key("Return")
        self.wait_title(prog, CYRILLIC + " - Tarvenloft", "the save")
        self.assertEqual(layer_one(other), {(6, 4): 5, (7, 7): 1})

        # Ctrl+N: a new, untitled map; the last map stays.
        prog.tap_key("ctrl+n")
        self.wait_title(prog, "Untitled - Tarvenloft", "the new map")
        img = self.show_map(prog)
        self.assertFalse(painted(img, (6, 4)) or painted(img, (7, 7)), "the new map is not empty")
        quit_via_menu(prog)
        self.assertExits(prog, 0)
        self.assertEqual(prog.stderr, "")

    def test_a_last_map_gone_or_broken_gives_an_untitled_map(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN", extra="MapFiles ON\n")
        state = os.path.join(prog.home, ".local/state/tarvenloft")
        os.makedirs(state)
        broken = os.path.join(prog.tmp, "broken.tmx")
        for exists in (False, True):
            if exists:
                with open(broken, "w") as f:
                    f.write("<map>\n")
            with open(os.path.join(state, "last-map"), "w") as f:
                f.write(broken + "\n")
            self.start_again(prog)
            # A broken one is said in a notice on the screen, for two seconds from the first
            # frame, and once on standard error; a gone one is not.
            if exists:
                prog.wait_for(lambda img: img.lit(STRIP) > 0, 2, "the notice")
            img = wait_for_editor(prog)
            self.assertEqual(img.lit(STRIP) > 0, exists)
            self.assertEqual(self.title(prog), "Untitled - Tarvenloft")
            lines = prog.stderr.splitlines()
            self.assertEqual(len(lines), 1 if exists else 0, prog.stderr)
            if exists:
                self.assertIn("broken.tmx", lines[0])
            quit_via_menu(prog)
            self.assertExits(prog, 0)


if __name__ == "__main__":
    unittest.main()
