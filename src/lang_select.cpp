/* Placeholder until this module is written. */
#include "lang_select.h"
void titleLanguageSelect() {}
