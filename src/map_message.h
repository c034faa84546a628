/*
 * Tarvenloft - the messages of the map-file readers.
 *
 * Every refusal of a map file is one short line: where the fault is (the
 * line of the file, and the file's name when it is another file than the
 * map, such as a .tsx), a colon, and what is wrong; never the map file's
 * own name, which the caller adds where it shows the message. Values taken
 * from the file are quoted, shortened and made printable, so that no file
 * can put a long or unprintable text into a message. Every map-file room
 * reports a reason through mapmFail; this room calls none of them.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_MESSAGE_H
#define TARVENLOFT_MAP_MESSAGE_H

#include <pugixml.hpp>

#include <cstddef>
#include <string>

/* Puts "WHERE: WHAT" (or WHAT alone, for an empty tWhere) into tWhy, and returns false. */
bool mapmFail(std::string& tWhy, const std::string& tWhere, const std::string& tWhat);

/* The line, counted from 1, of a place in a text. */
int mapmLine(const std::string& tText, size_t iAt);

/* "line N" of a place in a text. */
std::string mapmLineAt(const std::string& tText, size_t iAt);

/* "line N" of a node of the XML parsed from tText, or "FILE line N" for a file other than the
   map; "" (or "FILE") where pugixml cannot say. */
std::string mapmWhere(const std::string& tText, pugi::xml_node x, const std::string& tFile = "");

/* A value from a file, shortened, made printable and quoted, for a message. */
std::string mapmQuote(const std::string& tValue);

/* "W x H", for a message. */
std::string mapmSize(long long iW, long long iH);

#endif
