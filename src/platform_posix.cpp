/*
 * Tarvenloft - the platform's answers on Linux that need no window system:
 * standard error and standard output, replacing a file safely, and the
 * folders' roots.
 *
 * Files are replaced through a temporary file beside them, fsync and
 * rename(2), so that a crash or a full disk leaves the old file whole.
 *
 * SPDX-License-Identifier: MIT
 */
#include "platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

void platMessagesToStandardError()
{
    fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

void platWorkBesideProgram(std::string&) {}

static int iHushedErrors = -1;  // standard error as it was, while hushed

void platHushErrors(bool bHush)
{
    fflush(stderr);
    if (bHush && iHushedErrors < 0)
    {
        const int iNowhere = open("/dev/null", O_WRONLY);
        if (iNowhere >= 0)
        {
            iHushedErrors = dup(STDERR_FILENO);
            if (iHushedErrors >= 0)
            {
                dup2(iNowhere, STDERR_FILENO);
            }
            close(iNowhere);
        }
    }
    else if (!bHush && iHushedErrors >= 0)
    {
        dup2(iHushedErrors, STDERR_FILENO);
        close(iHushedErrors);
        iHushedErrors = -1;
    }
}

// What went wrong, as "what we tried: why", from errno.
static bool platFileFailed(const std::string& tWhat, std::string& tWhy)
{
    tWhy = tWhat + ": " + strerror(errno);
    return false;
}

// Writes all of tData to iFile and flushes it to the disk.
static bool platWriteAll(int iFile, const std::string& tData)
{
    size_t iDone = 0;
    while (iDone < tData.size())
    {
        const ssize_t iWritten = write(iFile, tData.data() + iDone, tData.size() - iDone);
        if (iWritten < 0 && errno != EINTR)
        {
            return false;
        }
        iDone += iWritten > 0 ? static_cast<size_t>(iWritten) : 0;
    }
    return fsync(iFile) == 0;
}

// The file a save replaces: a symbolic link's target, so that the link stays a link.
static std::string platSaveTarget(const std::string& tFile)
{
    struct stat sLink;
    char cReal[PATH_MAX];
    if (lstat(tFile.c_str(), &sLink) == 0 && S_ISLNK(sLink.st_mode) &&
        realpath(tFile.c_str(), cReal) != NULL)
    {
        return cReal;
    }
    return tFile;
}

// The permissions of the new file: the old file's, or what a new file would get.
static mode_t platSaveMode(const std::string& tFile)
{
    struct stat sOld;
    if (stat(tFile.c_str(), &sOld) == 0)
    {
        return sOld.st_mode & 07777;
    }
    const mode_t iMask = umask(0);
    umask(iMask);
    return 0666 & ~iMask;
}

// The rename is itself written to the disk only with the directory that holds the name.
static void platFlushDirectory(const std::string& tDir)
{
    const int iDir = open(tDir.c_str(), O_RDONLY | O_DIRECTORY);
    if (iDir >= 0)
    {
        fsync(iDir);
        close(iDir);
    }
}

bool platWriteFileAtomically(const std::string& tFile, const std::string& tData, std::string& tWhy)
{
    const std::string tTarget = platSaveTarget(tFile);
    struct stat sOld;
    if (stat(tTarget.c_str(), &sOld) == 0 && S_ISDIR(sOld.st_mode))
    {
        errno = EISDIR;
        return platFileFailed("cannot replace " + tFile, tWhy);
    }
    const size_t iSlash = tTarget.rfind('/');
    const std::string tDir = iSlash == std::string::npos ? "." : tTarget.substr(0, iSlash + 1);
    const std::string tBase = iSlash == std::string::npos ? tTarget : tTarget.substr(iSlash + 1);
    std::string tPattern = tDir + (iSlash == std::string::npos ? "/." : ".") + tBase + ".XXXXXX";
    std::vector<char> cTemp(tPattern.begin(), tPattern.end());
    cTemp.push_back('\0');
    const int iFile = mkstemp(cTemp.data());
    if (iFile < 0)
    {
        return platFileFailed("cannot make a file in " + tDir, tWhy);
    }
    const bool bWritten = fchmod(iFile, platSaveMode(tTarget)) == 0 && platWriteAll(iFile, tData);
    const int iWriteErrno = errno;
    if (close(iFile) != 0 || !bWritten)
    {
        errno = bWritten ? errno : iWriteErrno;
        unlink(cTemp.data());
        return platFileFailed("cannot write " + tFile, tWhy);
    }
    if (rename(cTemp.data(), tTarget.c_str()) != 0)
    {
        const int iRenameErrno = errno;
        unlink(cTemp.data());
        errno = iRenameErrno;
        return platFileFailed("cannot replace " + tFile, tWhy);
    }
    platFlushDirectory(tDir);
    return true;
}

// Every folder lies under "/".
std::vector<std::string> platDriveRoots()
{
    return {};
}
