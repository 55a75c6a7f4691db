// The program's small images, loaded as an image list from the bitmap that
// suits the screen: a 256-colour strip, a true-colour strip with a mask
// colour, or (on XP and later) one with an alpha channel and no mask.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct IconStripIds
{
    UINT low;     // 8 bits per pixel or fewer
    UINT high;    // more than 8 bits
    UINT newest;  // more than 8 bits on NT 5.1 or later
};

// Loads the strip of `module` chosen by the colour depth of `dc` (planes
// times bits per pixel) as an image list of `width`-pixel images;
// `highMask` is the mask colour of the high-colour strip, `lowMask` that of
// the low-colour one. The caller destroys the list. nullptr on failure.
HIMAGELIST LoadIconStrip(HDC dc, HINSTANCE module, const IconStripIds& ids, int width,
                         COLORREF highMask, COLORREF lowMask);
