/*
 * Tarvenloft artwork tool - the terrain tileset "001".
 *
 * A tileset is one image with a single column of 32 x 48 tiles at x 32..63;
 * tile v stands at y 48v. The bottom 32 x 32 of a tile is its map cell; the
 * top 16 rows hang over the lower half of the cell above. Flat ground keeps
 * those rows in the mask colour; trees, bushes, rocks, walls, fences and
 * reeds rise into them. Every tile carries ground under its object, since
 * the editor paints a single layer.
 *
 * Ground is drawn from noise that repeats every 32 pixels, so a tile joins
 * seamlessly with copies of itself. Objects are shaded with light from the
 * upper left and get a dark rim and a shadow on the ground.
 *
 * SPDX-License-Identifier: MIT
 */
#include "art.h"

#include <cmath>
#include <functional>

namespace
{

const int artTileW = 32;
const int artTileH = 48;
const int artTop = 16;  // rows of overhang above the cell
const double artPi = 3.14159265358979;

/* A tile being drawn; ground coordinates are (x, y - artTop). */
struct stTile
{
    stImage img = artImageNew(artTileW, artTileH, artMask);
    std::vector<int> sObject = std::vector<int>(artTileW * artTileH, 0);  // object pixels
};

void artObject(stTile& t, int iX, int iY, stRgb c)
{
    if (iX < 0 || iY < 0 || iX >= artTileW || iY >= artTileH)
    {
        return;
    }
    artPut(t.img, iX, iY, c);
    t.sObject[iY * artTileW + iX] = 1;
}

bool artIsObject(const stTile& t, int iX, int iY)
{
    if (iX < 0 || iY < 0 || iX >= artTileW || iY >= artTileH)
    {
        return false;
    }
    return t.sObject[iY * artTileW + iX] != 0;
}

/* Fills the cell with a noise blend of two colours; dGrain adds per-pixel speckle. */
void artGround(stTile& t, stRgb cDark, stRgb cLight, int iSeed, double dGrain)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double n = artFractal(x, y, 32, iSeed);
            n += (artHash(x, y, iSeed + 7) - 0.5) * dGrain;
            n = (n - 0.5) * 1.6 + 0.5;
            n = n < 0 ? 0 : (n > 1 ? 1 : n);
            artPut(t.img, x, y + artTop, artMix(cDark, cLight, n));
        }
    }
}

/* Scales the ground colour at (x, y) of the cell, wrapping around its edges. */
void artTint(stTile& t, int iX, int iY, double dFactor)
{
    iX = (iX % 32 + 32) % 32;
    iY = (iY % 32 + 32) % 32;
    artPut(t.img, iX, iY + artTop, artShade(artGet(t.img, iX, iY + artTop), dFactor));
}

void artPaintGround(stTile& t, int iX, int iY, stRgb c)
{
    iX = (iX % 32 + 32) % 32;
    iY = (iY % 32 + 32) % 32;
    artPut(t.img, iX, iY + artTop, c);
}

/* Distance to the nearest and second nearest of iCount points scattered over the cell, with
   wrap-around, and the index of the nearest. */
void artVoronoi(double dX, double dY, int iCount, int iSeed, double& d1, double& d2, int& iNear)
{
    d1 = 1e9;
    d2 = 1e9;
    iNear = 0;
    for (int i = 0; i < iCount; i++)
    {
        double px = artHash(i, 0, iSeed) * 32;
        double py = artHash(i, 1, iSeed) * 32;
        for (int ox = -32; ox <= 32; ox += 32)
        {
            for (int oy = -32; oy <= 32; oy += 32)
            {
                double d = std::hypot(dX - px - ox, dY - py - oy);
                if (d < d1)
                {
                    d2 = d1;
                    d1 = d;
                    iNear = i;
                }
                else if (d < d2)
                {
                    d2 = d;
                }
            }
        }
    }
}

/* Small strokes of lighter and darker green, the blades of grass. */
void artBlades(stTile& t, int iCount, int iSeed, stRgb cLight, stRgb cDark)
{
    for (int i = 0; i < iCount; i++)
    {
        int x = static_cast<int>(artHash(i, 3, iSeed) * 32);
        int y = static_cast<int>(artHash(i, 4, iSeed) * 32);
        int iLen = 2 + static_cast<int>(artHash(i, 5, iSeed) * 2);
        bool bLight = artHash(i, 6, iSeed) > 0.45;
        for (int j = 0; j < iLen; j++)
        {
            artPaintGround(t, x + (j == iLen - 1 && i % 3 == 0 ? 1 : 0), y - j,
                           bLight ? cLight : cDark);
        }
    }
}

