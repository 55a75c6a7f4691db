// The rules of the user-interface language choice, over plain values
// (language identifiers as 16-bit numbers). Plain text logic without
// windows.h; UiLanguage.h asks Windows for the inputs.
#pragma once

#include <cstddef>

enum : unsigned short { kFallbackLanguage = 1033 };  // English (United States)

// The language among `available` (in the order listed) for a user whose UI
// language is `user`: the first equal to it; else the first with the same
// primary language (the low 10 bits); else 1033.
unsigned short ChooseUiLanguage(unsigned short user, const unsigned short* available, size_t count);

// A language written as hexadecimal text in the registry ("00000407"):
// blanks and a "0x" may lead; the low 16 bits of the value of the hex
// digits that follow are the language. Returns 0 when no digit follows.
int ParseLanguageText(const char* text, unsigned short* language);
