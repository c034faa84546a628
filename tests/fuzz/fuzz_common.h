/*
 * Tarvenloft fuzz targets - shared set-up.
 *
 * The program finds its files relative to the working directory, so every
 * target works in a private scratch directory under /dev/shm (memory, so the
 * file written for each input costs little), writes the input where the
 * program looks for it, and lets the program read it through its own
 * functions. The image targets start the library without a display and draw
 * into a 640 x 480 back buffer in 32-bit colour, as the program does.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_FUZZ_COMMON_H
#define TARVENLOFT_FUZZ_COMMON_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "header.h"

// Makes a scratch directory, moves into it and arranges for it to be removed at exit.
static std::string fuzzScratchPath;

static inline void fuzzRemoveScratch()
{
    if (!fuzzScratchPath.empty() && chdir("/") == 0)
    {
        std::string tCommand = "rm -rf '" + fuzzScratchPath + "'";
        if (system(tCommand.c_str()) != 0)
        {
            fprintf(stderr, "could not remove %s\n", fuzzScratchPath.c_str());
        }
    }
}

static inline void fuzzEnterScratch()
{
    char cTemplate[] = "/dev/shm/tarvenloft-fuzz-XXXXXX";
    if (access("/dev/shm", W_OK) != 0)
    {
        snprintf(cTemplate, sizeof(cTemplate), "/tmp/tarvenloft-fuzz-XXXXXX");
    }
    if (mkdtemp(cTemplate) == NULL || chdir(cTemplate) != 0)
    {
        perror("scratch directory");
        abort();
    }
    fuzzScratchPath = cTemplate;
    atexit(fuzzRemoveScratch);
}

// Makes every directory on the way to tFile (relative to the scratch directory).
static inline void fuzzMakeDirs(const std::string& tFile)
{
    for (size_t i = tFile.find('/'); i != std::string::npos; i = tFile.find('/', i + 1))
    {
        mkdir(tFile.substr(0, i).c_str(), 0755);
    }
}

// Writes the input to tFile, replacing what was there.
static inline void fuzzWrite(const std::string& tFile, const uint8_t* pData, size_t iSize)
{
    FILE* pFile = fopen(tFile.c_str(), "wb");
    if (pFile == NULL || (iSize > 0 && fwrite(pData, 1, iSize, pFile) != iSize))
    {
        perror(tFile.c_str());
        abort();
    }
    fclose(pFile);
}

// The library without a display, 32-bit colour and the back buffer, as the program runs it.
static inline void fuzzStartLibrary()
{
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
    {
        fprintf(stderr, "the library could not start\n");
        abort();
    }
    set_color_depth(32);
    mBuffer = create_bitmap(sys_iScreenWidth, sys_iScreenHeight);
    if (mBuffer == NULL)
    {
        abort();
    }
}

#endif
