/*
 * Tarvenloft - bitmap fonts and text objects.
 *
 * Fonts are images of 16 x 16 glyph cells with a width-marker row above each
 * glyph row; txtSetFont loads one into a slot and measures every glyph's
 * advance. txtOut lays out and draws one string into mBuffer, breaking lines
 * at spaces against an absolute right margin and obeying the "/w", "/n" and
 * "/p" markers. Text objects are strings that txtDisplay reveals and redraws
 * every frame until they are killed.
 *
 * SPDX-License-Identifier: MIT
 */
#include "text.h"

#include "color.h"
#include "image.h"

stFont sFont[iTotalFonts];
stTextObject sText[iTotalTObjects];

// The unsigned code 0..255 of the byte at iIndex.
static int txtCode(const std::string& tText, int iIndex)
{
    return (unsigned char)tText[iIndex];
}

// True when the two characters at iIndex are '/' and cMarker.
static bool txtIsMarker(const std::string& tText, int iIndex, char cMarker)
{
    return iIndex + 1 < (int)tText.size() && tText[iIndex] == '/' && tText[iIndex + 1] == cMarker;
}

// Stops start-up when a font image is smaller than its 17 x 17 cell layout needs.
static void txtRequireSize(BITMAP* mImage, const char* cFontImageName, int iW, int iH)
{
    int iNeedW = 17 * iW;
    int iNeedH = 17 * (iH + 1) - 1;
    if (mImage->w >= iNeedW && mImage->h >= iNeedH)
    {
        return;
    }
    std::string tError = "Cannot use the font image " + std::string(cFontImageName) + ".\nIt is " +
                         std::to_string(mImage->w) + "x" + std::to_string(mImage->h) +
                         " pixels; a font of " + std::to_string(iW) + "x" + std::to_string(iH) +
                         " cells needs at least " + std::to_string(iNeedW) + "x" +
                         std::to_string(iNeedH) + ".";
    allegro_message("%s\n", tError.c_str());
    exit(iExitFont);
}

// The advance of code k: the offset of the first blue pixel in its marker row, or W.
static int txtMeasureGlyph(BITMAP* mImage, int iW, int iH, int k)
{
    int iBlue = makecol(0, 0, 255);
    int iX = (k % 16 + 1) * iW;
    int iY = iH + (k / 16) * (iH + 1);
    for (int j = 0; j < iW; j++)
    {
        if (getpixel(mImage, iX + j, iY) == iBlue)
        {
            return j;
        }
    }
    return iW;
}

int txtSetFont(int iFontNumberToSet, const char* cFontImageName, int iFontWidthToSet,
               int iFontHeightToSet)
{
    BITMAP* mImage = imgRequire(cFontImageName, iExitFont);
    txtRequireSize(mImage, cFontImageName, iFontWidthToSet, iFontHeightToSet);
    colorReplace(mImage, makecol(255, 128, 255), makecol(255, 0, 255));

    stFont& f = sFont[iFontNumberToSet];
    if (f.bSource != NULL)
    {
        destroy_bitmap(f.bSource);
    }
    f.bSource = mImage;
    for (int k = 0; k < iTotalChars; k++)
    {
        f.iWidth[k] = txtMeasureGlyph(mImage, iFontWidthToSet, iFontHeightToSet, k);
    }
    f.iHeight = iFontHeightToSet;
    f.iWidthSource = iFontWidthToSet;
    return 0;
}

// Codes outside 0..255 are taken by their low byte, so a signed char measures correctly.
int txtWidthOfChar(int iFont, int iChar)
{
    return sFont[iFont].iWidth[iChar & 0xFF];
}

int txtCheckWordLength(int iFont, std::string tText)
{
    int iLength = 0;
    for (int i = 0; i < (int)tText.size(); i++)
    {
        iLength += sFont[iFont].iWidth[txtCode(tText, i)];
    }
    return iLength;
}

// Width of the word after the space at iSpace: up to the next space or the end of the text.
// Summed in place: a wrapping text asks this at every space of every frame, and a copy of each
// word would cost an allocation each time.
static int txtNextWordWidth(int iFont, const std::string& tText, int iSpace)
{
    int iWidth = 0;
    for (size_t i = iSpace + 1; i < tText.size() && tText[i] != ' '; i++)
    {
        iWidth += sFont[iFont].iWidth[(unsigned char)tText[i]];
    }
    return iWidth;
}

/* Lays out and draws tText into mBuffer. A wrap or a marker may move the index past the
   counted characters (that character is still drawn in the same step), but never past the
   text: when either leaves nothing to draw, the text ends there. */
