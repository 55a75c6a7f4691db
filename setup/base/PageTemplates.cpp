#include "PageTemplates.h"

#include "ClassicPageLayout.h"

#include <string>
#include <vector>

namespace {

// Room the block gets for the controls a layout adds; a larger result gets
// the room it needs.
constexpr size_t kWelcomeGrowth = 1024;
constexpr size_t kInteriorGrowth = 3072;

// The bytes of dialog resource `dialogId`, or an empty range.
bool FindDialogBytes(HINSTANCE module, UINT dialogId, const uint8_t** data, size_t* size)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
    if (!info)
        return false;
    HGLOBAL handle = LoadResource(module, info);
    *data = handle ? static_cast<const uint8_t*>(LockResource(handle)) : nullptr;
    *size = SizeofResource(module, info);
    return *data != nullptr && *size != 0;
}

// String `id` of `module` (at most 255 characters) converted from the ANSI
// code page to UTF-16.
std::u16string LoadWide(HINSTANCE module, UINT id)
{
    char text[256] = "";
    LoadStringA(module, id, text, sizeof(text));
    wchar_t wide[256] = L"";
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256);
    std::u16string out;
    for (int i = 0; i + 1 < length; ++i)
        out.push_back(static_cast<char16_t>(wide[i]));
    return out;
}

DLGTEMPLATE* ToBlock(const std::vector<uint8_t>& bytes, size_t sourceSize, size_t growth)
{
    if (bytes.empty()) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    size_t size = sourceSize + growth;
    if (size < bytes.size())
        size = bytes.size();
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    CopyMemory(block, bytes.data(), bytes.size());
    return static_cast<DLGTEMPLATE*>(block);
}

}  // namespace

DLGTEMPLATE* LoadWelcomePageTemplate(HINSTANCE module, UINT dialogId, UINT bitmapId)
{
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindDialogBytes(module, dialogId, &data, &size))
        return nullptr;
    return ToBlock(MakeWelcomePageTemplate(data, size, static_cast<uint16_t>(bitmapId)), size,
                   kWelcomeGrowth);
}

DLGTEMPLATE* LoadInteriorPageTemplate(HINSTANCE module, UINT dialogId, UINT titleId, UINT subtitleId)
{
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindDialogBytes(module, dialogId, &data, &size))
        return nullptr;
    return ToBlock(MakeInteriorPageTemplate(data, size, LoadWide(module, titleId),
                                            LoadWide(module, subtitleId)),
                   size, kInteriorGrowth);
}

void FreePageTemplate(const DLGTEMPLATE* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, const_cast<DLGTEMPLATE*>(block));
}
