/* Placeholder until this module is written. */
#include "buttons.h"
stButton sButton[iTotalButtons];
bool bBlink = false;
int iBlinker = 0;
int butNew(int, int, int, std::string, std::string, std::string, int)
{
    return 0;
}
void butUpdate() {}
void butDisplay() {}
int butCheck(int)
{
    return 0;
}
int butReset(int)
{
    return 0;
}
int butKill(int)
{
    return 0;
}
int butKillAll()
{
    return 0;
}
void butBlink(bool) {}
