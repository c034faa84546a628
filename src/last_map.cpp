/*
 * Tarvenloft - the last map, kept in the user's state folder.
 *
 * SPDX-License-Identifier: MIT
 */
#include "last_map.h"

#include <filesystem>

#include "platform.h"
#include "whole_file.h"

static const uint64_t iLastMapMax = 1 << 16;  // a longer file holds no path worth opening

// The file that keeps the last map's name, or "" where the system has no state folder.
static std::string lastMapFile()
{
    const std::string tFolder = platStateFolder();
    return tFolder.empty() ? "" : (std::filesystem::u8path(tFolder) / "last-map").u8string();
}

std::string lastMapRead()
{
    const std::string tFile = lastMapFile();
    std::string tText;
    stWholeFault sFault;
    if (tFile.empty() || !wholeRead(tFile, iLastMapMax, tText, sFault))
    {
        return "";
    }
    const size_t iEnd = tText.find_first_of("\r\n");
    tText = tText.substr(0, iEnd);
    return tText.find('\0') == std::string::npos ? tText : "";
}

bool lastMapWrite(const std::string& tFile)
{
    std::error_code ec;
    const std::string tPath =
        std::filesystem::absolute(std::filesystem::u8path(tFile), ec).u8string();
    const std::string tKeep = lastMapFile();
    if (ec || tKeep.empty())
    {
        return false;
    }
    std::filesystem::create_directories(std::filesystem::u8path(tKeep).parent_path(), ec);
    std::string tWhy;
    return platWriteFileAtomically(tKeep, tPath + "\n", tWhy);
}
