#include "ExpandString.h"

#include "BufCopy.h"

namespace {

// String ids are 16-bit; anything outside names no string.
constexpr unsigned long kLastStringId = 0xFFFF;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the decimal number at `text[*at]`, advancing `*at` past every digit.
// Numbers beyond the last string id saturate just above it.
unsigned long ReadNumber(const std::string& text, size_t* at)
{
    unsigned long value = 0;
    while (*at < text.size() && IsDigit(text[*at])) {
        if (value <= kLastStringId)
            value = value * 10 + static_cast<unsigned long>(text[*at] - '0');
        ++*at;
    }
    return value;
}

}  // namespace

std::string ExpandResourceString(unsigned id, const StringLookup& lookup)
{
    std::string text;
    if (!lookup(id, &text))
        return std::string();

    size_t at = 0;
    while ((at = text.find('%', at)) != std::string::npos) {
        size_t next = at + 1;
        if (next < text.size() && text[next] == '%') {
            text.erase(at, 1);
            at = next;
            continue;
        }
        int sign = 0;
        if (next < text.size() && (text[next] == '+' || text[next] == '-'))
            sign = text[next++] == '+' ? 1 : -1;
        if (next >= text.size() || !IsDigit(text[next])) {
            at = at + 1;  // not a placeholder: the "%" stays
            continue;
        }
        unsigned long number = ReadNumber(text, &next);
        long target = sign == 0   ? static_cast<long>(number)
                      : sign > 0 ? static_cast<long>(id) + static_cast<long>(number)
                                 : static_cast<long>(id) - static_cast<long>(number);
        std::string inserted;
        if (target >= 0 && static_cast<unsigned long>(target) <= kLastStringId &&
            !lookup(static_cast<unsigned>(target), &inserted))
            inserted.clear();
        text.replace(at, next - at, inserted);
        at += inserted.size();
    }
    return text;
}

size_t ExpandResourceStringInto(unsigned id, const StringLookup& lookup, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    return BufSet(buffer, size, ExpandResourceString(id, lookup));
}
