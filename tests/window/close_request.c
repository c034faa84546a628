/*
 * Tarvenloft tests - the window manager's close request.
 *
 * Usage: close_request WINDOW
 * Sends WINDOW (an X window id, decimal or 0x-hex) on $DISPLAY what a window
 * manager sends when the user presses the window's close button or Alt+F4: a
 * ClientMessage of type WM_PROTOCOLS whose first datum is WM_DELETE_WINDOW.
 * Neither xdotool nor a bare Xvfb sends one. Sent with an empty event mask,
 * it goes to the client that made the window. Exits 0 once the server has
 * taken the message, 1 on a bad argument, no display or an X error.
 *
 * SPDX-License-Identifier: MIT
 */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int iXError = 0;

static int closeOnError(Display* pDisplay, XErrorEvent* pError)
{
    char cText[128];
    XGetErrorText(pDisplay, pError->error_code, cText, sizeof(cText));
    fprintf(stderr, "close_request: X error: %s\n", cText);
    iXError = 1;
    return 0;
}

int main(int argc, char** argv)
{
    char* pEnd = NULL;
    unsigned long iWindow = argc == 2 ? strtoul(argv[1], &pEnd, 0) : 0;
    if (iWindow == 0 || pEnd == NULL || *pEnd != 0)
    {
        fprintf(stderr, "usage: close_request WINDOW\n");
        return 1;
    }
    Display* pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL)
    {
        fprintf(stderr, "close_request: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(closeOnError);

    XEvent sEvent;
    memset(&sEvent, 0, sizeof(sEvent));
    sEvent.xclient.type = ClientMessage;
    sEvent.xclient.window = (Window)iWindow;
    sEvent.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    sEvent.xclient.format = 32;
    sEvent.xclient.data.l[0] = (long)XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
    sEvent.xclient.data.l[1] = CurrentTime;
    XSendEvent(pDisplay, (Window)iWindow, False, NoEventMask, &sEvent);
    XSync(pDisplay, False);
    XCloseDisplay(pDisplay);
    return iXError;
}
