#include "WindowsFamily.h"

#include <windows.h>

bool IsNtFamily()
{
    // Only a version record that names the Windows 95/98/Me platform means
    // that family; a record that cannot be read counts as the NT family.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return !GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS;
}
