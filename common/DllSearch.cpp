#include "DllSearch.h"

#include "BufCopy.h"

#include <cstring>

namespace {

// LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR and LOAD_LIBRARY_SEARCH_SYSTEM32, which
// the headers for older Windows lack.
constexpr DWORD kSearchDllLoadDir = 0x00000100;
constexpr DWORD kSearchSystem32 = 0x00000800;

// Set once by RestrictDllSearch, before any other thread exists.
bool g_systemFolderOnly = false;

// "<system folder>\<name>" into `path`; false when it does not fit (a cut
// path would name another file).
bool SystemLibraryPath(const char* name, char* path, size_t size)
{
    const UINT length = GetSystemDirectoryA(path, static_cast<UINT>(size));
    if (length == 0 || length + 1 + std::strlen(name) >= size)
        return false;
    BufAppend(path, size, "\\");
    BufAppend(path, size, name);
    return true;
}

}  // namespace

// What the programs, and system DLLs on their behalf, load by bare name
// after start-up: traced under Wine (+loaddll) through an unattended
// installation and an automatic modem test, and what the same system DLLs
// load by name on Windows XP to 7 (the theme's and the desktop window
// manager's libraries, the loader's and the security functions' helpers, the
// shell's property system, rich edit's line services). Known DLLs are left
// out: they never come from the program's folder.
const char* const kPreloadedLibraries[] = {
    "version.dll", "userenv.dll",  "cryptbase.dll", "apphelp.dll",  "ntmarta.dll", "dwmapi.dll",
    "uxtheme.dll", "msimg32.dll",  "comctl32.dll",  "propsys.dll",  "oleacc.dll",  "usp10.dll",
    "msls31.dll",  "riched20.dll", "riched32.dll",  "cabinet.dll",  nullptr};

// Libraries that Known DLLs take through their delay-import tables: the
// Setup API's cabinet library, and the drawing library of the controls.
// Some loaders resolve delay imports with the standard search even after
// the restriction (Wine 8 does), so they are loaded from the system folder
// at once, where the delay import finds them loaded.
const char* const kDelayLoadedLibraries[] = {"msimg32.dll", "cabinet.dll", nullptr};

DllSearchGuard RestrictDllSearch()
{
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    auto setDefaultDirectories =
        LibraryExport<SetDefaultDirectories>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefaultDirectories && setDefaultDirectories(kSearchSystem32)) {
        g_systemFolderOnly = true;
        for (const char* const* name = kDelayLoadedLibraries; *name; ++name)
            LoadSystemLibrary(*name);
        return DllSearchGuard::SystemFolderOnly;
    }
    GuardByPreloading();
    return DllSearchGuard::Preloaded;
}

void GuardByPreloading()
{
    using SetDirectory = BOOL(WINAPI*)(const char*);
    if (auto setDirectory = LibraryExport<SetDirectory>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA"))
        setDirectory("");
    for (const char* const* name = kPreloadedLibraries; *name; ++name) {
        if (std::strcmp(*name, "comctl32.dll") == 0)
            LoadCommonControlsLibrary();  // the manifest's assembly where there is one
        else
            LoadSystemLibrary(*name);
    }
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    if (!SystemLibraryPath(name, path, sizeof(path)))
        return nullptr;
    // Without the restricted search, the altered search path takes the
    // library's own imports from its folder (the system folder) first
    // instead of from the program's folder. With it, the system folder is
    // all there is.
    const DWORD flags = g_systemFolderOnly ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH;
    // A library that is missing on this Windows must not stop the program
    // with an error box.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExA(path, nullptr, flags);
    SetErrorMode(previous);
    return module;
}

HMODULE LoadCommonControlsLibrary()
{
    const bool activationContexts = LibraryExport<FARPROC>(GetModuleHandleA("kernel32.dll"), "CreateActCtxA");
    if (g_systemFolderOnly || activationContexts)
        return LoadLibraryA("comctl32.dll");
    return LoadSystemLibrary("comctl32.dll");
}

HMODULE LoadLibraryByPath(const char* path)
{
    if (g_systemFolderOnly)
        return LoadLibraryExA(path, nullptr, kSearchDllLoadDir | kSearchSystem32);
    return LoadLibraryA(path);
}
