/*
 * Tarvenloft - the entry point.
 *
 * main runs the program's whole life as one straight sequence: settings,
 * start-up, fonts, the language screen on first run, the editor's strings,
 * the title page and the editor. When the editor is left, main returns 0
 * and the library's exit handler closes the library.
 */
#include "header.h"

#include "editor_map.h"
#include "lang_parser.h"
#include "lang_select.h"
#include "setup.h"
#include "text.h"
#include "title_page.h"
#include "user_settings.h"

int main()
{
    parSettingsIni();
    setupCore();
    txtSetFont(1, "system/images/fonts/standard.bmp", 8, 8);
    txtSetFont(2, "system/images/fonts/lat16w.bmp", 16, 16);
    if (sys_tLanguage == "XX")
    {
        titleLanguageSelect();
    }
    parStrings(txt, "map_editor");
    titlePage();
    editMap();
    return 0;
}
END_OF_MAIN()
