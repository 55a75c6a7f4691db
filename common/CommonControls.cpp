#include "CommonControls.h"

#include "DllSearch.h"

namespace {

// comctl32's entry points; null where the library or the export is missing.
struct CommonControlsApi
{
    decltype(&InitCommonControls) initCommonControls = nullptr;
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
    decltype(&PropertySheetA) propertySheet = nullptr;
    decltype(&ImageList_Create) imageListCreate = nullptr;
    decltype(&ImageList_LoadImageA) imageListLoadImage = nullptr;
    decltype(&ImageList_Destroy) imageListDestroy = nullptr;
    decltype(&ImageList_GetIcon) imageListGetIcon = nullptr;
    decltype(&ImageList_ReplaceIcon) imageListReplaceIcon = nullptr;
    decltype(&ImageList_AddMasked) imageListAddMasked = nullptr;
    decltype(&ImageList_GetIconSize) imageListGetIconSize = nullptr;
    decltype(&ImageList_Draw) imageListDraw = nullptr;
    decltype(&ImageList_DrawEx) imageListDrawEx = nullptr;
    decltype(&LBItemFromPt) lbItemFromPt = nullptr;
    decltype(&CreateMappedBitmap) createMappedBitmap = nullptr;
};

// Loaded on the first call, which both programs make on the main thread at
// start-up (InitCommonControlClasses); the library stays loaded.
const CommonControlsApi& Api()
{
    static const CommonControlsApi api = [] {
        CommonControlsApi table;
        HMODULE module = LoadCommonControlsLibrary();
        if (!module)
            return table;
        table.initCommonControls = LibraryExport<decltype(table.initCommonControls)>(module, "InitCommonControls");
        table.initCommonControlsEx =
            LibraryExport<decltype(table.initCommonControlsEx)>(module, "InitCommonControlsEx");
        table.propertySheet = LibraryExport<decltype(table.propertySheet)>(module, "PropertySheetA");
        table.imageListCreate = LibraryExport<decltype(table.imageListCreate)>(module, "ImageList_Create");
        table.imageListLoadImage = LibraryExport<decltype(table.imageListLoadImage)>(module, "ImageList_LoadImageA");
        table.imageListDestroy = LibraryExport<decltype(table.imageListDestroy)>(module, "ImageList_Destroy");
        table.imageListGetIcon = LibraryExport<decltype(table.imageListGetIcon)>(module, "ImageList_GetIcon");
        table.imageListReplaceIcon =
            LibraryExport<decltype(table.imageListReplaceIcon)>(module, "ImageList_ReplaceIcon");
        table.imageListAddMasked = LibraryExport<decltype(table.imageListAddMasked)>(module, "ImageList_AddMasked");
        table.imageListGetIconSize =
            LibraryExport<decltype(table.imageListGetIconSize)>(module, "ImageList_GetIconSize");
        table.imageListDraw = LibraryExport<decltype(table.imageListDraw)>(module, "ImageList_Draw");
        table.imageListDrawEx = LibraryExport<decltype(table.imageListDrawEx)>(module, "ImageList_DrawEx");
        table.lbItemFromPt = LibraryExport<decltype(table.lbItemFromPt)>(module, "LBItemFromPt");
        table.createMappedBitmap = LibraryExport<decltype(table.createMappedBitmap)>(module, "CreateMappedBitmap");
        return table;
    }();
    return api;
}

// `function(arguments...)`, or `failure` when the entry point is missing.
template <typename Function, typename Result, typename... Arguments>
Result CallOr(Function function, Result failure, Arguments... arguments)
{
    return function ? function(arguments...) : failure;
}

}  // namespace

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    if (!CallOr(Api().initCommonControlsEx, FALSE, &controls) && Api().initCommonControls)
        Api().initCommonControls();
}

namespace comctl {

INT_PTR PropertySheet(const PROPSHEETHEADERA* header)
{
    return CallOr(Api().propertySheet, INT_PTR(-1), header);
}

HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow)
{
    return CallOr(Api().imageListCreate, HIMAGELIST(nullptr), width, height, flags, initial, grow);
}

HIMAGELIST ImageListLoadImage(HINSTANCE module, const char* name, int width, int grow, COLORREF mask, UINT type,
                              UINT flags)
{
    return CallOr(Api().imageListLoadImage, HIMAGELIST(nullptr), module, name, width, grow, mask, type, flags);
}

BOOL ImageListDestroy(HIMAGELIST list)
{
    return CallOr(Api().imageListDestroy, FALSE, list);
}

HICON ImageListGetIcon(HIMAGELIST list, int index, UINT flags)
{
    return CallOr(Api().imageListGetIcon, HICON(nullptr), list, index, flags);
}

int ImageListAddIcon(HIMAGELIST list, HICON icon)
{
    return CallOr(Api().imageListReplaceIcon, -1, list, -1, icon);
}

int ImageListAddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask)
{
    return CallOr(Api().imageListAddMasked, -1, list, bitmap, mask);
}

BOOL ImageListGetIconSize(HIMAGELIST list, int* width, int* height)
{
    return CallOr(Api().imageListGetIconSize, FALSE, list, width, height);
}

BOOL ImageListDraw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style)
{
    return CallOr(Api().imageListDraw, FALSE, list, index, dc, x, y, style);
}

BOOL ImageListDrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                     COLORREF foreground, UINT style)
{
    return CallOr(Api().imageListDrawEx, FALSE, list, index, dc, x, y, width, height, background, foreground, style);
}

int LBItemFromPt(HWND list, POINT point, BOOL autoScroll)
{
    return CallOr(Api().lbItemFromPt, -1, list, point, autoScroll);
}

HBITMAP CreateMappedBitmap(HINSTANCE module, INT_PTR id, UINT flags, COLORMAP* colours, int count)
{
    return CallOr(Api().createMappedBitmap, HBITMAP(nullptr), module, id, flags, colours, count);
}

}  // namespace comctl
