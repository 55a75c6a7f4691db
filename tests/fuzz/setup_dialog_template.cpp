// Fuzzes the dialog-template reader and the classic page layouts: any bytes
// must be read or refused without fault, and a template that reads must
// come out of both layouts with its controls moved, the added controls in
// place and the count right.
#include "ClassicPageLayout.h"
#include "DialogTemplate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckLayout(const DialogTemplate& before, const std::vector<uint8_t>& result, int shift,
                 int heightChange, size_t added)
{
    if (before.count + added > 0xFFFF) {
        Check(result.empty());
        return;
    }
    DialogTemplate after;
    Check(ParseDialogTemplate(result.data(), result.size(), &after));
    Check(after.extended == before.extended && after.style == before.style);
    Check(after.count == before.count + added);
    Check(after.controls.size() == before.controls.size() + added);
    Check(after.cy == std::clamp(before.cy + heightChange, -32768, 32767));
    for (size_t i = 0; i < before.controls.size(); ++i) {
        const DialogControl& a = before.controls[i];
        const DialogControl& b = after.controls[i];
        Check(b.y == std::clamp(a.y + shift, -32768, 32767));
        Check(b.x == a.x && b.cx == a.cx && b.cy == a.cy && b.id == a.id && b.style == a.style);
        Check(b.title.text == a.title.text && b.extraSize == a.extraSize && b.offset % 4 == 0);
    }
    Check(after.controls.back().offset + after.controls.back().size == result.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DialogTemplate before;
    const bool readable = ParseDialogTemplate(data, size, &before);
    const std::vector<uint8_t> welcome = MakeWelcomePageTemplate(data, size, 3);
    const std::vector<uint8_t> interior = MakeInteriorPageTemplate(data, size, u"Title", u"Subtitle");
    if (!readable) {
        Check(welcome.empty() && interior.empty());
        return 0;
    }
    CheckLayout(before, welcome, -7, -14, 1);
    CheckLayout(before, interior, 36, 36, 3);
    return 0;
}
