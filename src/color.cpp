/* Placeholder until this module is written. */
#include "color.h"
int colorReplace(BITMAP*, int, int)
{
    return 0;
}
int colorAlpha(BITMAP*)
{
    return 0;
}
