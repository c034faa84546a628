/*
 * Tarvenloft - the keys of the editor's tools and panels, with a map file
 * open.
 *
 * B, F and R choose the brush, the bucket fill and the rectangle, and H
 * switches the highlight of the working layer: these act when pressed, as
 * the other keys of a map file do. Space, M and F1 open the tile palette,
 * the overview and the help when let go, as Escape opens the menu, so that
 * the panel starts with no key held. The where box shows the tool and the
 * selected value for a while after either changes.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_map.h"

#include "keyboard.h"

void CMapEditor::ToolKeys_()
{
    static const int iToolKey[3] = {KEY_B, KEY_F, KEY_R};
    static const int iToolOf[3] = {giToolBrush, giToolFill, giToolRectangle};
    const bool bCtrl = keyControlHeld();
    for (int i = 0; i < 3; i++)
    {
        if (KeyPressed_(iToolKey[i]) && !bCtrl)
        {
            SetTool_(iToolOf[i]);
        }
    }
    if (KeyPressed_(KEY_H) && !bCtrl)
    {
        bHighlight = !bHighlight;
    }
    if (keyCheck(KEY_SPACE))
    {
        Palette_();
    }
    else if (keyCheck(KEY_M))
    {
        Overview_();
    }
    else if (keyCheck(KEY_F1))
    {
        Help_();
    }
    if (iTool != iShownTool || iTerrain != iShownTerrain)
    {
        iShownTool = iTool;
        iShownTerrain = iTerrain;
        ShowWhere_();
    }
}
