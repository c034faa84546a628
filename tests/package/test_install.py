# SPDX-License-Identifier: MIT
"""The installed program, started through its launcher from an unrelated directory under a
private Xvfb, with a scratch XDG_DATA_HOME; with a map file named relative to that directory.

Installs with `cmake --install` into a scratch prefix (CMAKE_COMMAND, TARVENLOFT_BUILD_DIR), or
uses the launcher that TARVENLOFT_LAUNCHER names (an installed package).
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))

import harness  # noqa: E402
from harness import Program, XServer, quit_via_menu, wait_for_editor  # noqa: E402

# What the launcher runs besides the shell's built-ins; the program's PATH has these and no
# xmessage (see harness.Program).
LAUNCHER_TOOLS = ("dirname", "readlink", "mkdir", "cp", "mv", "ln")
# A cell that nothing of the language screen covers, so its cursor shows only in the editor.
CLEAR_CELL = (15, 12)
# The cell painted into the map file: the view starts at the map's top-left corner.
PAINTED_CELL = (5, 4)


class InstalledProgramTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="tarvenloft-install-")
        self.addCleanup(shutil.rmtree, self.scratch, True)
        self.launcher = os.environ.get("TARVENLOFT_LAUNCHER") or self.install()
        prefix = os.path.dirname(os.path.dirname(os.path.realpath(self.launcher)))
        self.shared = os.path.join(prefix, "share", "tarvenloft")
        self.data_home = os.path.join(self.scratch, "data-home")
        self.work = os.path.join(self.data_home, "tarvenloft")
        self.env = {"XDG_DATA_HOME": self.data_home, "HOME": self.scratch}

    def install(self):
        prefix = os.path.join(self.scratch, "prefix")
        subprocess.run([os.environ["CMAKE_COMMAND"], "--install",
                        os.environ["TARVENLOFT_BUILD_DIR"], "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL)
        return os.path.join(prefix, "bin", "tarvenloft")

    def start(self, xserver, cwd=None, args=()):
        prog = Program(xserver, runtime="", binary=self.launcher)
        self.addCleanup(prog.stop)
        for tool in LAUNCHER_TOOLS:
            os.symlink(shutil.which(tool), os.path.join(prog.bindir, tool))
        prog.start(self.env, cwd=cwd or tempfile.gettempdir(), args=args)
        self.assertIsNotNone(prog.find_window(), prog.describe())
        return prog

    def quit(self, prog):
        quit_via_menu(prog)
        rc = prog.wait_exit(timeout=10)
        self.assertEqual(rc, 0, prog.describe())

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()

    def test_first_start_makes_the_user_directory_and_later_starts_keep_its_settings(self):
        xserver = XServer().start()
        self.addCleanup(xserver.stop)
        prog = self.start(xserver)
        harness.wait_for_language_screen(prog)
        english = harness.LANGUAGE_BUTTONS[0][1] + harness.LANGUAGE_WIDTH // 2
        prog.click(english, harness.LANGUAGE_TOP + 20)
        wait_for_editor(prog, CLEAR_CELL)
        self.quit(prog)

        # The shipped settings keep maps in files, so the language chosen is written into the
        # user's copy of them, after their last comment.
        settings = os.path.join(self.work, "data", "settings.ini")
        self.assertEqual(self.read(settings),
                         self.read(os.path.join(self.shared, "data", "settings.ini")) +
                         b"Language EN\n")
        system = os.path.join(self.work, "system")
        self.assertTrue(os.path.islink(system))
        self.assertEqual(os.path.realpath(system),
                         os.path.realpath(os.path.join(self.shared, "system")))

        # The next start goes straight to the editor.
        changed = self.read(settings)
        prog = self.start(xserver)
        wait_for_editor(prog, CLEAR_CELL)
        self.quit(prog)
        self.assertEqual(self.read(settings), changed)

    def test_a_relative_map_path_is_saved_where_the_user_started_the_launcher(self):
        here = os.path.join(self.scratch, "here")
        os.makedirs(os.path.join(here, "maps"))
        # The language is chosen already, so that the editor opens at once.
        os.makedirs(os.path.join(self.work, "data"))
        with open(os.path.join(self.work, "data", "settings.ini"), "wb") as f:
            f.write(self.read(os.path.join(self.shared, "data", "settings.ini")) +
                    b"Language EN\n")
        xserver = XServer().start()
        self.addCleanup(xserver.stop)
        prog = self.start(xserver, cwd=here, args=["maps/m.tmx"])
        wait_for_editor(prog, CLEAR_CELL)
        prog.key("Right")  # terrain value 1
        prog.click(*harness.cell_centre(*PAINTED_CELL))
        prog.key_down("ctrl")
        prog.key("s")
        prog.key_up("ctrl")
        saved = os.path.join(here, "maps", "m.tmx")
        prog.wait_for(lambda img: os.path.exists(saved), 5.0, "the saved map file")
        self.quit(prog)

        text = self.read(saved).decode("utf-8")
        csv = re.search(r'<data encoding="csv">(.*?)</data>', text, re.S)
        self.assertIsNotNone(csv, text[:2000])
        cells = [int(v) for v in csv.group(1).split(",")]
        self.assertEqual(len(cells), 120 * 120)
        column, row = PAINTED_CELL
        # Terrain value v is tile id 2v + 2 of the map's one tileset.
        self.assertEqual(cells[row * 120 + column], 4)
        self.assertEqual(sum(1 for v in cells if v != 0), 1)
        for directory, _, names in os.walk(self.work):
            self.assertNotIn("m.tmx", names, directory)

    def test_without_a_display_says_so_in_one_line_and_stops(self):
        env = dict(os.environ, **self.env)
        env.pop("DISPLAY", None)
        res = subprocess.run([self.launcher], env=env, cwd=tempfile.gettempdir(),
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertNotEqual(res.returncode, 0)
        self.assertEqual(len(res.stderr.splitlines()), 1, res.stderr)
        self.assertIn(b"DISPLAY", res.stderr)
        self.assertFalse(os.path.exists(self.work))

    def test_an_argument_goes_straight_to_the_program(self):
        # No display and no set-up needed: the program answers --version itself.
        env = dict(os.environ, **self.env)
        env.pop("DISPLAY", None)
        res = subprocess.run([self.launcher, "--version"], env=env, cwd=tempfile.gettempdir(),
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        self.assertEqual(res.returncode, 0, res.stderr)
        self.assertRegex(res.stdout, rb"^Tarvenloft [0-9.]+\n$")
        self.assertFalse(os.path.exists(self.work))


if __name__ == "__main__":
    unittest.main()
