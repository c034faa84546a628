/* Placeholder until this module is written. */
#include "gui_main.h"
#include "timing.h"
void guiDebug_() {}
void displayAll()
{
    timeWait();
}
