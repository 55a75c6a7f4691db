#include "CommCtlVersion.h"

#include "DllSearch.h"

#include <windows.h>
#include <shlwapi.h>

CommCtlVersion QueryCommCtlVersion(const char* library)
{
    CommCtlVersion version;
    HMODULE module = library ? LoadLibraryA(library) : LoadCommonControlsLibrary();
    if (!module)
        return version;

    version.known = true;
    version.major = 4;
    version.minor = 0;

    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    if (getVersion) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        static_assert(sizeof(DLLVERSIONINFO) == 20, "the version record is 20 bytes");
        if (SUCCEEDED(getVersion(&info))) {
            version.major = info.dwMajorVersion;
            version.minor = info.dwMinorVersion;
        }
    }
    FreeLibrary(module);
    return version;
}