void artGrassBase(stTile& t, int iSeed)
{
    artGround(t, {58, 118, 44}, {96, 160, 60}, iSeed, 0.25);
    artBlades(t, 46, iSeed + 20, {132, 190, 80}, {44, 96, 36});
}

/* Adds the dark rim around every object pixel and a soft shadow below right on the ground. */
void artRim(stTile& t)
{
    stImage src = t.img;
    for (int y = 0; y < artTileH; y++)
    {
        for (int x = 0; x < artTileW; x++)
        {
            if (artIsObject(t, x, y))
            {
                continue;
            }
            bool bEdge = artIsObject(t, x - 1, y) || artIsObject(t, x + 1, y) ||
                         artIsObject(t, x, y - 1) || artIsObject(t, x, y + 1);
            if (bEdge)
            {
                stRgb c = artGet(src, x, y);
                artPut(t.img, x, y, artSame(c, artMask) ? stRgb{24, 28, 20} : artShade(c, 0.35));
            }
        }
    }
}

/* A darkened ellipse on the ground under an object. */
void artShadow(stTile& t, double dCx, double dCy, double dRx, double dRy)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double d = std::pow((x - dCx) / dRx, 2) + std::pow((y + artTop - dCy) / dRy, 2);
            if (d < 1 && !artIsObject(t, x, y + artTop))
            {
                artTint(t, x, y, 0.62 + 0.25 * d);
            }
        }
    }
}

/* A shaded, noisy ellipsoid: bushes, crowns, boulders. */
void artBlob(stTile& t, double dCx, double dCy, double dRx, double dRy, stRgb cDark, stRgb cLight,
             int iSeed, double dLumpy)
{
    for (int y = 0; y < artTileH; y++)
    {
        for (int x = 0; x < artTileW; x++)
        {
            double dx = (x + 0.5 - dCx) / dRx;
            double dy = (y + 0.5 - dCy) / dRy;
            double dEdge = 1 + dLumpy * (artNoise(x, y, 4, 32, iSeed) - 0.5);
            double d = dx * dx + dy * dy;
            if (d > dEdge)
            {
                continue;
            }
            // Light from the upper left, on the sphere's normal.
            double dz = std::sqrt(std::max(0.0, 1 - std::min(1.0, d)));
            double dLight = (-dx * 0.55 - dy * 0.65 + dz * 0.55);
            dLight = 0.5 + 0.5 * dLight + 0.35 * (artFractal(x, y, 32, iSeed + 3) - 0.5);
            dLight = dLight < 0 ? 0 : (dLight > 1 ? 1 : dLight);
            artObject(t, x, y, artMix(cDark, cLight, dLight));
        }
    }
}

/* A vertical trunk or post, lighter on its left. */
void artTrunk(stTile& t, int iX0, int iX1, int iY0, int iY1, stRgb c)
{
    for (int y = iY0; y <= iY1; y++)
    {
        for (int x = iX0; x <= iX1; x++)
        {
            double dSide = iX1 > iX0 ? static_cast<double>(x - iX0) / (iX1 - iX0) : 0.5;
            double dGrain = 0.85 + 0.2 * artHash(x, y / 3, 77);
            artObject(t, x, y, artShade(c, (1.25 - 0.5 * dSide) * dGrain));
        }
    }
}

/* --- Flat ground ---------------------------------------------------------------------------- */

void artTileGrass(stTile& t)
{
    artGrassBase(t, 100);
}

void artTileMeadow(stTile& t)
{
    artGround(t, {40, 92, 34}, {70, 128, 46}, 110, 0.3);
    artBlades(t, 80, 111, {104, 160, 64}, {30, 70, 26});
}

