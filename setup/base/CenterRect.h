// Where a window goes when it is centred over a reference rectangle and kept
// on its monitor's work area. Plain arithmetic on screen coordinates, so the
// host tests can check every case without monitors.
#pragma once

struct ScreenRect
{
    long left = 0, top = 0, right = 0, bottom = 0;
};

struct ScreenPoint
{
    long x = 0, y = 0;
};

// Top-left corner for `window` centred over `reference`. With a reference
// window (`minOffsetX`/`minOffsetY` the small-icon size), the corner stays
// at least that far right of and below the reference's top-left corner;
// without one pass 0. Then the window is kept inside `workArea`: a window
// larger than the work area goes to its left or top edge.
ScreenPoint CenterOver(const ScreenRect& window, const ScreenRect& reference, bool byWindow,
                       long minOffsetX, long minOffsetY, const ScreenRect& workArea);
