/*
 * Tarvenloft - the user's folders on Linux, as the XDG conventions place
 * them.
 *
 * What the program remembers between runs goes under $XDG_STATE_HOME
 * (~/.local/state by default), as XDG's base directories have it.
 * Maps go into the documents folder that xdg-user-dirs names in
 * $XDG_CONFIG_HOME/user-dirs.dirs (~/.config by default), a shell-quoted
 * line XDG_DOCUMENTS_DIR="$HOME/..." or "/...", and into ~/Documents where
 * it names none.
 *
 * SPDX-License-Identifier: MIT
 */
#include "platform.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "whole_file.h"

static const uint64_t iUserDirsMax = 1 << 16;  // a user-dirs.dirs larger than this is not read

// The user's home folder: $HOME, else the password database's; "" where neither says.
static std::string platHome()
{
    const char* cHome = getenv("HOME");
    if (cHome != NULL && cHome[0] == '/')
    {
        return cHome;
    }
    const struct passwd* pUser = getpwuid(getuid());
    return pUser != NULL && pUser->pw_dir != NULL ? pUser->pw_dir : "";
}

// An XDG base folder: the variable where it holds an absolute path (a relative one is to be
// ignored), else tDefault under the home folder.
static std::string platBaseFolder(const char* cVariable, const char* cDefault)
{
    const char* cFolder = getenv(cVariable);
    if (cFolder != NULL && cFolder[0] == '/')
    {
        return cFolder;
    }
    const std::string tHome = platHome();
    return tHome.empty() ? "" : tHome + cDefault;
}

// The folder that a user-dirs.dirs value names: "$HOME/..." or an absolute path, in double
// quotes, with the shell's backslash escapes; "" for anything else.
static std::string platUserDir(const std::string& tValue)
{
    if (tValue.size() < 2 || tValue.front() != '"' || tValue.back() != '"')
    {
        return "";
    }
    std::string tPath;
    for (size_t i = 1; i + 1 < tValue.size(); i++)
    {
        i += tValue[i] == '\\' && i + 2 < tValue.size() ? 1 : 0;
        tPath += tValue[i];
    }
    if (tPath.compare(0, 5, "$HOME") == 0 && (tPath.size() == 5 || tPath[5] == '/'))
    {
        const std::string tHome = platHome();
        return tHome.empty() ? "" : tHome + tPath.substr(5);
    }
    return !tPath.empty() && tPath[0] == '/' ? tPath : "";
}

// The documents folder that user-dirs.dirs names (its last line for it), or "".
static std::string platDocumentsDir()
{
    const std::string tConfig = platBaseFolder("XDG_CONFIG_HOME", "/.config");
    std::string tText;
    stWholeFault sFault;
    if (tConfig.empty() || !wholeRead(tConfig + "/user-dirs.dirs", iUserDirsMax, tText, sFault))
    {
        return "";
    }
    static const std::string tKey = "XDG_DOCUMENTS_DIR=";
    std::string tFolder;
    size_t iLine = 0;
    while (iLine < tText.size())
    {
        size_t iEnd = tText.find('\n', iLine);
        iEnd = iEnd == std::string::npos ? tText.size() : iEnd;
        size_t iAt = tText.find_first_not_of(" \t", iLine);
        if (iAt < iEnd && tText.compare(iAt, tKey.size(), tKey) == 0)
        {
            iAt += tKey.size();
            const size_t iLast = tText.find_last_not_of(" \t\r", iEnd - 1);
            const std::string tFound =
                platUserDir(iLast >= iAt && iLast < iEnd ? tText.substr(iAt, iLast + 1 - iAt) : "");
            tFolder = tFound.empty() ? tFolder : tFound;
        }
        iLine = iEnd + 1;
    }
    return tFolder;
}

std::string platStateFolder()
{
    const std::string tState = platBaseFolder("XDG_STATE_HOME", "/.local/state");
    return tState.empty() ? "" : tState + "/tarvenloft";
}

std::string platMapsFolder()
{
    std::string tDocuments = platDocumentsDir();
    if (tDocuments.empty())
    {
        const std::string tHome = platHome();
        tDocuments = tHome.empty() ? "" : tHome + "/Documents";
    }
    while (tDocuments.size() > 1 && tDocuments.back() == '/')
    {
        tDocuments.pop_back();
    }
    return tDocuments.empty() ? "" : tDocuments + "/Tarvenloft";
}
