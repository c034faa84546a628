# SPDX-License-Identifier: MIT
"""The Windows build under Wine, in private Xvfb displays.

The real-window tests of tests/window (start, the language screen and each of its buttons,
painting and picking, the menu, quitting with status 0) run against tarvenloft.exe, started by
Wine in a scratch copy of the unzipped release folder. Added here is what only the Windows
build has: the form of the executable, fatal messages in modal message boxes, and a held Shift
read from the system; and, once each, the command line and the close button, which the Windows
build gets through other ways than the Linux one, a map file, and the fill and the rectangle.

Each test has its own Xvfb display, as every window test, and its own Wine prefix: a copy of a
template prefix made once per run, in which the files Wine writes (the registry) are copied
and the rest (some 700 MB of DLLs that Wine only reads) hard-linked. The copy takes
milliseconds where making a prefix takes some 15 seconds.

Environment (run-wine-tests.sh sets them):
  TARVENLOFT_BINARY         tests/wine/wine-program.sh, which runs Wine on tarvenloft.exe
  TARVENLOFT_RUNTIME        the unzipped release folder (tarvenloft.exe, data/, system/)
  TARVENLOFT_CLOSE_REQUEST  the helper that sends the window manager's close request
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "window"))

import harness  # noqa: E402
import test_bad_resources  # noqa: E402
import test_editor  # noqa: E402
import test_startup  # noqa: E402
import test_tools  # noqa: E402
import test_taps  # noqa: E402
from harness import quit_via_menu, wait_for_editor  # noqa: E402

EXE = os.path.join(harness.RUNTIME, "tarvenloft.exe")
# Wine's own builds of the Windows DLLs: whatever the program imports must be among them.
WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
# The files of a prefix that Wine writes; the rest it only reads.
WRITTEN = ("system.reg", "user.reg", "userdef.reg", ".update-timestamp")
# Wine writes a random name for its server directory into the prefix: each copy makes its own.
SERVER_NAME = "wineserver"
# Under Wine, X input reaches the library through its window thread, which may take it late
# and in bursts on a busy machine: a press and its release that arrive together fall between
# two frames and go unseen. Presses are held this much longer than the harness holds them.
EXTRA_HOLD = 0.15

_template = None


def _wine_env(prefix, tmp):
    return {"WINEPREFIX": prefix, "TMPDIR": tmp, "WINEDEBUG": "-all"}


def _run_wine_tool(args, env, timeout):
    """Runs a Wine tool without a display."""
    full = dict(os.environ)
    full.pop("DISPLAY", None)
    full.update(env)
    subprocess.run(args, env=full, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=timeout, check=True)


def setUpModule():
    global _template
    if not os.path.exists(EXE):
        raise RuntimeError("no %s: run tests/wine/run-wine-tests.sh" % EXE)
    _template = tempfile.mkdtemp(prefix="tarvenloft-wine-template-")
    env = _wine_env(os.path.join(_template, "prefix"), _template)
    # A home without a Documents folder: Wine then makes the prefix's Documents a folder of its
    # own, not a link into the tester's home, where a test's maps would land.
    env["HOME"] = _template
    # No offer to install Mono or Gecko, which the program does not use.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    _run_wine_tool(["wineboot", "--init"], env, timeout=300)
    _run_wine_tool(["wineserver", "-w"], env, timeout=120)


def tearDownModule():
    if _template:
        shutil.rmtree(_template, ignore_errors=True)


def _copy_prefix(dest):
    source = os.path.join(_template, "prefix")
    shutil.copytree(source, dest, symlinks=True, copy_function=os.link,
                    ignore=lambda d, names: [SERVER_NAME] if d == source else [])
    for name in WRITTEN:
        if os.path.exists(os.path.join(source, name)):
            os.remove(os.path.join(dest, name))
            shutil.copy2(os.path.join(source, name), os.path.join(dest, name))


class WineProgram(harness.Program):
    """The program under test, run by Wine with the test's prefix."""

    def __init__(self, xserver, wine_env):
        super().__init__(xserver)
        self.wine_env = wine_env
        self.size = (harness.SCREEN_W, harness.SCREEN_H)  # the display's size in the window

    def start(self, env_overrides=None, unset=(), cwd=None, args=()):
        env = dict(self.wine_env)
        env.update(env_overrides or {})
        return super().start(env, unset, cwd, args)

    def mouse_down(self, button=1):
        super().mouse_down(button)
        time.sleep(EXTRA_HOLD)

    def key_down(self, name):
        super().key_down(name)
        time.sleep(EXTRA_HOLD)

    def find_window(self, timeout=30.0):
        """As the harness's, but the window counts once it has the display's size: under Wine
        the library's window exists, tiny and off screen, from the library's start until the
        display mode is set."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            window = super().find_window(max(deadline - time.monotonic(), 0.1))
            if window is None:
                return None
            if self.geometry()[2:] == self.size:
                self._xdo("windowfocus", window, check=False)
                return window
            time.sleep(0.1)
        raise AssertionError("the window did not reach %dx%d within %.0f s; %s"
                             % (self.size + (timeout, self.describe())))

    def message_box(self, timeout=60.0):
        """Waits for the program's message box: a visible window of the program's name that
        is neither the display nor a tiny or screen-wide stage of it. Returns its id."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self._xdo("search", "--onlyvisible", "--name", "^%s$" % harness.WINDOW_NAME,
                              check=False).stdout.split()
            for window in found:
                self.window = window
                try:
                    w, h = self.geometry()[2:]
                except (RuntimeError, KeyError):
                    continue  # gone meanwhile
                if 50 < w < harness.SCREEN_W and 50 < h < harness.SCREEN_H:
                    return window
            if not self.running():
                break
            time.sleep(0.1)
        raise AssertionError("no message box within %.0f s; %s" % (timeout, self.describe()))

    def dismiss(self, box, tries=5):
        """Presses Return on the message box until the program ends; returns its status."""
        for _ in range(tries):
            self._xdo("windowfocus", box, check=False)
            self.key("Return")  # held: an instant press and release is lost
            status = self.wait_exit(timeout=3.0)
            if status is not None:
                return status
        return None


