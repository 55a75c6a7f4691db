// The version-resource functions of version.dll. version.dll is not a Known
// DLL on every current Windows, so setup does not import it: it is loaded
// from the system folder on first use (see DllSearch.h).
#pragma once

#include <windows.h>

struct VersionLibrary
{
    decltype(&GetFileVersionInfoSizeA) getFileVersionInfoSize = nullptr;
    decltype(&GetFileVersionInfoA) getFileVersionInfo = nullptr;
    decltype(&VerQueryValueA) verQueryValue = nullptr;

    // All three entry points exist.
    bool Complete() const { return getFileVersionInfoSize && getFileVersionInfo && verQueryValue; }
};

// The entry points, looked up once (thread-safe); all null when the library
// cannot be loaded.
const VersionLibrary& Version();
