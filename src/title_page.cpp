/*
 * Tarvenloft - the title page. This version has none yet and passes
 * straight through to the editor.
 */
#include "title_page.h"

int titlePage()
{
    return 0;
}
