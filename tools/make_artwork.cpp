/*
 * Tarvenloft artwork tool - entry point.
 *
 * Usage: make_artwork RUNTIME_DIR [--icons ICON_DIR] [--xpm XPM_FILE] [--ico ICO_FILE]
 *                     [--preview PREVIEW_DIR] [--fonts FONT_DIR]
 *
 * Renders the resource set that the program ships into RUNTIME_DIR: the two
 * bitmap fonts, the terrain tileset "001", the button images, the mouse
 * pointer, the map editor's language files and the settings file. Glyphs
 * come from the DejaVu fonts (Debian's fonts-dejavu-core, and fonts-dejavu-extra
 * for the condensed face of the 16 x 16 font), found in FONT_DIR (default
 * /usr/share/fonts/truetype/dejavu). Every menu label is measured with the
 * rendered 16 x 16 font and must leave a margin on its button; the longest
 * line of the language screen must fit across the screen.
 *
 * With --icons, the tool also writes the program's icon for desktop menus
 * into ICON_DIR, in the layout of the hicolor icon theme, at the sizes
 * desktops ask for. With --xpm and --ico it writes the icon of the program's
 * own window: for X11 as an XPM, which is C source that the program compiles
 * in, and for Windows as an icon file that goes into the .exe.
 *
 * With --preview, the tool also writes pictures made from the same data into
 * PREVIEW_DIR, for looking at the artwork without running the program: a
 * sample map, the editor menu over it, the language screen, and the font and
 * tile sheets enlarged.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <cstdio>
#include <filesystem>

namespace
{

const int artLabelRoom = 232;  // widest label that leaves a margin on the 256-wide menu button
const int artSmallRoom = 128;  // widest label that leaves a margin on the 144-wide picker button
const int artHintRoom = 624;   // the language screen's hint, 8 pixels clear of either screen edge
const char* const artHint =
    "You may change this setting later by selecting \"Options\" from the main menu.";

struct stPaths
{
    std::string tRuntime;
    std::string tIcons;
    std::string tXpm;
    std::string tIco;
    std::string tPreview;
    std::string tFonts = "/usr/share/fonts/truetype/dejavu/";
};

bool artFail(const std::string& tWhat)
{
    std::fprintf(stderr, "make_artwork: %s\n", tWhat.c_str());
    return false;
}

bool artDir(const std::string& tDir)
{
    std::error_code err;
    std::filesystem::create_directories(tDir, err);
    return !err || artFail("cannot create " + tDir);
}

/* Checks every label of the menu and of the file picker's buttons, in every language, against
   the room on its button. */
bool artCheckLabels(const stArtFont& font)
{
    bool bFits = true;
    for (int iLang = 0; iLang < artLanguageCount; iLang++)
    {
        for (int i = 0; i < artLabelCount; i++)
        {
            int iWidth = artFontMeasure(font, artLabel(iLang, i));
            if (iWidth > artLabelRoom)
            {
                bFits = artFail(std::string("label ") + artLanguageCodes[iLang] + "/" +
                                artLabelKeys[i] + " is " + std::to_string(iWidth) + " wide");
            }
        }
    }
    for (int iLang = 0; iLang < artLanguageCount; iLang++)
    {
        for (int i = 0; i < artPickerButtons; i++)
        {
            int iWidth = artFontMeasure(font, artPickerText(iLang, i));
            if (iWidth > artSmallRoom)
            {
                bFits = artFail(std::string("label ") + artLanguageCodes[iLang] + "/" +
                                artPickerKeys[i] + " is " + std::to_string(iWidth) + " wide");
            }
        }
    }
    return bFits;
}

/* Checks the longest fixed line of the language screen, centred on the 640-pixel screen. */
bool artCheckHint(const stArtFont& font)
{
    const int iWidth = artFontMeasure(font, artHint);
    std::printf("language screen hint: %d px\n", iWidth);
    return iWidth <= artHintRoom ||
           artFail("the language screen hint is " + std::to_string(iWidth) + " wide");
}

bool artWriteFonts(const stPaths& paths, stArtFont& small, stArtFont& large)
{
    const std::string tDir = paths.tRuntime + "/system/images/fonts/";
    if (!artDir(tDir))
    {
        return false;
    }
    if (!artFontMake(small, paths.tFonts + "DejaVuSansMono.ttf", 8, 8, true) ||
        !artFontMake(large, paths.tFonts + "DejaVuSansCondensed-Bold.ttf", 16, 16, false))
    {
        return artFail("cannot read the DejaVu fonts in " + paths.tFonts);
    }
    return artCheckLabels(large) && artCheckHint(large) &&
           artWriteBmp(small.img, tDir + "standard.bmp") &&
           artWriteBmp(large.img, tDir + "lat16w.bmp");
}

