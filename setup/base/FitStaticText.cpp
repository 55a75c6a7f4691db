#include "FitStaticText.h"

#include <vector>

namespace {

// Height in pixels that `control`'s text needs at its client width.
int NeededHeight(HWND control, int width)
{
    int length = GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, text.data(), length + 1);
    HDC dc = GetDC(control);
    if (!dc)
        return 0;
    HGDIOBJ oldFont = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)))
        oldFont = SelectObject(dc, font);
    RECT bounds = {0, 0, width, 0};
    DrawTextA(dc, text.data(), -1, &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    return bounds.bottom - bounds.top;
}

// Window rectangle of `window` in its parent's client coordinates.
RECT RectInParent(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveBy(HWND window, int dy)
{
    RECT rect = RectInParent(window);
    SetWindowPos(window, nullptr, rect.left, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int FitStaticText(HWND dialog, int controlId, const char* text, const int* moveIds, unsigned flags)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return 0;
    if (text)
        SetWindowTextA(control, text);

    RECT client = {};
    GetClientRect(control, &client);
    int difference = NeededHeight(control, client.right) - client.bottom;
    if (difference == 0)
        return 0;

    RECT rect = RectInParent(control);
    SetWindowPos(control, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + difference,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!(flags & kFitKeepDialogSize)) {
        RECT outer = {};
        GetWindowRect(dialog, &outer);
        SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top + difference, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!(flags & kFitKeepOthers)) {
        if (moveIds) {
            for (const int* id = moveIds; *id != 0; ++id) {
                if (HWND other = GetDlgItem(dialog, *id))
                    MoveBy(other, difference);
            }
        } else {
            for (HWND other = GetWindow(control, GW_HWNDNEXT); other;
                 other = GetWindow(other, GW_HWNDNEXT))
                MoveBy(other, difference);
        }
    }
    return difference;
}
