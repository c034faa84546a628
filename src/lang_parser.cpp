/* Placeholder until this module is written. */
#include "lang_parser.h"
int parStrings(CText&, std::string)
{
    return 0;
}
