// Loads DLLs the way its first argument says, for the tests of the DLL
// search (run from a folder with planted stand-ins, PlantedDlls.h):
//   plain NAME...       by bare name, nothing restricted (what a program
//                       without a guard does)
//   preloaded NAME...   GuardByPreloading, then by bare name
//   bypath PATH         RestrictDllSearch, then LoadLibraryByPath(PATH)
//   fullpath PATH       RestrictDllSearch, then LoadLibraryA(PATH)
// The exit code is the number of libraries that could not be loaded.
#include "DllSearch.h"

#include <windows.h>

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3)
        return -1;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::string mode = argv[1];
    if (mode == "bypath" || mode == "fullpath") {
        if (RestrictDllSearch() != DllSearchGuard::SystemFolderOnly)
            return -2;
    } else if (mode == "preloaded") {
        GuardByPreloading();
    } else if (mode != "plain") {
        return -1;
    }
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        HMODULE module = mode == "bypath" ? LoadLibraryByPath(argv[i]) : LoadLibraryA(argv[i]);
        if (!module)
            ++failed;
    }
    return failed;
}
