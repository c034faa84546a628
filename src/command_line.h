/*
 * Tarvenloft - the command line.
 *
 * The program takes no argument to run, or one option to answer and end:
 * "--version" and "--help" print on the given output stream and give status
 * 0; anything else (an unknown argument, or more than one) gets one line on
 * the error stream and status 2. main asks here before anything else, so an
 * answer needs no settings, no library and no display.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_COMMAND_LINE_H
#define TARVENLOFT_COMMAND_LINE_H

#include <cstdio>

const int iCmdRun = -1;    // cmdAnswer's result when the program is to run as usual
const int iExitUsage = 2;  // exit status for an argument the program does not take

// Answers the command line argc/argv, writing to pOut or pErr. Returns iCmdRun when there are no
// arguments, else the exit status the program is to end with at once.
int cmdAnswer(int argc, const char* const* argv, std::FILE* pOut, std::FILE* pErr);

#endif
