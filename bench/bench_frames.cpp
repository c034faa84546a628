/*
 * Tarvenloft benchmarks - the editor's frames and text layout.
 *
 * Each frame is timed twice: as the program draws it ("ours": the editor's
 * drawing steps with the real map drawing, then the frame composer's steps
 * keyUpdate, butUpdate, butDisplay, txtDisplay and guiDebug_), and as the
 * bare list of library calls that draw the same pixels ("bare"). Presenting
 * to the screen and the frame wait are left out: they need a display and a
 * timer, and they are the library's and the clock's time, not ours. Before
 * timing, both versions are drawn once and must give identical pixels.
 *
 * SPDX-License-Identifier: MIT
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench_world.h"
#include "buttons.h"
#include "gui_main.h"
#include "keyboard.h"
#include "text.h"
#include "timing.h"

static const char* const cFpsText = "FPS: 60";

// Ends a frame as displayAll does, up to the presenting. A second passes every 60 frames, so
// the overlay shows "FPS: 60" as it does in the running editor.
static void benchCompose(int& iFrame)
{
    if (++iFrame % 60 == 0)
    {
        iSecond = 1;
    }
    keyUpdate();
    butUpdate();
    butDisplay();
    txtDisplay();
    guiDebug_();
}

static void benchEditorOurs(int& iFrame)
{
    clear_bitmap(mBuffer);
    map.Display(0, 0, 0, 0, false, 0);
    int iXPos = 0;
    int iYPos = 0;
    CMapEditorProbe::FindMouse(iXPos, iYPos);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, iXPos, iYPos, iXPos + 31, iYPos + 31, makecol(255, 255, 255));
    solid_mode();
    masked_blit(map.mTiles, mBuffer, 32, iBenchTerrain * 48, mouse_x + 8, mouse_y - 8, 32, 48);
    benchCompose(iFrame);
}

static void benchMenuOurs(int& iFrame)
{
    clear_bitmap(mBuffer);
    map.Display(0, 0, 0, 0, false, 0);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, 164, 48, 475, 431, makecol(0, 0, 0));
    solid_mode();
    benchCompose(iFrame);
}

/* Everything a bare frame draws, worked out before timing. */
struct stBareFrame
{
    std::vector<stBenchBlit> vTiles;
    std::vector<BITMAP*> vButtons;  // image each active button shows, in slot order
    std::vector<int> vButtonX;
    std::vector<int> vButtonY;
    std::vector<stBenchBlit> vLabels;  // font 2
    std::vector<stBenchBlit> vFps;     // font 1
};

static stBareFrame benchPrepareBare()
{
    stBareFrame s;
    s.vTiles = benchTileBlits();
    for (int i = 0; i < 100; i++)
    {
        const stButton& b = sButton[i];
        if (!b.bActive)
        {
            continue;
        }
        s.vButtons.push_back(b.bHover ? b.mHover : (b.bDown ? b.mDown : b.mUp));
        s.vButtonX.push_back(b.iX);
        s.vButtonY.push_back(b.iY);
    }
    for (int i = 0; i < 100; i++)
    {
        const stTextObject& o = sText[i];
        if (o.bActive)
        {
            std::vector<stBenchBlit> v = benchCenterBlits(o.iFont, o.iX, o.iY, o.tText);
            s.vLabels.insert(s.vLabels.end(), v.begin(), v.end());
        }
    }
    s.vFps = benchCenterBlits(1, 28, 461, cFpsText);
    return s;
}

static void benchOverlayBare(const stBareFrame& s)
{
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, 8, 457, 46, 472, makecol(0, 0, 255));
    solid_mode();
    benchBlitAll(sFont[1].bSource, s.vFps);
}

static void benchEditorBare(const stBareFrame& s)
{
    clear_bitmap(mBuffer);
    benchBlitAll(map.mTiles, s.vTiles);
    int iXPos = mouse_x / 32 * 32;
    int iYPos = mouse_y / 32 * 32;
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, iXPos, iYPos, iXPos + 31, iYPos + 31, makecol(255, 255, 255));
    solid_mode();
    masked_blit(map.mTiles, mBuffer, 32, iBenchTerrain * 48, mouse_x + 8, mouse_y - 8, 32, 48);
    benchOverlayBare(s);
}

static void benchMenuBare(const stBareFrame& s)
{
    clear_bitmap(mBuffer);
    benchBlitAll(map.mTiles, s.vTiles);
    drawing_mode(DRAW_MODE_TRANS, NULL, 0, 0);
    rectfill(mBuffer, 164, 48, 475, 431, makecol(0, 0, 0));
    solid_mode();
    for (size_t i = 0; i < s.vButtons.size(); i++)
    {
        draw_sprite(mBuffer, s.vButtons[i], s.vButtonX[i], s.vButtonY[i]);
    }
    benchBlitAll(sFont[2].bSource, s.vLabels);
    benchOverlayBare(s);
}

