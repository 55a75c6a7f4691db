#include "PageSupport.h"

#include "BenchTrace.h"
#include "DebugLog.h"
#include "MessageBoxes.h"
#include "SetupMessages.h"
#include "resource.h"

#include <prsht.h>

namespace {

const char kRunThreadProperty[] = "SetupRunThread";

struct WizardRecord
{
    bool runFailed = false;     // the last run failed
    bool runSucceeded = false;  // some run succeeded
    bool finished = false;      // Finish was pressed
};

WizardRecord g_record;  // main thread only

void SetBusy(HWND page, bool busy)
{
    SetWindowLongPtrA(page, GWLP_USERDATA, busy ? 1 : 0);
}

}  // namespace

SetupContext* InitialContext(LPARAM initLParam)
{
    BENCH_MARK("page-created");
    return reinterpret_cast<SetupContext*>(reinterpret_cast<const PROPSHEETPAGEA*>(initLParam)->lParam);
}

HWND SheetOf(HWND page)
{
    return GetParent(page);
}

bool Unattended(const SetupContext* context)
{
    return context && context->quiet != nullptr;
}

void SetButtons(HWND page, DWORD buttons)
{
    SendMessageA(SheetOf(page), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

void PressButton(HWND page, int button)
{
    PostMessageA(SheetOf(page), PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

void EnableCancel(HWND page, bool enable)
{
    if (HWND cancel = GetDlgItem(SheetOf(page), IDCANCEL))
        EnableWindow(cancel, enable);
}

INT_PTR Answer(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

void SetControlFont(HWND page, int id, HFONT font)
{
    HWND control = GetDlgItem(page, id);
    if (control && font)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void LoadPageString(const SetupContext* context, UINT id, char* buffer, int size)
{
    buffer[0] = '\0';
    LoadStringA(context->module, id, buffer, size);
}

void ShowControl(HWND page, int id, bool show)
{
    ShowWindow(GetDlgItem(page, id), show ? SW_SHOW : SW_HIDE);
}

bool Busy(HWND page)
{
    return GetWindowLongPtrA(page, GWLP_USERDATA) == 1;
}

void BeginRun(HWND page, LPTHREAD_START_ROUTINE thread)
{
    BENCH_MARK("run-begin");
    SetButtons(page, 0);
    EnableCancel(page, false);
    SetBusy(page, true);
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, thread, page, 0, &id);
    if (!handle) {
        const DWORD error = GetLastError();
        DebugErrorPrint("wizard: the run thread could not be started\n");
        DebugReportError(error);
        PostMessageA(page, WM_SETUP_DONE, 0, static_cast<LPARAM>(error));
        return;
    }
    SetPropA(page, kRunThreadProperty, handle);
}

bool EndRun(HWND page, const SetupContext* context, WPARAM success, LPARAM error, int nextPage, UINT failedText,
            int statusControl, DWORD buttons)
{
    BENCH_MARK("run-done-received");
    EndRunThread(page);
    SetBusy(page, false);
    NoteRunEnded(success != 0);
    DebugPrint(2, "wizard: done %u %lu\n", static_cast<unsigned>(success), static_cast<unsigned long>(error));
    if (success) {
        PostMessageA(SheetOf(page), PSM_SETCURSEL, static_cast<WPARAM>(nextPage), 0);
        return true;
    }
    char text[512] = "";
    LoadPageString(context, failedText, text, sizeof(text));
    ErrorBox(page, text, static_cast<DWORD>(error), context->language);
    SetDlgItemTextA(page, statusControl, "");
    SetButtons(page, buttons);
    EnableCancel(page, true);
    if (Unattended(context))
        PressButton(page, PSBTN_CANCEL);
    return false;
}

void EndRunThread(HWND page)
{
    HANDLE handle = RemovePropA(page, kRunThreadProperty);
    if (!handle)
        return;
    // The thread posts WM_SETUP_DONE as its last act, so after that this
    // wait is short. Should the page go while the thread still works, the
    // thread's sent messages (plug-in steps) are served while waiting.
    MSG message;
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    CloseHandle(handle);
}

UINT NoteRunStatus(int code, bool removal)
{
    DebugPrint(2, "wizard: status %d 0\n", code);
    switch (code) {
    case 2:
        return IDS_STATUS_STOP_SERVICES;
    case 3:
        return removal ? IDS_STATUS_DELETE_FILES : IDS_STATUS_COPY_FILES;
    case 4:
        return IDS_STATUS_REGISTRY;
    case 5:
        return IDS_STATUS_SHORTCUTS;
    case 6:
        return IDS_STATUS_START_SERVICES;
    default:
        return 0;
    }
}

void BringSheetToTop(HWND page)
{
    HWND sheet = SheetOf(page);
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(sheet);
}

void ResetWizardRecord()
{
    g_record = WizardRecord();
}

void NoteRunEnded(bool success)
{
    g_record.runFailed = !success;
    g_record.runSucceeded = g_record.runSucceeded || success;
}

void NoteWizardFinished()
{
    g_record.finished = true;
}

bool LastRunFailed()
{
    return g_record.runFailed;
}

bool AnyRunSucceeded()
{
    return g_record.runSucceeded;
}

bool WizardFinished()
{
    return g_record.finished;
}
