/*
 * Tarvenloft artwork tool - shared declarations.
 *
 * The artwork tool draws every image the program ships into plain RGB
 * canvases (stImage) and writes them as BMP or PNG. This header holds the
 * canvas, the colour helpers, the tileable noise used by the terrain tiles,
 * and the entry points of the tool's parts: fonts (art_font.cpp), terrain
 * tiles (art_tiles.cpp), buttons, pointer and icon (art_ui.cpp) and the language
 * and settings files (art_text.cpp).
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_ART_H
#define TARVENLOFT_ART_H

#include <cstdint>
#include <string>
#include <vector>

/* One colour; the artwork keys are artMask (transparent) and artBlue (font width marker). */
struct stRgb
{
    int iR;
    int iG;
    int iB;
};

const stRgb artMask = {255, 0, 255};
const stRgb artBlue = {0, 0, 255};

/* An RGB canvas, row by row from the top. */
struct stImage
{
    int iWidth;
    int iHeight;
    std::vector<stRgb> sPixels;
};

/* Canvas and files (art_image.cpp). */
stImage artImageNew(int iWidth, int iHeight, stRgb cFill);
void artPut(stImage& img, int iX, int iY, stRgb c);
stRgb artGet(const stImage& img, int iX, int iY);
bool artSame(stRgb a, stRgb b);
void artBlit(const stImage& src, stImage& dst, int iSrcX, int iSrcY, int iDstX, int iDstY, int iW,
             int iH, bool bMasked);
bool artWriteBmp(const stImage& img, const std::string& tFile);
bool artWritePng(const stImage& img, const std::string& tFile, bool bMaskClear = false);
bool artWriteIco(const std::vector<stImage>& images, const std::string& tFile);
bool artWriteXpm(const stImage& img, const std::string& tName, const std::string& tFile,
                 const std::string& tComment);

/* Colours and noise (art_image.cpp). */
stRgb artMix(stRgb a, stRgb b, double dT);
stRgb artShade(stRgb c, double dFactor);
double artHash(int iX, int iY, int iSeed);
double artNoise(double dX, double dY, int iCell, int iPeriod, int iSeed);
double artFractal(double dX, double dY, int iPeriod, int iSeed);

/* Fonts (art_font.cpp). */
struct stArtFont
{
    stImage img;        // the font image in the program's layout
    int iCellW;         // glyph cell width W
    int iCellH;         // glyph cell height H
    int iAdvance[256];  // advance width of each code, as written in the marker rows
};

bool artFontMake(stArtFont& font, const std::string& tFace, int iCellW, int iCellH, bool bSmall);
int artFontMeasure(const stArtFont& font, const std::string& tText);
void artFontDraw(const stArtFont& font, stImage& dst, int iX, int iY, const std::string& tText);
void artFontCenter(const stArtFont& font, stImage& dst, int iCentreX, int iY,
                   const std::string& tText);

/* FreeType text straight onto a canvas, for button captions (art_font.cpp). */
bool artCaption(stImage& dst, const std::string& tFace, int iPixels, int iCentreX, int iBaseY,
                const std::string& tText, stRgb cInk, stRgb cEdge);

/* Terrain tiles (art_tiles.cpp). */
const int artTileCount = 25;
stImage artTileset();
void artTilesPreview(const stImage& tiles, stImage& dst);

/* Buttons, pointer and the program's icon (art_ui.cpp). */
stImage artButtonBig(int iState);
stImage artButtonSmall(int iState);
stImage artButtonLanguage(const std::string& tCode, int iState, const std::string& tFace);
stImage artPointer();
stImage artIcon(int iSize);

/* Language and settings files (art_text.cpp). */
const int artLanguageCount = 4;
const int artLabelCount = 8;
extern const char* artLanguageCodes[artLanguageCount];
extern const char* artLabelKeys[artLabelCount];
std::string artLabel(int iLanguage, int iLabel);
const int artPickerCount = 17;
const int artPickerButtons = 4;  // the first texts of the picker label its buttons
extern const char* artPickerKeys[artPickerCount];
std::string artPickerText(int iLanguage, int iText);
bool artWriteLanguage(int iLanguage, const std::string& tFile);
bool artWriteSettings(const std::string& tFile);

#endif
