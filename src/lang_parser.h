/*
 * Tarvenloft - the language file reader.
 *
 * A language file is a run of entries "[key] text^" and "#" comments; it
 * lies at system/text/<language code>/<name>.txt.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_LANG_PARSER_H
#define TARVENLOFT_LANG_PARSER_H

#include "header.h"

int parStrings(CText& txtObj, std::string tFileName);

#endif
