/*
 * Tarvenloft - the editor's side of the map file.
 *
 * The file itself is map_file.cpp's: reading, checking and writing TMX.
 * Here are the editor's uses of it: the map opened at start (before the
 * display, so that a named file that cannot be opened ends the program
 * before its window shows); saving, saving as, opening and starting anew,
 * with the file picker where a file is to be chosen; the notices they
 * leave; the last map, remembered whenever a map is opened from or saved
 * to a file; the title and the close button, which follow whether the map
 * differs from its file. Whether it differs is asked of the map file only
 * after the editor says the map changed, since the question compares the
 * whole map.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "display_mode.h"
#include "editor_notice.h"
#include "file_picker.h"
#include "last_map.h"
#include "map_file.h"
#include "platform.h"
#include "text_utf8.h"

static bool bUnsaved = false;    // the map differs from the file
static bool bAskAgain = true;    // the map may have changed since bUnsaved was found
static std::string tStartFault;  // why the last map could not be opened at start, for its notice
static std::string tRemembered;  // the last map as this run last wrote or found it

bool fileInUse()
{
    return sys_bMapFiles || !sys_tMapFile.empty();
}

bool fileUntitled()
{
    return sys_tMapFile.empty();
}

// The file's own name, without its folder, or the word for an untitled map: what the title
// shows, in UTF-8.
std::string fileName()
{
    if (!fileUntitled())
    {
        return std::filesystem::u8path(sys_tMapFile).filename().u8string();
    }
    std::string tName;
    for (unsigned char c : txt.Get("map_untitled"))  // the fonts' characters are Latin-1
    {
        txtAppendUtf8(tName, c);
    }
    return tName;
}

// The name as the strip and the notices show it, in the fonts' characters.
std::string fileShownName()
{
    return fileUntitled() ? txt.Get("map_untitled") : txtFromUtf8(fileName());
}

// The map is now kept in tFile: the title names it, and the next start opens it (the last map
// is written again only when its name changes).
static void fileNowIn(const std::string& tFile)
{
    sys_tMapFile = tFile;
    if (tFile != tRemembered && lastMapWrite(tFile))
    {
        tRemembered = tFile;
    }
    fileMapChanged();
}

// The last map, in map-file mode without a named file. One that is gone gives the untitled map
// without a word; one that cannot be opened also says why, on standard error and, once the
// editor runs, in a notice.
static void fileOpenLast()
{
    const std::string tLast = lastMapRead();
    std::error_code ec;
    mapfForget();
    if (tLast.empty() || !std::filesystem::exists(std::filesystem::u8path(tLast), ec))
    {
        return;
    }
    std::string tFault;
    if (mapfRead(tLast, tFault))
    {
        sys_tMapFile = tRemembered = tLast;
        return;
    }
    std::fprintf(stderr, "tarvenloft: %s: %s\n", tLast.c_str(), tFault.c_str());
    tStartFault = std::filesystem::u8path(tLast).filename().u8string() + ": " + tFault;
}

// A file named on the command line that does not exist yet gives the empty map, and the first
// save makes it. One that exists and cannot be opened gets one line on standard error.
bool fileOpenAtStart(std::string& tWhy)
{
    sys_bMapFiles = fileInUse();  // map-file mode lasts for the run, whatever the map becomes
    if (!fileInUse())
    {
        return true;
    }
    if (fileUntitled())
    {
        fileOpenLast();
        return true;
    }
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::u8path(sys_tMapFile), ec))
    {
        mapfForget();
        return true;
    }
    std::string tFault;
    if (mapfRead(sys_tMapFile, tFault))
    {
        fileNowIn(sys_tMapFile);
        return true;
    }
    std::fprintf(stderr, "tarvenloft: %s: %s\n", sys_tMapFile.c_str(), tFault.c_str());
    tWhy = "The map file cannot be opened:\n" + sys_tMapFile + "\n\n" + tFault;
    return false;
}

void fileStartNotice()
{
    if (!tStartFault.empty())
    {
        noticeShow(txt.Get("map_load_failed") + ": " + txtFromUtf8(tStartFault));
        tStartFault.clear();
    }
}

// Saves the map to tFile (bSave) or opens it from there. Done, the map is kept in tFile, with the
// notice of it; else tWhy says why, in the fonts' characters, and the map is as it was.
static bool fileKeepIn(const std::string& tFile, bool bSave, std::string& tWhy)
{
    std::string tFault;
    if (!(bSave ? mapfWrite(tFile, tFault) : mapfRead(tFile, tFault)))
    {
        tWhy = txt.Get(bSave ? "map_save_failed" : "map_load_failed") + ": " + txtFromUtf8(tFault);
        fileMapChanged();
        return false;
    }
    fileNowIn(tFile);
    noticeShow(txt.Get(bSave ? "map_saved" : "map_loaded") + ": " + fileShownName());
    return true;
}

// The picker's answers to a file chosen: saved or opened, or the reason it stays open.
static bool fileAcceptSave(const std::string& tFile, std::string& tWhy)
{
    return fileKeepIn(tFile, true, tWhy);
}

static bool fileAcceptOpen(const std::string& tFile, std::string& tWhy)
{
    return fileKeepIn(tFile, false, tWhy);
}

// Saves the map to its file, with a notice of how it went; an untitled map is saved as. The
// first save of a file named at start that did not exist makes it the last map.
bool fileSave()
{
    if (fileUntitled())
    {
        return fileSaveAs();
    }
    std::string tWhy;
    if (!fileKeepIn(sys_tMapFile, true, tWhy))
    {
        noticeShow(tWhy);
        return false;
    }
    return true;
}

// Where the picker starts: the map file's folder, or for an untitled map the user's maps
// folder, made when first needed.
static std::string fileStartFolder()
{
    std::error_code ec;
    if (!fileUntitled())
    {
        return std::filesystem::absolute(std::filesystem::u8path(sys_tMapFile), ec)
            .parent_path()
            .u8string();
    }
    const std::string tMaps = platMapsFolder();
    if (!tMaps.empty())
    {
        std::filesystem::create_directories(std::filesystem::u8path(tMaps), ec);
    }
    return tMaps;
}

// Save As: the picker, with the file's name to type over. True when the map was saved.
bool fileSaveAs()
{
    const std::string tName =
        fileUntitled() ? "" : std::filesystem::u8path(sys_tMapFile).filename().u8string();
    std::string tChosen;
    return pickRun(giPickSaveAs, fileStartFolder(), tName, fileAcceptSave, tChosen);
}

// Open: the picker, with the map's own file chosen. True when a map was opened.
bool fileOpen()
{
    const std::string tName =
        fileUntitled() ? "" : std::filesystem::u8path(sys_tMapFile).filename().u8string();
    std::string tChosen;
    return pickRun(giPickOpen, fileStartFolder(), tName, fileAcceptOpen, tChosen);
}

// New: an empty, untitled map, with the tileset it has; the last map stays what it was.
void fileNew()
{
    memset(map.iTerrain, 0, sizeof(map.iTerrain));
    mapfForget();
    sys_tMapFile.clear();
    fileMapChanged();
}

void fileMapChanged()
{
    bAskAgain = true;
}

bool fileUnsaved()
{
    if (bAskAgain && fileInUse())
    {
        bUnsaved = mapfUnsaved();
        bAskAgain = false;
    }
    return bUnsaved;
}

// Names the window after the file, marked while the map differs from it, and lets the close
// button ask first while it does.
void fileKeepTitle()
{
    if (!fileInUse())
    {
        return;
    }
    const bool bChanged = fileUnsaved();
    modeSetTitle(fileName() + (bChanged ? "*" : "") + " - Tarvenloft");
    modeGuardClose(bChanged);
}
