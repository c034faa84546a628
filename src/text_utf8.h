/*
 * Tarvenloft - UTF-8 text in the bitmap fonts' characters.
 *
 * The system names files in UTF-8 (Windows in UTF-16, which the program
 * turns into UTF-8), while the bitmap fonts hold 256 glyphs, the Latin-1
 * characters: code k is the character U+00k. txtFromUtf8 turns a UTF-8
 * text into font codes, one per character, with the stand-in glyph for a
 * character the fonts have no glyph for and for each byte that is no part
 * of a well-formed character. The other helpers walk and build UTF-8 one
 * character at a time, for the places where the user types.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_TEXT_UTF8_H
#define TARVENLOFT_TEXT_UTF8_H

#include <string>

const int giStandInChar = 127;  // the fonts' glyph for a character they cannot show

/* tText (UTF-8) in the fonts' characters: one code per character. */
std::string txtFromUtf8(const std::string& tText);

/* The font code of one character (a Unicode code point): itself where the fonts have a glyph,
   else giStandInChar. */
int txtGlyphOf(int iCodePoint);

/* Decodes the character that starts at byte iAt of tText into iCodePoint and returns its length
   in bytes (1 to 4). A byte that starts no well-formed character is one character of its own,
   with the code point -1. iAt must lie inside the text. */
int txtUtf8Char(const std::string& tText, size_t iAt, int& iCodePoint);

/* Appends iCodePoint (0 .. 0x10FFFF, no surrogate) to tText in UTF-8; other values append
   nothing. */
void txtAppendUtf8(std::string& tText, int iCodePoint);

/* The byte where the character before byte iAt starts (0 at the start). */
size_t txtUtf8Before(const std::string& tText, size_t iAt);

#endif
