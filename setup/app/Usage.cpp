#include "Usage.h"

#include "LoadExpandedString.h"
#include "MessageBoxes.h"
#include "resource.h"

#include <cstring>

namespace {

// Bytes of the usage text: its longest translation is about 1.3 kB.
const size_t kUsageSize = 4096;

bool WriteAll(HANDLE out, const char* text, size_t length)
{
    DWORD written = 0;
    return WriteFile(out, text, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

// Standard output when the caller handed one over (a redirection, a pipe
// of a deployment tool); else the console of the caller (a command prompt
// starting a windowed program keeps its console), converted to the
// console's OEM code page. False when there is neither.
bool WriteToCaller(char* text)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const size_t length = std::strlen(text);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN &&
        GetFileType(out) != FILE_TYPE_CHAR)
        return WriteAll(out, text, length);
    // AttachConsole came with Windows XP: looked up, so that the program
    // still starts on older systems (which show the box).
    using AttachConsoleFn = BOOL(WINAPI*)(DWORD);
    auto attach = reinterpret_cast<AttachConsoleFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "AttachConsole")));
    if (attach == nullptr || !attach(static_cast<DWORD>(-1)))  // ATTACH_PARENT_PROCESS
        return false;
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    bool written = false;
    if (console != INVALID_HANDLE_VALUE) {
        CharToOemBuffA(text, text, static_cast<DWORD>(length));
        DWORD count = 0;
        written = WriteConsoleA(console, text, static_cast<DWORD>(length), &count, nullptr) != FALSE;
        CloseHandle(console);
    }
    FreeConsole();
    return written;
}

}  // namespace

void ShowUsage(HINSTANCE module)
{
    char text[kUsageSize] = "";
    LoadExpandedString(module, IDS_USAGE, text, static_cast<int>(sizeof(text)));
    if (WriteToCaller(text))
        return;
    char caption[256] = "";
    LoadExpandedString(module, IDS_PRODUCT_TITLE, caption, static_cast<int>(sizeof(caption)));
    ShowMessageBox(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}
