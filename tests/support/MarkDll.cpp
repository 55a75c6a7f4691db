// A stand-in for a system DLL, planted where the programs must not take
// DLLs from (PlantedDlls.h). Loaded into a process, it leaves a mark file
// that names itself and the program, and refuses to load, so that the
// program cannot run on with it.
#include "PlantedDlls.h"

#include <cstdio>
#include <cstring>

using testsupport::kMarkFolder;

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char dll[MAX_PATH] = "";
    char program[MAX_PATH] = "";
    GetModuleFileNameA(self, dll, sizeof(dll));
    GetModuleFileNameA(nullptr, program, sizeof(program));
    const char* slash = std::strrchr(dll, '\\');
    char mark[MAX_PATH];
    std::snprintf(mark, sizeof(mark), "%s\\%s-%lu.mark", kMarkFolder, slash ? slash + 1 : dll,
                  GetCurrentProcessId());
    CreateDirectoryA(kMarkFolder, nullptr);
    HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char text[2 * MAX_PATH + 8];
        const int length = std::snprintf(text, sizeof(text), "%s\n%s\n", dll, program);
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
    }
    return FALSE;
}