void artTileDirt(stTile& t)
{
    artGround(t, {104, 74, 44}, {150, 112, 70}, 120, 0.35);
    for (int i = 0; i < 14; i++)
    {
        int x = static_cast<int>(artHash(i, 1, 121) * 32);
        int y = static_cast<int>(artHash(i, 2, 121) * 32);
        artPaintGround(t, x, y, {176, 150, 118});
        artPaintGround(t, x + 1, y, {150, 126, 98});
        artPaintGround(t, x, y + 1, {84, 60, 38});
        artPaintGround(t, x + 1, y + 1, {84, 60, 38});
    }
}

void artTileSand(stTile& t)
{
    artGround(t, {206, 178, 118}, {238, 218, 164}, 130, 0.3);
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double w = std::sin(2 * artPi * (2 * x + 4 * y) / 32 + 3 * artNoise(x, y, 8, 32, 131));
            if (w > 0.8)
            {
                artTint(t, x, y, 0.9);
            }
            else if (w < -0.92)
            {
                artTint(t, x, y, 1.06);
            }
        }
    }
}

/* Water: a blend of two blues with wave crests along a slanted sine. */
void artWater(stTile& t, stRgb cDark, stRgb cLight, stRgb cCrest, int iSeed, double dCrest)
{
    artGround(t, cDark, cLight, iSeed, 0.1);
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double w =
                std::sin(2 * artPi * (x + 3 * y) / 32 + 4 * artNoise(x, y, 8, 32, iSeed + 5));
            double w2 =
                std::sin(2 * artPi * (2 * x - y) / 32 + 3 * artNoise(x, y, 16, 32, iSeed + 6));
            if (w > dCrest && w2 > 0)
            {
                artPaintGround(t, x, y, cCrest);
            }
            else if (w < -0.85)
            {
                artTint(t, x, y, 0.9);
            }
        }
    }
}

void artTileShallow(stTile& t)
{
    artWater(t, {56, 142, 176}, {100, 190, 208}, {190, 236, 240}, 140, 0.88);
}

void artTileDeep(stTile& t)
{
    artWater(t, {16, 40, 104}, {34, 74, 150}, {96, 140, 210}, 150, 0.94);
}

/* Square slabs in staggered rows with mortar joints and bevelled edges. */
void artTileFlagstones(stTile& t)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            int iRow = y / 16;
            int iShift = iRow * 8;
            int iSx = ((x + iShift) % 32) / 16;
            int lx = (x + iShift) % 16;
            int ly = y % 16;
            double dTone = 0.85 + 0.25 * artHash(iSx, iRow, 160);
            stRgb c =
                artShade(artMix({150, 128, 96}, {204, 182, 140}, artFractal(x, y, 32, 161)), dTone);
            if (lx == 15 || ly == 15)
            {
                c = {84, 70, 52};
            }
            else if (lx == 0 || ly == 0)
            {
                c = artShade(c, 1.18);
            }
            else if (lx == 14 || ly == 14)
            {
                c = artShade(c, 0.78);
            }
            artPaintGround(t, x, y, c);
        }
    }
}

/* Rounded stones from a cell pattern; iCount sets their size. */
void artStones(stTile& t, int iCount, int iSeed, stRgb cDark, stRgb cLight, stRgb cGap, double dGap)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double d1 = 0;
            double d2 = 0;
            int iNear = 0;
            artVoronoi(x + 0.5, y + 0.5, iCount, iSeed, d1, d2, iNear);
            if (d2 - d1 < dGap)
            {
                artPaintGround(t, x, y, cGap);
                continue;
            }
            double dTone = artHash(iNear, 9, iSeed);
            stRgb c = artMix(cDark, cLight, 0.3 + 0.5 * dTone);
            // Lighter towards the upper left of each stone, darker at its rim.
            double dRim = std::min(1.0, (d2 - d1) / 4.0);
            c = artShade(c, 0.75 + 0.3 * dRim + 0.1 * (artHash(x, y, iSeed + 4) - 0.5));
            artPaintGround(t, x, y, c);
        }
    }
    // Catch light on the upper-left edge of each stone.
    stImage src = t.img;
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            stRgb cUp = artGet(src, x, ((y + 31) % 32) + artTop);
            stRgb cHere = artGet(src, x, y + artTop);
            if (artSame(cUp, cGap) && !artSame(cHere, cGap))
            {
                artTint(t, x, y, 1.2);
            }
        }
    }
}

