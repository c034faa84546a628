/*
 * Tarvenloft - the settings file.
 *
 * parSettingsIni reads "data/settings.ini" once, before the library starts,
 * and sets windowed mode, debug mode and the language code from it. The
 * program never writes the file.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_USER_SETTINGS_H
#define TARVENLOFT_USER_SETTINGS_H

#include "header.h"

const int iBufferSize = 1200;  // token buffer of the settings reader, terminator included

int parSettingsIni();

#endif
