#include "UiDriver.h"

#include <commctrl.h>

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

bool IsPropertySheet(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    return lstrcmpA(className, "#32770") == 0 && Send(window, PSM_GETCURRENTPAGEHWND) != 0;
}

struct FindRecord
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    auto* record = reinterpret_cast<FindRecord*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((record->processId == 0 || owner == record->processId) && IsWindowVisible(window) &&
        IsPropertySheet(window)) {
        record->found = window;
        return FALSE;
    }
    return TRUE;
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
    FindRecord record = {processId, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&record));
    return record.found;
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

void Press(HWND sheet, WizardButton button)
{
    int psbtn = button == WizardButton::Back   ? PSBTN_BACK
                : button == WizardButton::Next ? PSBTN_NEXT
                : button == WizardButton::Finish ? PSBTN_FINISH
                                                 : PSBTN_CANCEL;
    PostMessageA(sheet, PSM_PRESSBUTTON, psbtn, 0);
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

}  // namespace uidriver
