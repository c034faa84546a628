/*
 * Tarvenloft benchmarks - time from launch to the first presented frame.
 *
 * Usage: first_frame_probe TIMEOUT_MS X Y W H PROGRAM [ARGS...]
 * Connects to $DISPLAY (a private Xvfb started with a black root, -br),
 * starts PROGRAM, and polls every millisecond: the top-level windows (for
 * the moment the program's window is mapped) and the W x H screen area at
 * (X, Y), which the program's first frame is known to draw into (for the
 * first pixel there that is not black, i.e. the first frame presented; a
 * freshly mapped window is black). Reading only a small area keeps the
 * polling from loading the X server while the program starts. Prints
 *   window_ms=<t> frame_ms=<t>
 * measured from just before the program was started, then ends the program
 * and exits 0; exits 1 when nothing was seen before TIMEOUT_MS.
 *
 * SPDX-License-Identifier: MIT
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double probeNow(void)
{
    struct timespec sNow;
    clock_gettime(CLOCK_MONOTONIC, &sNow);
    return sNow.tv_sec * 1e3 + sNow.tv_nsec / 1e6;
}

/* True when some top-level window is mapped. */
static int probeWindowMapped(Display* pDisplay, Window iRoot)
{
    Window iParent, iRootBack;
    Window* pChildren = NULL;
    unsigned int iCount = 0;
    int bMapped = 0;
    if (!XQueryTree(pDisplay, iRoot, &iRootBack, &iParent, &pChildren, &iCount))
    {
        return 0;
    }
    for (unsigned int i = 0; i < iCount && !bMapped; i++)
    {
        XWindowAttributes sAttr;
        if (XGetWindowAttributes(pDisplay, pChildren[i], &sAttr) && sAttr.map_state == IsViewable)
        {
            bMapped = 1;
        }
    }
    if (pChildren != NULL)
    {
        XFree(pChildren);
    }
    return bMapped;
}

/* True when any pixel of the area is not black. */
static int probeSomethingDrawn(Display* pDisplay, Window iRoot, int iX, int iY, int iW, int iH)
{
    XImage* pImage = XGetImage(pDisplay, iRoot, iX, iY, iW, iH, AllPlanes, ZPixmap);
    int bDrawn = 0;
    if (pImage == NULL)
    {
        return 0;
    }
    for (int y = 0; y < iH && !bDrawn; y++)
    {
        for (int x = 0; x < iW; x++)
        {
            if (XGetPixel(pImage, x, y) != 0)
            {
                bDrawn = 1;
                break;
            }
        }
    }
    XDestroyImage(pImage);
    return bDrawn;
}

int main(int argc, char** argv)
{
    if (argc < 7)
    {
        fprintf(stderr, "usage: %s TIMEOUT_MS X Y W H PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    double dTimeout = atof(argv[1]);
    int iX = atoi(argv[2]);
    int iY = atoi(argv[3]);
    int iW = atoi(argv[4]);
    int iH = atoi(argv[5]);
    Display* pDisplay = XOpenDisplay(NULL);
    if (pDisplay == NULL)
    {
        fprintf(stderr, "first_frame_probe: cannot open the display\n");
        return 2;
    }
    Window iRoot = DefaultRootWindow(pDisplay);
    if (probeSomethingDrawn(pDisplay, iRoot, iX, iY, iW, iH))
    {
        fprintf(stderr, "first_frame_probe: the screen is not black before the launch\n");
        return 2;
    }

    double dStart = probeNow();
    pid_t iChild = fork();
    if (iChild == 0)
    {
        execvp(argv[6], argv + 6);
        _exit(127);
    }
    double dWindow = -1.0;
    double dFrame = -1.0;
    while (probeNow() - dStart < dTimeout && dFrame < 0.0)
    {
        if (dWindow < 0.0 && probeWindowMapped(pDisplay, iRoot))
        {
            dWindow = probeNow() - dStart;
        }
        if (dWindow >= 0.0 && probeSomethingDrawn(pDisplay, iRoot, iX, iY, iW, iH))
        {
            dFrame = probeNow() - dStart;
        }
        usleep(1000);
    }
    printf("window_ms=%.1f frame_ms=%.1f\n", dWindow, dFrame);
    kill(iChild, SIGTERM);
    waitpid(iChild, NULL, 0);
    XCloseDisplay(pDisplay);
    return dFrame < 0.0 ? 1 : 0;
}
