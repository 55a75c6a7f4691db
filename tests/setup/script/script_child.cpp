// Child program of the script tests, and the file whose version resource and
// icons the reference tests read (product version 2.5.0.17, file version
// 9.8.7.6, icons 0 and 1). Started with "sleep N" it waits N ms first. It
// appends one line to the file named by SCRIPT_CHILD_REPORT:
//   <its own file name>|<arguments as received>|<current directory>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc >= 3 && std::strcmp(__argv[1], "sleep") == 0)
        Sleep(static_cast<DWORD>(std::atoi(__argv[2])));
    // The arguments: the command line after the (possibly quoted) program.
    const char* rest = GetCommandLineA();
    if (*rest == '"') {
        rest = std::strchr(rest + 1, '"');
        rest = rest != nullptr ? rest + 1 : "";
    } else {
        while (*rest != '\0' && *rest != ' ')
            ++rest;
    }
    while (*rest == ' ')
        ++rest;
    char self[MAX_PATH] = "", dir[MAX_PATH] = "", report[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    GetCurrentDirectoryA(sizeof(dir), dir);
    if (!GetEnvironmentVariableA("SCRIPT_CHILD_REPORT", report, sizeof(report)))
        return 1;
    const std::string line = std::string(self) + "|" + rest + "|" + dir + "\n";
    HANDLE file = CreateFileA(report, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                              nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
