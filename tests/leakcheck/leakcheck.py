#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft - memory check of a real session under valgrind memcheck.

Runs the built program under valgrind in a private Xvfb display with the
window-test harness and drives one whole session the way a user would: the
language screen on first run, painting and picking tiles in the editor, the
menu opened and closed twenty times, and quitting through the menu. Fails
when valgrind reports any error (invalid reads or writes, use of
uninitialised values, bad frees) or memory definitely lost, and prints the
error count and the bytes lost.

Under valgrind the program runs many times slower than at 60 fps, so every
mouse and key event is held long enough for several of its frames to see it.

Usage: leakcheck.py [PROGRAM]   (default: build/tarvenloft of the repo)
"""
import os
import re
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "window"))
import harness  # noqa: E402

VALGRIND_ERROR_EXIT = 99
SUPPRESSIONS = os.path.join(HERE, "tarvenloft.supp")
MENU_ROUNDS = 20
STEP_TIMEOUT = 120.0  # seconds to wait for any one screen under valgrind

# Slow frames: hold input for several of them, and let the frame after a release run.
harness.HOLD = 0.6
harness.SETTLE = 0.4


class ValgrindProgram(harness.Program):
    """The program, started under valgrind memcheck with its report in the scratch dir."""

    def __init__(self, xserver, binary):
        super().__init__(xserver, binary=binary)
        self.log = os.path.join(self.tmp, "valgrind.log")
        self.program_binary = binary
        self.binary = None

    def start(self):
        self.binary = "/usr/bin/valgrind"
        args = ["--tool=memcheck", "--leak-check=full", "--show-leak-kinds=definite",
                "--errors-for-leak-kinds=definite", "--track-origins=yes",
                "--error-exitcode=%d" % VALGRIND_ERROR_EXIT, "--num-callers=30",
                "--suppressions=" + SUPPRESSIONS, "--log-file=" + self.log]
        env = self.xserver.env()
        env["PATH"] = self.bindir  # no xmessage: messages go to the console
        self._out = open(os.path.join(self.tmp, "stdout"), "wb")
        self._err = open(os.path.join(self.tmp, "stderr"), "wb")
        self.proc = harness._spawn([self.binary] + args + [self.program_binary], cwd=self.root,
                                   env=env, stdin=harness.subprocess.DEVNULL,
                                   stdout=self._out, stderr=self._err)
        return self

    def report(self):
        with open(self.log, errors="replace") as f:
            return f.read()


def step(what):
    print("[%s] %s" % (time.strftime("%H:%M:%S"), what), flush=True)


def menu_gone(img):
    return not harness.menu_shown(img)


def session(prog):
    step("waiting for the window")
    if prog.find_window(timeout=STEP_TIMEOUT) is None:
        raise AssertionError("the program ended before its window appeared; " + prog.describe())

    step("language screen: choosing English")
    harness.wait_for_language_screen(prog, timeout=STEP_TIMEOUT)
    en_x = dict(harness.LANGUAGE_BUTTONS)["EN"]
    prog.click(en_x + 48, harness.LANGUAGE_TOP + 32)

    step("editor: painting and picking")
    harness.wait_for_editor(prog, cell=(9, 9), timeout=STEP_TIMEOUT)
    for _ in range(3):
        prog.key("Right")
    prog.drag([harness.cell_centre(c, 4) for c in range(2, 8)], dwell=0.5)
    prog.move(*harness.POINTER_PARK)
    painted = prog.wait_for(lambda img: all(img.lit(harness.cell_box(c, 4)) > 256
                                            for c in range(2, 8)),
                            STEP_TIMEOUT, "painted tiles in cells 2..7 of row 4")
    if painted.lit(harness.cell_box(12, 4)) != 0:
        raise AssertionError("an unpainted cell is not empty")
    prog.click(*harness.cell_centre(3, 4), button=3)  # pick the painted tile back
    prog.key("Right")
    prog.drag([harness.cell_centre(c, 6) for c in range(2, 5)], dwell=0.5)
    prog.move(*harness.POINTER_PARK)
    prog.wait_for(lambda img: all(img.lit(harness.cell_box(c, 6)) > 256 for c in range(2, 5)),
                  STEP_TIMEOUT, "painted tiles in cells 2..4 of row 6")

    for i in range(MENU_ROUNDS):
        step("menu %d of %d" % (i + 1, MENU_ROUNDS))
        harness.open_menu(prog, timeout=STEP_TIMEOUT)
        if i % 2 == 0:
            prog.click(320, harness.MENU_CONTINUE_TOP + 18)
        else:
            prog.key("Escape")
        prog.move(*harness.POINTER_PARK)
        prog.wait_for(menu_gone, STEP_TIMEOUT, "the menu to close")

    step("quitting through the menu")
    harness.open_menu(prog, timeout=STEP_TIMEOUT)
    prog.click(*harness.QUIT_CENTRE)
    rc = prog.wait_exit(timeout=STEP_TIMEOUT)
    if rc is None:
        raise AssertionError("the program did not end after quit; " + prog.describe())
    return rc


def figure(pattern, text):
    m = re.search(pattern, text)
    return int(m.group(1).replace(",", "")) if m else None


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else harness.BINARY
    with harness.XServer() as xserver:
        prog = ValgrindProgram(xserver, os.path.abspath(binary))
        prog.write_settings(windowed=True)  # no Language: the language screen comes first
        prog.start()
        try:
            rc = session(prog)
            report = prog.report()
        except BaseException:
            print(prog.describe(), file=sys.stderr)
            raise
        finally:
            keep = os.path.join(os.getcwd(), "leakcheck-valgrind.log")
            if os.path.exists(prog.log):
                with open(prog.log, "rb") as src, open(keep, "wb") as dst:
                    dst.write(src.read())
            prog.stop()
    errors = figure(r"ERROR SUMMARY: ([\d,]+) errors", report)
    lost = figure(r"definitely lost: ([\d,]+) bytes", report)
    print("valgrind: exit code %d, errors %s, definitely lost %s bytes (report: %s)"
          % (rc, errors, 0 if lost is None else lost, keep))
    if rc != 0 or errors is None or errors != 0 or (lost or 0) != 0:
        print("LEAK CHECK FAILED", file=sys.stderr)
        return 1
    print("leak check passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
