#include "UiDriver.h"

#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <vector>

namespace uidriver {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

bool IsDialog(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    return lstrcmpA(className, "#32770") == 0;
}

// A dialog that answers PSM_GETCURRENTPAGEHWND with a page.
bool IsPropertySheet(HWND window)
{
    return Send(window, PSM_GETCURRENTPAGEHWND) != 0;
}

struct FindRecord
{
    DWORD processId;
    bool propertySheet;  // look for a property sheet, else for a plain dialog
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    auto* record = reinterpret_cast<FindRecord*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((record->processId == 0 || owner == record->processId) && IsWindowVisible(window) &&
        IsDialog(window) && IsPropertySheet(window) == record->propertySheet) {
        record->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(DWORD processId, bool propertySheet)
{
    FindRecord record = {processId, propertySheet, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&record));
    return record.found;
}

int ButtonId(WizardButton button)
{
    switch (button) {
    case WizardButton::Back: return 0x3023;
    case WizardButton::Next: return 0x3024;
    case WizardButton::Finish: return 0x3025;
    case WizardButton::Cancel: return IDCANCEL;
    }
    return 0;
}

}  // namespace

HWND FindWizard(DWORD processId)
{
    return FindTopLevel(processId, true);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

HWND WaitForWizard(DWORD processId, DWORD timeoutMs)
{
    HWND sheet = nullptr;
    WaitFor([&] { return (sheet = FindWizard(processId)) != nullptr; }, timeoutMs);
    return sheet;
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND));
}

int PageCount(HWND sheet)
{
    HWND tab = reinterpret_cast<HWND>(Send(sheet, PSM_GETTABCONTROL));
    return tab ? static_cast<int>(Send(tab, TCM_GETITEMCOUNT)) : 0;
}

int CurrentPageIndex(HWND sheet)
{
    HWND tab = reinterpret_cast<HWND>(Send(sheet, PSM_GETTABCONTROL));
    return tab ? static_cast<int>(Send(tab, TCM_GETCURSEL)) : -1;
}

HWND PageControl(HWND sheet, int controlId)
{
    HWND page = CurrentPage(sheet);
    return page ? GetDlgItem(page, controlId) : nullptr;
}

std::string Text(HWND window)
{
    if (!window)
        return "";
    // WM_GETTEXT is copied between processes by the system, so the text of
    // an edit control of another program can be read this way.
    std::vector<char> text(4096, '\0');
    LRESULT length = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (length < 0)
        length = 0;
    return std::string(text.data(), static_cast<size_t>(length));
}

std::string ControlText(HWND sheet, int controlId)
{
    return Text(PageControl(sheet, controlId));
}

bool IsShown(HWND window)
{
    return window && IsWindowVisible(window);
}

bool IsEnabled(HWND window)
{
    return window && IsWindowEnabled(window);
}

bool IsChecked(HWND button)
{
    return button && Send(button, BM_GETCHECK) == BST_CHECKED;
}

bool Click(HWND sheet, int controlId)
{
    HWND control = PageControl(sheet, controlId);
    if (!control)
        return false;
    Send(control, BM_CLICK);
    return true;
}

bool SelectComboItem(HWND sheet, int controlId, int index)
{
    HWND combo = PageControl(sheet, controlId);
    if (!combo || Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index)) != index)
        return false;
    Send(CurrentPage(sheet), WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
    return true;
}

void Press(HWND sheet, WizardButton button)
{
    int psbtn = button == WizardButton::Back   ? PSBTN_BACK
                : button == WizardButton::Next ? PSBTN_NEXT
                : button == WizardButton::Finish ? PSBTN_FINISH
                                                 : PSBTN_CANCEL;
    PostMessageA(sheet, PSM_PRESSBUTTON, psbtn, 0);
}

