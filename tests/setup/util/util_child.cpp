// Child program of the process-start tests. It writes its command line and
// current directory to the file named by UTIL_CHILD_REPORT, then:
//   exit N   after 300 ms writes the report and ends with exit code N
//   idle     after 500 ms writes the report, then opens a hidden window of
//            class "UtilChildIdle" and waits for messages until it is closed
//            (or 10 s); its first idle moment comes after the report
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteReport()
{
    char path[MAX_PATH], dir[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("UTIL_CHILD_REPORT", path, sizeof(path)))
        return;
    GetCurrentDirectoryA(sizeof(dir), dir);
    const std::string text = std::string(GetCommandLineA()) + "\n" + dir + "\n";
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER || message == WM_CLOSE)
        DestroyWindow(window);
    else if (message == WM_DESTROY)
        PostQuitMessage(0);
    else
        return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const bool idle = __argc >= 2 && std::strcmp(__argv[1], "idle") == 0;
    Sleep(idle ? 500 : 300);
    WriteReport();
    if (!idle)
        return __argc >= 3 ? std::atoi(__argv[2]) : 0;
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
