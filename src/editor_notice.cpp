/*
 * Tarvenloft - the editor's notice: its text and the frames it still
 * shows.
 *
 * SPDX-License-Identifier: MIT
 */
#include "editor_notice.h"

static std::string tNotice;    // the last notice
static int iNoticeFrames = 0;  // frames it still shows

void noticeShow(const std::string& tText)
{
    tNotice = tText;
    iNoticeFrames = giNoticeFrames;
}

std::string noticeNow()
{
    return iNoticeFrames > 0 ? tNotice : "";
}

void noticeTick()
{
    if (iNoticeFrames > 0)
    {
        iNoticeFrames--;
    }
}
