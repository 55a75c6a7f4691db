#include "UiLanguageChoice.h"

namespace {

unsigned short Primary(unsigned short language)
{
    return static_cast<unsigned short>(language & 0x3ff);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
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
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && HexDigit(text[2]) >= 0)
        text += 2;
    if (HexDigit(*text) < 0)
        return 0;
    // Only the low 16 bits count, so the digits shifted out above them
    // cannot change the result.
    unsigned value = 0;
    for (; HexDigit(*text) >= 0; ++text)
        value = ((value << 4) | static_cast<unsigned>(HexDigit(*text))) & 0xffffu;
    *language = static_cast<unsigned short>(value);
    return 1;
}
