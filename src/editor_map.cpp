/* Placeholder until this module is written. */
#include "editor_map.h"
CMapEditor edit;
int CMapEditor::TileRover()
{
    return 0;
}
int editMap()
{
    return 0;
}
