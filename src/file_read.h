/*
 * Tarvenloft - reading a whole file of bounded size into memory.
 *
 * The image and map-file readers take a file whole. Its size is asked
 * first, so that a file larger than the caller's limit is refused unread
 * and the memory for it is taken once; a directory, a pipe or a device is
 * refused before it is opened, since reading a pipe can wait for ever.
 * The fault comes back as a kind and the system's reason, which each
 * caller words for its own messages.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_FILE_READ_H
#define TARVENLOFT_FILE_READ_H

#include <cstdint>
#include <string>
#include <vector>

/* Why a file could not be read whole. */
enum eFileFault
{
    fileFaultNone,       // it was read
    fileFaultMissing,    // there is no such file (or a part of its path is no directory)
    fileFaultStatus,     // the system cannot say what the path is
    fileFaultDirectory,  // it is a directory
    fileFaultOdd,        // it is neither an ordinary file nor a directory: a pipe, a device
    fileFaultLarge,      // it is larger than the caller's limit
    fileFaultOpen,       // it cannot be opened
    fileFaultRead,       // reading it failed or ended early
};

struct stFileFault
{
    eFileFault eKind = fileFaultNone;
    std::string tSystem;  // the system's reason, where it gave one
};

/* Reads the whole of tFile, of at most iMaxBytes, into the buffer. False, with the fault in
   sFault, when it cannot; the buffer is then of no use. */
bool fileReadWhole(const std::string& tFile, uint64_t iMaxBytes, std::string& tData,
                   stFileFault& sFault);
bool fileReadWhole(const std::string& tFile, uint64_t iMaxBytes, std::vector<unsigned char>& vData,
                   stFileFault& sFault);

#endif
