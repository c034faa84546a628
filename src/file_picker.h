/*
 * Tarvenloft - the file picker: choosing a map file inside the picture.
 *
 * A modal screen drawn into the 640 x 480 picture with the program's own
 * fonts, a translucent panel and image buttons, over the picture that was
 * there when it opened; so it looks and works alike in a window and full
 * screen, at every scale. It lists a folder's sub-folders and map files;
 * in Open the user picks a file, in Save As a folder and a typed name. The
 * keys come from the library's key buffer, so that no press is lost,
 * however short.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_FILE_PICKER_H
#define TARVENLOFT_FILE_PICKER_H

#include <string>

#include "pick_state.h"  // the modes giPickOpen and giPickSaveAs

/* Accepts or refuses a chosen path (UTF-8). Refusing, it puts the reason into tWhy in the fonts'
   characters (txtFromUtf8 for any name in it), and the picker shows it and stays open: in Open,
   why the file cannot be opened; in Save As, why it could not be saved. */
typedef bool (*tPickAccept)(const std::string& tPath, std::string& tWhy);

/* Runs the picker over the picture in mBuffer, starting in the folder tFolder (UTF-8; the
   nearest folder above it where it is gone) with tName selected (Open) or typed in the name
   field, all of it selected (Save As; empty for an untitled map). Returns true once fnAccept has
   accepted a path, which is then in tChosen; false on Escape, Cancel or the window's close
   button, whose request is left for the caller. Key presses and button clicks of the caller's
   screen are kept as they were, and no key or mouse button that ended the picker is still held
   when it returns. */
bool pickRun(int iMode, const std::string& tFolder, const std::string& tName, tPickAccept fnAccept,
             std::string& tChosen);

#endif
