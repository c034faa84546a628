/*
 * Tarvenloft - the command line.
 *
 * The program runs with no argument, or with one that names a map file to
 * open and keep the map in ("--" before it lets the name start with "-").
 * "--version" and "--help" print on the given output stream and give status
 * 0; anything else (an unknown option, or more than one argument) gets one
 * line on the error stream and status 2. main asks here before anything
 * else, so an answer needs no settings, no library and no display.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_COMMAND_LINE_H
#define TARVENLOFT_COMMAND_LINE_H

#include <cstdio>
#include <string>

const int iCmdRun = -1;    // cmdAnswer's result when the program is to run as usual
const int iExitUsage = 2;  // exit status for an argument the program does not take

// Answers the command line argc/argv, writing to pOut or pErr. Returns iCmdRun when the program
// is to run, with the map file named in tMapFile (empty when none is), else the exit status the
// program is to end with at once.
int cmdAnswer(int argc, const char* const* argv, std::FILE* pOut, std::FILE* pErr,
              std::string& tMapFile);

#endif
