#include "CenterRect.h"

namespace {

// Start of a span of `size` centred over [refStart, refEnd), kept inside
// [areaStart, areaEnd); the start edge wins when the span does not fit.
long Place(long size, long refStart, long refEnd, bool byWindow, long minOffset, long areaStart,
           long areaEnd)
{
    long start = refStart + ((refEnd - refStart) - size) / 2;
    if (byWindow && start < refStart + minOffset)
        start = refStart + minOffset;
    if (start + size > areaEnd)
        start = areaEnd - size;
    if (start < areaStart)
        start = areaStart;
    return start;
}

}  // namespace

ScreenPoint CenterOver(const ScreenRect& window, const ScreenRect& reference, bool byWindow,
                       long minOffsetX, long minOffsetY, const ScreenRect& workArea)
{
    ScreenPoint corner;
    corner.x = Place(window.right - window.left, reference.left, reference.right, byWindow,
                     minOffsetX, workArea.left, workArea.right);
    corner.y = Place(window.bottom - window.top, reference.top, reference.bottom, byWindow,
                     minOffsetY, workArea.top, workArea.bottom);
    return corner;
}
