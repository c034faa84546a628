/*
 * Tarvenloft artwork tool - language files and the settings file.
 *
 * The map editor's language files hold entries "[key] text^" and comment
 * lines that start with "#". They are single-byte Latin-1, the character set
 * of the bitmap fonts, so the accented letters below are written as byte
 * escapes and the files are written in binary mode.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <cstdio>

const char* artLanguageCodes[artLanguageCount] = {"EN", "SW", "DU", "SP"};

/* The menu's label keys, in the order the menu shows them. */
const char* artLabelKeys[artLabelCount] = {"prop_ed", "save", "restore", "faction_ed",
                                           "prep_ed", "help", "quit",    "continue"};

static const char* artLanguageNames[artLanguageCount] = {
    "English", "Swedish (Svenska)", "Dutch (Nederlands)", "Spanish (Espa\xF1ol)"};

static const char* artLabels[artLanguageCount][artLabelCount] = {
    {"Map Properties", "Save Map", "Load Map", "Faction Editor", "Battle Preparation", "Help",
     "Quit", "Continue"},
    {"Kartegenskaper", "Spara karta", "\xD6ppna karta", "Fraktionsredigerare",
     "Stridsf\xF6rberedelser", "Hj\xE4lp", "Avsluta", "Forts\xE4tt"},
    {"Kaarteigenschappen", "Kaart opslaan", "Kaart laden", "Factie-editor", "Gevechtsvoorbereiding",
     "Help", "Afsluiten", "Doorgaan"},
    {"Propiedades del mapa", "Guardar mapa", "Cargar mapa", "Editor de facciones",
     "Preparaci\xF3n de batalla", "Ayuda", "Salir", "Continuar"},
};

/* The texts of the map file: what a save or a load did, the questions before unsaved changes
   are lost, the word for a layer and the name of a map not yet saved. A notice is the text, ": "
   and the file's name or the reason; the word for a layer is followed by its number. */
static const int artMessageCount = 10;
static const char* artMessageKeys[artMessageCount] = {
    "map_saved",        "map_save_failed",  "map_loaded",       "map_load_failed",
    "map_unsaved_quit", "map_unsaved_load", "map_unsaved_open", "map_unsaved_new",
    "map_layer",        "map_untitled"};

static const char* artMessages[artLanguageCount][artMessageCount] = {
    {"Saved", "Could not save", "Loaded", "Could not load",
     "Unsaved changes! Quit or close again to leave without saving",
     "Unsaved changes! Load again to throw them away",
     "Unsaved changes! Ctrl+O again to throw them away",
     "Unsaved changes! Ctrl+N again to throw them away", "Layer", "Untitled"},
    {"Sparad", "Kunde inte spara", "\xD6ppnad", "Kunde inte \xF6ppna",
     "Osparade \xE4ndringar! Avsluta eller st\xE4ng igen f\xF6r att l\xE4mna utan att spara",
     "Osparade \xE4ndringar! \xD6ppna igen f\xF6r att kasta dem",
     "Osparade \xE4ndringar! Ctrl+O igen f\xF6r att kasta dem",
     "Osparade \xE4ndringar! Ctrl+N igen f\xF6r att kasta dem", "Lager", "Namnl\xF6s"},
    {"Opgeslagen", "Kan niet opslaan", "Geladen", "Kan niet laden",
     "Niet-opgeslagen wijzigingen! Sluit nogmaals af om te stoppen zonder op te slaan",
     "Niet-opgeslagen wijzigingen! Laad nogmaals om ze weg te gooien",
     "Niet-opgeslagen wijzigingen! Ctrl+O nogmaals om ze weg te gooien",
     "Niet-opgeslagen wijzigingen! Ctrl+N nogmaals om ze weg te gooien", "Laag", "Naamloos"},
    {"Guardado", "No se pudo guardar", "Cargado", "No se pudo cargar",
     "\xA1"
     "Cambios sin guardar! Salga o cierre otra vez para salir sin guardar",
     "\xA1"
     "Cambios sin guardar! Cargue otra vez para descartarlos",
     "\xA1"
     "Cambios sin guardar! Ctrl+O otra vez para descartarlos",
     "\xA1"
     "Cambios sin guardar! Ctrl+N otra vez para descartarlos",
     "Capa", "Sin t\xEDtulo"},
};