bool CancelAndWaitForEnd(HWND sheet, DWORD timeoutMs)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(sheet, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return false;
    Press(sheet, WizardButton::Cancel);
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

HWND ButtonWindow(HWND sheet, WizardButton button)
{
    return GetDlgItem(sheet, ButtonId(button));
}

bool ButtonEnabled(HWND sheet, WizardButton button)
{
    HWND window = ButtonWindow(sheet, button);
    return IsShown(window) && IsEnabled(window);
}

namespace {

BOOL CALLBACK DescribeProc(HWND control, LPARAM param)
{
    auto* out = reinterpret_cast<std::string*>(param);
    if (!IsWindowVisible(control))
        return TRUE;
    char line[600];
    std::snprintf(line, sizeof(line), "  [%d]%s %s\n", GetDlgCtrlID(control),
                  IsWindowEnabled(control) ? "" : " (disabled)", Text(control).c_str());
    *out += line;
    return TRUE;
}

}  // namespace

std::string Describe(HWND sheet)
{
    if (!sheet)
        return "no wizard\n";
    char line[300];
    std::snprintf(line, sizeof(line), "wizard \"%s\": page %d of %d; buttons:%s%s%s%s\n",
                  Text(sheet).c_str(), CurrentPageIndex(sheet) + 1, PageCount(sheet),
                  ButtonEnabled(sheet, WizardButton::Back) ? " Back" : "",
                  ButtonEnabled(sheet, WizardButton::Next) ? " Next" : "",
                  ButtonEnabled(sheet, WizardButton::Finish) ? " Finish" : "",
                  ButtonEnabled(sheet, WizardButton::Cancel) ? " Cancel" : "");
    std::string out = line;
    if (HWND page = CurrentPage(sheet))
        EnumChildWindows(page, DescribeProc, reinterpret_cast<LPARAM>(&out));
    return out;
}

// ---- Plain dialogs and message boxes ----------------------------------------

namespace {

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool IsPushButton(HWND window)
{
    if (lstrcmpiA(ClassOf(window).c_str(), "Button") != 0)
        return false;
    LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Lower case without "&" marks.
std::string Plain(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c != '&')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The direct children of `dialog` in window order.
std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

}  // namespace

HWND FindDialog(DWORD processId)
{
    return FindTopLevel(processId, false);
}

HWND WaitForDialog(DWORD processId, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialog(processId)) != nullptr; }, timeoutMs);
    return dialog;
}

std::string DialogText(HWND dialog)
{
    std::string text;
    for (HWND child : Children(dialog)) {
        if (!IsWindowVisible(child) || lstrcmpiA(ClassOf(child).c_str(), "Static") != 0)
            continue;
        std::string part = Text(child);
        if (part.empty())
            continue;
        if (!text.empty())
            text += "\n";
        text += part;
    }
    return text;
}

std::vector<DialogButton> DialogButtons(HWND dialog)
{
    std::vector<DialogButton> buttons;
    for (HWND child : Children(dialog)) {
        if (IsWindowVisible(child) && IsPushButton(child))
            buttons.push_back({GetDlgCtrlID(child), Text(child), IsWindowEnabled(child) != FALSE});
    }
    return buttons;
}

int FindDialogButton(HWND dialog, const std::string& text)
{
    for (const DialogButton& button : DialogButtons(dialog)) {
        if (Plain(button.text) == Plain(text))
            return button.id;
    }
    return 0;
}

bool PressDialogButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button))
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

std::string DescribeDialog(HWND dialog)
{
    if (!dialog)
        return "no dialog\n";
    std::string out = "dialog \"" + Text(dialog) + "\"\n";
    std::string text = DialogText(dialog);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        out += "  " + text.substr(start, end - start) + "\n";
        start = end + 1;
    }
    out += "  buttons:";
    for (const DialogButton& button : DialogButtons(dialog)) {
        char line[300];
        std::snprintf(line, sizeof(line), " [%d]%s %s", button.id, button.enabled ? "" : " (disabled)",
                      button.text.c_str());
        out += line;
    }
    return out + "\n";
}

bool SaveScreenArea(const RECT& area, const std::string& path)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    bool ok = bitmap && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4d42;  // "BM"
        file.bfOffBits = sizeof(file) + sizeof(header);
        file.bfSize = file.bfOffBits + header.biSizeImage;
        FILE* out = std::fopen(path.c_str(), "wb");
        ok = out && std::fwrite(&file, sizeof(file), 1, out) == 1 &&
             std::fwrite(&header, sizeof(header), 1, out) == 1 &&
             std::fwrite(bits, 1, header.biSizeImage, out) == header.biSizeImage;
        if (out)
            ok = std::fclose(out) == 0 && ok;
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveScreenshot(const std::string& path)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return SaveScreenArea(screen, path);
}

}  // namespace uidriver
