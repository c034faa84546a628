# SPDX-License-Identifier: MIT
"""Bad resource files against the real program: every file it reads, in each of six broken
forms (missing, empty, random bytes, cut short, absurdly large, a directory in its place).

Optional files (settings, language file, pointer) must leave the program usable up to quitting
through the menu with status 0. Required images (fonts, button images, tileset) must end the
program with their stage's exit status and a message on standard error that names the file.
Nothing may hang or end on a signal.
"""

import os
import random
import re
import struct
import time
import unittest
import zlib

import harness
from harness import (MENU_BUTTON_TOPS, MENU_X0, MENU_X1, MENU_CONTINUE_TOP, POINTER_PARK,
                     QUIT_CENTRE, WindowTestCase, label_band, language_screen_shown,
                     menu_shown, open_menu, quit_via_menu, wait_for_editor,
                     wait_for_language_screen)

CASES = ("missing", "empty", "random", "truncated", "huge", "directory")

HUGE_SIDE = 100000
HUGE_TEXT = 5 * 1024 * 1024

# Exit statuses as the shell sees them (exit codes are taken mod 256).
EXIT_FONT = 401 % 256
EXIT_BUTTON = 402 % 256
EXIT_TILES_MISSING = 501 % 256
EXIT_TILES_BROKEN = 502 % 256

# What the message gives as the reason, by case, for files read through the image loader.
IMAGE_REASONS = {
    "missing": "not found",
    "empty": "empty",
    "random": "not a BMP or PNG",
    "huge": "too large",
    "directory": "directory",
}

LABEL_COLUMN = (MENU_X0, MENU_BUTTON_TOPS[0], MENU_X1, MENU_CONTINUE_TOP + 36)


# --- making broken files ---------------------------------------------------------------------

def _png_with_size(data, width, height):
    """The PNG with its header chunk claiming width x height, checksum made to match."""
    ihdr = bytearray(data[12:29])  # "IHDR" and its 13 bytes
    ihdr[4:12] = struct.pack(">II", width, height)
    crc = struct.pack(">I", zlib.crc32(bytes(ihdr)) & 0xFFFFFFFF)
    return data[:12] + bytes(ihdr) + crc + data[33:]


def _bmp_with_size(data, width, height):
    return data[:18] + struct.pack("<ii", width, height) + data[26:]


def _image_header_end(data):
    """Where the image's header ends: after the PNG header chunk, or at the BMP pixel data."""
    if data.startswith(b"\x89PNG"):
        return 33
    return struct.unpack("<I", data[10:14])[0]


def spoil_image(prog, relpath, case):
    """Replaces the image at relpath with a broken form of itself."""
    path = prog.path(relpath)
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    if case == "missing":
        return
    if case == "directory":
        os.makedirs(path)
        return
    if case == "empty":
        new = b""
    elif case == "random":
        new = random.Random(relpath).randbytes(4096)
    elif case == "truncated":
        new = data[:_image_header_end(data)]
    elif case == "huge":
        if data.startswith(b"\x89PNG"):
            new = _png_with_size(data, HUGE_SIDE, HUGE_SIDE)
        else:
            new = _bmp_with_size(data, HUGE_SIDE, HUGE_SIDE)
    with open(path, "wb") as f:
        f.write(new)


def spoil_text(prog, relpath, case, truncated, huge):
    """Replaces the text file at relpath; `truncated` and `huge` are the contents of those
    two cases."""
    path = prog.path(relpath)
    if os.path.exists(path):
        os.remove(path)
    contents = {
        "empty": b"",
        "random": random.Random(relpath).randbytes(4096),
        "truncated": truncated,
        "huge": huge,
    }
    if case == "directory":
        os.makedirs(path)
    elif case in contents:
        with open(path, "wb") as f:
            f.write(contents[case])


# --- the program's screens --------------------------------------------------------------------

def label_bands(prog):
    """Opens the menu and returns the pixels of its eight label bands, pointer parked."""
    prog.move(*POINTER_PARK)
    open_menu(prog)
    img = prog.settled_screenshot(LABEL_COLUMN)
    return [img.crop(*label_band(top)) for top in MENU_BUTTON_TOPS]


def leave_language_screen(prog):
    """Escape on the language screen, then a settled editor with its menu closed."""
    prog.key("Escape")
    prog.move(*POINTER_PARK)
    prog.wait_for(lambda i: not language_screen_shown(i), 5, "the language screen to close")
    # Escape may still be down when the editor starts, which then opens its menu at once.
    time.sleep(0.3)
    if menu_shown(prog.screenshot()):
        prog.key("Escape")
        prog.wait_for(lambda i: not menu_shown(i), 5, "the menu to close")


