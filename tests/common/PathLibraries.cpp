// Two libraries for the test of LoadLibraryByPath, built from this file:
// path_helper.dll exports HelperValue; path_user.dll (PATH_USER) imports it,
// as a plug-in imports a helper that its author put beside it.
#include <windows.h>

#ifdef PATH_USER
extern "C" __declspec(dllimport) int HelperValue();

extern "C" __declspec(dllexport) int UserValue()
{
    return HelperValue() + 1;
}
#else
extern "C" __declspec(dllexport) int HelperValue()
{
    return 41;
}
#endif
