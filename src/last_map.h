/*
 * Tarvenloft - the last map: the map file the user last opened or saved in
 * map-file mode, remembered between runs so that the next start opens it.
 *
 * It is kept per user in the platform's state folder (platStateFolder), in
 * the file "last-map": the map's absolute path (UTF-8) and a line break, replaced
 * whole or not at all.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_LAST_MAP_H
#define TARVENLOFT_LAST_MAP_H

#include "header.h"

/* The last map's path, or "" when none is kept or it cannot be read. */
std::string lastMapRead();

/* Remembers tFile (made absolute) as the last map, making the state folder where it is missing.
   False where it cannot be written; the one kept before then stays. */
bool lastMapWrite(const std::string& tFile);

#endif
