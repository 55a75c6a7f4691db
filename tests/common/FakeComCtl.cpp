// Stand-in for comctl32.dll with a chosen DllGetVersion behaviour, selected at
// build time: FAKE_MINOR reports 5.FAKE_MINOR, FAKE_FAILS answers E_FAIL,
// FAKE_NO_EXPORT has no DllGetVersion at all.
#include <windows.h>
#include <shlwapi.h>

#ifndef FAKE_NO_EXPORT
extern "C" __declspec(dllexport) HRESULT CALLBACK DllGetVersion(DLLVERSIONINFO* info)
{
#ifdef FAKE_FAILS
    (void)info;
    return E_FAIL;
#else
    if (!info || info->cbSize != 20)
        return E_INVALIDARG;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = FAKE_MINOR;
    info->dwBuildNumber = 0;
    info->dwPlatformID = DLLVER_PLATFORM_NT;
    return S_OK;
#endif
}
#endif

extern "C" __declspec(dllexport) int FakeComCtlPresent()
{
    return 1;
}
