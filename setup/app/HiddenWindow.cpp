#include "HiddenWindow.h"

#include "BenchTrace.h"
#include "DebugLog.h"
#include "SetupMessages.h"
#include "SetupRun.h"
#include "SetupState.h"
#include "resource.h"

namespace {

SetupState* StateOf(HWND window)
{
    return reinterpret_cast<SetupState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_CREATE:
        PostMessageA(window, WM_SETUP_START, 0, 0);
        return 0;
    case WM_SETUP_START:
        // The run shows the wizard and its boxes; nothing may escape into
        // the system's message dispatch.
        BENCH_MARK("setup-start-message");
        try {
            RunSetup(window, StateOf(window));
        } catch (...) {
            DebugErrorPrint("setup run: unexpected exception\n");
            StateOf(window)->exitCode = kExitFailed;
        }
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION: {
        SetupState* state = StateOf(window);
        if (!state || state->busy.load() == 0)
            return TRUE;
        // Files are being changed: finish the run first, restart afterwards.
        state->rebootNeeded.store(1);
        return FALSE;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateSetupWindow(HINSTANCE module, SetupState* state)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SetupWindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.lpszClassName = kSetupWindowClass;
    if (!RegisterClassA(&windowClass))
        return nullptr;
    return CreateWindowA(kSetupWindowClass, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, module,
                         state);
}
