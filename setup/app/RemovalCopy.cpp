#include "RemovalCopy.h"

#include "AdminTempFolder.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "NamedLibraries.h"
#include "RemovalCopyText.h"
#include "ScriptLines.h"
#include "ScriptSections.h"
#include "TextList.h"
#include "usystem.h"

#include <windows.h>

#include <setupapi.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

typedef DWORD(WINAPI* LongPathFn)(LPCSTR, LPSTR, DWORD);

// `folder` whole: its full path with long names (GetLongPathNameA came with
// Windows 98 and 2000, so it is looked up) and no trailing backslash but a
// drive root's.
std::string WholeFolder(const char* folder)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder, sizeof(full), full, nullptr);
    if (length == 0 || length >= sizeof(full))
        BufSet(full, sizeof(full), folder);
    const auto longPath = reinterpret_cast<LongPathFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA")));
    char longer[MAX_PATH];
    std::string whole = full;
    if (longPath != nullptr && (length = longPath(full, longer, sizeof(longer))) > 0 && length < sizeof(longer))
        whole = longer;
    while (whole.size() > 3 && whole.back() == '\\')
        whole.pop_back();
    return whole;
}

std::string ErrorText(const char* what, DWORD error)
{
    return std::string(what) + " (error " + std::to_string(error) + ")";
}

// The libraries the removal may load from the program's folder: those of
// the install and remove sections and of every product's two sections.
// False, with `why`, when one of them is named with a folder: the copy
// could not take it along.
bool ScriptLibraries(const char* folder, std::vector<std::string>* files, std::string* why)
{
    const std::string path = std::string(folder) + "\\setup.inf";
    UINT line = 0;
    HINF script = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &line);
    if (script == INVALID_HANDLE_VALUE)
        return true;  // the copy fails on it as this program would
    ScriptSections sections;
    ChooseSections(script, &sections);
    std::vector<std::string> names;
    AddNamedLibraries(script, sections.install, &names);
    AddNamedLibraries(script, sections.remove, &names);
    INFCONTEXT product;
    for (BOOL more = SetupFindFirstLineA(script, sections.products, nullptr, &product); more;
         more = SetupFindNextLine(&product, &product)) {
        for (DWORD field = 2; field <= 3; ++field) {
            char section[256];
            if (ReadScriptField(&product, field, section, sizeof(section)))
                AddNamedLibraries(script, section, &names);
        }
    }
    SetupCloseInfFile(script);
    for (const std::string& name : names) {
        if (!IsPlainFileName(name.c_str())) {
            *why = "the script names the library " + name + " with a folder, which a copy cannot take along";
            return false;
        }
        files->push_back(name);
    }
    return true;
}

// Deletes the files named `files` in `folder`, then the folder.
void DeleteCopy(const char* folder, const std::vector<std::string>& files)
{
    for (const std::string& file : files)
        DeleteFileA((std::string(folder) + "\\" + file).c_str());
    RemoveDirectoryA(folder);
}

// Copies `files` of `from` into `to`; a file that is not there is left out
// (the copy misses it as this program would).
bool CopyFiles(const char* from, const std::vector<std::string>& files, const char* to, std::string* why)
{
    for (const std::string& file : files) {
        const std::string source = std::string(from) + "\\" + file;
        if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
            continue;
        if (!CopyFileA(source.c_str(), (std::string(to) + "\\" + file).c_str(), TRUE)) {
            *why = ErrorText(("the file " + source + " cannot be copied").c_str(), GetLastError());
            return false;
        }
    }
    return true;
}

