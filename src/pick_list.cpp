/*
 * Tarvenloft - the file picker's list: what a folder holds, in order.
 *
 * The folder is read once per visit with std::filesystem's directory
 * iterator, which on Linux knows most entries' kinds without a further
 * call to the system; only links are followed. Every entry's shown name and
 * folded key are made while listing, so sorting compares prepared strings
 * and the rows draw without converting anything.
 *
 * SPDX-License-Identifier: MIT
 */
#include "pick_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "text_utf8.h"

namespace fs = std::filesystem;

static fs::path pickPath(const std::string& tPath)
{
    return fs::u8path(tPath);
}

static std::string pickUtf8(const fs::path& p)
{
    return p.u8string();
}

std::string pickFold(const std::string& tText)
{
    std::string tOut = tText;
    for (size_t i = 0; i < tOut.size(); i++)
    {
        const unsigned char c = (unsigned char)tOut[i];
        if (c >= 'A' && c <= 'Z')
        {
            tOut[i] = (char)(c + 32);
        }
        else if (c == 0xC3 && i + 1 < tOut.size())
        {
            // U+00C0..U+00DE, but for the multiplication sign U+00D7, are capitals of U+00E0..
            const unsigned char c2 = (unsigned char)tOut[i + 1];
            if (c2 >= 0x80 && c2 <= 0x9E && c2 != 0x97)
            {
                tOut[i + 1] = (char)(c2 + 0x20);
            }
            i++;
        }
    }
    return tOut;
}

static stPickEntry pickEntry(int iKind, const std::string& tName)
{
    return {iKind, tName, txtFromUtf8(tName), pickFold(tName)};
}

// Whether tName ends in ".tmx", in any case.
static bool pickIsMapName(const std::string& tName)
{
    return tName.size() > 4 && pickFold(tName.substr(tName.size() - 4)) == ".tmx";
}

// The kind of a directory entry as the list shows it, or -1 for an entry it leaves out.
static int pickKindOf(const fs::directory_entry& entry, const std::string& tName)
{
    if (tName.empty() || tName[0] == '.')
    {
        return -1;
    }
    std::error_code err;
    if (entry.is_directory(err))
    {
        return giEntryFolder;
    }
    if (pickIsMapName(tName) && entry.is_regular_file(err))
    {
        return giEntryFile;
    }
    return -1;
}

static bool pickBefore(const stPickEntry& a, const stPickEntry& b)
{
    if (a.iKind != b.iKind)
    {
        return a.iKind < b.iKind;
    }
    if (a.tKey != b.tKey)
    {
        return a.tKey < b.tKey;
    }
    return a.tName < b.tName;
}

// Whether the folder has a ".." entry: a folder below a root, or a root among drives.
static bool pickHasUp(const fs::path& p, const std::vector<std::string>& vDrives)
{
    return p.has_relative_path() || !vDrives.empty();
}

static bool pickListDrives(const std::vector<std::string>& vDrives, stPickFolder& folder)
{
    folder.tPath.clear();
    folder.vEntries.clear();
    for (const std::string& tRoot : vDrives)
    {
        folder.vEntries.push_back(pickEntry(giEntryDrive, tRoot));
    }
    return true;
}

bool pickList(const std::string& tPath, const std::vector<std::string>& vDrives,
              stPickFolder& folder, std::string& tWhy)
{
    if (tPath.empty())
    {
        return pickListDrives(vDrives, folder);
    }
    std::error_code err;
    fs::directory_iterator it(pickPath(tPath), err);
    std::vector<stPickEntry> vEntries;
    for (; !err && it != fs::directory_iterator(); it.increment(err))
    {
        const std::string tName = pickUtf8(it->path().filename());
        const int iKind = pickKindOf(*it, tName);
        if (iKind >= 0)
        {
            vEntries.push_back(pickEntry(iKind, tName));
        }
    }
    if (err)
    {
        tWhy = err.message();
        return false;
    }
    std::sort(vEntries.begin(), vEntries.end(), pickBefore);
    if (pickHasUp(pickPath(tPath), vDrives))
    {
        vEntries.insert(vEntries.begin(), pickEntry(giEntryUp, ".."));
    }
    folder.tPath = tPath;
    folder.vEntries.swap(vEntries);
    return true;
}

std::string pickTarget(const stPickFolder& folder, int iEntry)
{
    const stPickEntry& entry = folder.vEntries[iEntry];
    if (entry.iKind == giEntryDrive)
    {
        return entry.tName;
    }
    const fs::path p = pickPath(folder.tPath);
    if (entry.iKind == giEntryFolder)
    {
        return pickUtf8(p / pickPath(entry.tName));
    }
    return p.has_relative_path() ? pickUtf8(p.parent_path()) : "";
}

std::string pickStartFolder(const std::string& tPath)
{
    std::error_code err;
    fs::path p = fs::absolute(pickPath(tPath.empty() ? "." : tPath), err).lexically_normal();
    while (!fs::is_directory(p, err) && p.has_relative_path())
    {
        p = p.parent_path();
    }
    if (!fs::is_directory(p, err))
    {
        p = fs::current_path(err);
    }
    // A trailing separator would make "/home/me/" a folder without a name.
    if (p.has_relative_path() && !p.has_filename())
    {
        p = p.parent_path();
    }
    return pickUtf8(p);
}

std::string pickParentOf(const std::string& tPath)
{
    const fs::path p = pickPath(tPath);
    return p.has_relative_path() ? pickUtf8(p.parent_path()) : tPath;
}

std::string pickNameIn(const std::string& tPath)
{
    const fs::path p = pickPath(tPath);
    return p.has_filename() ? pickUtf8(p.filename()) : tPath;
}

int pickKindAt(const std::string& tPath)
{
    std::error_code err;
    const fs::file_status status = fs::status(pickPath(tPath), err);
    if (!fs::exists(status))
    {
        return -1;
    }
    return fs::is_directory(status) ? giEntryFolder : giEntryFile;
}

int pickFirst(const stPickFolder& folder)
{
    const bool bUp = !folder.vEntries.empty() && folder.vEntries[0].iKind == giEntryUp;
    return bUp && folder.vEntries.size() > 1 ? 1 : 0;
}

std::string pickJoin(const std::string& tFolder, const std::string& tName)
{
    return pickUtf8(pickPath(tFolder) / pickPath(tName));
}

int pickFind(const stPickFolder& folder, const std::string& tName)
{
    const std::string tKey = pickFold(tName);
    int iFolded = -1;
    for (int i = 0; i < (int)folder.vEntries.size(); i++)
    {
        const stPickEntry& entry = folder.vEntries[i];
        if (entry.iKind == giEntryUp)
        {
            continue;
        }
        if (entry.tName == tName)
        {
            return i;
        }
        if (iFolded < 0 && entry.tKey == tKey)
        {
            iFolded = i;
        }
    }
    return iFolded;
}

int pickJump(const stPickFolder& folder, const std::string& tTyped, int iFrom)
{
    const std::string tKey = pickFold(tTyped);
    const int iCount = (int)folder.vEntries.size();
    for (int k = 0; k < iCount && !tKey.empty(); k++)
    {
        const int i = ((iFrom < 0 ? 0 : iFrom) + k) % iCount;
        const stPickEntry& entry = folder.vEntries[i];
        if (entry.iKind != giEntryUp && entry.tKey.compare(0, tKey.size(), tKey) == 0)
        {
            return i;
        }
    }
    return -1;
}
