/*
 * Tarvenloft - drawing the file picker.
 *
 * Names are drawn in the 16 x 16 font, the folder's path and long messages
 * in the 8 x 8 one, all through txtLiteral, since a path may hold "/n". A
 * name too wide for its row loses its end to "...", a path its start. The
 * small icons before the names are drawn with rectangles, so that they need
 * no artwork and look alike at every depth.
 *
 * SPDX-License-Identifier: MIT
 */
#include "pick_draw.h"

#include "color.h"
#include "text.h"
#include "text_utf8.h"

static const int giNameLeft = giListLeft + 24;  // where the names start, after their icons
static const int giRowRight = giBarLeft - 4;    // where the names end
static const int giFieldTextLeft = giFieldLeft + 4;
static const int giFieldRoom = giListRight - giFieldLeft - 8;  // the field's text area, wide
static const int giCaretBlink = 30;                            // frames on, frames off

// The colour of the list's and the field's boxes, at the current depth.
static int pickBoxColor()
{
    return makecol(16, 18, 28);
}

void pickShadeBackground(BITMAP* mBack)
{
    colorShade(mBack, giPickLeft, giPickTop, giPickRight, giPickBottom, makecol(0, 0, 0));
    rectfill(mBack, giListLeft, giListTop, giListRight, giListBottom, pickBoxColor());
}

// The width tText takes in iFont, every character counted.
static int pickWidth(int iFont, const std::string& tText)
{
    return txtCheckWordLength(iFont, tText);
}

// tText (already literal) cut to iRoom pixels with "...": at its end, or with bKeepEnd at its
// start.
static std::string pickFit(int iFont, const std::string& tText, int iRoom, bool bKeepEnd)
{
    if (pickWidth(iFont, tText) <= iRoom)
    {
        return tText;
    }
    const std::string tDots = "...";
    int iLeft = iRoom - pickWidth(iFont, tDots);
    size_t iKeep = 0;
    while (iKeep < tText.size())
    {
        const char c = tText[bKeepEnd ? tText.size() - 1 - iKeep : iKeep];
        iLeft -= txtWidthOfChar(iFont, (unsigned char)c);
        if (iLeft < 0)
        {
            break;
        }
        iKeep++;
    }
    return bKeepEnd ? tDots + tText.substr(tText.size() - iKeep) : tText.substr(0, iKeep) + tDots;
}

// The small picture before an entry's name, its top-left corner at (x, y).
static void pickDrawIcon(int iKind, int x, int y)
{
    if (iKind == giEntryUp)
    {
        const int iArrow = makecol(200, 204, 220);
        triangle(mBuffer, x + 6, y + 2, x, y + 8, x + 12, y + 8, iArrow);
        rectfill(mBuffer, x + 4, y + 8, x + 8, y + 14, iArrow);
    }
    else if (iKind == giEntryDrive)
    {
        rectfill(mBuffer, x, y + 5, x + 13, y + 13, makecol(150, 154, 168));
        rectfill(mBuffer, x + 10, y + 10, x + 11, y + 11, makecol(90, 220, 110));
    }
    else if (iKind == giEntryFolder)
    {
        const int iFolder = makecol(222, 184, 92);
        rectfill(mBuffer, x, y + 3, x + 5, y + 5, iFolder);
        rectfill(mBuffer, x, y + 5, x + 13, y + 14, iFolder);
        hline(mBuffer, x, y + 6, x + 13, makecol(160, 124, 48));
    }
    else
    {
        const int iLine = makecol(150, 140, 110);
        rectfill(mBuffer, x + 1, y + 1, x + 11, y + 14, makecol(230, 222, 190));
        rectfill(mBuffer, x + 3, y + 3, x + 6, y + 6, makecol(92, 160, 96));
        hline(mBuffer, x + 3, y + 9, x + 9, iLine);
        hline(mBuffer, x + 3, y + 12, x + 9, iLine);
    }
}

static void pickDrawRows(const stPicker& p)
{
    const int iCount = (int)p.folder.vEntries.size();
    const bool bFocused = p.iMode == giPickOpen || p.iFocus == giFocusList;
    const int iBar = bFocused ? makecol(104, 92, 140) : makecol(62, 56, 84);
    for (int r = 0; r < giListRows && p.iTop + r < iCount; r++)
    {
        const int i = p.iTop + r;
        const stPickEntry& entry = p.folder.vEntries[i];
        const int y = giListTop + 2 + r * giRowHeight;
        if (i == p.iSelected)
        {
            rectfill(mBuffer, giListLeft + 2, y, giRowRight + 2, y + giRowHeight - 1, iBar);
        }
        pickDrawIcon(entry.iKind, giListLeft + 6, y + 1);
        txtOut(2, giNameLeft, y + 1,
               pickFit(2, txtLiteral(entry.tShown), giRowRight - giNameLeft, false), -1, -1);
    }
    const bool bNoMaps = iCount == 0 || (iCount == 1 && p.folder.vEntries[0].iKind == giEntryUp);
    if (bNoMaps)
    {
        txtOut(1, giNameLeft, giListTop + 6 + iCount * giRowHeight, txt.Get("pick_no_maps"), -1,
               -1);
    }
}

