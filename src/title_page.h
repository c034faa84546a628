/*
 * Tarvenloft - the title page, which this version passes straight through.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TITLE_PAGE_H
#define TARVENLOFT_TITLE_PAGE_H

#include "header.h"

int titlePage();

#endif
