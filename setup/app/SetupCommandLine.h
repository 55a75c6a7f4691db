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
// The switches for deployment tools (none of them changes a run that does
// not give it):
//
//   /target:DIR    prefix        the installation folder (directory 32768)
//   /log:FILE      prefix        the installation log, appended to
//   /newer:WHAT    prefix        ask | replace | keep, for a newer installed version
//   /startapp:N    prefix        0: the finish page starts no program; 1 (default)
//   /? or /help    whole token   the usage, and nothing else
//
// And one the program gives itself: /removalcopy (whole token) marks the
// copy a removal started from the installed folder runs from
// (RemovalCopyText.h); it is not in the usage.
//
// The values of /target: and /log: alone may be quoted, so that they can
// hold blanks: /target:"C:\My Apps" or "/target:C:\My Apps". A quote opened
// there ends at the next quote, which must end the token. A value that
// breaks its switch's rules makes `badSwitch` name the switch (the first
// such one counts); the run then ends before anything is done.
// Tokens that match no switch (and are not the debug log's /debug option)
// are collected in `ignored`, so the run can say why it is interactive.
//
// A number is the decimal value of the leading digits (an optional sign
// first; no digits give 0; values beyond the 32-bit range stop at its ends).
#pragma once

#include "NewerAnswer.h"

#include <cstddef>

enum : size_t {
    kQuietTextSize = 1024,    // bytes of the product keys after "/quiet:"
    kProductListSize = 1024,  // bytes of the product list (a text list)
    kSwitchPathSize = 260,    // bytes of the folder of /target: and the file of /log: (MAX_PATH)
    kIgnoredSize = 1024,      // bytes of the ignored tokens (a text list)
    kBadSwitchSize = 64,      // bytes of the name of an invalid switch
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

    bool targetGiven = false;               // /target: was given
    char target[kSwitchPathSize] = {};      // its value, unquoted (not yet checked)
    char logPath[kSwitchPathSize] = {};     // /log:'s file; "" without a log
    NewerAnswer newer = NewerAnswer::Ask;
    int startApp = 1;                       // 0: /startapp:0
    bool help = false;                      // /? or /help
    bool removalCopy = false;               // /removalcopy: this program is a removal's copy
    char badSwitch[kBadSwitchSize] = {};    // the first switch with an invalid value, or ""
    char badReason[128] = {};               // why its value is invalid
    // Text list (entries ended by NUL, the list by an empty entry) of the
    // tokens that matched no switch, in their order; those that do not fit
    // are left out.
    char ignored[kIgnoredSize] = {};
};

// Applies the switches of `commandLine` (may be null) to `options`, whose
// members already hold the defaults. Values longer than their buffers are
// cut to fit, except those of /target: and /log:, which are invalid then (a
// cut path names another folder or file).
void ParseSetupCommandLine(const char* commandLine, SetupOptions* options);

// The language identifier of a "/lang:" token: its first nine characters
// compared without regard to case with "/lang:eng" 1033, "/lang:ger" 1031,
// "/lang:fre" 1036, "/lang:ita" 1040, "/lang:spa" 10 (Spanish without
// sub-language), "/lang:dut" 1043, "/lang:pol" 1045, "/lang:fin" 1035,
// "/lang:dan" 1030, "/lang:nor" 1044, "/lang:por" 2070, "/lang:tur" 1055,
// "/lang:rus" 1049, "/lang:cze" 1029. 0 for any other token.
unsigned short ParseLanguageCode(const char* token, size_t length);
