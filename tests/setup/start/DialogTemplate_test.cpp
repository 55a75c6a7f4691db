// Host tests of the classic page layout over dialog templates in both
// layouts: every control moved, the dialog resized, the added controls in
// place, the count right, and broken templates refused.
#include "ClassicPageLayout.h"
#include "DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Writes templates the way the resource compiler lays them out.
class TemplateBytes
{
public:
    explicit TemplateBytes(bool extended) : extended_(extended) {}

    // Header with a font, a menu by ordinal and a caption; `count` controls.
    void Header(uint16_t count, int16_t cx, int16_t cy)
    {
        const uint32_t style = 0x40000000 | 0x00C00000 | 0x40;  // child, caption, set font
        if (extended_) {
            Word(1);
            Word(0xFFFF);
            Dword(77);  // help id
            Dword(0);
            Dword(style);
        } else {
            Dword(style);
            Dword(0);
        }
        Word(count);
        Word(0);
        Word(0);
        Word(static_cast<uint16_t>(cx));
        Word(static_cast<uint16_t>(cy));
        Word(0xFFFF);  // menu by ordinal
        Word(9);
        Word(0);  // default class
        Text(u"Caption");
        Word(8);  // points
        if (extended_) {
            Word(400);
            bytes_.push_back(0);
            bytes_.push_back(1);
        }
        Text(u"MS Shell Dlg");
    }

    // A control with a class given by name or ordinal and optional creation data.
    void Control(uint32_t id, int16_t y, const std::u16string& className, uint16_t classOrdinal,
                 const std::u16string& title, const std::vector<uint8_t>& extra = {})
    {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
        if (extended_) {
            Dword(id * 10);  // help id
            Dword(0);
            Dword(0x50000000);
        } else {
            Dword(0x50000000);
            Dword(0);
        }
        Word(5);
        Word(static_cast<uint16_t>(y));
        Word(100);
        Word(10);
        if (extended_)
            Dword(id);
        else
            Word(static_cast<uint16_t>(id));
        if (className.empty()) {
            Word(0xFFFF);
            Word(classOrdinal);
        } else {
            Text(className);
        }
        Text(title);
        Word(static_cast<uint16_t>(extra.size()));
        bytes_.insert(bytes_.end(), extra.begin(), extra.end());
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void Word(uint16_t v)
    {
        bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Dword(uint32_t v)
    {
        Word(static_cast<uint16_t>(v & 0xFFFF));
        Word(static_cast<uint16_t>(v >> 16));
    }
    void Text(const std::u16string& text)
    {
        for (char16_t c : text)
            Word(static_cast<uint16_t>(c));
        Word(0);
    }

    bool extended_;
    std::vector<uint8_t> bytes_;
};

// A page with three controls: a button class by ordinal, a named class with
// 3 bytes of creation data (so the next control needs padding), an edit.
std::vector<uint8_t> SamplePage(bool extended)
{
    TemplateBytes page(extended);
    page.Header(3, 317, 143);
    page.Control(1202, 10, u"", 0x0080, u"Text");
    page.Control(1207, 30, u"SysListView32", 0, u"", {1, 2, 3});
    page.Control(1208, -32760, u"", 0x0081, u"C:\\Apps");
    return page.Bytes();
}

DialogTemplate Parse(const std::vector<uint8_t>& bytes)
{
    DialogTemplate dialog;
    EXPECT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    return dialog;
}

// The original controls come out unchanged but for their vertical position.
void ExpectMovedBy(const DialogTemplate& before, const DialogTemplate& after, int shift)
{
    ASSERT_GE(after.controls.size(), before.controls.size());
    for (size_t i = 0; i < before.controls.size(); ++i) {
        const DialogControl& a = before.controls[i];
        const DialogControl& b = after.controls[i];
        SCOPED_TRACE("control " + std::to_string(a.id));
        int expectedY = std::max(-32768, std::min(32767, a.y + shift));
        EXPECT_EQ(expectedY, b.y);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.cx, b.cx);
        EXPECT_EQ(a.cy, b.cy);
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.helpId, b.helpId);
        EXPECT_EQ(a.style, b.style);
        EXPECT_EQ(a.windowClass.text, b.windowClass.text);
        EXPECT_EQ(a.windowClass.ordinal, b.windowClass.ordinal);
        EXPECT_EQ(a.title.text, b.title.text);
        EXPECT_EQ(a.extraSize, b.extraSize);
        EXPECT_EQ(0u, b.offset % 4);
    }
}

void ExpectHeaderKept(const DialogTemplate& before, const DialogTemplate& after)
{
    EXPECT_EQ(before.extended, after.extended);
    EXPECT_EQ(before.style, after.style);
    EXPECT_EQ(before.helpId, after.helpId);
    EXPECT_EQ(before.cx, after.cx);
    EXPECT_EQ(before.title, after.title);
    EXPECT_EQ(before.typeface, after.typeface);
    EXPECT_EQ(before.pointSize, after.pointSize);
    EXPECT_EQ(before.menu.ordinal, after.menu.ordinal);
}

class ClassicLayout : public testing::TestWithParam<bool>
{
};

