/*
 * Tarvenloft - the shared globals.
 *
 * Defines, once, the globals that no single module owns. Their order here
 * is their order of construction: the map, the three string tables, then
 * the path strings.
 *
 * SPDX-License-Identifier: MIT
 */
#include "header.h"

BITMAP* mBuffer = NULL;
BITMAP* mMouse = NULL;
bool sys_bWindowedMode = false;
bool sys_bDebugMode = false;
bool sys_bFPS = false;
bool sys_bUseVSync = true;
int sys_iDisplayScale = giScaleUnset;
bool sys_bMapFiles = false;
CMap map;
CText txt;
CText gTxt;
CText eTxt;
std::string sys_tLanguage = "XX";
std::string sys_tPath = "system/";
std::string sys_tMapFile;
