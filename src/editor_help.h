/*
 * Tarvenloft - the editor's help screen.
 *
 * One screen over the map that lists every key and mouse action of the
 * editor with a map file, each with what it does, in the interface
 * language: the texts are the language file's entries "help_key_N" and
 * "help_do_N" for N from 1 to giHelpLines, under the menu's label "help"
 * and over the line "help_close".
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_HELP_H
#define TARVENLOFT_EDITOR_HELP_H

#include "header.h"

const int giHelpLines = 23;  // keys and mouse actions the help lists

/* Draws the help screen into mBuffer. */
void helpDraw();

#endif
