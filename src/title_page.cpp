/* Placeholder until this module is written. */
#include "title_page.h"
int titlePage()
{
    return 0;
}