/* The file picker's texts: its titles, the labels of its buttons (the first four, which must fit
   the small buttons), and what it says about folders and typed names. A reason about a name is
   followed by ": " and the part of the name at fault, where there is one. */
const char* artPickerKeys[artPickerCount] = {
    "pick_open",       "pick_save",       "pick_replace",    "pick_cancel",    "pick_open_title",
    "pick_save_title", "pick_name",       "pick_drives",     "pick_no_maps",   "pick_unreadable",
    "pick_exists",     "pick_no_folder",  "pick_name_empty", "pick_name_char", "pick_name_device",
    "pick_name_long",  "pick_name_folder"};

static const char* artPicker[artLanguageCount][artPickerCount] = {
    {"Open", "Save", "Replace", "Cancel", "Open a map", "Save the map as", "Name:", "Drives",
     "No maps in this folder", "Cannot open this folder",
     "A map of this name exists already. Replace it?", "Choose a folder first",
     "Type a name for the map", "A name cannot hold this character",
     "The system keeps this name for a device", "The name is too long", "A folder has this name"},
    {"\xD6ppna", "Spara", "Ers\xE4tt", "Avbryt", "\xD6ppna en karta", "Spara kartan som",
     "Namn:", "Enheter", "Inga kartor i den h\xE4r mappen", "Kan inte \xF6ppna mappen",
     "En karta med det namnet finns redan. Ers\xE4tta den?", "V\xE4lj en mapp f\xF6rst",
     "Skriv ett namn p\xE5 kartan", "Ett namn kan inte inneh\xE5lla tecknet",
     "Systemet reserverar namnet f\xF6r en enhet", "Namnet \xE4r f\xF6r l\xE5ngt",
     "En mapp har redan det namnet"},
    {"Openen", "Opslaan", "Vervangen", "Annuleren", "Een kaart openen", "Kaart opslaan als",
     "Naam:", "Stations", "Geen kaarten in deze map", "Kan deze map niet openen",
     "Er bestaat al een kaart met deze naam. Vervangen?", "Kies eerst een map",
     "Typ een naam voor de kaart", "Een naam mag dit teken niet bevatten",
     "Het systeem houdt deze naam voor een apparaat", "De naam is te lang",
     "Er is al een map met deze naam"},
    {"Abrir", "Guardar", "Reemplazar", "Cancelar", "Abrir un mapa", "Guardar el mapa como",
     "Nombre:", "Unidades", "No hay mapas en esta carpeta", "No se puede abrir esta carpeta",
     "Ya existe un mapa con este nombre. \xBF"
     "Reemplazarlo?",
     "Elija primero una carpeta", "Escriba un nombre para el mapa",
     "Un nombre no puede llevar este car\xE1"
     "cter",
     "El sistema reserva este nombre para un dispositivo", "El nombre es demasiado largo",
     "Ya hay una carpeta con este nombre"},
};

std::string artPickerText(int iLanguage, int iText)
{
    return artPicker[iLanguage][iText];
}

/* The editor's tools as its where-am-I box names them, the word before the selected value, and
   the help screen: its last line, then each key or mouse action with what it does. */
static const int artToolCount = 6;
static const char* artToolKeys[artToolCount] = {"tool_brush", "tool_fill", "tool_rect",
                                                "tool_stamp", "map_tile",  "help_close"};

