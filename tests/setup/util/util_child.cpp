// Child program of the process-start tests. It writes its command line and
// current directory to the file named by UTIL_CHILD_REPORT, then:
//   exit N   after 300 ms, ends with exit code N (report written at the end)
//   idle     after 500 ms, writes the report, opens a hidden window of class
//            "UtilChildIdle" and waits for messages until it is closed (or 10 s);
//            its first idle moment comes after the report
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteReport()
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("UTIL_CHILD_REPORT", path, sizeof(path)))
        return;
    char dir[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(dir), dir);
    const std::string text = std::string(GetCommandLineA()) + "\n" + dir + "\n";
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunIdle(HINSTANCE instance)
{
    Sleep(500);
    // Before the first window: creating one may already count as idle.
    WriteReport();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = IdleProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "UtilChildIdle";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("UtilChildIdle", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 10000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc >= 2 && std::strcmp(__argv[1], "idle") == 0)
        return RunIdle(instance);
    Sleep(300);
    WriteReport();
    return __argc >= 3 && std::strcmp(__argv[1], "exit") == 0 ? std::atoi(__argv[2]) : 0;
}
