# SPDX-License-Identifier: MIT
"""Start-up of the real program: the command line and no display, a window under Xvfb, a
missing pointer image, the window's close button."""

import os
import re
import socket
import subprocess
import unittest

import harness
from harness import Program, WindowTestCase, open_menu, quit_via_menu, wait_for_editor

with open(os.path.join(harness.REPO, "CMakeLists.txt")) as _f:
    VERSION = re.search(r"project\(Tarvenloft VERSION ([0-9.]+)", _f.read()).group(1)


class NoDisplayTest(unittest.TestCase):
    def run_without_display(self, *args):
        """Runs the program with args and no display; returns it once it has ended."""
        prog = Program(xserver=None)
        self.addCleanup(prog.stop)
        prog.write_settings(windowed=True, language="EN")
        prog.start(unset=("DISPLAY", "WAYLAND_DISPLAY"), args=args)
        prog.wait_exit(timeout=10)
        return prog

    def test_without_a_display_exits_101_with_message(self):
        prog = self.run_without_display()
        self.assertEqual(prog.returncode, 101, prog.describe())
        # Without a display there is no message box: the text goes to standard error.
        self.assertIn("Could not initialize the Allegro library.", prog.stderr)
        self.assertEqual(prog.stdout, "")

    def test_version_and_help_answer_before_anything_starts(self):
        # Without a display the library cannot start (101 above): status 0 shows it never did.
        prog = self.run_without_display("--version")
        self.assertEqual(prog.returncode, 0, prog.describe())
        self.assertEqual(prog.stdout, "Tarvenloft %s\n" % VERSION)
        self.assertEqual(prog.stderr, "")

        prog = self.run_without_display("--help")
        self.assertEqual(prog.returncode, 0, prog.describe())
        for word in ("--version", "data/settings.ini", "XDG_DATA_HOME", "WindowedMode",
                     "DebugMode", "Language", "DisplayScale", "Alt+Enter", "man tarvenloft"):
            self.assertIn(word, prog.stdout)
        self.assertEqual(prog.stderr, "")

    def test_other_arguments_are_refused_in_one_line_with_2(self):
        for args in (("--verbose",), ("--version", "more")):
            prog = self.run_without_display(*args)
            self.assertEqual(prog.returncode, 2, prog.describe())
            self.assertEqual(prog.stdout, "")
            self.assertEqual(len(prog.stderr.splitlines()), 1, prog.stderr)
            self.assertIn("'%s'" % args[-1], prog.stderr)
            self.assertIn("tarvenloft --help", prog.stderr)


class WindowStartupTest(WindowTestCase):
    def run_until_quit(self, prog, checks):
        """Runs checks(prog) on the live window, then quits through the editor menu and
        expects exit status 0."""
        self.assertIsNotNone(prog.find_window(), prog.describe())
        checks(prog)
        quit_via_menu(prog)
        self.assertExits(prog, 0)

    def test_opens_a_640x480_window_and_quits_with_0(self):
        prog = self.program()
        prog.write_settings(windowed=True, debug=False, language="EN")
        prog.start()

        def checks(p):
            self.assertEqual(p.geometry()[2:], (harness.SCREEN_W, harness.SCREEN_H))
            img = p.screenshot()
            self.assertEqual((img.width, img.height), (harness.SCREEN_W, harness.SCREEN_H))

        self.run_until_quit(prog, checks)

    def test_missing_pointer_image_uses_library_arrow(self):
        prog = self.program()
        prog.remove("system/images/mouse/pointer_01.bmp")
        prog.write_settings(windowed=True, language="EN")
        prog.start()

        def checks(p):
            self.assertEqual(p.geometry()[2:], (harness.SCREEN_W, harness.SCREEN_H))
            # The hot spot stays at (32, 32), so the library's small arrow is drawn up and
            # to the left of the pointer position, on the editor's empty black map.
            wait_for_editor(p, cell=(9, 9))
            x, y = harness.cell_centre(9, 9)
            arrow = (x - 32, y - 32, x - 12, y - 12)
            self.assertGreaterEqual(p.screenshot().lit(arrow), 10, "no arrow pointer")

        self.run_until_quit(prog, checks)


class CloseButtonTest(WindowTestCase):
    """The window manager's close request, which the close button and Alt+F4 send, ends the
    program with status 0 at its next frame."""

    # Seconds from the request to the end of the process.
    CLOSE_TIME = 2.0

    def check_identity(self, prog):
        """The window is the program's own: its title, class and process."""
        props = prog.properties()
        self.assertEqual(props.get("WM_NAME"), '"Tarvenloft"', props)
        self.assertEqual(props.get("WM_CLASS"), '"tarvenloft", "Tarvenloft"', props)
        self.assertEqual(props.get("_NET_WM_PID"), str(prog.proc.pid), props)
        self.assertEqual(props.get("WM_CLIENT_MACHINE"), '"%s"' % socket.gethostname(), props)

    def assertClosesWith0(self, prog):
        prog.request_close()
        self.assertExits(prog, 0, timeout=self.CLOSE_TIME)

    def test_close_in_the_editor(self):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        self.check_identity(prog)
        self.assertClosesWith0(prog)

    def test_close_with_the_menu_open(self):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        open_menu(prog)
        self.assertClosesWith0(prog)


class ShiftAtStartTest(WindowTestCase):
    """Shift held while the program starts gives a window even when the settings ask for full
    screen. The key goes down before the program's window exists, so the program must ask the
    X server, not wait for a key event."""

    def start_fullscreen_settings(self, shift):
        prog = self.program()
        prog.write_settings(windowed=False, language="EN")
        if shift:
            prog.key_down("shift")
        prog.start()
        return prog

    def test_shift_held_gives_a_window(self):
        prog = self.start_fullscreen_settings(shift=True)
        self.assertIsNotNone(prog.find_window(), prog.describe())
        prog.key_up("shift")
        self.assertEqual(prog.geometry()[2:], (harness.SCREEN_W, harness.SCREEN_H))
        tree = subprocess.run(["xwininfo", "-tree", "-id", prog.window], env=prog.xserver.env(),
                              capture_output=True, text=True, timeout=10).stdout
        self.assertIn("(the root window)", tree, "the window is not a top-level window")
        wait_for_editor(prog)
        quit_via_menu(prog)
        self.assertExits(prog, 0)

    def test_without_shift_the_settings_give_full_screen(self):
        prog = self.start_fullscreen_settings(shift=False)
        prog.window, width, height = harness.fullscreen_window(prog)
        screen = tuple(int(v) for v in harness.XVFB_GEOMETRY.split("x")[:2])
        self.assertEqual((width, height), screen, "the display does not cover the screen")
        wait_for_editor(prog)
        quit_via_menu(prog)
        self.assertExits(prog, 0)


if __name__ == "__main__":
    unittest.main()
