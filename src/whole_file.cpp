/*
 * Tarvenloft - reading a whole file of bounded size into memory.
 *
 * SPDX-License-Identifier: MIT
 */
#include "whole_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

static bool wholeFail(stWholeFault& sFault, eWholeFault eKind, int iErrno)
{
    sFault.eKind = eKind;
    sFault.tSystem = iErrno != 0 ? std::strerror(iErrno) : "";
    return false;
}

// One body for both kinds of buffer: a std::string or a byte vector.
template <class tBuffer>
static bool wholeReadInto(const std::string& tFile, uint64_t iMaxBytes, tBuffer& vOut,
                          stWholeFault& sFault)
{
    sFault = stWholeFault();
    struct stat sInfo;
    if (stat(tFile.c_str(), &sInfo) != 0)
    {
        const bool bMissing = errno == ENOENT || errno == ENOTDIR;
        return wholeFail(sFault, bMissing ? wholeFaultMissing : wholeFaultStatus, errno);
    }
    if (S_ISDIR(sInfo.st_mode))
    {
        return wholeFail(sFault, wholeFaultDirectory, 0);
    }
    if (!S_ISREG(sInfo.st_mode))
    {
        return wholeFail(sFault, wholeFaultOdd, 0);
    }
    if (sInfo.st_size < 0 || static_cast<uint64_t>(sInfo.st_size) > iMaxBytes)
    {
        return wholeFail(sFault, wholeFaultLarge, 0);
    }
    FILE* pFile = std::fopen(tFile.c_str(), "rb");
    if (pFile == NULL)
    {
        return wholeFail(sFault, wholeFaultOpen, errno);
    }
    vOut.resize(static_cast<size_t>(sInfo.st_size));
    const size_t iRead = vOut.empty() ? 0 : std::fread(vOut.data(), 1, vOut.size(), pFile);
    const int iErrno = std::ferror(pFile) != 0 ? errno : 0;
    std::fclose(pFile);
    if (iRead != vOut.size())
    {
        return wholeFail(sFault, wholeFaultRead, iErrno);
    }
    return true;
}

bool wholeRead(const std::string& tFile, uint64_t iMaxBytes, std::string& tData,
               stWholeFault& sFault)
{
    return wholeReadInto(tFile, iMaxBytes, tData, sFault);
}

bool wholeRead(const std::string& tFile, uint64_t iMaxBytes, std::vector<unsigned char>& vData,
               stWholeFault& sFault)
{
    return wholeReadInto(tFile, iMaxBytes, vData, sFault);
}
