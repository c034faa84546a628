/*
 * Tarvenloft - what every image reader does with decoded pixels: the guard
 * on an image's sides and the bitmap made from 8-bit RGB.
 *
 * - Both sides at most 32767 pixels, at most 16M pixels in all, checked
 *   before a reader allocates pixels.
 * - Pixels are written with makecol, so (255, 0, 255) is the mask colour and
 *   light pink (255, 128, 255) is exact at any depth. Alpha and gamma are
 *   ignored: the artwork marks transparency with the mask colour, and a
 *   32-bit pixel that kept its alpha byte would no longer equal
 *   makecol(255, 0, 255).
 *
 * SPDX-License-Identifier: MIT
 */
#include "image_rgb.h"

static const uint64_t iImgMaxPixels = 16u * 1024u * 1024u;  // width times height

bool imgCheckSides(int64_t iWidth, int64_t iHeight, std::string& tWhy)
{
    if (iWidth < 1 || iHeight < 1)
    {
        tWhy = "the image has no pixels (width " + std::to_string(iWidth) + ", height " +
               std::to_string(iHeight) + ")";
        return false;
    }
    if ((uint64_t)iWidth > iImgMaxSide || (uint64_t)iHeight > iImgMaxSide ||
        (uint64_t)iWidth * (uint64_t)iHeight > iImgMaxPixels)
    {
        tWhy = "the image is too large (" + std::to_string(iWidth) + "x" + std::to_string(iHeight) +
               "; at most " + std::to_string(iImgMaxSide) + " pixels a side and 16M pixels)";
        return false;
    }
    return true;
}

BITMAP* imgRgbToBitmap(const unsigned char* pRgb, int iWidth, int iHeight, std::string& tWhy)
{
    BITMAP* mImage = create_bitmap(iWidth, iHeight);
    if (mImage == NULL)
    {
        tWhy = "out of memory";
        return NULL;
    }
    int iDepth = bitmap_color_depth(mImage);
    for (int y = 0; y < iHeight; y++)
    {
        const unsigned char* pPixel = pRgb + (size_t)y * iWidth * 3;
        for (int x = 0; x < iWidth; x++, pPixel += 3)
        {
            putpixel(mImage, x, y, makecol_depth(iDepth, pPixel[0], pPixel[1], pPixel[2]));
        }
    }
    return mImage;
}