// Stops the run when the bare frame does not draw what the program draws: its figures would
// compare different pictures.
static void benchRequireSame(BITMAP* mOurs, const char* cWhat)
{
    if (!benchSameBitmap(mOurs, mBuffer))
    {
        std::fprintf(stderr, "bench: the bare %s differs from the program's drawing\n", cWhat);
        std::exit(2);
    }
}

// Draws the program's frame until the overlay shows a full second's count, keeps a copy, draws
// the bare frame and compares.
template <typename FOurs, typename FBare>
static void benchCheckFrame(FOurs fOurs, FBare fBare, const char* cWhat)
{
    int iFrame = 0;
    for (int i = 0; i < 120; i++)
    {
        fOurs(iFrame);
    }
    BITMAP* mOurs = create_bitmap(mBuffer->w, mBuffer->h);
    blit(mBuffer, mOurs, 0, 0, 0, 0, mBuffer->w, mBuffer->h);
    fBare();
    benchRequireSame(mOurs, cWhat);
    destroy_bitmap(mOurs);
}

void benchEditorFrame(benchmark::State& state, int iDepth, bool bBare)
{
    benchUseDepth(iDepth);
    benchCloseMenu();
    stBareFrame s = benchPrepareBare();
    benchCheckFrame(
        benchEditorOurs, [&]() { benchEditorBare(s); }, "editor frame");
    int iFrame = 0;
    for (auto _ : state)
    {
        if (bBare)
        {
            benchEditorBare(s);
        }
        else
        {
            benchEditorOurs(iFrame);
        }
        benchmark::ClobberMemory();
    }
}

void benchMenuFrame(benchmark::State& state, int iDepth, bool bBare)
{
    benchUseDepth(iDepth);
    benchCloseMenu();
    CMapEditorProbe::OpenMenu();
    int iFrame = 0;
    benchMenuOurs(iFrame);  // button states settle before the bare frame copies them
    stBareFrame s = benchPrepareBare();
    benchCheckFrame(
        benchMenuOurs, [&]() { benchMenuBare(s); }, "menu frame");
    for (auto _ : state)
    {
        if (bBare)
        {
            benchMenuBare(s);
        }
        else
        {
            benchMenuOurs(iFrame);
        }
        benchmark::ClobberMemory();
    }
    benchCloseMenu();
}

// Checks that the glyph blits vBlits alone draw what the program just drew into mBuffer.
static void benchRequireSameGlyphs(BITMAP* mFont, const std::vector<stBenchBlit>& vBlits,
                                   const char* cWhat)
{
    BITMAP* mOurs = create_bitmap(mBuffer->w, mBuffer->h);
    blit(mBuffer, mOurs, 0, 0, 0, 0, mBuffer->w, mBuffer->h);
    clear_bitmap(mBuffer);
    benchBlitAll(mFont, vBlits);
    benchRequireSame(mOurs, cWhat);
    destroy_bitmap(mOurs);
}

// A help page: one left-aligned, wrapping text object of 2,000 characters in the 8 x 8 font.
void benchTextWrap(benchmark::State& state, bool bBare)
{
    benchUseDepth(32);
    benchCloseMenu();
    const std::string tText = benchLongText();
    txtNew(0, 16, 8, tText, 1, 624, 0, 0);
    std::vector<stBenchBlit> vBlits = benchGlyphBlits(1, 16, 8, tText, 624, -1);
    clear_bitmap(mBuffer);
    txtDisplay();
    benchRequireSameGlyphs(sFont[1].bSource, vBlits, "wrapped text");
    for (auto _ : state)
    {
        if (bBare)
        {
            benchBlitAll(sFont[1].bSource, vBlits);
        }
        else
        {
            txtDisplay();
        }
        benchmark::ClobberMemory();
    }
    state.counters["glyphs"] = (double)vBlits.size();
    benchCloseMenu();
}

// One menu label, centred, in the 16 x 16 font.
void benchTextCenter(benchmark::State& state, bool bBare)
{
    benchUseDepth(32);
    const std::string tLabel = txt.Get("prep_ed");
    std::vector<stBenchBlit> vBlits = benchCenterBlits(2, 320, 230, tLabel);
    clear_bitmap(mBuffer);
    txtCenter(2, 320, 230, tLabel, -1);
    benchRequireSameGlyphs(sFont[2].bSource, vBlits, "centred label");
    for (auto _ : state)
    {
        if (bBare)
        {
            benchBlitAll(sFont[2].bSource, vBlits);
        }
        else
        {
            txtCenter(2, 320, 230, tLabel, -1);
        }
        benchmark::ClobberMemory();
    }
}
