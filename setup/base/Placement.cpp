#include "Placement.h"

#include "CenterRect.h"

namespace {

using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

ScreenRect ToScreenRect(const RECT& rect)
{
    ScreenRect out;
    out.left = rect.left;
    out.top = rect.top;
    out.right = rect.right;
    out.bottom = rect.bottom;
    return out;
}

}  // namespace

void GetWorkAreaOf(HWND window, RECT* area)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto monitorFromWindow = user32 ? reinterpret_cast<MonitorFromWindowFn>(reinterpret_cast<void*>(
                                          GetProcAddress(user32, "MonitorFromWindow")))
                                    : nullptr;
    auto getMonitorInfo = user32 ? reinterpret_cast<GetMonitorInfoFn>(reinterpret_cast<void*>(
                                       GetProcAddress(user32, "GetMonitorInfoA")))
                                 : nullptr;
    if (monitorFromWindow && getMonitorInfo) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        HMONITOR monitor = monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor && getMonitorInfo(monitor, &info)) {
            *area = info.rcWork;
            return;
        }
    }
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0))
        SetRect(area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void CenterWindowOver(HWND window, HWND reference)
{
    RECT own = {}, over = {}, work = {};
    GetWindowRect(window, &own);
    if (reference)
        GetWindowRect(reference, &over);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &over, 0);
    GetWorkAreaOf(window, &work);
    ScreenPoint corner =
        CenterOver(ToScreenRect(own), ToScreenRect(over), reference != nullptr,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ToScreenRect(work));
    SetWindowPos(window, nullptr, static_cast<int>(corner.x), static_cast<int>(corner.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
