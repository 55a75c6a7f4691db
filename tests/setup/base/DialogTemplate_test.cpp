// Host tests of the classic page layouts over dialog templates in both
// layouts: every control moved, the dialog resized, the added controls in
// place, the count right; broken templates refused.
#include "ClassicPageLayout.h"
#include "DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Writes a template as the resource compiler lays it out.
struct TemplateBytes
{
    bool extended;
    std::vector<uint8_t> bytes;

    void Word(uint16_t v) { bytes.insert(bytes.end(), {uint8_t(v & 0xFF), uint8_t(v >> 8)}); }
    void Dword(uint32_t v) { Word(uint16_t(v & 0xFFFF)), Word(uint16_t(v >> 16)); }
    void Text(const std::u16string& text)
    {
        for (char16_t c : text)
            Word(c);
        Word(0);
    }
    void Styles(uint32_t style)  // help id, extended style, style in the order of the layout
    {
        if (extended)
            Dword(77), Dword(0), Dword(style);
        else
            Dword(style), Dword(0);
    }

    // Header with a menu by ordinal, a caption and a font.
    void Header(uint16_t count)
    {
        if (extended)
            Word(1), Word(0xFFFF);
        Styles(0x40000000 | 0x00C00000 | 0x40);  // child, caption, set font
        for (uint16_t v : {count, uint16_t(0), uint16_t(0), uint16_t(317), uint16_t(143), uint16_t(0xFFFF),
                           uint16_t(9), uint16_t(0)})
            Word(v);
        Text(u"Caption");
        Word(8);
        if (extended)
            Word(400), Word(0x0100);  // weight, italic 0, character set 1
        Text(u"MS Shell Dlg");
    }

    // A control whose class is a name, or an ordinal when `className` is empty.
    void Control(uint32_t id, int16_t y, const std::u16string& className, uint16_t classOrdinal,
                 const std::u16string& title, const std::vector<uint8_t>& extra = {})
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
        Styles(0x50000000);
        for (int16_t v : {int16_t(5), y, int16_t(100), int16_t(10)})
            Word(uint16_t(v));
        extended ? Dword(id) : Word(uint16_t(id));
        if (className.empty())
            Word(0xFFFF), Word(classOrdinal);
        else
            Text(className);
        Text(title);
        Word(uint16_t(extra.size()));
        bytes.insert(bytes.end(), extra.begin(), extra.end());
    }
};

// Three controls: a class ordinal, a class name with 3 bytes of creation data
// (so the next control needs padding), and one at the lowest position.
std::vector<uint8_t> SamplePage(bool extended)
{
    TemplateBytes page{extended, {}};
    page.Header(3);
    page.Control(1202, 10, u"", 0x0080, u"Text");
    page.Control(1207, 30, u"SysListView32", 0, u"", {1, 2, 3});
    page.Control(1208, -32760, u"", 0x0081, u"C:\\Apps");
    return page.bytes;
}

DialogTemplate Parse(const std::vector<uint8_t>& bytes)
{
    DialogTemplate dialog;
    EXPECT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    return dialog;
}

struct Added
{
    uint32_t style;
    int x, y, cx, cy;
    uint32_t id;
    DialogField title;
};

// `after` is `before` with the controls moved by `shift`, the height changed
// by `heightChange` and `added` at the end.
void ExpectLayout(const DialogTemplate& before, const std::vector<uint8_t>& result, int shift,
                  int heightChange, const std::vector<Added>& added)
{
    const DialogTemplate after = Parse(result);
    EXPECT_EQ(before.extended, after.extended);
    EXPECT_EQ(before.style, after.style);
    EXPECT_EQ(before.title, after.title);
    EXPECT_EQ(before.typeface, after.typeface);
    EXPECT_EQ(before.cy + heightChange, after.cy);
    EXPECT_EQ(before.count + added.size(), after.count);
    ASSERT_EQ(before.controls.size() + added.size(), after.controls.size());
    for (size_t i = 0; i < before.controls.size(); ++i) {
        const DialogControl &a = before.controls[i], &b = after.controls[i];
        EXPECT_EQ(std::max(-32768, a.y + shift), b.y) << i;
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.windowClass.text, b.windowClass.text);
        EXPECT_EQ(a.extraSize, b.extraSize);
    }
    for (size_t i = 0; i < added.size(); ++i) {
        const DialogControl& control = after.controls[before.controls.size() + i];
        const Added& expected = added[i];
        EXPECT_EQ(expected.style, control.style) << i;
        EXPECT_EQ(expected.x, control.x);
        EXPECT_EQ(expected.y, control.y);
        EXPECT_EQ(expected.cx, control.cx);
        EXPECT_EQ(expected.cy, control.cy);
        EXPECT_EQ(before.extended ? expected.id : expected.id & 0xFFFF, control.id);
        EXPECT_EQ(0x0082, control.windowClass.ordinal);
        EXPECT_EQ(expected.title.isOrdinal, control.title.isOrdinal);
        EXPECT_EQ(expected.title.ordinal, control.title.ordinal);
        EXPECT_EQ(expected.title.text, control.title.text);
    }
    EXPECT_EQ(result.size(), after.controls.back().offset + after.controls.back().size);
}

class ClassicLayout : public testing::TestWithParam<bool>
{
};

TEST_P(ClassicLayout, ControlsMovedAndAddedCountRight)
{
    const std::vector<uint8_t> source = SamplePage(GetParam());
    const DialogTemplate before = Parse(source);
    ASSERT_EQ(3u, before.controls.size());
    const uint32_t shown = 0x50000000 | 0x00020000;  // visible child, group

    ExpectLayout(before, MakeWelcomePageTemplate(source.data(), source.size(), 3), -7, -14,
                 {{shown | 0x0E | 0x0800, 0, 0, 95, 179, 0xFFFFFFFF, DialogField::Ordinal(3)}});

    const std::u16string title = u"Software Components", subtitle = u"Choose \u00e0 la carte.";
    ExpectLayout(before, MakeInteriorPageTemplate(source.data(), source.size(), title, subtitle), 36, 36,
                 {{shown | 0x000C, 7, 0, 310, 8, 65520, DialogField::Text(title)},
                  {shown | 0x0000, 21, 9, 296, 16, 65521, DialogField::Text(subtitle)},
                  {shown | 0x0007 | 0x1000, 0, 28, 317, 1, 0xFFFFFFFF, DialogField::Text(u"")}});
}

INSTANTIATE_TEST_SUITE_P(StandardAndExtended, ClassicLayout, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Extended" : "Standard";
                         });

TEST(DialogTemplate, RefusesTemplatesThatEndEarlyOrWouldOverflowTheCount)
{
    for (bool extended : {false, true}) {
        const std::vector<uint8_t> source = SamplePage(extended);
        for (size_t size = 0; size < source.size(); ++size) {
            DialogTemplate dialog;
            EXPECT_FALSE(ParseDialogTemplate(source.data(), size, &dialog)) << size;
            EXPECT_TRUE(MakeWelcomePageTemplate(source.data(), size, 3).empty()) << size;
        }
    }
    TemplateBytes full{false, {}};
    full.Header(0xFFFE);
    for (int i = 0; i < 0xFFFE; ++i)
        full.Control(1, 0, u"", 0x82, u"");
    EXPECT_EQ(0xFFFF, Parse(MakeWelcomePageTemplate(full.bytes.data(), full.bytes.size(), 3)).count);
    EXPECT_TRUE(MakeInteriorPageTemplate(full.bytes.data(), full.bytes.size(), u"a", u"b").empty());
}

}  // namespace
