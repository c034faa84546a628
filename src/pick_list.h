/*
 * Tarvenloft - the file picker's list: what a folder holds, in order.
 *
 * A folder's list starts with ".." (the folder above; at the root of a
 * drive, the list of drives, where the system has drives), then its
 * sub-folders, then its map files (".tmx", in any case), each group sorted
 * without regard to case. Hidden entries (a name that starts with ".") are
 * left out. The list of drives is a folder of its own, with the empty path.
 * Paths and names are UTF-8, as std::filesystem gives them on every system;
 * each entry also carries its name in the fonts' characters, made once, so
 * that drawing a row costs nothing more. Nothing here draws.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_PICK_LIST_H
#define TARVENLOFT_PICK_LIST_H

#include <string>
#include <vector>

/* Kinds of entries, in the order the list shows them. */
const int giEntryUp = 0;      // "..": the folder above, or the drives
const int giEntryDrive = 1;   // the root of a drive
const int giEntryFolder = 2;  // a sub-folder
const int giEntryFile = 3;    // a map file

struct stPickEntry
{
    int iKind;           // one of giEntry...
    std::string tName;   // the name as the system gives it (UTF-8); a drive's root for a drive
    std::string tShown;  // the name in the fonts' characters
    std::string tKey;    // the name folded for comparing without regard to case
};

struct stPickFolder
{
    std::string tPath;                  // the folder, absolute, UTF-8; empty for the drives
    std::vector<stPickEntry> vEntries;  // "..", then drives or sub-folders, then map files
};

/* Lists the folder tPath ("" for the drives vDrives) into folder. False, with the system's
   reason in tWhy, when it cannot be read; folder is then unchanged. */
bool pickList(const std::string& tPath, const std::vector<std::string>& vDrives,
              stPickFolder& folder, std::string& tWhy);

/* The folder that entry iEntry of folder leads to ("" for the drives); iEntry must not be a
   file. */
std::string pickTarget(const stPickFolder& folder, int iEntry);

/* The absolute path of the folder to start in: tPath where it is a folder, else the nearest
   folder above it, else the working directory. */
std::string pickStartFolder(const std::string& tPath);

/* The folder above tPath ("" above a root); tPath itself where nothing is above it. */
std::string pickParentOf(const std::string& tPath);

/* The last name of tPath: the folder's or the file's own name, or the whole path for a root. */
std::string pickNameIn(const std::string& tPath);

/* What stands at tPath on the disk: giEntryFolder, giEntryFile for anything else, -1 for
   nothing. */
int pickKindAt(const std::string& tPath);

/* The entry to select in a folder just entered: the first after "..", where there is one. */
int pickFirst(const stPickFolder& folder);

/* tName in the folder tFolder, as one path (UTF-8). */
std::string pickJoin(const std::string& tFolder, const std::string& tName);

/* The entry of folder named tName: the same bytes, else the same without regard to case; -1
   when none is. */
int pickFind(const stPickFolder& folder, const std::string& tName);

/* The first entry from iFrom on, round to the start, whose name begins with tTyped without
   regard to case ("..": never); -1 when none does. */
int pickJump(const stPickFolder& folder, const std::string& tTyped, int iFrom);

/* tText (UTF-8) with its ASCII and Latin-1 capitals made small. */
std::string pickFold(const std::string& tText);

#endif
