/*
 * Tarvenloft - the command line.
 *
 * No argument runs the program. One argument that does not start with "-",
 * or any argument after "--", names the map file: the program opens it (or
 * starts a new map that its first save creates) and keeps the map there.
 * "--version" prints "Tarvenloft VERSION", "--help" a short usage: the
 * options, map-file mode, where the settings, the maps and the last map
 * are kept, the settings' keys, the controls and where the manual is. Either ends with status
 * 0. Any other argument, or more than one, is refused in one line on the
 * error stream, with status 2. Nothing here touches the library, the
 * settings or the display.
 *
 * SPDX-License-Identifier: MIT
 */
#include "command_line.h"

#include <string>

#include "header.h"

#ifdef _WIN32
static const char* cCmdPlaces =
    "Settings are read once at start-up from data\\settings.ini in the working\n"
    "directory: the program's own folder when it is started by a double click.\n"
    "For an untitled map the file picker starts in Documents\\Tarvenloft (made\n"
    "when first needed); the last map is kept in %APPDATA%\\Tarvenloft\\last-map.\n"
    "\n";
static const char* cCmdManual = "More in README.txt beside the program.\n";
#else
static const char* cCmdPlaces =
    "Settings are read once at start-up from data/settings.ini in the working\n"
    "directory. The installed command runs the program in a directory of the\n"
    "user's own, $XDG_DATA_HOME/tarvenloft (~/.local/share/tarvenloft without\n"
    "XDG_DATA_HOME), into which it copies the default settings on first start.\n"
    "For an untitled map the file picker starts in Tarvenloft in the documents\n"
    "folder (XDG_DOCUMENTS_DIR of ~/.config/user-dirs.dirs, else ~/Documents),\n"
    "made when first needed; the last map is kept in\n"
    "$XDG_STATE_HOME/tarvenloft/last-map (~/.local/state/tarvenloft/last-map).\n"
    "\n";
static const char* cCmdManual = "More in the manual page: man tarvenloft\n";
#endif

static const char* cCmdUsage =
    "Usage: tarvenloft [MAP.tmx | --help | --version]\n"
    "Opens the Tarvenloft map editor; with an option, answers and ends.\n"
    "\n"
    "  MAP.tmx    keep the map in this file, in Tiled's TMX format: it is opened\n"
    "             if it exists, else the first save makes it. This, or\n"
    "             MapFiles ON in the settings (as shipped), is map-file mode.\n"
    "             Put -- before a name that starts with -.\n"
    "  --help     show this help and end\n"
    "  --version  show the version and end\n"
    "\n"
    "In map-file mode without a MAP.tmx the editor opens the last map opened or\n"
    "saved, or a new, untitled one. Without map-file mode nothing is written and\n"
    "the map lasts only for the run.\n"
    "\n";

