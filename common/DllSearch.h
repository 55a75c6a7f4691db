// Where both programs take their DLLs from.
//
// setup.exe runs from download folders, shares and media that others can
// write to, with administrator rights, and starts mdmprobe.exe elevated.
// Windows looks for a DLL that is not a Known DLL in the program's folder
// (and, on old systems, in the current folder) before the system folder, so
// a DLL placed there would run with those rights. Therefore the programs
// import statically only DLLs that are Known DLLs on Windows 7 and 10 alike,
// restrict the search first thing in WinMain, and load every other system
// DLL through the functions below.
#pragma once

#include <windows.h>

// How RestrictDllSearch protected the process.
enum class DllSearchGuard
{
    SystemFolderOnly,  // SetDefaultDllDirectories: the search knows only the system folder
    Preloaded,         // older Windows: the current folder left the search and the system
                       // DLLs of kPreloadedLibraries were loaded from the system folder
};

// The first call of WinMain, before anything can load a DLL. Where
// SetDefaultDllDirectories exists (Windows 8 and later, Vista and 7 with
// their 2011 loader update; looked up at run time) the search is restricted
// to the system folder, and the libraries of kDelayLoadedLibraries are
// loaded from it. Elsewhere GuardByPreloading.
DllSearchGuard RestrictDllSearch();

// Libraries that system DLLs load through their delay-import tables, ended
// by a null pointer.
extern const char* const kDelayLoadedLibraries[];

// What RestrictDllSearch does where the search cannot be restricted:
// SetDllDirectoryA("") (XP SP1 and later) drops the current folder from the
// search, and the DLLs of kPreloadedLibraries, which the programs or system
// DLLs on their behalf load by bare name, are loaded now by full
// system-folder path (a missing one is skipped without an error box): a
// later load by name finds them loaded and searches nothing.
void GuardByPreloading();

// The libraries GuardByPreloading loads, ended by a null pointer;
// dependencies come before the libraries that import them.
extern const char* const kPreloadedLibraries[];

// The system DLL `name` ("riched32.dll"), loaded by its full path in the
// system folder; its own imports come from the system folder too. Null when
// it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// comctl32.dll, loaded by name so that the program's manifest can redirect
// it to the Common Controls 6 assembly. Where Windows has no activation
// contexts (95 to 2000) nothing would redirect the name, and the search has
// not been restricted there: loaded by full system-folder path instead.
HMODULE LoadCommonControlsLibrary();

// The DLL at the full `path`, which is not a system DLL (a plug-in of the
// installation medium). What it imports comes from its own folder first:
// beside it is where its author put its helpers. Where the search is
// restricted, the system folder follows; elsewhere the standard search (the
// program's folder first). Null when it cannot be loaded.
HMODULE LoadLibraryByPath(const char* path);

// The export `name` of `module` as a function of type `Function`; null when
// the module or the export is missing.
template <typename Function>
Function LibraryExport(HMODULE module, const char* name)
{
    // Through the generic function type, which converts to any other
    // without a cast-function-type warning.
    using Generic = void (*)();
    return module ? reinterpret_cast<Function>(reinterpret_cast<Generic>(GetProcAddress(module, name))) : nullptr;
}