# --- the tests --------------------------------------------------------------------------------

class BadResourceCase(WindowTestCase):
    def assertEndsWith(self, prog, code, timeout=15.0):
        rc = prog.wait_exit(timeout)
        self.assertIsNotNone(rc, "the program hangs; %s" % prog.describe())
        self.assertGreaterEqual(rc, 0, "the program ended on signal %d; %s"
                                % (-rc, prog.describe()))
        self.assertEqual(rc, code, prog.describe())

    def assertNames(self, prog, relpath, case=None):
        """The fatal message is on standard error and names the file (and, for the image
        loader, why it was refused)."""
        err = prog.stderr
        self.assertIn(relpath, err, "message does not name %s" % relpath)
        if case in IMAGE_REASONS:
            self.assertIn(IMAGE_REASONS[case], err, "message does not say why")
        self.assertEqual(prog.stdout, "")

    def quit_from_editor(self, prog):
        wait_for_editor(prog)
        quit_via_menu(prog)
        self.assertEndsWith(prog, 0)


# Settings file: text tokens; nothing usable in it means the defaults (full screen, no language).
SETTINGS = "data/settings.ini"
SETTINGS_TRUNCATED = b"WindowedMode ON\nLanguage EN\nDebugMo"
# One enormous token without blanks, then real settings, which must still be read.
SETTINGS_HUGE = b"W" * HUGE_TEXT + b"\nWindowedMode ON\nLanguage EN\n"


class SettingsFileTest(BadResourceCase):
    def run_case(self, case):
        prog = self.program()
        spoil_text(prog, SETTINGS, case, SETTINGS_TRUNCATED, SETTINGS_HUGE)
        prog.start()
        if case in ("truncated", "huge"):
            # What came before the cut (or after the long token) is read: a window, English.
            self.assertIsNotNone(prog.find_window(), prog.describe())
            self.assertEqual(prog.geometry()[2:], (harness.SCREEN_W, harness.SCREEN_H))
            wait_for_editor(prog)
            bands = label_bands(prog)
            self.assertNotEqual(bands[6], bands[7], "the English labels are missing")
            prog.click(*QUIT_CENTRE)
            self.assertEndsWith(prog, 0)
            return
        # Defaults: full screen, and the language screen since no language is set.
        prog.window, width, height = harness.fullscreen_window(prog)
        screen = tuple(int(v) for v in harness.XVFB_GEOMETRY.split("x")[:2])
        self.assertEqual((width, height), screen, "the display does not cover the screen")
        wait_for_language_screen(prog)
        leave_language_screen(prog)
        self.quit_from_editor(prog)


# Language file: "[key] text^" entries; an unreadable file means an empty string table.
LANGUAGE = "system/text/EN/map_editor.txt"
LANGUAGE_TRUNCATED = b"[prop_ed] Map Properties^\n[save] Save Map^\n[restore] Load M"


def _language_huge(prog):
    # The real file, then an entry whose text never ends: 5 MB without a caret.
    with open(prog.path(LANGUAGE), "rb") as f:
        return f.read() + b"\n[endless] " + b"x" * HUGE_TEXT


class LanguageFileTest(BadResourceCase):
    def run_case(self, case):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        spoil_text(prog, LANGUAGE, case, LANGUAGE_TRUNCATED, _language_huge(prog))
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)
        bands = label_bands(prog)
        empty = bands[7]  # continue: a bare button unless the file gave it a label
        if case in ("missing", "empty", "directory"):
            for i, band in enumerate(bands):
                self.assertEqual(band, empty, "label band %d is not empty" % i)
        elif case == "truncated":
            self.assertNotEqual(bands[0], empty, "the first entry was lost")
            self.assertNotEqual(bands[1], empty, "the second entry was lost")
            for i in range(2, 7):
                self.assertEqual(bands[i], empty, "the cut entry or a later one shows (%d)" % i)
        elif case == "huge":
            for i in range(7):
                self.assertNotEqual(bands[i], empty, "label %d lost to the endless entry" % i)
        prog.click(*QUIT_CENTRE)
        self.assertEndsWith(prog, 0)

    def test_huge_label(self):
        # A complete entry with a 5 MB text and no blanks, ahead of the real ones: its key
        # wins, the menu still opens and closes at once.
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        with open(prog.path(LANGUAGE), "rb") as f:
            real = f.read()
        with open(prog.path(LANGUAGE), "wb") as f:
            f.write(b"[prop_ed] " + b"y" * HUGE_TEXT + b"^\n" + real)
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)
        bands = label_bands(prog)
        self.assertNotEqual(bands[0], bands[7], "the long label is not drawn")
        self.assertNotEqual(bands[6], bands[7], "the quit label is missing")
        prog.click(*QUIT_CENTRE)
        self.assertEndsWith(prog, 0)