void artTileRoad(stTile& t)
{
    artStones(t, 9, 170, {110, 100, 88}, {176, 164, 146}, {70, 58, 44}, 1.3);
}

void artTileSnow(stTile& t)
{
    artGround(t, {200, 212, 232}, {248, 250, 255}, 180, 0.15);
    for (int i = 0; i < 10; i++)
    {
        artPaintGround(t, static_cast<int>(artHash(i, 1, 181) * 32),
                       static_cast<int>(artHash(i, 2, 181) * 32), {255, 255, 255});
        artPaintGround(t, static_cast<int>(artHash(i, 3, 181) * 32),
                       static_cast<int>(artHash(i, 4, 181) * 32), {176, 190, 220});
    }
}

void artTileFlowers(stTile& t)
{
    artGrassBase(t, 190);
    const stRgb cPetals[4] = {{230, 60, 60}, {250, 220, 60}, {250, 250, 250}, {170, 110, 230}};
    for (int i = 0; i < 9; i++)
    {
        int x = static_cast<int>(artHash(i, 1, 191) * 32);
        int y = static_cast<int>(artHash(i, 2, 191) * 32);
        stRgb c = cPetals[i % 4];
        artPaintGround(t, x, y + 1, {40, 90, 30});
        artPaintGround(t, x - 1, y, c);
        artPaintGround(t, x + 1, y, c);
        artPaintGround(t, x, y - 1, c);
        artPaintGround(t, x, y + 1, artShade(c, 0.75));
        artPaintGround(t, x, y, {250, 200, 40});
    }
}

void artTilePlanks(stTile& t)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            int iBoard = y / 8;
            int iJoint = (iBoard * 13) % 32;
            int ly = y % 8;
            int lx = (x - iJoint + 32) % 32;
            double dGrain = 0.5 + 0.5 * std::sin(2 * artPi * x / 16 + ly * 0.9 +
                                                 3 * artNoise(x, y, 8, 32, 200 + iBoard));
            stRgb c = artMix({128, 84, 46}, {170, 118, 66}, 0.35 + 0.4 * dGrain);
            c = artShade(c, 0.92 + 0.16 * artHash(iBoard, 0, 201));
            if (ly == 7 || lx == 0)
            {
                c = {66, 40, 22};
            }
            else if (ly == 0)
            {
                c = artShade(c, 1.15);
            }
            else if ((lx == 2 || lx == 29) && (ly == 2 || ly == 5))
            {
                c = {60, 52, 48};  // nail heads near the board ends
            }
            artPaintGround(t, x, y, c);
        }
    }
}

void artTileSwamp(stTile& t)
{
    artGround(t, {66, 60, 34}, {98, 92, 50}, 210, 0.3);
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double n = artFractal(x, y, 32, 212);
            if (n > 0.56)
            {
                double dDeep = std::min(1.0, (n - 0.56) * 6);
                stRgb c = artMix({70, 86, 60}, {40, 60, 48}, dDeep);
                if (artHash(x, y, 213) > 0.94)
                {
                    c = {120, 140, 110};
                }
                artPaintGround(t, x, y, c);
            }
        }
    }
    artBlades(t, 18, 214, {110, 130, 60}, {50, 70, 30});
}

void artTileIce(stTile& t)
{
    artGround(t, {150, 196, 226}, {206, 234, 250}, 220, 0.1);
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            if ((x + y) % 32 == 6 || (x + y) % 32 == 7 || (x + y) % 32 == 20)
            {
                artTint(t, x, y, 1.1);  // glints
            }
        }
    }
    // A few cracks wandering across the cell.
    for (int c = 0; c < 3; c++)
    {
        double x = artHash(c, 1, 221) * 32;
        double y = artHash(c, 2, 221) * 32;
        double a = artHash(c, 3, 221) * 2 * artPi;
        for (int s = 0; s < 14; s++)
        {
            artPaintGround(t, static_cast<int>(x), static_cast<int>(y), {110, 150, 190});
            artPaintGround(t, static_cast<int>(x), static_cast<int>(y) + 1, {236, 248, 255});
            a += (artHash(c, s, 222) - 0.5) * 1.4;
            x += std::cos(a);
            y += std::sin(a);
        }
    }
}

void artTileGravel(stTile& t)
{
    artStones(t, 34, 230, {100, 100, 100}, {180, 178, 172}, {74, 70, 66}, 0.8);
}

