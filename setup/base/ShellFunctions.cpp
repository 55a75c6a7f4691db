#include "ShellFunctions.h"

#include "DllSearch.h"

namespace {

// shell32's entry points; null where the library or the export is missing.
struct ShellApi
{
    decltype(&ExtractIconExA) extractIconEx = nullptr;
    decltype(&SHBrowseForFolderA) browseForFolder = nullptr;
    decltype(&SHGetPathFromIDListA) getPathFromIDList = nullptr;
    decltype(&SHChangeNotify) changeNotify = nullptr;
    decltype(&ShellExecuteA) execute = nullptr;
    decltype(&ShellExecuteExA) executeEx = nullptr;
};

// Loaded by the first caller; a function-local static is initialised once
// even when two threads arrive together.
const ShellApi& Api()
{
    static const ShellApi api = [] {
        ShellApi table;
        HMODULE module = LoadSystemLibrary("shell32.dll");
        table.extractIconEx = LibraryExport<decltype(table.extractIconEx)>(module, "ExtractIconExA");
        table.browseForFolder = LibraryExport<decltype(table.browseForFolder)>(module, "SHBrowseForFolderA");
        table.getPathFromIDList = LibraryExport<decltype(table.getPathFromIDList)>(module, "SHGetPathFromIDListA");
        table.changeNotify = LibraryExport<decltype(table.changeNotify)>(module, "SHChangeNotify");
        table.execute = LibraryExport<decltype(table.execute)>(module, "ShellExecuteA");
        table.executeEx = LibraryExport<decltype(table.executeEx)>(module, "ShellExecuteExA");
        return table;
    }();
    return api;
}

// `failure` with ERROR_PROC_NOT_FOUND as the last error.
template <typename Result>
Result Missing(Result failure)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return failure;
}

}  // namespace

namespace shell {

UINT ExtractIconEx(const char* file, int index, HICON* large, HICON* small, UINT icons)
{
    const auto function = Api().extractIconEx;
    return function ? function(file, index, large, small, icons) : Missing(0u);
}

LPITEMIDLIST BrowseForFolder(BROWSEINFOA* info)
{
    const auto function = Api().browseForFolder;
    return function ? function(info) : Missing(LPITEMIDLIST(nullptr));
}

BOOL GetPathFromIDList(LPCITEMIDLIST item, char* path)
{
    const auto function = Api().getPathFromIDList;
    return function ? function(item, path) : Missing(FALSE);
}

void ChangeNotify(LONG event, UINT flags, const void* item1, const void* item2)
{
    if (const auto function = Api().changeNotify)
        function(event, flags, item1, item2);
}

HINSTANCE Execute(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                  int show)
{
    const auto function = Api().execute;
    return function ? function(owner, verb, file, parameters, directory, show)
                    : Missing(reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND)));
}

BOOL ExecuteEx(SHELLEXECUTEINFOA* info)
{
    const auto function = Api().executeEx;
    return function ? function(info) : Missing(FALSE);
}

}  // namespace shell