static const char* artTools[artLanguageCount][artToolCount] = {
    {"Brush", "Fill", "Rectangle", "Stamp", "Tile", "Any key or click closes the help"},
    {"Pensel", "Hink", "Rektangel", "St\xE4mpel", "Bricka",
     "En tangent eller ett klick st\xE4nger hj\xE4lpen"},
    {"Penseel", "Emmer", "Rechthoek", "Stempel", "Tegel", "Een toets of klik sluit de help"},
    {"Pincel", "Cubo", "Rect\xE1ngulo", "Sello", "Baldosa",
     "Cualquier tecla o clic cierra la ayuda"},
};

static const int artHelpCount = 23;

static const char* artHelp[artLanguageCount][artHelpCount][2] = {
    {{"Left button", "Paint the selected tile; drag to paint on"},
     {"Right click", "Pick up the cell's value as the selection"},
     {"Right drag", "Capture a block of the working layer as a stamp"},
     {"Shift + right drag", "Capture a block of all four layers (Shift held at release)"},
     {"Left click (stamp)", "Place the stamp; drag to place it again at each cell"},
     {"B", "Brush; also leaves the stamp"},
     {"F", "Bucket fill: a click fills the connected cells of that value"},
     {"R", "Rectangle: drag from corner to corner; a right click cancels"},
     {"Space", "Tile palette: click a tile, or arrows and Enter"},
     {"Left, Right", "Step the selected value"},
     {"1 2 3 4", "Choose the working layer"},
     {"H", "Highlight the working layer"},
     {"M", "The whole map: click a place to go there"},
     {"W A S D", "Scroll the view"},
     {"Wheel, Shift + wheel", "Scroll up and down, across"},
     {"Middle drag", "Move the map"},
     {"Ctrl+Z", "Undo"},
     {"Ctrl+Y, Ctrl+Shift+Z", "Redo"},
     {"Ctrl+S", "Save the map"},
     {"Escape", "Menu; closes the palette and the whole map"},
     {"Tab", "Frame-rate box"},
     {"Alt+Enter", "Window or full screen"},
     {"F1", "This help"}},
    {{"V\xE4nster knapp", "M\xE5la den valda brickan; dra f\xF6r att m\xE5la vidare"},
     {"H\xF6gerklick", "Ta cellens v\xE4rde som val"},
     {"H\xF6gerdrag", "F\xE5nga ett block av arbetslagret som st\xE4mpel"},
     {"Shift + h\xF6gerdrag", "F\xE5nga ett block av alla fyra lagren (Shift vid sl\xE4pp)"},
     {"V\xE4nsterklick (st\xE4mpel)",
      "Placera st\xE4mpeln; dra f\xF6r att placera den vid varje cell"},
     {"B", "Pensel; l\xE4mnar ocks\xE5 st\xE4mpeln"},
     {"F", "Hink: ett klick fyller de sammanh\xE4ngande cellerna med det v\xE4rdet"},
     {"R", "Rektangel: dra fr\xE5n h\xF6rn till h\xF6rn; ett h\xF6gerklick avbryter"},
     {"Mellanslag", "Brickpalett: klicka p\xE5 en bricka, eller pilar och Enter"},
     {"V\xE4nster, H\xF6ger", "Stega det valda v\xE4rdet"},
     {"1 2 3 4", "V\xE4lj arbetslager"},
     {"H", "Framh\xE4v arbetslagret"},
     {"M", "Hela kartan: klicka p\xE5 en plats f\xF6r att g\xE5 dit"},
     {"W A S D", "Rulla vyn"},
     {"Hjul, Shift + hjul", "Rulla upp och ner, i sidled"},
     {"Mittendrag", "Flytta kartan"},
     {"Ctrl+Z", "\xC5ngra"},
     {"Ctrl+Y, Ctrl+Shift+Z", "G\xF6r om"},
     {"Ctrl+S", "Spara kartan"},
     {"Escape", "Meny; st\xE4nger paletten och hela kartan"},
     {"Tab", "Ruta med bildfrekvensen"},
     {"Alt+Enter", "F\xF6nster eller helsk\xE4rm"},
     {"F1", "Denna hj\xE4lp"}},
    {{"Linkerknop", "Schilder de gekozen tegel; sleep om door te schilderen"},
     {"Rechtsklik", "Neem de waarde van de cel als keuze"},
     {"Rechts slepen", "Pak een blok van de werklaag als stempel"},
     {"Shift + rechts slepen", "Pak een blok van alle vier lagen (Shift bij loslaten)"},
     {"Linksklik (stempel)", "Plaats de stempel; sleep om hem bij elke cel te plaatsen"},
     {"B", "Penseel; verlaat ook de stempel"},
     {"F", "Emmer: een klik vult de aaneengesloten cellen met die waarde"},
     {"R", "Rechthoek: sleep van hoek tot hoek; een rechtsklik breekt af"},
     {"Spatie", "Tegelpalet: klik een tegel, of pijltjes en Enter"},
     {"Links, Rechts", "Stap door de gekozen waarde"},
     {"1 2 3 4", "Kies de werklaag"},
     {"H", "Markeer de werklaag"},
     {"M", "De hele kaart: klik een plek om erheen te gaan"},
     {"W A S D", "Scroll het beeld"},
     {"Wiel, Shift + wiel", "Scroll op en neer, opzij"},
     {"Middelste knop slepen", "Verschuif de kaart"},
     {"Ctrl+Z", "Ongedaan maken"},
     {"Ctrl+Y, Ctrl+Shift+Z", "Opnieuw"},
     {"Ctrl+S", "Kaart opslaan"},
     {"Escape", "Menu; sluit het palet en de hele kaart"},
     {"Tab", "Vak met de beeldsnelheid"},
     {"Alt+Enter", "Venster of volledig scherm"},
     {"F1", "Deze help"}},
    {{"Bot\xF3n izquierdo", "Pinta la baldosa elegida; arrastre para seguir pintando"},
     {"Clic derecho", "Toma el valor de la celda como selecci\xF3n"},
     {"Arrastre derecho", "Captura un bloque de la capa de trabajo como sello"},
     {"May\xFAs + arrastre der.", "Captura un bloque de las cuatro capas (May\xFAs al soltar)"},
     {"Clic izquierdo (sello)", "Coloca el sello; arrastre para colocarlo en cada celda"},
     {"B", "Pincel; tambi\xE9n deja el sello"},
     {"F", "Cubo: un clic rellena las celdas conectadas de ese valor"},
     {"R", "Rect\xE1ngulo: arrastre de esquina a esquina; un clic derecho cancela"},
     {"Espacio", "Paleta de baldosas: clic en una, o flechas e Intro"},
     {"Izquierda, Derecha", "Cambia el valor elegido"},
     {"1 2 3 4", "Elige la capa de trabajo"},
     {"H", "Resalta la capa de trabajo"},
     {"M", "El mapa entero: clic en un lugar para ir all\xED"},
     {"W A S D", "Desplaza la vista"},
     {"Rueda, May\xFAs + rueda", "Desplaza arriba y abajo, de lado"},
     {"Arrastre central", "Mueve el mapa"},
     {"Ctrl+Z", "Deshacer"},
     {"Ctrl+Y, Ctrl+May\xFAs+Z", "Rehacer"},
     {"Ctrl+S", "Guarda el mapa"},
     {"Escape", "Men\xFA; cierra la paleta y el mapa entero"},
     {"Tab", "Recuadro de im\xE1genes por segundo"},
     {"Alt+Intro", "Ventana o pantalla completa"},
     {"F1", "Esta ayuda"}},
};

