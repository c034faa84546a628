/*
 * Tarvenloft - bitmap fonts and text objects.
 *
 * A font is one image holding 256 glyphs in a 16 x 16 grid of W x H cells,
 * with a marker row above each glyph row whose first blue pixel gives the
 * glyph's advance width. Text objects are strings that a screen places once
 * and that txtDisplay lays out and draws every frame: left-aligned with word
 * wrapping, or centred, optionally revealed a few characters at a time.
 * Inside a text, "/w" joins, "/n" breaks the line and "/p" starts a
 * paragraph; "/n" and "/p" also swallow the character that follows them.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TEXT_H
#define TARVENLOFT_TEXT_H

#include "header.h"

const int iTotalChars = 256;     // characters per bitmap font
const int iTotalTObjects = 100;  // slots of the text-object table
const int iTotalFonts = 10;      // slots of the font table
const int iExitFont = 401;       // a font image could not be loaded

struct stFont
{
    BITMAP* bSource;          // the font image, mask colour for transparency
    int iHeight;              // glyph cell height H
    int iStart[iTotalChars];  // per-character start offsets (unused: glyphs start at the cell edge)
    int iWidth[iTotalChars];  // advance width of each character, 0..W
    int iWidthSource;         // glyph cell width W
};

struct stTextObject
{
    bool bActive;       // slot in use
    int iAlign;         // 0 left-aligned and wrapping, 1 centred, else drawn nowhere
    int iFont;          // font slot
    int iSpeed;         // 0 all at once, n > 0 n per frame, -k one every k + 1 frames
    int iTillNext;      // reveal countdown; waits while negative
    int iToPrint;       // characters revealed so far
    int iWidth;         // absolute right margin for wrapping; 0 or less: none
    int iX;             // pen start x, or centre x
    int iY;             // top of the first line
    std::string tText;  // the text, markers included
};

extern stFont sFont[iTotalFonts];           // the font slots
extern stTextObject sText[iTotalTObjects];  // the text-object slots

int txtSetFont(int iFontNumberToSet, const char* cFontImageName, int iFontWidthToSet,
               int iFontHeightToSet);
int txtWidthOfChar(int iFont, int iChar);
int txtCheckWordLength(int iFont, std::string tText);
int txtOut(int iFontToUse, int iTextLocationX, int iTextLocationY, std::string tText,
           int iTextLength, int iNumberOfCharactersToPrint);
int txtCenter(int iFont, int iLocX, int iLocY, std::string tText, int iToPrint);
int txtNew(int iToSet, int iLocX, int iLocY, std::string tText, int iFont, int iWidth, int iAlign,
           int iSpeed);
int txtKill(int iToKill);
int txtKillAll();
void txtDisplay();

/* tText as the fonts draw it letter for letter: a space after each "/" that would start a marker
   ("/n", "/p", "/w"), for a text that is not the program's own (a file's name, a system's
   message). */
std::string txtLiteral(const std::string& tText);

#endif
