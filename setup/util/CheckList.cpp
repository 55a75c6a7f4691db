#include "CheckList.h"

#include "BufCopy.h"
#include "CommonControls.h"

#include <vector>

namespace {

// One registered list box. The records live in one program-wide list, kept
// on the dialog thread; a record goes when its list box is destroyed, so
// that a later window with the same handle is not mistaken for it.
struct CheckListRecord
{
    HWND list;
    WNDPROC previous;
    HIMAGELIST images;
    int checkedImage;
    int uncheckedImage;
};

std::vector<CheckListRecord>& Records()
{
    static std::vector<CheckListRecord> records;
    return records;
}

const CheckListRecord* RecordOf(HWND list)
{
    for (const CheckListRecord& record : Records()) {
        if (record.list == list)
            return &record;
    }
    return nullptr;
}

// Item data of `row`; false for a row that does not exist.
bool RowData(HWND list, int row, DWORD* data)
{
    if (row < 0)
        return false;
    LRESULT value = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    if (value == LB_ERR)
        return false;
    *data = static_cast<DWORD>(value);
    return true;
}

void RedrawRow(HWND list, int row)
{
    RECT rect;
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        InvalidateRect(list, &rect, FALSE);
}

// Puts the toggle of `row` to the owning dialog and carries it out unless
// the dialog refuses.
void ToggleRow(HWND list, int row)
{
    DWORD data = 0;
    if (!RowData(list, row, &data))
        return;
    const int newState = (data & 0xFFFF) == 0 ? 1 : 0;
    HWND owner = GetParent(list);
    const WORD id = static_cast<WORD>(GetDlgCtrlID(list));
    SetWindowLongPtrA(owner, DWLP_MSGRESULT, 0);
    SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, kCheckListChanging), MAKELPARAM(row, newState));
    if (GetWindowLongPtrA(owner, DWLP_MSGRESULT) == 0)
        SetCheckListState(list, row, newState);
}

// A left-button release over the check box of a row (the square at the
// row's left end) toggles that row.
void ClickAt(HWND list, LPARAM position)
{
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ClientToScreen(list, &point);
    const int row = comctl::LBItemFromPt(list, point, FALSE);
    RECT rect;
    if (row < 0 ||
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
        return;
    rect.right = rect.left + (rect.bottom - rect.top);
    ScreenToClient(list, &point);
    if (PtInRect(&rect, point))
        ToggleRow(list, row);
}

LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    const CheckListRecord* record = RecordOf(list);
    if (!record)
        return DefWindowProcA(list, message, wParam, lParam);
    const WNDPROC previous = record->previous;
    if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR)
            ToggleRow(list, static_cast<int>(selected));
    } else if (message == WM_LBUTTONUP) {
        ClickAt(list, lParam);
    } else if (message == WM_NCDESTROY) {
        auto& records = Records();
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (it->list == list) {
                records.erase(it);
                break;
            }
        }
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return CallWindowProcA(previous, list, message, wParam, lParam);
}

}  // namespace

int MakeCheckList(HWND list, HIMAGELIST images, int uncheckedImage, int checkedImage)
{
    if (!IsWindow(list) || RecordOf(list)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    Records().push_back({list, nullptr, images, checkedImage, uncheckedImage});
    LONG_PTR previous = SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListProc));
    if (previous == 0) {
        Records().pop_back();
        return 0;
    }
    Records().back().previous = reinterpret_cast<WNDPROC>(previous);
    return 1;
}

int CheckListState(HWND list, int row)
{
    DWORD data = 0;
    return RowData(list, row, &data) ? static_cast<int>(data & 0xFFFF) : 0;
}

int CheckListDimmed(HWND list, int row)
{
    DWORD data = 0;
    return RowData(list, row, &data) ? static_cast<int>(data >> 24) : 0;
}

int SetCheckListState(HWND list, int row, int state)
{
    DWORD data = 0;
    if (!RowData(list, row, &data))
        return 0;
    data = (data & 0xFFFF0000u) | (static_cast<DWORD>(state) & 0xFFFF);
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
    RedrawRow(list, row);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), kCheckListChanged),
                 MAKELPARAM(row, state));
    return 1;
}

int SetCheckListImage(HWND list, int row, int image, int dimmed)
{
    DWORD data = 0;
    if (!RowData(list, row, &data))
        return 0;
    data = (data & 0xFFFF) | ((static_cast<DWORD>(image) & 0xFF) << 16) | ((static_cast<DWORD>(dimmed) & 0xFF) << 24);
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
    RedrawRow(list, row);
    return 1;
}

void DrawCheckListRow(HWND, HWND list, const DRAWITEMSTRUCT* item)
{
    const CheckListRecord* record = RecordOf(list);
    if (!record || item->itemID == static_cast<UINT>(-1))
        return;
    HDC dc = item->hDC;
    const RECT& rect = item->rcItem;
    const bool highlighted = (item->itemState & ODS_SELECTED) && (item->itemState & ODS_FOCUS);
    const int background = highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    FillRect(dc, &rect, GetSysColorBrush(background));

    const DWORD data = static_cast<DWORD>(item->itemData);
    const bool dimmed = (data >> 24) != 0;
    int imageWidth = 16, imageHeight = 16;
    comctl::ImageListGetIconSize(record->images, &imageWidth, &imageHeight);
    comctl::ImageListDraw(record->images, (data & 0xFFFF) ? record->checkedImage : record->uncheckedImage, dc,
                   rect.left + 1, rect.top + 1, ILD_TRANSPARENT);
    comctl::ImageListDrawEx(record->images, static_cast<int>((data >> 16) & 0xFF), dc, rect.left + imageWidth + 1,
                     rect.top + 1, 0, 0, CLR_NONE, dimmed ? GetSysColor(background) : CLR_DEFAULT,
                     ILD_TRANSPARENT | (dimmed ? ILD_BLEND50 : 0));

    char text[256] = "";
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, item->itemID, 0);
    if (length != LB_ERR && length < static_cast<LRESULT>(sizeof(text))) {
        SendMessageA(list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
    } else if (length != LB_ERR) {
        std::vector<char> whole(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(whole.data()));
        BufSet(text, sizeof(text), whole.data());  // cut to 255 characters
    }
    RECT textRect = {rect.left + 2 * imageWidth + 4, rect.top + 1, rect.right - 1, rect.bottom - 1};
    const COLORREF oldText = SetTextColor(
        dc, GetSysColor(dimmed ? COLOR_GRAYTEXT : highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(background));
    DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);

    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rect);
}

void MeasureCheckListRow(HWND, MEASUREITEMSTRUCT* item, int imageHeight)
{
    item->itemHeight = static_cast<UINT>(imageHeight + 2);
}
