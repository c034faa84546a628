/* Placeholder until this module is written. */
#include "text.h"
stFont sFont[iTotalFonts];
stTextObject sText[iTotalTObjects];
int txtSetFont(int, const char*, int, int)
{
    return 0;
}
int txtWidthOfChar(int, int)
{
    return 0;
}
int txtCheckWordLength(int, std::string)
{
    return 0;
}
int txtOut(int, int, int, std::string, int, int)
{
    return 0;
}
int txtCenter(int, int, int, std::string, int)
{
    return 0;
}
int txtNew(int, int, int, std::string, int, int, int, int)
{
    return 0;
}
int txtKill(int)
{
    return 0;
}
int txtKillAll()
{
    return 0;
}
void txtDisplay() {}