class WineTestCase(harness.WindowTestCase):
    """A window test whose programs run under Wine, in a prefix of the test's own."""

    def setUp(self):
        super().setUp()
        home = tempfile.mkdtemp(prefix="tarvenloft-wine-")
        self.addCleanup(shutil.rmtree, home, ignore_errors=True)
        os.makedirs(os.path.join(home, "tmp"))
        _copy_prefix(os.path.join(home, "prefix"))
        self.wine_env = _wine_env(os.path.join(home, "prefix"), os.path.join(home, "tmp"))
        self.addCleanup(self.end_wine)

    def end_wine(self):
        """Ends every process of the test's prefix (the program's helpers outlive it)."""
        try:
            _run_wine_tool(["wineserver", "-k"], self.wine_env, timeout=30)
        except subprocess.CalledProcessError:
            pass  # no server running
        _run_wine_tool(["wineserver", "-w"], self.wine_env, timeout=30)

    def program(self):
        prog = WineProgram(self.xserver, self.wine_env)
        self.addCleanup(prog.stop)
        return prog

    def assertEndsAfterMessageBox(self, prog, code):
        """On Windows a fatal message is a modal message box: the program waits until it is
        dismissed (Return does it) and then ends with the code of its cause."""
        box = prog.message_box()
        time.sleep(0.5)
        self.assertTrue(prog.running(), "the program did not wait for its message box")
        status = prog.dismiss(box)
        self.assertIsNotNone(status, "Return did not end the program; %s" % prog.describe())
        self.assertEqual(status, code, prog.describe())
        self.assertEqual(prog.stdout, "")


# --- the tests of the Linux build, run on the Windows build ----------------------------------

# Tests of the program's own logic, which the Linux run covers and Wine does not change, are
# left out (set to None) to keep the Windows run short; every test here still quits through the
# menu and checks for status 0.

