// shell32 for setup: the few entry points it calls, loaded on first use.
//
// shell32 is a Known DLL, so importing it would be safe; but a static
// import maps it (and, under Wine, its helpers shlwapi and shcore) into
// every run before WinMain, while only shortcuts, programs started through
// the shell, icons of installed files and the folder browser need it. A
// plain unattended installation never does. The library is loaded from the
// system folder by full path (LoadSystemLibrary) the first time one of the
// functions below is called, on any thread, and stays loaded. Every
// function answers like the shell32 function of its name; without the
// library or the entry point it answers with that function's failure value
// and ERROR_PROC_NOT_FOUND as the last error.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

namespace shell {

UINT ExtractIconEx(const char* file, int index, HICON* large, HICON* small, UINT icons);  // 0 on failure
LPITEMIDLIST BrowseForFolder(BROWSEINFOA* info);
BOOL GetPathFromIDList(LPCITEMIDLIST item, char* path);
void ChangeNotify(LONG event, UINT flags, const void* item1, const void* item2);
HINSTANCE Execute(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                  int show);  // a value of 32 or less on failure
BOOL ExecuteEx(SHELLEXECUTEINFOA* info);

}  // namespace shell
