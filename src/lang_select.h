/*
 * Tarvenloft - the first-run language selection screen.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_LANG_SELECT_H
#define TARVENLOFT_LANG_SELECT_H

#include "header.h"

void titleLanguageSelect();

#endif
