#include "UiLanguageChoice.h"

#include <cctype>
#include <cstdlib>

namespace {

unsigned short Primary(unsigned short language)
{
    return static_cast<unsigned short>(language & 0x3ff);
}

}  // namespace

unsigned short ChooseUiLanguage(unsigned short user, const unsigned short* available, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (available[i] == user)
            return available[i];
    }
    for (size_t i = 0; i < count; ++i) {
        if (Primary(available[i]) == Primary(user))
            return available[i];
    }
    return kFallbackLanguage;
}

int ParseLanguageText(const char* text, unsigned short* language)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    if (!std::isxdigit(static_cast<unsigned char>(*text)))
        return 0;
    // "0x" followed by digits is a prefix; "0x" alone is the number 0.
    const char* digits = text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && std::isxdigit(static_cast<unsigned char>(text[2])))
        digits = text + 2;
    // Registry texts hold at most 15 digits, which fit into 64 bits.
    *language = static_cast<unsigned short>(std::strtoull(digits, nullptr, 16) & 0xffffu);
    return 1;
}
