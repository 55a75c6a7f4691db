// Reading and rebuilding dialog templates held as bytes: the standard layout
// (DLGTEMPLATE with DLGITEMTEMPLATE controls) and the extended one
// (DLGTEMPLATEEX with DLGITEMTEMPLATEEX controls), both little-endian, every
// control starting on a 4-byte boundary counted from the template's start.
// Builds without windows.h so the host tests and the fuzzer can exercise it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A field that holds either a UTF-16 text or a 16-bit ordinal (class,
// menu, title of a control).
struct DialogField
{
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string text;

    static DialogField Ordinal(uint16_t value);
    static DialogField Text(const std::u16string& value);
};

struct DialogControl
{
    size_t offset = 0;  // first byte of the control in the template
    size_t size = 0;    // bytes up to the end of its creation data (no padding)
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;  // 16 bits in the standard layout
    DialogField windowClass;
    DialogField title;
    uint16_t extraSize = 0;  // bytes of creation data behind the size word
};

struct DialogTemplate
{
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    uint16_t count = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    DialogField menu;
    DialogField windowClass;
    std::u16string title;
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::u16string typeface;
    size_t headerSize = 0;  // bytes up to the end of the header (no padding)
    std::vector<DialogControl> controls;
};

// Reads the template in `data`. False when the bytes end early or a field is
// malformed; only the `count` controls the header announces are read.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out);

// A control to add at the end of a template.
struct NewDialogControl
{
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;  // stored in 16 bits by the standard layout
    uint16_t classOrdinal = 0;
    DialogField title;
};

// A copy of the template in which every control moved down by `shift`
// dialog units (up when negative), the dialog's height changed by
// `heightChange`, and `added` follow the existing controls, the count grown
// to match. Coordinates saturate at the 16-bit limits. Empty when the
// template cannot be read or the count would pass 65535.
std::vector<uint8_t> RewriteDialogTemplate(const uint8_t* data, size_t size, int shift,
                                           int heightChange,
                                           const std::vector<NewDialogControl>& added);

// Window styles used by the classic page layout (values as Windows has them).
namespace dialogstyle {
constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kVisible = 0x10000000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kStaticLeft = 0x0000;
constexpr uint32_t kStaticLeftNoWordWrap = 0x000C;
constexpr uint32_t kStaticBlackFrame = 0x0007;
constexpr uint32_t kStaticBitmap = 0x000E;
constexpr uint32_t kStaticRealSizeImage = 0x0800;
constexpr uint32_t kStaticSunken = 0x1000;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint32_t kSetFont = 0x0040;
}  // namespace dialogstyle
