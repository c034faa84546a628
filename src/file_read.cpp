/*
 * Tarvenloft - reading a whole file of bounded size into memory.
 *
 * SPDX-License-Identifier: MIT
 */
#include "file_read.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

static bool fileFail(stFileFault& sFault, eFileFault eKind, int iErrno)
{
    sFault.eKind = eKind;
    sFault.tSystem = iErrno != 0 ? std::strerror(iErrno) : "";
    return false;
}

// One body for both kinds of buffer: a std::string or a byte vector.
template <class tBuffer>
static bool fileReadInto(const std::string& tFile, uint64_t iMaxBytes, tBuffer& vOut,
                         stFileFault& sFault)
{
    sFault = stFileFault();
    struct stat sInfo;
    if (stat(tFile.c_str(), &sInfo) != 0)
    {
        const bool bMissing = errno == ENOENT || errno == ENOTDIR;
        return fileFail(sFault, bMissing ? fileFaultMissing : fileFaultStatus, errno);
    }
    if (S_ISDIR(sInfo.st_mode))
    {
        return fileFail(sFault, fileFaultDirectory, 0);
    }
    if (!S_ISREG(sInfo.st_mode))
    {
        return fileFail(sFault, fileFaultOdd, 0);
    }
    if (sInfo.st_size < 0 || static_cast<uint64_t>(sInfo.st_size) > iMaxBytes)
    {
        return fileFail(sFault, fileFaultLarge, 0);
    }
    FILE* pFile = std::fopen(tFile.c_str(), "rb");
    if (pFile == NULL)
    {
        return fileFail(sFault, fileFaultOpen, errno);
    }
    vOut.resize(static_cast<size_t>(sInfo.st_size));
    const size_t iRead = vOut.empty() ? 0 : std::fread(vOut.data(), 1, vOut.size(), pFile);
    const int iErrno = std::ferror(pFile) != 0 ? errno : 0;
    std::fclose(pFile);
    if (iRead != vOut.size())
    {
        return fileFail(sFault, fileFaultRead, iErrno);
    }
    return true;
}

bool fileReadWhole(const std::string& tFile, uint64_t iMaxBytes, std::string& tData,
                   stFileFault& sFault)
{
    return fileReadInto(tFile, iMaxBytes, tData, sFault);
}

bool fileReadWhole(const std::string& tFile, uint64_t iMaxBytes, std::vector<unsigned char>& vData,
                   stFileFault& sFault)
{
    return fileReadInto(tFile, iMaxBytes, vData, sFault);
}
