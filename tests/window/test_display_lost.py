# SPDX-License-Identifier: MIT
"""The display going away under the running program (a logout, a crashed or dropped X server):
the program must end at once with its own exit status and one line on standard error, never
on a signal and never hanging."""

import signal
import unittest

from harness import WindowTestCase, open_menu, wait_for_editor

EXIT_DISPLAY_LOST = 304 % 256
ROUNDS = 3


class DisplayLostTest(WindowTestCase):
    def lose_display(self, in_menu, sig):
        prog = self.launch(windowed=True, language="EN")
        wait_for_editor(prog)
        if in_menu:
            open_menu(prog)
        self.xserver.proc.send_signal(sig)
        rc = prog.wait_exit(timeout=5)
        self.assertIsNotNone(rc, "the program hangs; %s" % prog.describe())
        self.assertGreaterEqual(rc, 0, "ended on signal %d; %s" % (-rc, prog.describe()))
        self.assertEqual(rc, EXIT_DISPLAY_LOST, prog.describe())
        # That one line alone: the sound library's complaints about a machine without a sound
        # card, at start-up, do not reach standard error, and later errors still do.
        self.assertEqual(prog.stderr.splitlines(),
                         ["Tarvenloft: the connection to the X display was lost."])
        self.xserver.stop()

    def test_display_lost_in_editor_and_menu(self):
        for round_ in range(ROUNDS):
            for in_menu in (False, True):
                # A killed server drops every connection at once; a terminated one closes them
                # as it shuts down.
                sig = signal.SIGKILL if round_ % 2 == 0 else signal.SIGTERM
                with self.subTest(round=round_, in_menu=in_menu):
                    self.lose_display(in_menu, sig)
                self.xserver.start()


if __name__ == "__main__":
    unittest.main()
