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
#ifndef TARVENLOFT_WHOLE_FILE_H
#define TARVENLOFT_WHOLE_FILE_H

#include <cstdint>
#include <string>
#include <vector>

/* Why a file could not be read whole. */
enum eWholeFault
{
    wholeFaultNone,       // it was read
    wholeFaultMissing,    // there is no such file (or a part of its path is no directory)
    wholeFaultStatus,     // the system cannot say what the path is
    wholeFaultDirectory,  // it is a directory
    wholeFaultOdd,        // it is neither an ordinary file nor a directory: a pipe, a device
    wholeFaultLarge,      // it is larger than the caller's limit
    wholeFaultOpen,       // it cannot be opened
    wholeFaultRead,       // reading it failed or ended early
};

struct stWholeFault
{
    eWholeFault eKind = wholeFaultNone;
    std::string tSystem;  // the system's reason, where it gave one
};

/* Reads the whole of tFile, of at most iMaxBytes, into the buffer. False, with the fault in
   sFault, when it cannot; the buffer is then of no use. */
bool wholeRead(const std::string& tFile, uint64_t iMaxBytes, std::string& tData,
               stWholeFault& sFault);
bool wholeRead(const std::string& tFile, uint64_t iMaxBytes, std::vector<unsigned char>& vData,
               stWholeFault& sFault);

#endif
