/* Placeholder until this module is written. */
#include "text_strings.h"
std::string CText::Get(std::string)
{
    return "";
}
int CText::Clear()
{
    return 0;
}
int CText::Put(std::string, std::string)
{
    return 0;
}
int CText::Find(std::string)
{
    return -1;
}
int CText::FindEmpty()
{
    return -1;
}