# Pointer: optional; without a usable image the library's own arrow is drawn.
POINTER = "system/images/mouse/pointer_01.bmp"


class PointerTest(BadResourceCase):
    def run_case(self, case):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        spoil_image(prog, POINTER, case)
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog, cell=(9, 9))
        # The hot spot stays at (32, 32): the small arrow lies up and left of the pointer.
        x, y = harness.cell_centre(9, 9)
        self.assertGreaterEqual(prog.screenshot().lit((x - 32, y - 32, x - 12, y - 12)), 10,
                                "no arrow pointer")
        quit_via_menu(prog)
        self.assertEndsWith(prog, 0)


# Fonts: loaded right after the window opens.
FONTS = ("system/images/fonts/standard.bmp", "system/images/fonts/lat16w.bmp")


class FontTest(BadResourceCase):
    def run_case(self, relpath, case):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        spoil_image(prog, relpath, case)
        prog.start()
        self.assertEndsWith(prog, EXIT_FONT)
        self.assertNames(prog, relpath, case)


# The editor menu's buttons: loaded when Escape opens the menu.
MENU_IMAGES = ("system/images/buttons/big_01_u.png", "system/images/buttons/big_01_h.png")


class MenuButtonImageTest(BadResourceCase):
    def run_case(self, relpath, case):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        spoil_image(prog, relpath, case)
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)
        prog.key("Escape")
        self.assertEndsWith(prog, EXIT_BUTTON)
        self.assertNames(prog, relpath, case)


# The language buttons: loaded when the language screen opens.
LANGUAGE_IMAGES = ("system/images/buttons/en_u.png", "system/images/buttons/sp_h.png")


class LanguageButtonImageTest(BadResourceCase):
    def run_case(self, relpath, case):
        prog = self.program()
        prog.write_settings(windowed=True, language=None)
        spoil_image(prog, relpath, case)
        prog.start()
        if relpath.startswith("system/images/buttons/sp_") and case in ("missing", "directory"):
            # Without all three Spanish images the fourth button shows the Dutch ones.
            self.assertIsNotNone(prog.find_window(), prog.describe())
            wait_for_language_screen(prog)
            leave_language_screen(prog)
            self.quit_from_editor(prog)
            return
        self.assertEndsWith(prog, EXIT_BUTTON)
        self.assertNames(prog, relpath, case)


# The tileset: loaded when the editor starts. 001.png is preferred; when it is not there the
# program looks for 001.bmp and, finding none, names that.
TILESET = "system/images/tilesets/001.png"
TILESET_BMP = "system/images/tilesets/001.bmp"


class TilesetTest(BadResourceCase):
    def run_case(self, case):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        spoil_image(prog, TILESET, case)
        prog.start()
        if case in ("missing", "directory"):
            # A directory is not a tileset file either: the .bmp is looked for instead.
            self.assertEndsWith(prog, EXIT_TILES_MISSING)
            self.assertNames(prog, TILESET_BMP)
            self.assertIn("does not appear to exist", prog.stderr)
        else:
            self.assertEndsWith(prog, EXIT_TILES_BROKEN)
            self.assertNames(prog, TILESET, case)

    def test_broken_bmp_in_place_of_missing_png_is_named(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.remove(TILESET)
        with open(prog.path(TILESET_BMP), "wb") as f:
            f.write(b"BM" + b"\0" * 10)
        prog.start()
        self.assertEndsWith(prog, EXIT_TILES_BROKEN)
        self.assertNames(prog, TILESET_BMP)


def _name(text):
    return re.sub(r"[^a-z0-9]+", "_", os.path.basename(text).lower()).strip("_")


def _add_cases(cls, files=None):
    """Gives cls one test method per case (and per file, when given), so that each is run
    and reported on its own."""
    for case in CASES:
        if files is None:
            setattr(cls, "test_%s" % case, lambda self, c=case: self.run_case(c))
            continue
        for relpath in files:
            setattr(cls, "test_%s_%s" % (_name(relpath), case),
                    lambda self, p=relpath, c=case: self.run_case(p, c))


_add_cases(SettingsFileTest)
_add_cases(LanguageFileTest)
_add_cases(PointerTest)
_add_cases(FontTest, FONTS)
_add_cases(MenuButtonImageTest, MENU_IMAGES)
_add_cases(LanguageButtonImageTest, LANGUAGE_IMAGES)
_add_cases(TilesetTest)

if __name__ == "__main__":
    unittest.main()
