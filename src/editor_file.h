/*
 * Tarvenloft - the editor's side of the map file.
 *
 * In map-file mode (a map file named on the command line, or "MapFiles ON"
 * in the settings) the editor keeps its map in a TMX file. At start it
 * opens the file named, else the user's last map, else it begins a new,
 * untitled map. Save (Ctrl+S, Save Map), Save As (Ctrl+Shift+S), Open
 * (Ctrl+O, Load Map) and New (Ctrl+N) keep it there, the first three
 * through the file picker where a file is to be chosen; each leaves a
 * notice in the interface language. The window's title names the file and
 * marks unsaved changes, and while there are any the close button asks
 * before it ends the program. Outside map-file mode nothing here does
 * anything.
 *
 * Names are UTF-8, as the system gives them; fileShownName and the notices
 * have them in the fonts' characters.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_FILE_H
#define TARVENLOFT_EDITOR_FILE_H

#include "header.h"

/* Whether the editor keeps its map in a map file. */
bool fileInUse();

/* Opens the map before the display opens: the file named on the command line, else in map-file
   mode the last map. False, with the reason in tWhy, only when the named file exists and cannot
   be opened. */
bool fileOpenAtStart(std::string& tWhy);

/* Shows, once the editor runs, why the last map could not be opened at start. */
void fileStartNotice();

bool fileSave();
bool fileSaveAs();
bool fileOpen();
void fileNew();
bool fileUntitled();
std::string fileName();
std::string fileShownName();
void fileMapChanged();
bool fileUnsaved();
void fileKeepTitle();

#endif
