#include "ClassicPageLayout.h"

#include "DialogTemplate.h"

namespace {

using namespace dialogstyle;

constexpr uint32_t kNoId = 0xFFFFFFFF;  // -1; the standard layout keeps 0xFFFF
constexpr uint32_t kShownChild = kVisible | kChild | kGroup;

}  // namespace

std::vector<uint8_t> MakeWelcomePageTemplate(const uint8_t* data, size_t size, uint16_t bitmapId)
{
    NewDialogControl watermark;
    watermark.style = kShownChild | kStaticBitmap | kStaticRealSizeImage;
    watermark.x = 0;
    watermark.y = 0;
    watermark.cx = 95;
    watermark.cy = 179;
    watermark.id = kNoId;
    watermark.classOrdinal = kStaticClass;
    watermark.title = DialogField::Ordinal(bitmapId);
    return RewriteDialogTemplate(data, size, -7, -14, {watermark});
}

std::vector<uint8_t> MakeInteriorPageTemplate(const uint8_t* data, size_t size,
                                              const std::u16string& title,
                                              const std::u16string& subtitle)
{
    NewDialogControl header;
    header.style = kShownChild | kStaticLeftNoWordWrap;
    header.x = 7;
    header.y = 0;
    header.cx = 310;
    header.cy = 8;
    header.id = kHeaderTitleId;
    header.classOrdinal = kStaticClass;
    header.title = DialogField::Text(title);

    NewDialogControl subheader;
    subheader.style = kShownChild | kStaticLeft;
    subheader.x = 21;
    subheader.y = 9;
    subheader.cx = 296;
    subheader.cy = 16;
    subheader.id = kHeaderSubtitleId;
    subheader.classOrdinal = kStaticClass;
    subheader.title = DialogField::Text(subtitle);

    NewDialogControl separator;
    separator.style = kShownChild | kStaticBlackFrame | kStaticSunken;
    separator.x = 0;
    separator.y = 28;
    separator.cx = 317;
    separator.cy = 1;
    separator.id = kNoId;
    separator.classOrdinal = kStaticClass;
    separator.title = DialogField::Text(u"");
    return RewriteDialogTemplate(data, size, 36, 36, {header, subheader, separator});
}