void artTileField(stTile& t)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            int ly = y % 8;
            double dRidge = std::sin(artPi * (ly + 0.5) / 8);
            stRgb c = artMix({70, 46, 28}, {136, 96, 58}, 0.2 + 0.7 * dRidge);
            c = artShade(c,
                         0.9 + 0.2 * artFractal(x, y, 32, 240) + 0.1 * (artHash(x, y, 241) - 0.5));
            artPaintGround(t, x, y, c);
        }
    }
    for (int iRow = 0; iRow < 4; iRow++)
    {
        for (int x = 2 + iRow % 2 * 2; x < 32; x += 5)
        {
            int y = iRow * 8 + 3;
            artPaintGround(t, x, y, {90, 170, 60});
            artPaintGround(t, x - 1, y - 1, {120, 200, 80});
            artPaintGround(t, x + 1, y - 1, {70, 140, 50});
        }
    }
}

void artTileLava(stTile& t)
{
    for (int y = 0; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            double d1 = 0;
            double d2 = 0;
            int iNear = 0;
            artVoronoi(x + 0.5, y + 0.5, 7, 250, d1, d2, iNear);
            double dGlow = std::max(0.0, 1 - (d2 - d1) / 3.5);
            stRgb cCrust = artMix({50, 26, 20}, {96, 44, 30}, artFractal(x, y, 32, 251));
            stRgb cMolten = artMix({230, 70, 10}, {255, 220, 80}, dGlow * dGlow);
            artPaintGround(t, x, y, artMix(cCrust, cMolten, std::min(1.0, dGlow * 1.3)));
        }
    }
}

/* --- Tiles that rise over the cell above ---------------------------------------------------- */

void artTileBush(stTile& t)
{
    artGrassBase(t, 300);
    artShadow(t, 18, 42, 14, 5);
    artBlob(t, 16, 28, 14, 14, {26, 70, 26}, {110, 176, 70}, 301, 0.5);
    const stRgb cBerry = {200, 40, 50};
    for (int i = 0; i < 6; i++)
    {
        int x = 8 + static_cast<int>(artHash(i, 1, 302) * 16);
        int y = 20 + static_cast<int>(artHash(i, 2, 302) * 16);
        if (artIsObject(t, x, y))
        {
            artObject(t, x, y, cBerry);
            artObject(t, x - 1, y - 1, {250, 140, 140});
        }
    }
    artRim(t);
}

void artTileRocks(stTile& t)
{
    artGrassBase(t, 310);
    artShadow(t, 18, 42, 15, 5);
    artBlob(t, 14, 29, 12, 13, {70, 70, 74}, {190, 188, 180}, 311, 0.25);
    artBlob(t, 25, 40, 6, 5, {64, 64, 68}, {170, 168, 160}, 312, 0.2);
    // A crack across the big boulder.
    for (int i = 0; i < 7; i++)
    {
        int x = 10 + i;
        int y = 22 + (i * i) / 6;
        if (artIsObject(t, x, y))
        {
            artObject(t, x, y, {50, 50, 54});
        }
    }
    artRim(t);
}

/* Tiered conifer; bSnow puts snow on the upper side of each tier. */
void artPine(stTile& t, bool bSnow, int iSeed)
{
    artShadow(t, 19, 43, 11, 4);
    artTrunk(t, 14, 17, 36, 44, {96, 62, 36});
    const int iTierTop[3] = {1, 11, 21};
    const int iTierBottom[3] = {16, 27, 38};
    const int iTierHalf[3] = {7, 10, 13};
    for (int iTier = 0; iTier < 3; iTier++)
    {
        for (int y = iTierTop[iTier]; y <= iTierBottom[iTier]; y++)
        {
            double dT =
                static_cast<double>(y - iTierTop[iTier]) / (iTierBottom[iTier] - iTierTop[iTier]);
            int iHalf = static_cast<int>(1 + dT * iTierHalf[iTier]);
            for (int x = 16 - iHalf; x < 16 + iHalf; x++)
            {
                double dSide = static_cast<double>(x - (16 - iHalf)) / (2 * iHalf);
                double dLight = 1.0 - dSide * 0.7 - dT * 0.25 + 0.3 * (artHash(x, y, iSeed) - 0.5);
                stRgb c = artMix({18, 60, 34}, {70, 140, 70}, std::max(0.0, std::min(1.0, dLight)));
                bool bCap = bSnow && (y - iTierTop[iTier] < 3 + (x % 3 == 0 ? 1 : 0) + dSide * 2);
                artObject(t, x, y, bCap ? artMix({200, 214, 236}, {255, 255, 255}, dLight) : c);
            }
        }
    }
    artRim(t);
}

