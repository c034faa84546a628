/* Placeholder until this module is written. */
#include "screen.h"
void screenDisplay() {}
void screenGet(BITMAP*) {}
void screenIn(int, int) {}
void screenOut(int, int) {}
