#include "MessageBox.h"

#include <atomic>

namespace {

std::atomic<MessageBoxHandler> g_handler{nullptr};

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler)
{
    g_handler = handler;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (MessageBoxHandler handler = g_handler.load())
        return handler(text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

namespace {

BOOL CALLBACK CloseBoxOfThread(HWND window, LPARAM)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    // The box's default button, as if Enter was pressed.
    const LRESULT defaultId = SendMessageA(window, DM_GETDEFID, 0, 0);
    const WORD id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return FALSE;
}

// A thread timer: its message reaches this procedure through the box's
// modal loop, on the thread that shows the box.
void CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), CloseBoxOfThread, 0);
}

}  // namespace

int ShowClosingMessageBox(HWND owner, const char* text, const char* caption, UINT type, DWORD closeAfterMs)
{
    if (MessageBoxHandler handler = g_handler.load())
        return handler(text, caption, type);
    const UINT_PTR timer = SetTimer(nullptr, 0, closeAfterMs, CloseBoxTimer);
    const int answer = MessageBoxA(owner, text, caption, type);
    if (timer != 0)
        KillTimer(nullptr, timer);
    return answer;
}
