/*
 * Tarvenloft - the language chosen, kept in the user's settings file.
 *
 * In map-file mode the language chosen on the language screen is written
 * into "data/settings.ini", so that the next start goes straight to the
 * editor. Only the language's value changes (or one line is added); every
 * other byte of the file stays as it was, its line ends included, and the
 * file is replaced whole or not at all.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_SETTINGS_WRITE_H
#define TARVENLOFT_SETTINGS_WRITE_H

#include "header.h"

// The settings text tText with tCode as its language: the value of the Language key that
// counts replaced, or else a line "Language tCode" added at the end, ended as the text's own
// lines are. Everything else the text sets reads as before.
std::string parWithLanguage(const std::string& tText, const std::string& tCode);

// Writes tCode into "data/settings.ini" (made when missing). False when the file cannot be read
// or written; the file is then as it was, and the choice lasts for the run.
bool parKeepLanguage(const std::string& tCode);

#endif
