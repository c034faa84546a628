/*
 * Tarvenloft - the title page. This version has none yet and passes
 * straight through to the editor.
 *
 * SPDX-License-Identifier: MIT
 */
#include "title_page.h"

int titlePage()
{
    return 0;
}
