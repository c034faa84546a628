/*
 * Tarvenloft - the editor's help screen.
 *
 * A dark panel nearly as large as the picture, the title in the large font
 * and the lines in the small one: the key or mouse action on the left, what
 * it does on the right, wrapped at the panel's edge when a language needs
 * more room.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_help.h"

#include "text.h"

static const int iPanelLeft = 16;
static const int iPanelTop = 8;
static const int iPanelRight = sys_iScreenWidth - 17;
static const int iPanelBottom = sys_iScreenHeight - 9;
static const int iKeyX = 32;       // where the keys' column starts
static const int iDoX = 212;       // where the actions' column starts
static const int iFirstLine = 48;  // the first line's top
static const int iLinePitch = 16;  // from one line's top to the next one's

void helpDraw()
{
    rectfill(mBuffer, iPanelLeft, iPanelTop, iPanelRight, iPanelBottom, makecol(16, 20, 40));
    rect(mBuffer, iPanelLeft, iPanelTop, iPanelRight, iPanelBottom, makecol(160, 160, 200));
    txtCenter(2, sys_iScreenWidth / 2, iPanelTop + 12, txt.Get("help"), -1);
    for (int i = 1; i <= giHelpLines; i++)
    {
        const int iY = iFirstLine + (i - 1) * iLinePitch;
        const std::string tN = std::to_string(i);
        txtOut(1, iKeyX, iY, txt.Get("help_key_" + tN), -1, -1);
        txtOut(1, iDoX, iY, txt.Get("help_do_" + tN), iPanelRight - 8, -1);
    }
    txtCenter(1, sys_iScreenWidth / 2, iPanelBottom - 18, txt.Get("help_close"), -1);
}
