#include "IconStrip.h"

#include "CommonControls.h"
#include "WindowsVersion.h"

HIMAGELIST LoadIconStrip(HDC dc, HINSTANCE module, const IconStripIds& ids, int width,
                         COLORREF highMask, COLORREF lowMask)
{
    int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    UINT id = ids.low;
    COLORREF mask = lowMask;
    UINT flags = 0;
    if (depth > 8) {
        flags = LR_CREATEDIBSECTION;
        if (IsNt51OrLater()) {
            id = ids.newest;
            mask = CLR_NONE;
        } else {
            id = ids.high;
            mask = highMask;
        }
    }
    return comctl::ImageListLoadImage(module, MAKEINTRESOURCEA(id), width, 0, mask, IMAGE_BITMAP, flags);
}
