/*
 * Tarvenloft - the platform's answers on Windows.
 *
 * The window's icon is the executable's resource "allegro_icon"
 * (tools/windows/tarvenloft.rc), which the library finds by itself, and
 * there is no display connection to lose, so naming, marking and watching
 * have nothing to do. The desktop is one monitor. Files are replaced
 * through a temporary file, FlushFileBuffers and MoveFileEx.
 *
 * SPDX-License-Identifier: MIT
 */
#include "platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <vector>
#include <winalleg.h>  // windows.h, included the way the library requires
#include <shlobj.h>    // after windows.h

#include "input_latch.h"

void platNameWindow() {}

// The library names the window through the narrow call, which takes the system's code page; the
// wide call takes the title as the UTF-8 it is (or, where it is not UTF-8, in that code page).
void platTitleWindow(const std::string& tTitle)
{
    HWND hWindow = win_get_window();
    UINT iCodePage = CP_UTF8;
    int iWide = MultiByteToWideChar(iCodePage, MB_ERR_INVALID_CHARS, tTitle.c_str(), -1, NULL, 0);
    if (iWide == 0)
    {
        iCodePage = CP_ACP;
        iWide = MultiByteToWideChar(iCodePage, 0, tTitle.c_str(), -1, NULL, 0);
    }
    if (hWindow == NULL || iWide == 0)
    {
        return;
    }
    std::vector<wchar_t> cWide(iWide);
    MultiByteToWideChar(iCodePage, 0, tTitle.c_str(), -1, cWide.data(), iWide);
    SetWindowTextW(hWindow, cWide.data());
}

void platMarkWindow() {}

void platWatchDisplay(int) {}

// The library fills key[] from DirectInput's reports of changes, so a shift key held since
// before the window exists never reaches it: ask the system for the keys' state.
bool platShiftHeld()
{
    for (int iKey : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT})
    {
        if (GetAsyncKeyState(iKey) & 0x8000)
        {
            return true;
        }
    }
    return false;
}

// The buttons whose state has the bits iBit, as the library's bits: 0x8000 held now, 1 pressed
// since the last such question. GetAsyncKeyState names the physical buttons, so a left-handed
// mouse setting swaps them back.
static int platButtons(int iBit)
{
    const bool bSwapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    const bool bLeft = GetAsyncKeyState(bSwapped ? VK_RBUTTON : VK_LBUTTON) & iBit;
    const bool bRight = GetAsyncKeyState(bSwapped ? VK_LBUTTON : VK_RBUTTON) & iBit;
    const bool bMiddle = GetAsyncKeyState(VK_MBUTTON) & iBit;
    return (bLeft ? 1 : 0) | (bRight ? 2 : 0) | (bMiddle ? 4 : 0);
}

// In a window the system's cursor is asked at once, with the buttons; in full screen the library
// reads the mouse device on its own, keeps the pointer on the screen, and its idea is kept.
bool platReadPointer(int& iX, int& iY, int& iButtons)
{
    POINT sPoint;
    if (!is_windowed_mode() || !GetCursorPos(&sPoint) || !ScreenToClient(win_get_window(), &sPoint))
    {
        return true;
    }
    iX = sPoint.x;
    iY = sPoint.y;
    iButtons = platButtons(0x8000);
    return iX >= 0 && iY >= 0 && iX < SCREEN_W && iY < SCREEN_H;
}

// A press made before this display mode (the double click that started the program, say) is
// no press for it.
void platWatchPointer()
{
    platButtons(1);
}

// The cursor is asked of the system without a round trip, so it is asked every frame. In full
// screen the library reads the mouse device exclusively, and the system may then send the window
// no button messages: the system's "pressed since" bits stand in for them, while the program's
// window has the focus. They are read every frame, so that they never hold an old press.
bool platPointerMoved()
{
    const int iPressed = platButtons(1);
    if (!is_windowed_mode() && GetForegroundWindow() == win_get_window())
    {
        latchButtonPress(iPressed);
    }
    return true;
}

// The window's button messages, on the library's window thread as they come: they name the
// buttons as the user has them (a left-handed setting already swapped). The library goes on
// with each message as before.
static int platButtonMessage(HWND, UINT iMessage, WPARAM, LPARAM, int*)
{
    switch (iMessage)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        latchButtonPress(1);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        latchButtonPress(2);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        latchButtonPress(4);
        break;
    }
    return 1;
}

void platWatchPresses()
{
    win_set_msg_pre_proc(platButtonMessage);
}

bool platDesktopPointer(int& iX, int& iY)
{
    POINT sPoint;
    if (!GetCursorPos(&sPoint))
    {
        return false;
    }
    iX = sPoint.x;
    iY = sPoint.y;
    return true;
}

void platPlacePointer(int iX, int iY)
{
    SetCursorPos(iX, iY);
}

void platFindMonitor(bool, int&, int&, int&, int&) {}

int platDesktopDriver()
{
    return GFX_DIRECTX;
}

bool platRetraceIsReal()
{
    return gfx_driver != NULL;
}

void platMessagesToStandardError()
{
    fflush(stdout);
    _dup2(_fileno(stderr), _fileno(stdout));
}

