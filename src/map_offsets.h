/*
 * Tarvenloft - where the nodes of a map file's XML lie in its text.
 *
 * pugixml gives each node the offset of its name or value in the text it
 * parsed; the writer needs the whole extent of an element, to replace its
 * content or put something after it. These find the start of a node, the
 * start of an element's end tag and the end of an element, in the text
 * that the node was parsed from, with parse_full and parse_ws_pcdata (so
 * that every byte belongs to a node), and where an attribute's value lies
 * in a start tag. Each answers std::string::npos (or false) where pugixml
 * cannot say.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_MAP_OFFSETS_H
#define TARVENLOFT_MAP_OFFSETS_H

#include <pugixml.hpp>

#include <cstddef>
#include <string>

/* Where a node begins in tText: the "<" of an element, comment or instruction, or the first
   character of a text. */
size_t mapoNodeStart(const std::string& tText, pugi::xml_node x);

/* Where an element's end tag begins in tText; for an element with children. */
size_t mapoCloseStart(const std::string& tText, pugi::xml_node x);

/* Just after an element's end in tText: its end tag's ">", or its "/>". */
size_t mapoElementEnd(const std::string& tText, pugi::xml_node x);

/* Where the value of element x's attribute cName lies in tText, between its quotes: from iFrom
   up to iTo. False where the start tag has no such attribute or cannot be read. */
bool mapoAttributeValue(const std::string& tText, pugi::xml_node x, const char* cName,
                        size_t& iFrom, size_t& iTo);

#endif
