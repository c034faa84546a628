/*
 * Tarvenloft - base64 text, as map files carry their binary layer data.
 *
 * The standard alphabet with "=" padding (RFC 4648). Decoding skips
 * whitespace anywhere, since map files wrap the text in a newline and
 * indentation, and refuses everything else that is not base64.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_BASE64_H
#define TARVENLOFT_BASE64_H

#include <cstddef>
#include <string>

/* The base64 text of iSize bytes, padded, on one line. */
std::string b64Encode(const unsigned char* pData, size_t iSize);

/* Decodes cText into tOut. False, with the reason in tWhy, on a character outside the alphabet,
   on padding anywhere but at the end, or on a text whose length is no multiple of four. */
bool b64Decode(const char* cText, size_t iSize, std::string& tOut, std::string& tWhy);

#endif