void platWorkBesideProgram(std::string& tMapFile)
{
    char cPath[MAX_PATH];
    const DWORD iFull = GetFullPathNameA(tMapFile.c_str(), sizeof(cPath), cPath, NULL);
    if (iFull == 0 || iFull >= sizeof(cPath))
    {
        return;
    }
    tMapFile = cPath;
    const DWORD iProgram = GetModuleFileNameA(NULL, cPath, sizeof(cPath));
    char* pSlash = strrchr(cPath, '\\');
    if (iProgram == 0 || iProgram >= sizeof(cPath) || pSlash == NULL)
    {
        return;
    }
    *pSlash = '\0';
    SetCurrentDirectoryA(cPath);
}

static int iHushedErrors = -1;  // standard error as it was, while hushed

void platHushErrors(bool bHush)
{
    fflush(stderr);
    if (bHush && iHushedErrors < 0)
    {
        const int iNowhere = _open("NUL", _O_WRONLY);
        if (iNowhere >= 0)
        {
            iHushedErrors = _dup(_fileno(stderr));
            if (iHushedErrors >= 0)
            {
                _dup2(iNowhere, _fileno(stderr));
            }
            _close(iNowhere);
        }
    }
    else if (!bHush && iHushedErrors >= 0)
    {
        _dup2(iHushedErrors, _fileno(stderr));
        _close(iHushedErrors);
        iHushedErrors = -1;
    }
}

// A folder the shell knows, with "\Tarvenloft" added; "" where the shell cannot say. The narrow
// call gives UTF-8, the program's code page (tarvenloft.manifest). With CSIDL_FLAG_CREATE the
// shell makes the folder it names where it is missing.
static std::string platShellFolder(int iFolder)
{
    char cPath[MAX_PATH];
    if (SHGetFolderPathA(NULL, iFolder, NULL, SHGFP_TYPE_CURRENT, cPath) != S_OK)
    {
        return "";
    }
    return std::string(cPath) + "\\Tarvenloft";
}

std::string platStateFolder()
{
    return platShellFolder(CSIDL_APPDATA);
}

std::string platMapsFolder()
{
    return platShellFolder(CSIDL_PERSONAL | CSIDL_FLAG_CREATE);
}

// The system's words for its last error, as "what we tried: why".
static bool platFileFailed(const std::string& tWhat, std::string& tWhy)
{
    char cText[256] = "unknown error";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, GetLastError(),
                   0, cText, sizeof(cText), NULL);
    std::string tText = cText;
    while (!tText.empty() && (tText.back() == '\n' || tText.back() == '\r' || tText.back() == '.'))
    {
        tText.pop_back();
    }
    tWhy = tWhat + ": " + tText;
    return false;
}

// Writes all of tData to the new file tTemp and flushes it to the disk.
static bool platWriteAll(const char* cTemp, const std::string& tData)
{
    HANDLE hFile =
        CreateFileA(cTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        return false;
    }
    size_t iDone = 0;
    bool bOk = true;
    while (bOk && iDone < tData.size())
    {
        DWORD iWritten = 0;
        const DWORD iChunk = static_cast<DWORD>(std::min<size_t>(tData.size() - iDone, 1 << 20));
        bOk = WriteFile(hFile, tData.data() + iDone, iChunk, &iWritten, NULL) && iWritten > 0;
        iDone += iWritten;
    }
    bOk = bOk && FlushFileBuffers(hFile);
    const DWORD iError = GetLastError();
    bOk = CloseHandle(hFile) && bOk;
    SetLastError(iError);
    return bOk;
}

bool platWriteFileAtomically(const std::string& tFile, const std::string& tData, std::string& tWhy)
{
    const DWORD iAttributes = GetFileAttributesA(tFile.c_str());
    if (iAttributes != INVALID_FILE_ATTRIBUTES && (iAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        SetLastError(ERROR_DIRECTORY);
        return platFileFailed("cannot replace " + tFile, tWhy);
    }
    const size_t iSlash = tFile.find_last_of("/\\");
    const std::string tDir = iSlash == std::string::npos ? "." : tFile.substr(0, iSlash + 1);
    char cTemp[MAX_PATH];
    if (GetTempFileNameA(tDir.c_str(), "tvl", 0, cTemp) == 0)
    {
        return platFileFailed("cannot make a file in " + tDir, tWhy);
    }
    if (!platWriteAll(cTemp, tData))
    {
        platFileFailed("cannot write " + tFile, tWhy);
        DeleteFileA(cTemp);
        return false;
    }
    if (!MoveFileExA(cTemp, tFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        platFileFailed("cannot replace " + tFile, tWhy);
        DeleteFileA(cTemp);
        return false;
    }
    return true;
}

// Every drive letter the system knows, whether or not a disc is in it: the picker says so when a
// drive cannot be read.
std::vector<std::string> platDriveRoots()
{
    std::vector<std::string> vRoots;
    const DWORD iDrives = GetLogicalDrives();
    for (int i = 0; i < 26; i++)
    {
        if (iDrives & (1UL << i))
        {
            vRoots.push_back(std::string(1, (char)('A' + i)) + ":\\");
        }
    }
    return vRoots;
}