void artTilePine(stTile& t)
{
    artGrassBase(t, 320);
    artPine(t, false, 321);
}

void artTileSnowPine(stTile& t)
{
    artTileSnow(t);
    artPine(t, true, 331);
}

void artTileOak(stTile& t)
{
    artGrassBase(t, 340);
    artShadow(t, 19, 41, 14, 6);
    artTrunk(t, 13, 18, 26, 43, {104, 70, 40});
    artBlob(t, 16, 17, 15, 15, {30, 76, 30}, {120, 184, 76}, 341, 0.55);
    artRim(t);
}

/* A wall block: lit top face over the overhang, masonry front face over the cell. */
void artWall(stTile& t, bool bBrick)
{
    const int iFront = 14;  // first row of the front face
    for (int y = 0; y < artTileH; y++)
    {
        for (int x = 0; x < artTileW; x++)
        {
            stRgb c;
            if (y < iFront)
            {
                stRgb cTop = bBrick ? stRgb{150, 84, 64} : stRgb{150, 150, 142};
                c = artShade(cTop, 1.0 + 0.2 * (artFractal(x, y, 32, 350) - 0.5));
                if (y == 0 || x == 0)
                {
                    c = artShade(c, 1.2);
                }
            }
            else
            {
                int ly = y - iFront;
                int iCourse = ly / (bBrick ? 6 : 9);
                int iLen = bBrick ? 12 : 16;
                int lx = (x + (iCourse % 2) * iLen / 2) % iLen;
                int lr = ly % (bBrick ? 6 : 9);
                double dTone =
                    0.8 + 0.35 * artHash((x + (iCourse % 2) * iLen / 2) / iLen, iCourse, 351);
                stRgb cBase = bBrick ? stRgb{156, 66, 46} : stRgb{120, 118, 112};
                c = artShade(cBase, dTone * (0.9 + 0.2 * artFractal(x, y, 32, 352)));
                if (lr == (bBrick ? 5 : 8) || lx == iLen - 1)
                {
                    c = bBrick ? stRgb{190, 180, 160} : stRgb{58, 56, 54};
                }
                else if (lr == 0)
                {
                    c = artShade(c, 1.15);
                }
                if (ly < 2)
                {
                    c = artShade(c, 0.55);  // shadow under the top's lip
                }
            }
            artObject(t, x, y, c);
        }
    }
}

void artTileStoneWall(stTile& t)
{
    artWall(t, false);
}

void artTileBrickWall(stTile& t)
{
    artWall(t, true);
}

void artTileFence(stTile& t)
{
    artGrassBase(t, 360);
    const stRgb cWood = {150, 104, 60};
    for (int x = 0; x < artTileW; x++)
    {
        for (int y = 18; y <= 20; y++)
        {
            artObject(t, x, y, artShade(cWood, y == 18 ? 1.2 : (y == 20 ? 0.75 : 1.0)));
        }
        for (int y = 28; y <= 30; y++)
        {
            artObject(t, x, y, artShade(cWood, y == 28 ? 1.2 : (y == 30 ? 0.75 : 1.0)));
        }
    }
    for (int iPost = 0; iPost < 2; iPost++)
    {
        int x0 = 6 + iPost * 16;
        artTrunk(t, x0, x0 + 3, 11, 38, {132, 90, 50});
        artObject(t, x0 + 1, 10, artShade(cWood, 1.1));
        artObject(t, x0 + 2, 10, artShade(cWood, 1.1));
    }
    artRim(t);
    for (int x = 0; x < 32; x++)
    {
        artTint(t, x, 40 - artTop, 0.7);  // the fence's shadow on the grass
    }
}

