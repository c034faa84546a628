/*
 * Tarvenloft - reading image files.
 *
 * Every image the program loads (fonts, pointer, buttons, tilesets) comes
 * through here, so that the checks on image files live in one place. A
 * loaded image is a new memory bitmap in the current colour depth, owned by
 * the caller.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_IMAGE_H
#define TARVENLOFT_IMAGE_H

#include "header.h"

/* Reads tFile; on failure returns NULL and says why in tWhy. */
BITMAP* imgLoad(const std::string& tFile, std::string& tWhy);

/* Reads an image the program cannot run without; on failure shows a message naming the file and
   why, then ends the process with iExitCode. */
BITMAP* imgRequire(const std::string& tFile, int iExitCode);

#endif
