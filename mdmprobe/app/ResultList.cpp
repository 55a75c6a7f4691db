#include "ResultList.h"

#include "BufCopy.h"
#include "CommonControls.h"
#include "resource.h"

#include <commctrl.h>

namespace {

const char kClassName[] = "MdmprobeResultList";
constexpr int kTopMargin = 10;   // pixels above the first row (and added to the scroll height)
constexpr int kMarkX = 10;       // left edge of a mark
constexpr int kTextX = 25;       // left edge of an item's text
constexpr int kTextPoints = 8;   // item texts: MS Sans Serif, 8 point

// Loads a mark bitmap with its white background shown in the dialog colour.
HBITMAP LoadMark(HINSTANCE instance, UINT id)
{
    COLORMAP white = {RGB(255, 255, 255), GetSysColor(COLOR_BTNFACE)};
    return comctl::CreateMappedBitmap(instance, static_cast<INT_PTR>(id), 0, &white, 1);
}

HFONT CreateItemFont(HDC dc, int weight)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(kTextPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = weight;
    BufSet(font.lfFaceName, sizeof(font.lfFaceName), "MS Sans Serif");
    return CreateFontIndirectA(&font);
}

// Draws `bitmap` with its top-left corner at (x, y).
void DrawMark(HDC dc, HBITMAP bitmap, int x, int rowTop, int pitch)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, rowTop + (pitch - info.bmHeight) / 2, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

bool RegisterListClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kClassName, &existing))
        return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

CResultList::~CResultList()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    FreeBitmaps();
}

void CResultList::FreeBitmaps()
{
    for (HBITMAP* bitmap : {&passedMark_, &currentMark_, &failedMark_}) {
        if (*bitmap)
            DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
}

bool CResultList::Create(HWND parent, const RECT& rect, int id)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    if (hwnd_ || !RegisterListClass(instance, WindowProc))
        return false;
    FreeBitmaps();
    passedMark_ = LoadMark(instance, IDB_MARK_PASSED);
    currentMark_ = LoadMark(instance, IDB_MARK_CURRENT);
    failedMark_ = LoadMark(instance, IDB_MARK_FAILED);
    hwnd_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    UpdateScrollRange();
    return hwnd_ != nullptr;
}

void CResultList::AddItem(const std::string& text)
{
    Item item;
    item.text = text;
    items_.push_back(item);
    Changed();
}

void CResultList::Clear()
{
    items_.clear();
    scrollTop_ = 0;
    Changed();
}

void CResultList::SetResult(int index, bool passed, bool failed)
{
    if (index < 0 || index >= GetCount())
        return;
    items_[index].passed = passed;
    items_[index].failed = failed;
    Changed();
}

void CResultList::SetCurrent(int index, bool on)
{
    if (index < 0 || index >= GetCount())
        return;
    items_[index].current = on;
    Changed();
}

void CResultList::Changed()
{
    if (!hwnd_)
        return;
    UpdateScrollRange();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// Row pitch: the height of "A" in the window's own (default) font times 1.3.
int CResultList::RowPitch(HDC dc, int* textHeight) const
{
    SIZE size = {};
    GetTextExtentPoint32A(dc, "A", 1, &size);
    if (textHeight)
        *textHeight = size.cy;
    return size.cy * 13 / 10;
}

void CResultList::UpdateScrollRange()
{
    if (!hwnd_)
        return;
    HDC dc = GetDC(hwnd_);
    const int pitch = RowPitch(dc, nullptr);
    ReleaseDC(hwnd_, dc);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int height = GetCount() * pitch + kTopMargin;
    const int page = client.bottom - client.top;
    if (scrollTop_ > height - page)
        scrollTop_ = height > page ? height - page : 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = height - 1;
    info.nPage = static_cast<UINT>(page > 0 ? page : 0);
    info.nPos = scrollTop_;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void CResultList::Scroll(int code, int thumb)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, SB_VERT, &info);
    int top = scrollTop_;
    const int line = 16;
    switch (code) {
    case SB_LINEUP: top -= line; break;
    case SB_LINEDOWN: top += line; break;
    case SB_PAGEUP: top -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: top += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = thumb; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = info.nMax; break;
    default: return;
    }
    const int last = info.nMax + 1 - static_cast<int>(info.nPage);
    if (top > last)
        top = last;
    if (top < 0)
        top = 0;
    if (top == scrollTop_)
        return;
    scrollTop_ = top;
    SetScrollPos(hwnd_, SB_VERT, top, TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void CResultList::Paint(HDC dc)
{
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    int textHeight = 0;
    const int pitch = RowPitch(dc, &textHeight);
    HFONT normal = CreateItemFont(dc, FW_NORMAL);
    HFONT bold = CreateItemFont(dc, FW_BOLD);
    HGDIOBJ oldFont = SelectObject(dc, normal);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < GetCount(); ++i) {
        const Item& item = items_[i];
        const int top = i * pitch + kTopMargin - scrollTop_;
        if (item.current)
            DrawMark(dc, currentMark_, kMarkX, top, pitch);
        else if (item.passed)
            DrawMark(dc, passedMark_, kMarkX, top, pitch);
        else if (item.failed)
            DrawMark(dc, failedMark_, kMarkX, top, pitch);
        SelectObject(dc, item.current ? bold : normal);
        TextOutA(dc, kTextX, top + (pitch - textHeight) / 2, item.text.c_str(),
                 static_cast<int>(item.text.size()));
    }
    SelectObject(dc, oldFont);
    DeleteObject(normal);
    DeleteObject(bold);
}

LRESULT CALLBACK CResultList::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<CResultList*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* list = reinterpret_cast<CResultList*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!list)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        list->hwnd_ = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    try {
        return list->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        return 0;  // no exception may leave a window procedure
    }
}

LRESULT CResultList::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd_, &paint);
        Paint(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_SIZE:
        UpdateScrollRange();
        return 0;
    case WM_VSCROLL:
        Scroll(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case RLM_GETCOUNT:
        return GetCount();
    case RLM_GETMARKS: {
        const int index = static_cast<int>(wParam);
        if (index < 0 || index >= GetCount())
            return -1;
        const Item& item = items_[index];
        return (item.passed ? RL_MARK_PASSED : 0) | (item.current ? RL_MARK_CURRENT : 0) |
               (item.failed ? RL_MARK_FAILED : 0);
    }
    default:
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}
