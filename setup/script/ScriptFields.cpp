#include "ScriptFields.h"

#include "BufCopy.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kPlaceholder[] = "%hwnd%";
const size_t kPlaceholderLength = sizeof(kPlaceholder) - 1;

bool BeginsPlaceholder(const char* text)
{
    for (size_t i = 0; i < kPlaceholderLength; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kPlaceholder[i])
            return false;
    }
    return true;
}

}  // namespace

int ScriptDecimal(const char* text, const char** end)
{
    char* stop = nullptr;
    const long long value = std::strtoll(text, &stop, 10);
    if (end != nullptr)
        *end = stop;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(value);
}

uint32_t ScriptNumber(const char* text)
{
    const unsigned long long value = std::strtoull(text, nullptr, 0);
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

bool SplitIconReference(const char* field, int* iconNumber, const char** fileName)
{
    const char* at = std::strchr(field, '@');
    if (at == nullptr)
        return false;
    *iconNumber = ScriptDecimal(field);
    *fileName = at + 1;
    return true;
}

const char* VersionReferenceFile(const char* field)
{
    return field[0] == '@' ? field + 1 : nullptr;
}

size_t ExpandWindowPlaceholder(const char* arguments, uint32_t window, char* out, size_t capacity)
{
    if (capacity == 0)
        return 0;
    char handle[16];
    BufFormat(handle, sizeof(handle), "0x%08lx", static_cast<unsigned long>(window));
    // Every step keeps the text within the buffer, as the replacement in
    // place would: what is cut off is never looked at again.
    std::string text(arguments, std::min(std::strlen(arguments), capacity - 1));
    for (size_t at = text.find('%'); at != std::string::npos && BeginsPlaceholder(text.c_str() + at);
         at = text.find('%', at)) {
        text.replace(at, kPlaceholderLength, handle);
        if (text.size() > capacity - 1)
            text.resize(capacity - 1);
        at = std::min(at + std::strlen(handle), text.size());
    }
    return BufSet(out, capacity, text);
}