void artTileReeds(stTile& t)
{
    artGround(t, {60, 110, 60}, {84, 140, 80}, 370, 0.2);
    for (int y = 24; y < 32; y++)
    {
        for (int x = 0; x < 32; x++)
        {
            if (artFractal(x, y, 32, 371) > 0.45)
            {
                artPaintGround(t, x, y, {64, 130, 150});  // water between the stems
            }
        }
    }
    for (int i = 0; i < 14; i++)
    {
        double x = 2 + artHash(i, 1, 372) * 28;
        int iBase = 34 + static_cast<int>(artHash(i, 2, 372) * 11);
        int iTop = 4 + static_cast<int>(artHash(i, 3, 372) * 14);
        double dLean = (artHash(i, 4, 372) - 0.5) * 0.3;
        stRgb c = artMix({70, 120, 40}, {150, 190, 80}, artHash(i, 5, 372));
        for (int y = iBase; y >= iTop; y--)
        {
            artObject(t, static_cast<int>(x + dLean * (iBase - y)), y, c);
        }
        if (i % 3 == 0)
        {
            int xh = static_cast<int>(x + dLean * (iBase - iTop));
            for (int y = iTop; y < iTop + 5; y++)
            {
                artObject(t, xh, y, {110, 70, 40});  // cattail head
                artObject(t, xh + 1, y, {90, 56, 32});
            }
        }
    }
    artRim(t);
}

}  // namespace

/* Draws all tiles into a 64 x 1248 tileset image (tile v at x 32, y 48v). */
stImage artTileset()
{
    const std::function<void(stTile&)> sDraw[artTileCount] = {
        artTileGrass,     artTileMeadow,     artTileDirt,  artTileSand,  artTileShallow,
        artTileDeep,      artTileFlagstones, artTileRoad,  artTileSnow,  artTileFlowers,
        artTileBush,      artTileRocks,      artTilePine,  artTileOak,   artTileStoneWall,
        artTilePlanks,    artTileSwamp,      artTileIce,   artTileFence, artTileReeds,
        artTileBrickWall, artTileGravel,     artTileField, artTileLava,  artTileSnowPine};
    stImage sheet = artImageNew(2 * artTileW, artTileH * (artTileCount + 1), artMask);
    for (int v = 1; v <= artTileCount; v++)
    {
        stTile t;
        sDraw[v - 1](t);
        artBlit(t.img, sheet, 0, 0, artTileW, artTileH * v, artTileW, artTileH, false);
    }
    return sheet;
}

/* Paints a sample map of the tileset into dst (640 x 480): four layers drawn the way the
   program draws them, rows top to bottom, each tile 16 pixels above its cell. */
void artTilesPreview(const stImage& tiles, stImage& dst)
{
    // Values: digits 1..9, then letters a = 10 .. p = 25; "." is an empty cell.
    static const char* cGround[15] = {
        "11111111111a19999999", "1nnnn111111119999iii", "1nnnn11a1111199999ii",
        "1nnnn111111111999999", "11111111111111119999", "88888888888888888888",
        "11118111111mmmm11111", "1a118112211m777m1111", "11118112211m777m11aa",
        "11118111111m777m3oo3", "hh118111111mmmm13331", "44448444444444444444",
        "5555g555555555555555", "6666g666666666666666", "6666g666666666666666",
    };
    static const char* cObjects[15] = {
        "..e.....d......p.p..", "d..........e....p...", "......b......p...p..",
        "..........c.........", "jjjjjj.....e..b.....", "....................",
        ".d.........fffff.e..", "...........f...f....", "..c....ll..f...f....",
        ".......ll..f...f....", "...b.......ff.ff..c.", "kk....kk.k.....kkk..",
        "....................", "....................", "....................",
    };
    // Letters stand for values 10 and up: a = 10, b = 11, ...
    auto value = [](char c)
    { return c >= 'a' ? c - 'a' + 10 : (c >= '0' && c <= '9' ? c - '0' : 0); };
    for (int iLayer = 0; iLayer < 2; iLayer++)
    {
        for (int y = 0; y < 15; y++)
        {
            for (int x = 0; x < 20; x++)
            {
                char c = iLayer == 0 ? cGround[y][x] : cObjects[y][x];
                int v = c == '.' ? 0 : value(c);
                if (v > 0)
                {
                    artBlit(tiles, dst, 32, 48 * v, 32 * x, 32 * y - 16, 32, 48, true);
                }
            }
        }
    }
}
