/*
 * Tarvenloft - the editor's side of the map file.
 *
 * With a map file named on the command line (sys_tMapFile), the map is
 * opened from it before the display opens, and kept in it by Save Map,
 * Ctrl+S and Load Map. Each of those leaves a notice in the interface
 * language. The window's title names the file and marks unsaved changes,
 * and while there are any the close button asks before it ends the program.
 * Without a map file nothing here does anything.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_FILE_H
#define TARVENLOFT_EDITOR_FILE_H

#include "header.h"

/* Whether the editor keeps its map in a map file. */
bool fileInUse();

bool fileOpenAtStart(std::string& tWhy);
bool fileSave();
bool fileLoad();
bool fileExists();
std::string fileName();
void fileMapChanged();
bool fileUnsaved();
void fileKeepTitle();

#endif