// The scroll bar, where the list is longer than the box: the thumb stands for the rows shown.
static void pickDrawBar(const stPicker& p)
{
    const int iCount = (int)p.folder.vEntries.size();
    if (iCount <= giListRows)
    {
        return;
    }
    const int iTrackTop = giListTop + 2;
    const int iTrackHeight = giListBottom - 2 - iTrackTop;
    int iThumb = iTrackHeight * giListRows / iCount;
    iThumb = iThumb < 12 ? 12 : iThumb;
    const int iThumbTop = iTrackTop + (iTrackHeight - iThumb) * p.iTop / (iCount - giListRows);
    rectfill(mBuffer, giBarLeft, iTrackTop, giListRight - 2, iTrackTop + iTrackHeight,
             makecol(40, 38, 52));
    rectfill(mBuffer, giBarLeft + 1, iThumbTop, giListRight - 3, iThumbTop + iThumb,
             makecol(150, 138, 190));
}

// A reason or a question: one line in the large font where it fits, else the small font, wrapped,
// kept to the room above the name field (Save As) or the buttons (Open).
static void pickDrawMessage(const stPicker& p)
{
    const std::string tText = txtLiteral(p.tMessage);
    const int iBottom = (p.iMode == giPickSaveAs ? giFieldTop : giButtonTop) - 1;
    set_clip_rect(mBuffer, giListLeft, giMessageTop, giListRight, iBottom);
    if (pickWidth(2, tText) <= giListRight - giListLeft)
    {
        txtOut(2, giListLeft, giMessageTop, tText, -1, -1);
    }
    else
    {
        txtOut(1, giListLeft, giMessageTop, tText, giListRight, -1);
    }
    set_clip_rect(mBuffer, 0, 0, mBuffer->w - 1, mBuffer->h - 1);
}

int pickFieldScroll(const stPickField& field)
{
    const int iCaret = pickWidth(2, txtLiteral(txtFromUtf8(field.tText.substr(0, field.iCaret))));
    return iCaret > giFieldRoom - 2 ? iCaret - giFieldRoom + 2 : 0;
}

int pickFieldX(const stPickField& field, size_t iAt)
{
    const int iWidth = pickWidth(2, txtLiteral(txtFromUtf8(field.tText.substr(0, iAt))));
    return giFieldTextLeft - pickFieldScroll(field) + iWidth;
}

// The name field of Save As: its label, its box, the text with the selection or the caret.
static void pickDrawField(const stPicker& p)
{
    const stPickField& field = p.field;
    const bool bFocused = p.iFocus == giFocusField;
    txtOut(2, giListLeft, giFieldTop + 3, txt.Get("pick_name"), -1, -1);
    rectfill(mBuffer, giFieldLeft, giFieldTop, giListRight, giFieldBottom, pickBoxColor());
    rect(mBuffer, giFieldLeft, giFieldTop, giListRight, giFieldBottom,
         bFocused ? makecol(150, 138, 190) : makecol(70, 70, 84));
    set_clip_rect(mBuffer, giFieldLeft + 2, giFieldTop + 1, giListRight - 2, giFieldBottom - 1);
    const int iLeft = pickFieldX(field, 0);
    if (field.bAll && !field.tText.empty())
    {
        rectfill(mBuffer, iLeft - 1, giFieldTop + 2, pickFieldX(field, field.tText.size()),
                 giFieldBottom - 2, makecol(104, 92, 140));
    }
    txtOut(2, iLeft, giFieldTop + 3, txtLiteral(txtFromUtf8(field.tText)), -1, -1);
    if (bFocused && !field.bAll && (p.iFrame / giCaretBlink) % 2 == 0)
    {
        const int x = pickFieldX(field, field.iCaret);
        rectfill(mBuffer, x, giFieldTop + 3, x + 1, giFieldBottom - 3, makecol(255, 255, 255));
    }
    set_clip_rect(mBuffer, 0, 0, mBuffer->w - 1, mBuffer->h - 1);
}

void pickDraw(const stPicker& p, BITMAP* mBack)
{
    blit(mBack, mBuffer, 0, 0, 0, 0, sys_iScreenWidth, sys_iScreenHeight);
    txtCenter(2, sys_iScreenWidth / 2, giPickTop + 8,
              txt.Get(p.iMode == giPickOpen ? "pick_open_title" : "pick_save_title"), -1);
    const std::string tPath =
        p.folder.tPath.empty() ? txt.Get("pick_drives") : txtLiteral(txtFromUtf8(p.folder.tPath));
    txtOut(1, giListLeft, giListTop - 14, pickFit(1, tPath, giListRight - giListLeft, true), -1,
           -1);
    pickDrawRows(p);
    pickDrawBar(p);
    pickDrawMessage(p);
    if (p.iMode == giPickSaveAs)
    {
        pickDrawField(p);
    }
}
