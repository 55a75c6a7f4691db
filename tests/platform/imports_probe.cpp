// Two tiny programs for the import check itself: built plain, it imports
// only what the shipped programs may; built with BAD_IMPORTS, it also
// imports comctl32 (with a function Windows 95 lacks) and version.dll, as a
// program that called them directly would.
#include <windows.h>

#ifdef BAD_IMPORTS
#include <commctrl.h>
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
#ifdef BAD_IMPORTS
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    DWORD unused = 0;
    if (commandLine[0] == '-')
        return InitCommonControlsEx(&controls) + static_cast<int>(GetFileVersionInfoSizeA(commandLine, &unused));
#endif
    return MessageBoxA(nullptr, commandLine, "imports", MB_OK);
}
