#include "SetupCommandLine.h"

#include <climits>
#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the first strlen(prefix) characters of the token equal `prefix`
// (lower-case) without regard to case.
bool StartsWith(const char* token, size_t length, const char* prefix)
{
    size_t n = std::strlen(prefix);
    if (length < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (Lower(token[i]) != prefix[i])
            return false;
    }
    return true;
}

bool Equals(const char* token, size_t length, const char* word)
{
    return length == std::strlen(word) && StartsWith(token, length, word);
}

// Copies `length` characters into `buffer`, cut to capacity - 1.
void CopyText(char* buffer, size_t capacity, const char* text, size_t length)
{
    if (length > capacity - 1)
        length = capacity - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

// The product list as a list of one entry: the entry (cut so that its
// terminator and the empty end entry fit), then the empty entry.
void SetProductList(char* list, const char* key, size_t length)
{
    CopyText(list, kProductListSize - 1, key, length);
    list[std::strlen(list) + 1] = '\0';
}

// Leading decimal digits, with an optional sign; saturates at the ends of
// the 32-bit range.
int DecimalValue(const char* text, size_t length)
{
    size_t i = 0;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

struct LanguageCode
{
    const char* token;
    unsigned short language;
};

const LanguageCode kLanguages[] = {
    {"/lang:eng", 1033}, {"/lang:ger", 1031}, {"/lang:fre", 1036}, {"/lang:ita", 1040},
    {"/lang:spa", 10},   {"/lang:dut", 1043}, {"/lang:pol", 1045}, {"/lang:fin", 1035},
    {"/lang:dan", 1030}, {"/lang:nor", 1044}, {"/lang:por", 2070}, {"/lang:tur", 1055},
    {"/lang:rus", 1049}, {"/lang:cze", 1029},
};

void ApplyToken(const char* token, size_t length, SetupOptions* options)
{
    if (Equals(token, length, "/quiet") || Equals(token, length, "/silent")) {
        options->quiet = 1;
        options->quietText[0] = '\0';
    } else if (StartsWith(token, length, "/quiet:")) {
        options->quiet = 1;
        CopyText(options->quietText, kQuietTextSize, token + 7, length - 7);
    } else if (StartsWith(token, length, "/silent:")) {
        options->quiet = 1;
        CopyText(options->quietText, kQuietTextSize, token + 8, length - 8);
    } else if (StartsWith(token, length, "/reboot:")) {
        options->rebootMode = DecimalValue(token + 8, length - 8);
    } else if (StartsWith(token, length, "/style:")) {
        options->wizardStyle = DecimalValue(token + 7, length - 7);
    } else if (StartsWith(token, length, "/install:")) {
        options->removeMode = 0;
        SetProductList(options->productList, token + 9, length - 9);
    } else if (StartsWith(token, length, "/remove:")) {
        options->removeMode = 1;
        SetProductList(options->productList, token + 8, length - 8);
    } else if (unsigned short language = ParseLanguageCode(token, length)) {
        options->language = language;
    }
}

}  // namespace

unsigned short ParseLanguageCode(const char* token, size_t length)
{
    for (const LanguageCode& code : kLanguages) {
        if (StartsWith(token, length, code.token))
            return code.language;
    }
    return 0;
}

void ParseSetupCommandLine(const char* commandLine, SetupOptions* options)
{
    if (!commandLine)
        return;
    const char* p = commandLine;
    while (*p) {
        while (IsBlank(*p))
            ++p;
        const char* start = p;
        while (*p && !IsBlank(*p))
            ++p;
        if (p > start)
            ApplyToken(start, static_cast<size_t>(p - start), options);
    }
}
