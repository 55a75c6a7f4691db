#include "VersionLibrary.h"

#include "DllSearch.h"

const VersionLibrary& Version()
{
    static const VersionLibrary library = [] {
        VersionLibrary table;
        HMODULE module = LoadSystemLibrary("version.dll");
        table.getFileVersionInfoSize =
            LibraryExport<decltype(table.getFileVersionInfoSize)>(module, "GetFileVersionInfoSizeA");
        table.getFileVersionInfo = LibraryExport<decltype(table.getFileVersionInfo)>(module, "GetFileVersionInfoA");
        table.verQueryValue = LibraryExport<decltype(table.verQueryValue)>(module, "VerQueryValueA");
        return table;
    }();
    return library;
}
