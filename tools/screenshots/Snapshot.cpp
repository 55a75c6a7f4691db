#include "Snapshot.h"

#include "UiDriver.h"

bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT rect;
    if (!window || !GetClientRect(window, &rect))
        return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);  // the window's thread paints
    return uidriver::SaveScreenArea(rect, path);
}
