/* Placeholder until this module is written. */
#include "map_data.h"
int CMap::Clear()
{
    return 0;
}
int CMap::ClearHeader_()
{
    return 0;
}
int CMap::ClearTerrain_()
{
    return 0;
}
int CMap::Display(int, int, int, int, bool, int)
{
    return 0;
}
int CMap::LoadTiles(std::string)
{
    return 0;
}
