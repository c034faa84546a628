/*
 * Tarvenloft - the entry point.
 *
 * main first answers the command line: an option (--version, --help) or a
 * wrong argument ends the program at once, before anything is started.
 * Otherwise it runs the program's whole life as one straight sequence:
 * settings, the map (the file named, or in map-file mode the last map; a
 * named file that cannot be opened ends the program before the display
 * opens), start-up, fonts, the language screen on first run (in map-file
 * mode the choice is written into the settings), the editor's strings, the
 * title page and the editor. When the editor is left, main returns 0 and the library's
 * exit handler closes the library.
 *
 * SPDX-License-Identifier: MIT
 */
#include "header.h"

#include "command_line.h"
#include "editor_file.h"
#include "editor_map.h"
#include "lang_parser.h"
#include "lang_select.h"
#include "map_file.h"
#include "platform.h"
#include "settings_write.h"
#include "setup.h"
#include "text.h"
#include "title_page.h"
#include "user_settings.h"

// The library's entry-point macro hands the arguments on: on Linux from its own main, on Windows
// from its WinMain, which splits the command line.
int main(int argc, char* argv[])
{
    const int iAnswered = cmdAnswer(argc, argv, stdout, stderr, sys_tMapFile);
    if (iAnswered != iCmdRun)
    {
        return iAnswered;
    }
    // Where the library cannot show a message box (no display, no xmessage program), it prints
    // its messages on standard output. The program prints nothing else there, so fatal messages
    // go where a user or a script looks for errors.
    platMessagesToStandardError();
    if (!sys_tMapFile.empty())
    {
        platWorkBesideProgram(sys_tMapFile);
    }
    parSettingsIni();
    std::string tWhy;
    if (!fileOpenAtStart(tWhy))
    {
        setup.Init();  // the library, for its message box
        allegro_message("%s", tWhy.c_str());
        exit(iExitMapFile);
    }
    setupCore();
    txtSetFont(1, "system/images/fonts/standard.bmp", 8, 8);
    txtSetFont(2, "system/images/fonts/lat16w.bmp", 16, 16);
    if (sys_tLanguage == "XX")
    {
        titleLanguageSelect();
        // In map-file mode the choice is kept for the next start, where the settings file can
        // be written; else it lasts for the run.
        if (fileInUse() && sys_tLanguage != "XX")
        {
            parKeepLanguage(sys_tLanguage);
        }
    }
    parStrings(txt, "map_editor");
    titlePage();
    editMap();
    return 0;
}
END_OF_MAIN()
