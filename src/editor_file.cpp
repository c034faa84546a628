/*
 * Tarvenloft - the editor's side of the map file.
 *
 * The file itself is map_file.cpp's: reading, checking and writing TMX.
 * Here are the editor's uses of it: the file named at start is opened
 * before the display, or a new map begins when it does not exist yet; a
 * save or a load leaves its notice; the title and the close button follow
 * whether the map differs from the file. Whether it differs is asked of
 * the map file only after the editor says the map changed, since the
 * question compares the whole map.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_file.h"

#include <cstdio>
#include <filesystem>

#include "display_mode.h"
#include "editor_notice.h"
#include "map_file.h"

static bool bUnsaved = false;  // the map differs from the file
static bool bAskAgain = true;  // the map may have changed since bUnsaved was found

bool fileInUse()
{
    return !sys_tMapFile.empty();
}

// The file's own name, without its directory: what the title and the notices show.
std::string fileName()
{
    return std::filesystem::path(sys_tMapFile).filename().string();
}

bool fileExists()
{
    std::error_code ec;
    return std::filesystem::exists(sys_tMapFile, ec);
}

// Opens the map file named on the command line, before the display opens. A file that does not
// exist yet gives the empty map, and the first save makes it. False, with one line on standard
// error and the reason in tWhy, when the file exists and cannot be opened.
bool fileOpenAtStart(std::string& tWhy)
{
    if (!fileInUse())
    {
        return true;
    }
    if (!fileExists())
    {
        mapfForget();
        return true;
    }
    std::string tFault;
    if (mapfRead(sys_tMapFile, tFault))
    {
        return true;
    }
    std::fprintf(stderr, "tarvenloft: %s: %s\n", sys_tMapFile.c_str(), tFault.c_str());
    tWhy = "The map file cannot be opened:\n" + sys_tMapFile + "\n\n" + tFault;
    return false;
}

// Leaves the notice of a save or load: cDone's text with the file's name, or cFailed's with the
// reason. Either way the map and the file are to be compared again.
static bool fileReport(bool bDone, const char* cDone, const char* cFailed, const std::string& tWhy)
{
    noticeShow(bDone ? txt.Get(cDone) + ": " + fileName() : txt.Get(cFailed) + ": " + tWhy);
    fileMapChanged();
    return bDone;
}

// Saves the map to the file, with a notice of how it went.
bool fileSave()
{
    std::string tWhy;
    const bool bSaved = mapfWrite(sys_tMapFile, tWhy);
    return fileReport(bSaved, "map_saved", "map_save_failed", tWhy);
}

// Reads the file again into the map, with a notice of how it went. A failed load leaves the map
// as it was.
bool fileLoad()
{
    std::string tWhy;
    if (!fileExists())
    {
        noticeShow(txt.Get("map_missing"));
        return false;
    }
    const bool bLoaded = mapfRead(sys_tMapFile, tWhy);
    return fileReport(bLoaded, "map_loaded", "map_load_failed", tWhy);
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