int txtOut(int iFontToUse, int iTextLocationX, int iTextLocationY, std::string tText,
           int iTextLength, int iNumberOfCharactersToPrint)
{
    const stFont& f = sFont[iFontToUse];
    if (f.bSource == NULL)
    {
        return 0;
    }
    int iLen = (int)tText.size();
    int n = iNumberOfCharactersToPrint;
    if (n < 0 || n > iLen)
    {
        n = iLen;
    }
    int iIndentLocation = iTextLocationX;
    int x = iTextLocationX;
    int y = iTextLocationY;
    int i = 0;
    while (i < n)
    {
        if (tText[i] == ' ' && iTextLength > 0 &&
            x + txtNextWordWidth(iFontToUse, tText, i) > iTextLength)
        {
            while (i < iLen && tText[i] == ' ')
            {
                i++;
            }
            y += f.iHeight;
            x = iIndentLocation;
        }
        if (txtIsMarker(tText, i, 'w'))
        {
            i += 2;
        }
        if (txtIsMarker(tText, i, 'n'))
        {
            i += 3;  // the marker and the character after it
            y += f.iHeight;
            x = iIndentLocation;
        }
        if (txtIsMarker(tText, i, 'p'))
        {
            i += 3;
            y += f.iHeight + f.iHeight / 2;
            x = iIndentLocation;
        }
        if (i >= iLen)
        {
            break;
        }
        int k = txtCode(tText, i);
        masked_blit(f.bSource, mBuffer, (k % 16 + 1) * f.iWidthSource,
                    (k / 16 + 1) * (f.iHeight + 1), x, y, f.iWidthSource, f.iHeight);
        x += f.iWidth[k];
        i++;
    }
    return 0;
}

// Centres the whole text on iLocX; later lines of a marker break start at the same left edge.
int txtCenter(int iFont, int iLocX, int iLocY, std::string tText, int iToPrint)
{
    int iOffset = txtCheckWordLength(iFont, tText) / 2;
    return txtOut(iFont, iLocX - iOffset, iLocY, tText, -1, iToPrint);
}

int txtNew(int iToSet, int iLocX, int iLocY, std::string tText, int iFont, int iWidth, int iAlign,
           int iSpeed)
{
    stTextObject& o = sText[iToSet];
    o.iToPrint = (iSpeed != 0) ? 0 : (int)tText.size();
    o.bActive = true;
    o.iX = iLocX;
    o.iY = iLocY;
    o.iFont = iFont;
    o.iWidth = iWidth;
    o.iAlign = iAlign;
    o.tText = tText;
    o.iSpeed = iSpeed;
    o.iTillNext = 0;
    return 0;
}

int txtKill(int iToKill)
{
    sText[iToKill].bActive = false;
    return 0;
}

int txtKillAll()
{
    for (int i = 0; i < iTotalTObjects; i++)
    {
        txtKill(i);
    }
    return 0;
}

// One frame of the typewriter reveal: speed n > 1 adds n, 0 and 1 add one, -k waits k frames.
static void txtReveal(stTextObject& o)
{
    int iLen = (int)o.tText.size();
    if (o.iToPrint < iLen && o.iTillNext >= 0)
    {
        o.iToPrint += (o.iSpeed > 1) ? o.iSpeed : 1;
        o.iTillNext = o.iSpeed;
    }
    else if (o.iTillNext < 0)
    {
        o.iTillNext++;
    }
    if (o.iToPrint > iLen)
    {
        o.iToPrint = iLen;
    }
}

void txtDisplay()
{
    for (int i = 0; i < iTotalTObjects; i++)
    {
        stTextObject& o = sText[i];
        if (!o.bActive)
        {
            continue;
        }
        txtReveal(o);
        if (o.iAlign == 0)
        {
            txtOut(o.iFont, o.iX, o.iY, o.tText, o.iWidth, o.iToPrint);
        }
        else if (o.iAlign == 1)
        {
            txtCenter(o.iFont, o.iX, o.iY, o.tText, o.iToPrint);
        }
    }
}

std::string txtLiteral(const std::string& tText)
{
    std::string tOut;
    for (size_t i = 0; i < tText.size(); i++)
    {
        tOut += tText[i];
        if (tText[i] == '/' && i + 1 < tText.size() &&
            (tText[i + 1] == 'n' || tText[i + 1] == 'p' || tText[i + 1] == 'w'))
        {
            tOut += ' ';
        }
    }
    return tOut;
}