TEST_P(ClassicLayout, WelcomePageMovesControlsUpAndAddsTheWatermark)
{
    const std::vector<uint8_t> source = SamplePage(GetParam());
    const DialogTemplate before = Parse(source);
    ASSERT_EQ(3u, before.controls.size());
    const std::vector<uint8_t> result = MakeWelcomePageTemplate(source.data(), source.size(), 3);
    const DialogTemplate after = Parse(result);

    ExpectHeaderKept(before, after);
    EXPECT_EQ(4, after.count);
    EXPECT_EQ(4u, after.controls.size());
    EXPECT_EQ(143 - 14, after.cy);
    ExpectMovedBy(before, after, -7);

    const DialogControl& bitmap = after.controls[3];
    EXPECT_EQ(0x50000000u | 0x00020000u | 0x0Eu | 0x0800u, bitmap.style);
    EXPECT_EQ(0, bitmap.x);
    EXPECT_EQ(0, bitmap.y);
    EXPECT_EQ(95, bitmap.cx);
    EXPECT_EQ(179, bitmap.cy);
    EXPECT_EQ(GetParam() ? 0xFFFFFFFFu : 0xFFFFu, bitmap.id);
    EXPECT_TRUE(bitmap.windowClass.isOrdinal);
    EXPECT_EQ(0x0082, bitmap.windowClass.ordinal);
    EXPECT_TRUE(bitmap.title.isOrdinal);
    EXPECT_EQ(3, bitmap.title.ordinal);
    EXPECT_EQ(result.size(), bitmap.offset + bitmap.size);
}

TEST_P(ClassicLayout, InteriorPageMovesControlsDownAndAddsTheHeader)
{
    const std::vector<uint8_t> source = SamplePage(GetParam());
    const DialogTemplate before = Parse(source);
    const std::u16string title = u"Software Components";
    const std::u16string subtitle = u"Specify which software components \u00e0 install.";
    const std::vector<uint8_t> result =
        MakeInteriorPageTemplate(source.data(), source.size(), title, subtitle);
    const DialogTemplate after = Parse(result);

    ExpectHeaderKept(before, after);
    EXPECT_EQ(6, after.count);
    ASSERT_EQ(6u, after.controls.size());
    EXPECT_EQ(143 + 36, after.cy);
    ExpectMovedBy(before, after, 36);

    const uint32_t shown = 0x50000000 | 0x00020000;
    const uint32_t noId = GetParam() ? 0xFFFFFFFFu : 0xFFFFu;
    const struct
    {
        uint32_t style;
        int x, y, cx, cy;
        uint32_t id;
        std::u16string text;
    } added[] = {
        {shown | 0x000C, 7, 0, 310, 8, 65520, title},
        {shown | 0x0000, 21, 9, 296, 16, 65521, subtitle},
        {shown | 0x0007 | 0x1000, 0, 28, 317, 1, noId, u""},
    };
    for (size_t i = 0; i < 3; ++i) {
        const DialogControl& control = after.controls[3 + i];
        SCOPED_TRACE("added control " + std::to_string(i));
        EXPECT_EQ(added[i].style, control.style);
        EXPECT_EQ(added[i].x, control.x);
        EXPECT_EQ(added[i].y, control.y);
        EXPECT_EQ(added[i].cx, control.cx);
        EXPECT_EQ(added[i].cy, control.cy);
        EXPECT_EQ(added[i].id, control.id);
        EXPECT_EQ(0x0082, control.windowClass.ordinal);
        EXPECT_FALSE(control.title.isOrdinal);
        EXPECT_EQ(added[i].text, control.title.text);
    }
}

INSTANTIATE_TEST_SUITE_P(StandardAndExtended, ClassicLayout, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Extended" : "Standard";
                         });

TEST(DialogTemplate, RefusesTemplatesThatEndEarly)
{
    for (bool extended : {false, true}) {
        const std::vector<uint8_t> source = SamplePage(extended);
        // Every cut inside the header or the controls is refused.
        for (size_t size = 0; size < source.size(); ++size) {
            DialogTemplate dialog;
            EXPECT_FALSE(ParseDialogTemplate(source.data(), size, &dialog)) << size;
            EXPECT_TRUE(MakeWelcomePageTemplate(source.data(), size, 3).empty()) << size;
        }
    }
}

TEST(DialogTemplate, RefusesACountThatWouldOverflow)
{
    TemplateBytes full(false);
    full.Header(0xFFFE, 317, 143);
    std::vector<uint8_t> bytes = full.Bytes();
    // The header announces 65534 controls; give it that many empty ones.
    TemplateBytes controls(false);
    for (int i = 0; i < 0xFFFE; ++i)
        controls.Control(1, 0, u"", 0x82, u"");
    while (bytes.size() % 4)
        bytes.push_back(0);
    bytes.insert(bytes.end(), controls.Bytes().begin(), controls.Bytes().end());
    EXPECT_EQ(0xFFFFu, Parse(MakeWelcomePageTemplate(bytes.data(), bytes.size(), 3)).count);
    EXPECT_TRUE(MakeInteriorPageTemplate(bytes.data(), bytes.size(), u"a", u"b").empty());
}

}  // namespace