bool artWriteButtons(const stPaths& paths)
{
    const std::string tDir = paths.tRuntime + "/system/images/buttons/";
    const char* cSuffix[3] = {"_u.png", "_h.png", "_d.png"};
    const char* cLanguages[4] = {"en", "sw", "du", "sp"};
    if (!artDir(tDir))
    {
        return false;
    }
    for (int iState = 0; iState < 3; iState++)
    {
        if (!artWritePng(artButtonBig(iState), tDir + "big_01" + cSuffix[iState]) ||
            !artWritePng(artButtonSmall(iState), tDir + "small_01" + cSuffix[iState]))
        {
            return artFail("cannot write the menu buttons");
        }
        for (const char* cCode : cLanguages)
        {
            stImage img = artButtonLanguage(cCode, iState, paths.tFonts + "DejaVuSans-Bold.ttf");
            if (!artWritePng(img, tDir + cCode + cSuffix[iState]))
            {
                return artFail("cannot write the language buttons");
            }
        }
    }
    return true;
}

bool artWriteTexts(const stPaths& paths)
{
    for (int iLang = 0; iLang < artLanguageCount; iLang++)
    {
        const std::string tDir = paths.tRuntime + "/system/text/" + artLanguageCodes[iLang];
        if (!artDir(tDir) || !artWriteLanguage(iLang, tDir + "/map_editor.txt"))
        {
            return artFail("cannot write the language file of " + tDir);
        }
    }
    return artDir(paths.tRuntime + "/data") &&
           artWriteSettings(paths.tRuntime + "/data/settings.ini");
}

/* Darkens a rectangle by half, as the program's translucent black panel does. */
void artDim(stImage& img, int iX0, int iY0, int iX1, int iY1)
{
    for (int y = iY0; y <= iY1; y++)
    {
        for (int x = iX0; x <= iX1; x++)
        {
            artPut(img, x, y, artMix(artGet(img, x, y), {0, 0, 0}, 0.5));
        }
    }
}

stImage artScale(const stImage& src, int iFactor, stRgb cMaskShown)
{
    stImage out = artImageNew(src.iWidth * iFactor, src.iHeight * iFactor, cMaskShown);
    for (int y = 0; y < out.iHeight; y++)
    {
        for (int x = 0; x < out.iWidth; x++)
        {
            stRgb c = artGet(src, x / iFactor, y / iFactor);
            artPut(out, x, y, artSame(c, artMask) ? cMaskShown : c);
        }
    }
    return out;
}

