/* Placeholder until this module is written. */
#include "image.h"
BITMAP* imgLoad(const std::string& tFile, std::string& tWhy)
{
    BITMAP* m = load_bitmap(tFile.c_str(), NULL);
    if (!m)
        tWhy = "unreadable";
    return m;
}
BITMAP* imgRequire(const std::string& tFile, int iExitCode)
{
    std::string t;
    BITMAP* m = imgLoad(tFile, t);
    if (!m)
    {
        allegro_message("Could not load %s", tFile.c_str());
        exit(iExitCode);
    }
    return m;
}