/* The Latin-1 label iLabel (an index into artLabelKeys) of language iLanguage. */
std::string artLabel(int iLanguage, int iLabel)
{
    return artLabels[iLanguage][iLabel];
}

/* Writes system/text/<code>/map_editor.txt for one language. */
bool artWriteLanguage(int iLanguage, const std::string& tFile)
{
    std::FILE* pFile = std::fopen(tFile.c_str(), "wb");
    if (pFile == nullptr)
    {
        return false;
    }
    std::fprintf(pFile, "# Tarvenloft map editor texts: %s (%s).\n", artLanguageNames[iLanguage],
                 artLanguageCodes[iLanguage]);
    std::fprintf(pFile,
                 "# Each entry is a key in square brackets, then its text, ended by a caret.\n");
    std::fprintf(pFile, "# This file is Latin-1 (ISO 8859-1), one byte per character.\n");
    std::fprintf(pFile, "\n# Labels of the editor menu.\n");
    for (int i = 0; i < artLabelCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artLabelKeys[i], artLabels[iLanguage][i]);
    }
    std::fprintf(pFile, "\n# What saving and loading a map file did, the questions before unsaved "
                        "changes\n# are lost, the word for a layer and the name of a new map.\n");
    for (int i = 0; i < artMessageCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artMessageKeys[i], artMessages[iLanguage][i]);
    }
    std::fprintf(pFile, "\n# The file picker: its buttons, titles, and what it says.\n");
    for (int i = 0; i < artPickerCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artPickerKeys[i], artPicker[iLanguage][i]);
    }
    std::fprintf(pFile, "\n# The tools, the word for the selected tile, and the help screen.\n");
    for (int i = 0; i < artToolCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artToolKeys[i], artTools[iLanguage][i]);
    }
    for (int i = 0; i < artHelpCount; i++)
    {
        std::fprintf(pFile, "[help_key_%d] %s^\n[help_do_%d] %s^\n", i + 1,
                     artHelp[iLanguage][i][0], i + 1, artHelp[iLanguage][i][1]);
    }
    return std::fclose(pFile) == 0;
}