/* Writes the preview pictures: map, menu, language screen, font and tile sheets. */
bool artPreview(const stPaths& paths, const stImage& tiles, const stArtFont& small,
                const stArtFont& large)
{
    const std::string tDir = paths.tPreview + "/";
    stImage map = artImageNew(640, 480, {0, 0, 0});
    artTilesPreview(tiles, map);
    stImage shot = map;
    artFontDraw(large, shot, 8, 8, "Tarvenloft - the map editor");
    artFontDraw(large, shot, 8, 28,
                "\xC5ngstr\xF6m caf\xE9 na\xEFve \xD1"
                "and\xFA \xDF\xE6\xF8");
    artFontDraw(small, shot, 8, 461, "FPS: 60   Ver. 0.3.0   Tarvenloft");
    artWritePng(shot, tDir + "preview_map.png");

    stImage menu = map;
    artDim(menu, 164, 48, 475, 431);
    stImage sButtons[3] = {artButtonBig(0), artButtonBig(1), artButtonBig(2)};
    const int iRowY[8] = {60, 100, 140, 180, 220, 260, 300, 380};
    const int iKey[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    for (int i = 0; i < 8; i++)
    {
        artBlit(sButtons[i % 3 == 1 ? 1 : (i == 4 ? 2 : 0)], menu, 0, 0, 192, iRowY[i], 256, 36,
                true);
        artFontCenter(large, menu, 320, iRowY[i] + 10, artLabel(i / 2 % 4, iKey[i]));
    }
    artWritePng(menu, tDir + "preview_menu.png");

    stImage lang = artImageNew(640, 480, {0, 0, 0});
    artFontCenter(large, lang, 320, 100, "Welcome to Tarvenloft!");
    artFontCenter(large, lang, 320, 132, "Please select a language.");
    artFontCenter(large, lang, 320, 148, artHint);
    const char* cCodes[4] = {"en", "du", "sw", "sp"};
    for (int i = 0; i < 4; i++)
    {
        artBlit(artButtonLanguage(cCodes[i], i, paths.tFonts + "DejaVuSans-Bold.ttf"), lang, 0, 0,
                16 + 104 * i, 250, 96, 64, true);
    }
    artFontDraw(small, lang, 16, 440, "Tarvenloft");
    artFontDraw(small, lang, 16, 448, "Ver. 0.3.0");
    artFontDraw(small, lang, 16, 456, "Fonts: DejaVu (Bitstream Vera) \xE5\xE4\xF6 \xE9\xF1");
    artWritePng(artScale(lang, 2, {0, 0, 0}), tDir + "preview_language.png");

    artWritePng(artScale(large.img, 3, {90, 40, 90}), tDir + "preview_font16.png");
    artWritePng(artScale(small.img, 4, {90, 40, 90}), tDir + "preview_font8.png");
    stImage strip = artImageNew(25 * 34, 50, {90, 40, 90});
    for (int v = 1; v <= artTileCount; v++)
    {
        artBlit(tiles, strip, 32, 48 * v, (v - 1) * 34, 1, 32, 48, false);
    }
    return artWritePng(artScale(strip, 3, {90, 40, 90}), tDir + "preview_tiles.png");
}

/* Writes ICON_DIR/hicolor/NxN/apps/tarvenloft.png for each size, with clear corners. */
bool artWriteIcons(const stPaths& paths)
{
    for (int iSize : {16, 24, 32, 48, 64, 128, 256})
    {
        const std::string tSize = std::to_string(iSize);
        const std::string tDir = paths.tIcons + "/hicolor/" + tSize + "x" + tSize + "/apps/";
        if (!artDir(tDir) || !artWritePng(artIcon(iSize), tDir + "tarvenloft.png", true))
        {
            return artFail("cannot write the icon into " + tDir);
        }
    }
    return true;
}

/* The window's icon: for X11 at 64 pixels, the size it is drawn at; for Windows at the sizes
   its shell and title bars ask for. */
bool artWriteWindowIcons(const stPaths& paths)
{
    if (!paths.tXpm.empty() &&
        !artWriteXpm(artIcon(64), "tarvenloft_icon_xpm", paths.tXpm,
                     "Made by tools/make_artwork (--xpm): the window's icon under X11."))
    {
        return artFail("cannot write " + paths.tXpm);
    }
    std::vector<stImage> images;
    for (int iSize : {16, 24, 32, 48, 64, 256})
    {
        images.push_back(artIcon(iSize));
    }
    if (!paths.tIco.empty() && !artWriteIco(images, paths.tIco))
    {
        return artFail("cannot write " + paths.tIco);
    }
    return true;
}

bool artRun(const stPaths& paths)
{
    stArtFont small;
    stArtFont large;
    if (!artWriteFonts(paths, small, large) || !artWriteButtons(paths) || !artWriteTexts(paths))
    {
        return false;
    }
    const std::string tTiles = paths.tRuntime + "/system/images/tilesets/";
    const std::string tMouse = paths.tRuntime + "/system/images/mouse/";
    stImage tiles = artTileset();
    if (!artDir(tTiles) || !artDir(tMouse) || !artWritePng(tiles, tTiles + "001.png") ||
        !artWriteBmp(artPointer(), tMouse + "pointer_01.bmp"))
    {
        return artFail("cannot write the tileset or the pointer");
    }
    if ((!paths.tIcons.empty() && !artWriteIcons(paths)) || !artWriteWindowIcons(paths))
    {
        return false;
    }
    if (!paths.tPreview.empty())
    {
        return artDir(paths.tPreview) && artPreview(paths, tiles, small, large);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    stPaths paths;
    for (int i = 1; i < argc; i++)
    {
        std::string tArg = argv[i];
        if (tArg == "--icons" && i + 1 < argc)
        {
            paths.tIcons = argv[++i];
        }
        else if (tArg == "--xpm" && i + 1 < argc)
        {
            paths.tXpm = argv[++i];
        }
        else if (tArg == "--ico" && i + 1 < argc)
        {
            paths.tIco = argv[++i];
        }
        else if (tArg == "--preview" && i + 1 < argc)
        {
            paths.tPreview = argv[++i];
        }
        else if (tArg == "--fonts" && i + 1 < argc)
        {
            paths.tFonts = std::string(argv[++i]) + "/";
        }
        else if (paths.tRuntime.empty() && tArg[0] != '-')
        {
            paths.tRuntime = tArg;
        }
        else
        {
            paths.tRuntime.clear();
            break;
        }
    }
    if (paths.tRuntime.empty())
    {
        std::fprintf(stderr, "usage: make_artwork RUNTIME_DIR [--icons ICON_DIR] [--xpm XPM_FILE] "
                             "[--ico ICO_FILE] [--preview PREVIEW_DIR] [--fonts FONT_DIR]\n");
        return 2;
    }
    return artRun(paths) ? 0 : 1;
}
