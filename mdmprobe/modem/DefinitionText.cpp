#include "DefinitionText.h"

#include <cstring>

bool ParseSectionHeader(const std::string& line, std::string& name)
{
    size_t end = line.size();
    if (end > 0 && line[end - 1] == '\r')
        --end;
    if (end == 0 || line[0] != '[' || line[end - 1] != ']')
        return false;
    size_t begin = line.find_first_not_of('[');
    while (end > begin && line[end - 1] == ']')
        --end;
    name = begin < end ? line.substr(begin, end - begin) : std::string();
    return true;
}

std::vector<std::string> SectionNames(const std::string& text)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t stop = lf == std::string::npos ? text.size() : lf;
        std::string name;
        if (ParseSectionHeader(text.substr(start, stop - start), name))
            names.push_back(name);
        start = stop + 1;
    }
    return names;
}

std::vector<std::string> SplitSectionBuffer(const char* buffer, size_t length)
{
    std::vector<std::string> entries;
    size_t at = 0;
    while (at < length && buffer[at] != '\0') {
        const void* zero = std::memchr(buffer + at, '\0', length - at);
        size_t stop = zero ? static_cast<size_t>(static_cast<const char*>(zero) - buffer) : length;
        entries.emplace_back(buffer + at, stop - at);
        at = stop + 1;
    }
    return entries;
}

int32_t ParseDecimal(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value <= INT64_C(0x80000000))
            value = value * 10 + (text[at] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}
