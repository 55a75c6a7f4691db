#include "LoadExpandedString.h"

#include "ExpandString.h"

#include <string>
#include <vector>

namespace {

// The whole string `id`: LoadStringA cuts to the buffer, so the buffer grows
// until the string fits with room to spare. A missing (or empty) string
// loads as 0 characters.
bool LoadWholeString(HINSTANCE module, unsigned id, std::string* text)
{
    std::vector<char> buffer(256);
    for (;;) {
        int length = LoadStringA(module, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0)
            return false;
        if (static_cast<size_t>(length) + 1 < buffer.size()) {
            text->assign(buffer.data(), static_cast<size_t>(length));
            return true;
        }
        if (buffer.size() >= 0x40000)  // string resources hold at most 65535 characters
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

int LoadExpandedString(HINSTANCE module, UINT id, char* buffer, int size)
{
    if (size <= 0)
        return 0;
    StringLookup lookup = [module](unsigned stringId, std::string* text) {
        return LoadWholeString(module, stringId, text);
    };
    return static_cast<int>(ExpandResourceStringInto(id, lookup, buffer, static_cast<size_t>(size)));
}
