#!/bin/sh
# The program for the window test harness when it tests the Windows build: Wine running
# tarvenloft.exe from the working directory, which the harness makes a scratch copy of the
# unzipped release folder (the program beside data/ and system/, as after a double click), with
# the harness's arguments. TARVENLOFT_EXE names the program instead, for a start from another
# directory, as when a file is dropped on the program.
# Wine takes WINEPREFIX, TMPDIR and WINEDEBUG from the environment. The harness gives its
# program a PATH without programs (for the Linux build's sake); Wine needs the system's.
#
# SPDX-License-Identifier: MIT
PATH=/usr/bin:/bin
export PATH
exec wine "${TARVENLOFT_EXE:-tarvenloft.exe}" "$@"
