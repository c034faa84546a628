/*
 * Tarvenloft - the editor's notice: a short line that an action leaves
 * (a save, a load, a question about unsaved changes) and that the editor
 * and its menu show for about two seconds.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_EDITOR_NOTICE_H
#define TARVENLOFT_EDITOR_NOTICE_H

#include "header.h"

const int giNoticeFrames = 120;  // frames a notice shows: two seconds

void noticeShow(const std::string& tText);

/* The notice to show this frame, or "" when there is none. */
std::string noticeNow();

/* One frame of the notice's time has passed. */
void noticeTick();

#endif
