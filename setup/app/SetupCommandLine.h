// The installer's command line. Plain text logic without windows.h.
//
// The text after the program name is split into tokens at blanks (runs of
// blanks are one separator; quotes mean nothing). Each token is compared
// without regard to case with the switches below, in this order, and the
// first that matches acts; unknown tokens are ignored and later tokens
// overwrite what earlier ones set:
//
//   /quiet         whole token   unattended, no product keys
//   /quiet:KEYS    prefix        unattended, KEYS (comma-separated) to select
//   /silent        whole token   as /quiet
//   /silent:KEYS   prefix        as /quiet:KEYS
//   /reboot:N      prefix        reboot mode N (2 restart, 1 ask, other never)
//   /style:N       prefix        wizard style N (0 classic, other Wizard 97)
//   /install:KEY   prefix        install mode, product list = KEY
//   /remove:KEY    prefix        remove mode, product list = KEY
//   /lang:CODE     first 9 characters: one of the 14 codes of ParseLanguageCode
//
// A number is the decimal value of the leading digits (an optional sign
// first; no digits give 0; values beyond the 32-bit range stop at its ends).
#pragma once

#include <cstddef>

enum : size_t {
    kQuietTextSize = 1024,    // bytes of the product keys after "/quiet:"
    kProductListSize = 1024,  // bytes of the product list (a text list)
};

struct SetupOptions
{
    int quiet = 0;                        // non-zero: unattended run
    char quietText[kQuietTextSize] = {};  // product keys to select; "" keeps the defaults
    int removeMode = 0;                   // 0 install, 1 remove
    // Text list (entries ended by NUL, the list by an empty entry): the
    // product key of "/install:" or "/remove:"; empty without one.
    char productList[kProductListSize] = {};
    int rebootMode = 1;
    int wizardStyle = 0;                  // the caller sets the default
    unsigned short language = 1033;       // the caller sets the default
};

// Applies the switches of `commandLine` (may be null) to `options`, whose
// members already hold the defaults. Values longer than their buffers are
// cut to fit.
void ParseSetupCommandLine(const char* commandLine, SetupOptions* options);

// The language identifier of a "/lang:" token: its first nine characters
// compared without regard to case with "/lang:eng" 1033, "/lang:ger" 1031,
// "/lang:fre" 1036, "/lang:ita" 1040, "/lang:spa" 10 (Spanish without
// sub-language), "/lang:dut" 1043, "/lang:pol" 1045, "/lang:fin" 1035,
// "/lang:dan" 1030, "/lang:nor" 1044, "/lang:por" 2070, "/lang:tur" 1055,
// "/lang:rus" 1049, "/lang:cze" 1029. 0 for any other token.
unsigned short ParseLanguageCode(const char* token, size_t length);
