// Fuzzes the expanding string loader over a string table made from the
// input: the first byte sets the buffer size, the rest holds strings 1000,
// 1001, ... separated by line breaks or zero bytes (a resource string holds
// none). The result must fit its buffer with
// the terminator, report its length, and equal the uncut expansion cut.
#include "ExpandString.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t bufferSize = data[0];
    std::map<unsigned, std::string> table;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    unsigned id = 1000;
    for (size_t start = 0; start <= text.size() && id < 1064; ++id) {
        size_t end = text.find_first_of(std::string("\n\0", 2), start);
        if (end == std::string::npos)
            end = text.size();
        table[id] = text.substr(start, end - start);
        start = end + 1;
    }
    const StringLookup lookup = [&table](unsigned key, std::string* out) {
        auto found = table.find(key);
        if (found == table.end())
            return false;
        *out = found->second;
        return true;
    };

    const std::string full = ExpandResourceString(1000, lookup);
    std::vector<char> buffer(bufferSize + 1, '\x7f');  // one guard byte
    const size_t length = ExpandResourceStringInto(1000, lookup, buffer.data(), bufferSize);
    if (buffer[bufferSize] != '\x7f')
        std::abort();
    if (bufferSize == 0) {
        if (length != 0)
            std::abort();
        return 0;
    }
    if (length >= bufferSize || std::strlen(buffer.data()) != length ||
        std::string(buffer.data()) != full.substr(0, bufferSize - 1))
        std::abort();
    return 0;
}
