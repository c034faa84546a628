/*
 * Tarvenloft - the file picker's checks of a name typed for a map file.
 *
 * A typed name gets ".tmx" when it does not end in it (in any case), and
 * is refused when the system could not make a file of it: an empty name,
 * a character that the system keeps for itself ("/" everywhere; on Windows
 * also \ : * ? " < > | and the control characters), a name that Windows
 * keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9,
 * CONIN$, CONOUT$, with any extension), or one longer than a file name may be. The reasons are
 * keys of the language file, so that the picker says them in the user's
 * language. Nothing here touches the disk.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PICK_NAME_H
#define TARVENLOFT_PICK_NAME_H

#include <string>

/* tName with ".tmx" added unless it ends in it already, in any case. */
std::string pickWithExtension(const std::string& tName);

/* Whether the system can name a file tName (UTF-8, the extension already added), by the rules of
   Windows when bWindows, else of Linux. When it cannot, tWhyKey is the language file's key of
   the reason and tWhat the part of the name at fault (a character, a reserved word; empty when
   the whole name is). */
bool pickCheckName(const std::string& tName, bool bWindows, std::string& tWhyKey,
                   std::string& tWhat);

#endif
