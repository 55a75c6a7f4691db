// Fuzzes the script's field helpers. The input is two texts separated by the
// first NUL byte (the rest is ignored), plus the first bytes as numbers:
// versions compared both ways, script numbers, icon references, and the
// window-handle placeholder expanded into a heap buffer of a size from the
// input, so that AddressSanitizer sees any stray byte.
#include "ScriptFields.h"
#include "VersionText.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Expect(bool condition)
{
    if (!condition)
        std::abort();
}

bool BeginsPlaceholder(const char* text)
{
    const char* placeholder = "%hwnd%";
    for (; *placeholder != '\0'; ++placeholder, ++text) {
        const char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *placeholder)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string a = input.substr(0, split);
    const std::string b = split == std::string::npos ? std::string() : input.substr(split + 1).c_str();

    const int ab = CompareVersionTexts(a.c_str(), b.c_str()), ba = CompareVersionTexts(b.c_str(), a.c_str());
    if (ab != INT_MIN && ab != INT_MAX)
        Expect(ba == -ab);
    Expect(CompareVersionTexts(a.c_str(), a.c_str()) == 0);
    ScriptNumber(b.c_str());

    int number = 0;
    const char* file = nullptr;
    if (SplitIconReference(a.c_str(), &number, &file))
        Expect(file > a.c_str() && file[-1] == '@' && file <= a.c_str() + a.size());
    else
        Expect(a.find('@') == std::string::npos);

    const size_t capacity = size > 0 ? data[0] % 64 + 1 : 1;
    const uint32_t window = size > 4 ? static_cast<uint32_t>(data[1]) << 24 | data[2] << 16 | data[3] << 8 | data[4] : 0;
    char* out = new char[capacity];
    const size_t length = ExpandWindowPlaceholder(b.c_str(), window, out, capacity);
    Expect(length < capacity && std::strlen(out) == length);
    const char* percent = std::strchr(out, '%');
    Expect(percent == nullptr || !BeginsPlaceholder(percent));
    delete[] out;
    return 0;
}
