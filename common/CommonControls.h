// comctl32 for both programs: class registration and the entry points the
// programs call. comctl32 is not a Known DLL, so the programs do not import
// it (a static import would take it, and under Wine the theme library with
// it, from the program's folder before WinMain runs); it is loaded on first
// use, after the DLL search has been restricted, through
// LoadCommonControlsLibrary. Every function answers with its documented
// failure value when the library or the entry point is missing.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Registers the Windows 95 common control classes. InitCommonControlsEx
// exists only from comctl32 4.70 on; an older library gets
// InitCommonControls, which registers the same classes.
void InitCommonControlClasses();

namespace comctl {

INT_PTR PropertySheet(const PROPSHEETHEADERA* header);  // -1 without the library
HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow);
HIMAGELIST ImageListLoadImage(HINSTANCE module, const char* name, int width, int grow, COLORREF mask, UINT type,
                              UINT flags);
BOOL ImageListDestroy(HIMAGELIST list);
HICON ImageListGetIcon(HIMAGELIST list, int index, UINT flags);
int ImageListAddIcon(HIMAGELIST list, HICON icon);  // -1 when it fails
int ImageListAddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask);
BOOL ImageListGetIconSize(HIMAGELIST list, int* width, int* height);
BOOL ImageListDraw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageListDrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                     COLORREF foreground, UINT style);
int LBItemFromPt(HWND list, POINT point, BOOL autoScroll);  // -1 when it fails
HBITMAP CreateMappedBitmap(HINSTANCE module, INT_PTR id, UINT flags, COLORMAP* colours, int count);

}  // namespace comctl