class WindowStartupUnderWine(WineTestCase, test_startup.WindowStartupTest):
    test_missing_pointer_image_uses_library_arrow = None


class LanguageScreenUnderWine(WineTestCase, test_editor.LanguageScreenTest):
    test_escape_on_language_screen_goes_to_editor_without_labels = None
    test_tree_without_spanish_images_shows_dutch_on_spanish_button = None


class EditorUnderWine(WineTestCase, test_editor.EditorTest):
    test_quit_button_ends_with_status_0 = None


class TapsUnderWine(WineTestCase, test_taps.TapTest):
    """Taps: in a window the window's button messages show the press, in full screen, where the
    library holds the mouse device, the system's "pressed since" bits. The key taps go through
    the library's keyboard callback."""
    test_taps_choose_a_language_step_paint_open_the_menu_and_quit = None
    XVFB = "1280x960x24"

    def test_taps_paint_and_quit_in_a_window(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        self.tap_right(prog)
        for i in range(test_taps.ROUNDS):
            self.tap_paint(prog, (2 + i, 3))
        self.tap_quit(prog)

    def test_taps_paint_and_quit_in_full_screen(self):
        # The library reads the mouse device in full screen and moves its pointer by the
        # device's motion, which Wine makes of the X pointer's moves in its own way: the taps
        # go where the cell cursor shows the pointer to be, and the pointer is steered onto
        # Quit by what the cursor shows. The display is the screen, the picture at 2x.
        prog = self.program()
        prog.size = (1280, 960)
        prog.write_settings(windowed=False, language="EN", extra="DisplayScale 2\n")
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        self.steer(prog, (9, 9))
        prog.tap_key("Right")
        prog.wait_for(lambda img: _picture(img).count(
            (0, 0, harness.SCREEN_W, harness.SCREEN_H),
            lambda p: max(p) > 24 and not p[0] == p[1] == p[2]) >= 64, 5,
            "the preview of tile 1 after a tap of Right")
        painted = 0
        while painted < test_taps.ROUNDS:
            cell = self.steer(prog, (2 + painted, 3 + painted % 2))
            prog._xdo("click", "1")
            prog.wait_for(lambda img: _tile_under_cursor(img, cell), 5,
                          "cell %r painted by a tap in full screen" % (cell,))
            painted += 1
        self.steer(prog, (10, 9))
        while self.cursor_cell(prog.screenshot())[1] == 9:
            prog._xdo("mousemove_relative", "--", "0", "4")  # onto row 10, above Quit's foot
        prog.tap_key("Escape")
        prog.wait_for(lambda img: harness.menu_shown(_picture(img)), 5, "the menu")
        prog._xdo("click", "1")
        self.assertExits(prog, 0, timeout=10)

    def cursor_cell(self, img):
        """The cell under the cell cursor, or None."""
        picture = _picture(img)
        for row in range(15):
            for col in range(20):
                if picture.count(harness.cell_box(col, row), harness.is_cursor_grey) >= 150:
                    return col, row
        return None

    def steer(self, prog, cell, tries=40):
        """Moves the pointer by relative steps until the cell cursor is on `cell`. Over a
        painted cell the cursor is no grey square: a step aside finds it again."""
        for _ in range(tries):
            at = self.cursor_cell(prog.screenshot())
            if at == cell:
                return cell
            dx, dy = ((c - a) * 16 for c, a in zip(cell, at)) if at else (40, 40)
            prog._xdo("mousemove_relative", "--", str(dx), str(dy))
            time.sleep(0.1)
        self.fail("the pointer did not reach cell %r" % (cell,))


def _picture(img):
    """The 640 x 480 picture of a screenshot of the display at 2x, one pixel of each block."""
    data = bytearray()
    for y in range(0, img.height, 2):
        row = img.data[y * img.width * 3:(y + 1) * img.width * 3]
        for x in range(0, img.width, 2):
            data += row[x * 3:x * 3 + 3]
    return harness.Image(img.width // 2, img.height // 2, bytes(data))


def _tile_under_cursor(img, cell):
    return test_taps.tile_under_cursor(cell)(_picture(img))


class CloseButtonUnderWine(WineTestCase, test_startup.CloseButtonTest):
    """Wine turns the close request into WM_CLOSE, and only when the close button is enabled:
    the library greys it out unless the program sets a close-button callback."""
    test_close_with_the_menu_open = None
    # Wine takes some 2 s to end a process, after Quit in the menu as well.
    CLOSE_TIME = 6.0

    def check_identity(self, prog):
        # The class and the process of the X window are Wine's; the title is the program's.
        self.assertEqual(prog.properties().get("WM_NAME"), '"Tarvenloft"')


# --- what only the Windows build has ---------------------------------------------------------

class ExecutableTest(unittest.TestCase):
    def test_console_program_that_needs_only_system_dlls(self):
        out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", EXE], capture_output=True,
                             text=True, check=True, timeout=60).stdout
        self.assertRegex(out, r"Subsystem\s+00000003\s+\(Windows CUI\)")
        imports = re.findall(r"DLL Name: (\S+)", out)
        self.assertIn("KERNEL32.dll", imports)
        system = {name.lower() for name in os.listdir(WINE_DLLS)}
        for dll in imports:
            self.assertIn(dll.lower(), system, "%s is not a Windows DLL" % dll)


class CommandLineUnderWine(WineTestCase):
    def test_version_without_a_display(self):
        prog = self.program()
        prog.start(unset=("DISPLAY",), args=("--version",))
        self.assertEqual(prog.wait_exit(timeout=60), 0, prog.describe())
        self.assertEqual(prog.stdout.replace("\r\n", "\n"),
                         "Tarvenloft %s\n" % test_startup.VERSION)


class MessageBoxTest(WineTestCase):
    """Files the program cannot do without: each ends it with its own code, after its box."""

    def test_missing_tileset(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.remove(test_bad_resources.TILESET)
        prog.start()
        self.assertEndsAfterMessageBox(prog, test_bad_resources.EXIT_TILES_MISSING)

    def test_missing_font(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        prog.remove(test_bad_resources.FONTS[0])
        prog.start()
        self.assertEndsAfterMessageBox(prog, test_bad_resources.EXIT_FONT)


class ScaledWindowTest(WineTestCase):
    XVFB = "1920x1080x24"

    def test_2x_window_and_a_click_paints_the_cell_under_it(self):
        prog = self.program()
        prog.size = (1280, 960)
        prog.write_settings(windowed=True, language="EN", extra="DisplayScale 2\n")
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        box = tuple(2 * v for v in harness.cell_box(5, 5))
        prog.move(box[0] + 10, box[1] + 10)
        prog.wait_for(lambda i: i.count(box, harness.is_cursor_grey) >= 800, 10,
                      "the cell cursor over cell (5, 5) at 2x")
        for _ in range(3):
            prog.key("Right")
        prog.click(box[0] + 10, box[1] + 10)
        prog.move(1200, 900)
        prog.wait_for(lambda i: i.lit(box) >= 4 * 32, 5, "cell (5, 5) painted")
        prog.key("Escape")
        time.sleep(0.5)
        prog.click(*(2 * v for v in harness.QUIT_CENTRE))
        self.assertExits(prog, 0)


class MapFileUnderWine(WineTestCase):
    """A map file named on the command line, as Explorer names a file dropped on the program:
    from the file's own directory, with the program elsewhere. The map is scrolled, painted in
    two layers, saved with Ctrl+S where it was named, and shows again in the next run."""

    def start_in(self, prog, folder):
        env = {"TARVENLOFT_EXE": os.path.join(prog.root, "tarvenloft.exe")}
        prog.start(env, cwd=folder, args=("m.tmx",))
        self.assertIsNotNone(prog.find_window(), prog.describe())
        wait_for_editor(prog)

    def save_and_read(self, prog, folder):
        """Ctrl+S, then the saved layers' tile ids, a list of 14,400 for each layer."""
        prog.key_down("ctrl")
        prog.key("s")
        prog.key_up("ctrl")
        mapfile = os.path.join(folder, "m.tmx")
        prog.wait_for(lambda img: os.path.exists(mapfile), 10, "the saved map")
        with open(mapfile) as f:
            layers = re.findall(r'<data encoding="csv">(.*?)</data>', f.read(), re.S)
        return [[int(v) for v in data.replace("\n", "").split(",")] for data in layers]

    def test_scroll_paint_save_and_open_again(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        folder = os.path.join(prog.tmp, "maps")
        os.mkdir(folder)
        self.start_in(prog, folder)
        prog.key("Right")
        for _ in range(3):
            prog.key("d")  # the view's left edge is column 3
        prog.click(*harness.cell_centre(2, 2))
        prog.key("2")
        prog.click(*harness.cell_centre(4, 4))
        values = self.save_and_read(prog, folder)
        self.assertEqual(values[0][2 * 120 + 5], 4)  # tile 1 is gid 4
        self.assertEqual(values[1][4 * 120 + 7], 4)
        self.assertEqual(sum(1 for layer in values for v in layer if v), 2)
        quit_via_menu(prog)
        self.assertExits(prog, 0)

        again = self.program()
        again.write_settings(windowed=True, language="EN")
        self.start_in(again, folder)
        again.move(*harness.POINTER_PARK)
        for cell in ((5, 2), (7, 4)):
            again.wait_for(lambda i: i.lit(harness.cell_box(*cell)) >= 64, 10,
                           "cell %r painted again" % (cell,))
        quit_via_menu(again)
        self.assertExits(again, 0)


class ToolsUnderWine(WineTestCase):
    """The bucket fill and the rectangle of the Windows build: a new map's first layer filled
    with grass in one click, a rectangle of sand dragged over it, saved with Ctrl+S and read
    back."""

    def test_fill_and_rectangle_saved_and_read_back(self):
        prog = self.program()
        prog.write_settings(windowed=True, language="EN")
        folder = os.path.join(prog.tmp, "maps")
        os.mkdir(folder)
        MapFileUnderWine.start_in(self, prog, folder)  # the map file's helpers serve here too
        prog.key("Right")
        prog.key("f")
        prog.click(*harness.cell_centre(9, 9))
        prog.move(*harness.POINTER_PARK)
        prog.wait_for(lambda img: test_tools.looks_like(img, (15, 2), test_tools.GRASS), 10,
                      "the grass")
        for _ in range(3):
            prog.key("Right")
        prog.key("r")
        prog.drag([harness.cell_centre(2, 3), harness.cell_centre(4, 4),
                   harness.cell_centre(6, 5)], dwell=0.3)
        prog.move(*harness.POINTER_PARK)
        prog.wait_for(lambda img: test_tools.looks_like(img, (6, 5), test_tools.SAND), 10,
                      "the rectangle")
        values = MapFileUnderWine.save_and_read(self, prog, folder)
        expected = [4] * (120 * 120)  # tile 1 is gid 4, tile 4 gid 10
        for x in range(2, 7):
            for y in range(3, 6):
                expected[y * 120 + x] = 10
        self.assertEqual(values[0], expected)
        self.assertEqual(sum(1 for layer in values[1:] for v in layer if v), 0)
        quit_via_menu(prog)  # saved: the first Quit ends the program
        self.assertExits(prog, 0)


class MapFilesUnderWine(WineTestCase):
    """Started without a map file, as by a double click, with the shipped settings (map files
    on): the first start asks for the language and keeps it; Ctrl+S of the untitled map saves it
    as, into Documents\\Tarvenloft; the next start opens it again, the language screen left out."""

    def start(self, prog):
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())

    def title(self, prog):
        return prog._xdo("getwindowname", prog.window).stdout.strip()

    def test_save_as_into_documents_and_the_map_is_back(self):
        prog = self.program()
        self.start(prog)
        harness.wait_for_language_screen(prog, timeout=30)
        prog.click(harness.LANGUAGE_BUTTONS[0][1] + harness.LANGUAGE_WIDTH // 2,
                   harness.LANGUAGE_TOP + 20)
        wait_for_editor(prog, timeout=30)
        self.assertEqual(self.title(prog), "Untitled - Tarvenloft")
        prog.key("Right")
        prog.click(*harness.cell_centre(3, 3))
        prog.move(*harness.POINTER_PARK)
        prog.key_down("ctrl")
        prog.key("s")
        prog.key_up("ctrl")
        prog.wait_for(harness.picker_shown, 10, "the file picker")
        prog.type("castle")
        prog.key("Return")
        prog.wait_for(lambda img: self.title(prog) == "castle.tmx - Tarvenloft", 10, "the save")
        users = os.path.join(self.wine_env["WINEPREFIX"], "drive_c", "users")
        (user,) = [name for name in os.listdir(users) if name != "Public"]
        saved = os.path.join(users, user, "Documents", "Tarvenloft", "castle.tmx")
        self.assertTrue(os.path.isfile(saved), "no %s" % saved)
        with open(os.path.join(users, user, "AppData", "Roaming", "Tarvenloft", "last-map")) as f:
            self.assertEqual(f.read(), "C:\\users\\%s\\Documents\\Tarvenloft\\castle.tmx\n" % user)
        quit_via_menu(prog)
        self.assertExits(prog, 0)

        self.start(prog)
        wait_for_editor(prog, (9, 9), timeout=30)
        self.assertEqual(self.title(prog), "castle.tmx - Tarvenloft")
        prog.move(*harness.POINTER_PARK)
        prog.wait_for(lambda img: img.lit(harness.cell_box(3, 3)) >= 64, 10, "the map again")
        quit_via_menu(prog)
        self.assertExits(prog, 0)


class ShiftAtStartTest(WineTestCase):
    """Shift held while the program starts gives a window even when the settings ask for full
    screen. The key goes down before the program's window exists, so the program must ask the
    system, not wait for a key event."""

    def hold_shift_on_desktop(self, prog):
        """Holds Shift while a window of the prefix has the focus. Windows always knows the
        keyboard's state; Wine learns it from the X server when one of its windows gets the
        focus, which a window manager gives and Xvfb alone does not. Notepad's window stands
        for the desktop the user starts the program from."""
        env = prog.xserver.env()
        env.update(self.wine_env)
        notepad = harness._spawn(["wine", "notepad"], env=env, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(harness._stop_process, notepad)
        deadline = time.monotonic() + 30
        found = []
        while not found and time.monotonic() < deadline:
            time.sleep(0.1)
            found = prog._xdo("search", "--onlyvisible", "--name", "Notepad",
                              check=False).stdout.split()
        self.assertTrue(found, "Notepad's window did not appear")
        prog._xdo("windowfocus", found[0])
        prog.key_down("shift")
        time.sleep(0.5)  # for Wine to take the new state

    def test_shift_held_gives_a_window(self):
        prog = self.program()
        prog.write_settings(windowed=False, language="EN")
        self.hold_shift_on_desktop(prog)
        prog.start()
        self.assertIsNotNone(prog.find_window(), prog.describe())
        prog.key_up("shift")
        self.assertEqual(prog.geometry()[2:], (harness.SCREEN_W, harness.SCREEN_H))
        wait_for_editor(prog)
        quit_via_menu(prog)
        self.assertExits(prog, 0)

    def test_without_shift_the_settings_ask_for_full_screen(self):
        # Wine cannot make Xvfb's screen 640 x 480: the full-screen attempt fails with its
        # message and 301, which shows that the settings were followed.
        prog = self.program()
        prog.write_settings(windowed=False, language="EN")
        prog.start()
        self.assertEndsAfterMessageBox(prog, 301 % 256)


if __name__ == "__main__":
    unittest.main()
