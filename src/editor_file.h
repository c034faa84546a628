/*
 * Tarvenloft - the editor's side of the map file.
 *
 * With a map file named on the command line (sys_tMapFile), the map is
 * opened from it before the display opens, and kept in it by Save Map,
 * Ctrl+S and Load Map. Each of those leaves a short notice in the
 * interface language, which the editor and its menu show for about two
 * seconds. The window's title names the file and marks unsaved changes,
 * and while there are any the close button asks before it ends the program.
 * Without a map file nothing here does anything.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_FILE_H
#define TARVENLOFT_EDITOR_FILE_H

#include "header.h"

const int giNoticeFrames = 120;  // frames a notice shows: two seconds

bool fileOpenAtStart(std::string& tWhy);
bool fileSave();
bool fileLoad();
bool fileExists();
std::string fileName();
void fileMapChanged();
bool fileUnsaved();
void fileKeepTitle();
void fileNotice(const std::string& tText);
std::string fileNoticeNow();
void fileNoticeTick();
std::string fileScreenText(const std::string& tText);

#endif
