#include "ClassicPageLayout.h"

#include "DialogTemplate.h"

namespace {

using namespace dialogstyle;

constexpr uint32_t kNoId = 0xFFFFFFFF;  // -1; the standard layout keeps 0xFFFF

// A visible static control of the group style `kind` at x, y of size cx x cy.
NewDialogControl Static(uint32_t kind, int16_t x, int16_t y, int16_t cx, int16_t cy, uint32_t id,
                        const DialogField& title)
{
    NewDialogControl control;
    control.style = kVisible | kChild | kGroup | kind;
    control.x = x;
    control.y = y;
    control.cx = cx;
    control.cy = cy;
    control.id = id;
    control.classOrdinal = kStaticClass;
    control.title = title;
    return control;
}

}  // namespace

std::vector<uint8_t> MakeWelcomePageTemplate(const uint8_t* data, size_t size, uint16_t bitmapId)
{
    return RewriteDialogTemplate(
        data, size, -7, -14,
        {Static(kStaticBitmap | kStaticRealSizeImage, 0, 0, 95, 179, kNoId, DialogField::Ordinal(bitmapId))});
}

std::vector<uint8_t> MakeInteriorPageTemplate(const uint8_t* data, size_t size,
                                              const std::u16string& title,
                                              const std::u16string& subtitle)
{
    return RewriteDialogTemplate(
        data, size, 36, 36,
        {Static(kStaticLeftNoWordWrap, 7, 0, 310, 8, kHeaderTitleId, DialogField::Text(title)),
         Static(kStaticLeft, 21, 9, 296, 16, kHeaderSubtitleId, DialogField::Text(subtitle)),
         Static(kStaticBlackFrame | kStaticSunken, 0, 28, 317, 1, kNoId, DialogField::Text(u""))});
}