static const char* cCmdKeys =
    "Each setting is a key and its value:\n"
    "  WindowedMode ON|OFF     a window rather than full screen (default OFF)\n"
    "  DebugMode ON|OFF        show the frame-rate box (default OFF)\n"
    "  Language EN|SW|DU|SP    the interface language; without it the program\n"
    "                          asks at start, and in map-file mode writes the\n"
    "                          choice here (delete the line to choose again)\n"
    "  DisplayScale AUTO|1-8   enlarge the picture by a whole factor. In a\n"
    "                          window of 640x480 times the factor: AUTO takes\n"
    "                          the largest that fits the desktop with room for\n"
    "                          a title bar and a panel; a number is lowered\n"
    "                          where it would not fit. In full screen the\n"
    "                          desktop keeps its size, and the picture is\n"
    "                          enlarged as far as fits (the number where it\n"
    "                          fits), centred on black. Without the key: a\n"
    "                          640x480 window, or a 640x480 full screen.\n"
    "  MapFiles ON|OFF         keep maps in files without naming one (default\n"
    "                          OFF; the shipped settings say ON)\n"
    "\n"
    "Controls:\n"
    "  Shift held at start    open in a window, whatever the settings say\n"
    "  Alt+Enter              switch between the window and full screen,\n"
    "                         at any time\n"
    "  Left mouse button      paint the selected tile into the cell\n"
    "  Right mouse button     pick the cell's tile up as the selection\n"
    "  Left / Right arrow     previous / next tile (0 erases)\n"
    "  Escape                 open the menu; Continue or Escape goes back,\n"
    "                         Quit ends the program\n"
    "  Tab                    show or hide the frame-rate box\n"
    "  On the language screen a click on a flag chooses; Escape goes on\n"
    "  without one. The window's close button ends the program.\n"
    "\n"
    "In map-file mode (these keys act when pressed; Space, M and F1 when let go):\n"
    "  Ctrl+N                 a new, untitled map\n"
    "  Ctrl+O                 open a map (so does Load Map in the menu)\n"
    "  Ctrl+S                 save the map (so does Save Map; an untitled\n"
    "                         map is saved as)\n"
    "  Ctrl+Shift+S           save the map as another file\n"
    "  W / A / S / D          move the view a cell up / left / down / right\n"
    "  Mouse wheel            scroll 3 cells up or down; with Shift, across\n"
    "  Middle button, held    drag the map\n"
    "  1 / 2 / 3 / 4          paint and pick in layer 1 / 2 / 3 / 4\n"
    "  B / F / R              the left button's tool: brush, bucket fill (a click\n"
    "                         fills the cells joined to it that hold its tile),\n"
    "                         rectangle (drag from corner to corner; a right\n"
    "                         click cancels); the view still scrolls\n"
    "  Right click            pick the cell's tile up when let go\n"
    "  Right drag             capture the block of cells as a stamp (with Shift\n"
    "                         at the release, of all four layers); a left click\n"
    "                         places it, a drag places it at each cell, and its\n"
    "                         empty cells leave the map's. B, F, R or a right\n"
    "                         click leave the stamp\n"
    "  Space                  the tile palette: click a tile, or arrows and\n"
    "                         Enter; Space or Escape closes it\n"
    "  M                      the whole map: click a place to go there; M or\n"
    "                         Escape closes it\n"
    "  H                      highlight the working layer, darkening the others\n"
    "  F1                     help on screen (also Help in the menu); any key\n"
    "                         or click closes it\n"
    "  Ctrl+Z                 undo the last stroke, fill, rectangle or stamp\n"
    "  Ctrl+Y, Ctrl+Shift+Z   redo it\n"
    "  With unsaved changes, New, Open, Quit and the close button ask first;\n"
    "  a second one goes ahead. In the file picker: Up, Down, Page Up, Page\n"
    "  Down, Home, End, the wheel or the start of a name to move; Enter or a\n"
    "  double click to open a folder or a map; Escape to cancel.\n"
    "\n";

// The argument as one printable line: control characters become '?'.
static std::string cmdPrintable(const char* cArg)
{
    std::string tOut;
    for (const char* c = cArg; *c != 0; c++)
    {
        const unsigned char b = static_cast<unsigned char>(*c);
        tOut += (b < 0x20 || b == 0x7f) ? '?' : *c;
    }
    return tOut;
}

// The one argument of the command line, or NULL: a map file's name, an option, or one after
// "--", which names a map file whatever it looks like.
static const char* cmdOnlyArgument(int argc, const char* const* argv, bool& bAfterDashes)
{
    bAfterDashes = argc == 3 && std::string(argv[1]) == "--";
    if (bAfterDashes)
    {
        return argv[2];
    }
    return argc == 2 ? argv[1] : NULL;
}

int cmdAnswer(int argc, const char* const* argv, std::FILE* pOut, std::FILE* pErr,
              std::string& tMapFile)
{
    tMapFile.clear();
    if (argc <= 1)
    {
        return iCmdRun;
    }
    bool bAfterDashes;
    const char* cArg = cmdOnlyArgument(argc, argv, bAfterDashes);
    if (cArg == NULL)
    {
        std::fprintf(pErr,
                     "tarvenloft: one argument at most, and '%s' is one too many; see "
                     "tarvenloft --help\n",
                     cmdPrintable(argv[argc - 1]).c_str());
        return iExitUsage;
    }
    const std::string tArg = cArg;
    if (bAfterDashes || (!tArg.empty() && tArg[0] != '-'))
    {
        tMapFile = tArg;
        return iCmdRun;
    }
    if (tArg == "--version")
    {
        std::fprintf(pOut, "Tarvenloft %s\n", sys_tVersion.c_str());
        return 0;
    }
    if (tArg == "--help")
    {
        std::fputs(cCmdUsage, pOut);
        std::fputs(cCmdPlaces, pOut);
        std::fputs(cCmdKeys, pOut);
        std::fputs(cCmdManual, pOut);
        return 0;
    }
    std::fprintf(pErr, "tarvenloft: unknown argument '%s'; see tarvenloft --help\n",
                 cmdPrintable(cArg).c_str());
    return iExitUsage;
}
