/*
 * Tarvenloft - the map file: the editor's map kept in a TMX file, as Tiled
 * reads and writes it.
 *
 * The face of the map-file rooms: it holds the open document, whose cells
 * are what the file on disk holds, and answers whether the map differs
 * from them. Reading is map_read.cpp's; writing makes the text with
 * map_write.cpp, reads it back with map_read.cpp, so that no save can make
 * a file that the editor itself would refuse, and only then replaces the
 * file.
 *
 * SPDX-License-Identifier: MIT
 */
#include "map_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "map_message.h"
#include "map_read.h"
#include "map_write.h"
#include "platform.h"

static std::unique_ptr<stMapDocument> pMapfOpen;  // the open file, or null
static std::string tMapfOpenFile;                 // where it was read from or written to

bool mapfRead(const std::string& tFile, std::string& tWhy)
{
    std::unique_ptr<stMapDocument> pDoc = maprFile(tFile, tWhy);
    if (!pDoc)
    {
        return false;
    }
    std::memcpy(map.iTerrain, pDoc->iCells, sizeof(map.iTerrain));
    pMapfOpen = std::move(pDoc);
    tMapfOpenFile = tFile;
    return true;
}

bool mapfWrite(const std::string& tFile, std::string& tWhy)
{
    if (!mapwCheckCells(map.iTerrain, tWhy))
    {
        return false;
    }
    std::string tText;
    if (pMapfOpen && !mapwSplice(*pMapfOpen, map.iTerrain, tMapfOpenFile, tFile, tText))
    {
        return mapmFail(tWhy, "", "cannot find where the open file keeps its layers");
    }
    if (!pMapfOpen)
    {
        tText = mapwNewText(tFile, map.iTerrain);
    }
    std::unique_ptr<stMapDocument> pDoc = maprText(std::move(tText), tFile, pMapfOpen.get(), tWhy);
    if (!pDoc || std::memcmp(pDoc->iCells, map.iTerrain, sizeof(map.iTerrain)) != 0)
    {
        return mapmFail(tWhy, "the map came out wrong", pDoc ? "other cells" : tWhy);
    }
    if (!platWriteFileAtomically(tFile, pDoc->tText, tWhy))
    {
        return false;
    }
    pMapfOpen = std::move(pDoc);
    tMapfOpenFile = tFile;
    return true;
}

void mapfForget()
{
    pMapfOpen.reset();
}

// Without an open file, the map counts as saved while it is empty.
bool mapfUnsaved()
{
    if (pMapfOpen)
    {
        return std::memcmp(pMapfOpen->iCells, map.iTerrain, sizeof(map.iTerrain)) != 0;
    }
    const int* pCell = &map.iTerrain[0][0][0];
    return std::any_of(pCell, pCell + sizeof(map.iTerrain) / sizeof(int),
                       [](int v) { return v != 0; });
}