// An inheritable duplicate of a standard handle, or null when there is none.
HANDLE InheritableStdHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// Starts `program` with `arguments` and the copy's switch, hands it this
// program's standard handles and show state, and waits for it.
bool StartAndWait(const std::string& program, const char* arguments, int* exitCode, std::string* why)
{
    std::string command = RemovalCopyCommand(program, arguments != nullptr ? arguments : "");
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    char current[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof(current), current);
    // The caller's current folder may be the installed one (the Start
    // menu's removal shortcut starts there): this program leaves it.
    xUtilEnterSystemFolder();

    STARTUPINFOA own = {};
    own.cb = sizeof(own);
    GetStartupInfoA(&own);
    STARTUPINFOA start = {};
    start.cb = sizeof(start);
    if (own.dwFlags & STARTF_USESHOWWINDOW) {
        start.dwFlags |= STARTF_USESHOWWINDOW;
        start.wShowWindow = own.wShowWindow;
    }
    start.hStdInput = InheritableStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = InheritableStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = InheritableStdHandle(STD_ERROR_HANDLE);
    const BOOL inherit = start.hStdInput != nullptr || start.hStdOutput != nullptr || start.hStdError != nullptr;
    if (inherit)
        start.dwFlags |= STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, inherit, 0, nullptr,
                                        length > 0 && length < sizeof(current) ? current : nullptr, &start, &process);
    const DWORD error = GetLastError();
    for (HANDLE handle : {start.hStdInput, start.hStdOutput, start.hStdError}) {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    if (!started) {
        if (length > 0 && length < sizeof(current))
            SetCurrentDirectoryA(current);  // the run goes on here, with relative log names as given
        *why = ErrorText(("the copy " + program + " cannot be started").c_str(), error);
        return false;
    }
    CloseHandle(process.hThread);
    DebugPrint(2, "setup: the removal runs from the copy %s; waiting for it\n", program.c_str());
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    *exitCode = static_cast<int>(code);
    return true;
}

}  // namespace

bool RegisteredProgram(const SetupOptions& options, char* program, size_t size)
{
    BufSet(program, size, "");
    const char* key = xUtilListEntry(options.productList, 0);
    if (!options.removeMode || key == nullptr || key[0] == '\0' || std::strchr(key, '\\') != nullptr)
        return false;
    HKEY entry;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + key).c_str(), 0, KEY_QUERY_VALUE, &entry) !=
        ERROR_SUCCESS)
        return false;
    char command[1024] = "";
    DWORD type = 0, bytes = sizeof(command) - 1;
    const LONG status =
        RegQueryValueExA(entry, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command), &bytes);
    RegCloseKey(entry);
    return status == ERROR_SUCCESS && type == REG_SZ && CommandProgram(command, program, size);
}

bool SameFolder(const char* a, const char* b)
{
    return lstrcmpiA(WholeFolder(a).c_str(), WholeFolder(b).c_str()) == 0;
}

bool OwnProgram(char* folder, size_t folderSize, char* name, size_t nameSize)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    return length > 0 && length < sizeof(path) && SplitProgramPath(path, folder, folderSize, name, nameSize);
}

bool RemoveFromCopy(const SetupOptions& options, const char* arguments, int* exitCode, std::string* why)
{
    why->clear();
    char registered[MAX_PATH], registeredFolder[MAX_PATH], registeredName[MAX_PATH];
    char ownFolder[MAX_PATH], ownName[MAX_PATH];
    if (!options.removeMode || options.removalCopy || !xUtilIsWinNT() ||
        !RegisteredProgram(options, registered, sizeof(registered)) ||
        !SplitProgramPath(registered, registeredFolder, sizeof(registeredFolder), registeredName,
                          sizeof(registeredName)) ||
        !OwnProgram(ownFolder, sizeof(ownFolder), ownName, sizeof(ownName)) ||
        !SameFolder(ownFolder, registeredFolder))
        return false;

    std::vector<std::string> files = {ownName, "setup.inf"};
    if (!ScriptLibraries(ownFolder, &files, why))
        return false;
    char folder[MAX_PATH];
    if (!MakeAdminTempFolder(kRemovalCopyPrefix, TempParent::SystemOnly, folder, sizeof(folder))) {
        *why = ErrorText("no folder for the copy can be made in the Windows folder's Temp", GetLastError());
        return false;
    }
    if (!CopyFiles(ownFolder, files, folder, why) ||
        !StartAndWait(std::string(folder) + "\\" + ownName, arguments, exitCode, why)) {
        DeleteCopy(folder, files);
        return false;
    }
    return true;
}
