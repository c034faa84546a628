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
   are lost, and the word for a layer. A notice is the text, ": " and the file's name or the
   reason; the word for a layer is followed by its number. */
static const int artMessageCount = 8;
static const char* artMessageKeys[artMessageCount] = {
    "map_saved",   "map_save_failed",  "map_loaded",       "map_load_failed",
    "map_missing", "map_unsaved_quit", "map_unsaved_load", "map_layer"};

static const char* artMessages[artLanguageCount][artMessageCount] = {
    {"Saved", "Could not save", "Loaded", "Could not load",
     "Nothing to load yet: the map file does not exist",
     "Unsaved changes! Quit or close again to leave without saving",
     "Unsaved changes! Load again to throw them away", "Layer"},
    {"Sparad", "Kunde inte spara", "\xD6ppnad", "Kunde inte \xF6ppna",
     "Inget att \xF6ppna \xE4nnu: kartfilen finns inte",
     "Osparade \xE4ndringar! Avsluta eller st\xE4ng igen f\xF6r att l\xE4mna utan att spara",
     "Osparade \xE4ndringar! \xD6ppna igen f\xF6r att kasta dem", "Lager"},
    {"Opgeslagen", "Kan niet opslaan", "Geladen", "Kan niet laden",
     "Nog niets te laden: het kaartbestand bestaat niet",
     "Niet-opgeslagen wijzigingen! Sluit nogmaals af om te stoppen zonder op te slaan",
     "Niet-opgeslagen wijzigingen! Laad nogmaals om ze weg te gooien", "Laag"},
    {"Guardado", "No se pudo guardar", "Cargado", "No se pudo cargar",
     "Nada que cargar a\xFAn: el archivo del mapa no existe",
     "\xA1"
     "Cambios sin guardar! Salga o cierre otra vez para salir sin guardar",
     "\xA1"
     "Cambios sin guardar! Cargue otra vez para descartarlos",
     "Capa"},
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
    std::fprintf(pFile, "\n# What saving and loading a map file did, and the word for a layer.\n");
    for (int i = 0; i < artMessageCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artMessageKeys[i], artMessages[iLanguage][i]);
    }
    std::fprintf(pFile, "\n# The file picker: its buttons, titles, and what it says.\n");
    for (int i = 0; i < artPickerCount; i++)
    {
        std::fprintf(pFile, "[%s] %s^\n", artPickerKeys[i], artPicker[iLanguage][i]);
    }
    return std::fclose(pFile) == 0;
}

/* Writes data/settings.ini with a comment for each key and no language entry, so that the first
   start asks for one. */
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
               "# Language: a line with the key Language and a code (EN, SW, DU or SP) picks the\n"
               "# interface language. Without such a line the program asks at every start.\n",
               pFile);
    return std::fclose(pFile) == 0;
}