/* Writes data/settings.ini with a comment for each key and no language entry, so that the first
   start asks for one. The language comment comes last: the line that start writes follows it. */
bool artWriteSettings(const std::string& tFile)
{
    std::FILE* pFile = std::fopen(tFile.c_str(), "wb");
    if (pFile == nullptr)
    {
        return false;
    }
    std::fputs("# Tarvenloft start-up settings, read once when the program starts.\n"
               "# Each setting is a key followed by its value. A line that starts with # and a\n"
               "# blank is a comment.\n"
               "#\n"
               "# WindowedMode: ON opens the program in a window, OFF uses the full screen.\n"
               "# Holding a shift key while the program starts gives a window as well.\n"
               "WindowedMode ON\n"
               "#\n"
               "# DebugMode: ON shows the frame-rate box from the start, OFF hides it.\n"
               "# The Tab key switches it while the program runs.\n"
               "DebugMode OFF\n"
               "#\n"
               "# DisplayScale: AUTO makes the window the largest whole multiple of 640 x 480\n"
               "# that fits the desktop; a number from 1 to 8 asks for that multiple, where it\n"
               "# fits. In full screen the picture fills the desktop by the largest whole\n"
               "# multiple, with black around it. Without this line the window is 640 x 480.\n"
               "# Alt+Enter switches between the window and the full screen.\n"
               "DisplayScale AUTO\n"
               "#\n"
               "# MapFiles: ON keeps maps in files of Tiled's TMX format. The editor then opens\n"
               "# the last map you worked on (or a new, untitled one), and has New (Ctrl+N),\n"
               "# Open (Ctrl+O), Save (Ctrl+S) and Save As (Ctrl+Shift+S). OFF, or without this\n"
               "# line, the map lasts only for the run unless a map file is named when the\n"
               "# program starts.\n"
               "MapFiles ON\n"
               "#\n"
               "# Language: a line with the key Language and a code (EN, SW, DU or SP) picks the\n"
               "# interface language. Without such a line the program asks at start. With\n"
               "# MapFiles ON the language chosen there is written below as such a line; to\n"
               "# choose again, delete that line, or change its code.\n",
               pFile);
    return std::fclose(pFile) == 0;
}
