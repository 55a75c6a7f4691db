#include "SetupCommandLine.h"

#include "RemovalCopyText.h"

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

// Notes the first switch whose value breaks its rules.
void MarkBad(SetupOptions* options, const char* name, const char* reason)
{
    if (options->badSwitch[0] != '\0')
        return;
    CopyText(options->badSwitch, kBadSwitchSize, name, std::strlen(name));
    CopyText(options->badReason, sizeof(options->badReason), reason, std::strlen(reason));
}

// Adds a token that matched no switch to the ignored list, when it fits.
void Ignore(SetupOptions* options, const char* token, size_t length)
{
    size_t used = 0;
    while (options->ignored[used] != '\0')
        used += std::strlen(options->ignored + used) + 1;
    if (used + length + 2 > kIgnoredSize)
        return;
    std::memcpy(options->ignored + used, token, length);
    options->ignored[used + length] = '\0';
    options->ignored[used + length + 1] = '\0';
}

// The answer of a "/newer:" value; false for any other text.
bool ParseNewer(const char* value, size_t length, NewerAnswer* answer)
{
    if (Equals(value, length, "ask"))
        *answer = NewerAnswer::Ask;
    else if (Equals(value, length, "replace"))
        *answer = NewerAnswer::Replace;
    else if (Equals(value, length, "keep"))
        *answer = NewerAnswer::Keep;
    else
        return false;
    return true;
}

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
    } else if (StartsWith(token, length, "/newer:")) {
        if (!ParseNewer(token + 7, length - 7, &options->newer))
            MarkBad(options, "/newer:", "the value must be ask, replace or keep");
    } else if (StartsWith(token, length, "/startapp:")) {
        if (Equals(token + 10, length - 10, "0") || Equals(token + 10, length - 10, "1"))
            options->startApp = token[10] - '0';
        else
            MarkBad(options, "/startapp:", "the value must be 0 or 1");
    } else if (Equals(token, length, "/?") || Equals(token, length, "/help")) {
        options->help = true;
    } else if (Equals(token, length, kRemovalCopySwitch)) {
        options->removalCopy = true;
    } else if (!StartsWith(token, length, "/debug") && !StartsWith(token, length, "-debug")) {
        Ignore(options, token, length);  // the debug log reads its own option
    }
}

struct PathSwitch
{
    const char* prefix;                            // lower-case, with its colon
    char (SetupOptions::*value)[kSwitchPathSize];  // where its value goes
    bool mayBeEmpty;                               // an empty /target: fails the target rules later
};

const PathSwitch kPathSwitches[] = {
    {"/target:", &SetupOptions::target, true},
    {"/log:", &SetupOptions::logPath, false},
};

// The token at `p` when it is /target: or /log: (also in quotes, see the
// header): its value is stored or the switch marked invalid. Returns the
// end of the token, or null when the token is none of them.
const char* ReadPathSwitch(const char* p, SetupOptions* options)
{
    const bool quotedWhole = *p == '"';
    const char* token = quotedWhole ? p + 1 : p;
    size_t available = 0;
    while (token[available] != '\0' && (quotedWhole || !IsBlank(token[available])))
        ++available;
    for (const PathSwitch& path : kPathSwitches) {
        if (!StartsWith(token, available, path.prefix))
            continue;
        const char* value = token + std::strlen(path.prefix);
        const bool quoted = quotedWhole || *value == '"';
        if (quoted && !quotedWhole)
            ++value;
        const char* end = value;
        while (*end != '\0' && (quoted ? *end != '"' : !IsBlank(*end)))
            ++end;
        const size_t length = static_cast<size_t>(end - value);
        const char* next = end;
        if (quoted && *end != '"') {
            MarkBad(options, path.prefix, "a quote is not closed");
        } else {
            if (quoted)
                ++next;
            if (*next != '\0' && !IsBlank(*next))
                MarkBad(options, path.prefix, "text follows the closing quote");
            else if (length >= kSwitchPathSize)
                MarkBad(options, path.prefix, "the value is longer than 259 characters");
            else if (length == 0 && !path.mayBeEmpty)
                MarkBad(options, path.prefix, "the value names no file");
            else
                CopyText(options->*path.value, kSwitchPathSize, value, length);
        }
        if (path.value == &SetupOptions::target)
            options->targetGiven = true;
        while (*next != '\0' && !IsBlank(*next))
            ++next;
        return next;
    }
    return nullptr;
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
        if (const char* end = ReadPathSwitch(p, options)) {
            p = end;
            continue;
        }
        const char* start = p;
        while (*p && !IsBlank(*p))
            ++p;
        if (p > start)
            ApplyToken(start, static_cast<size_t>(p - start), options);
    }
}
