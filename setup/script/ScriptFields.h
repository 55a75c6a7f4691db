// Reading the values of setup-script fields: numbers, source-file
// references and the window-handle placeholder of Exec arguments. Plain text
// logic without windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

// The standard decimal conversion (leading white space and a sign allowed;
// no digits give 0), held within the 32-bit signed range. `end` (may be
// null) receives the position after the number, or `text` itself when it
// holds no number.
int ScriptDecimal(const char* text, const char** end = nullptr);

// A number written in decimal, in hexadecimal with a "0x" prefix or in octal
// with a leading zero (Exec run levels and run flags); 0 without digits, held
// at 0xFFFFFFFF beyond the 32-bit range.
uint32_t ScriptNumber(const char* text);

// Icon reference "<icon number>@<file name>": false when the field has no
// at sign. The number is the decimal value of the text before the first at
// sign, the file name everything after it (points into `field`).
bool SplitIconReference(const char* field, int* iconNumber, const char** fileName);

// Version reference "@<file name>": the file name (pointing into `field`),
// or null when the field does not begin with an at sign.
const char* VersionReferenceFile(const char* field);

// Copies `arguments` into `out` (`capacity` bytes) and, while the first "%"
// of the text begins "%hwnd%" (any case), replaces that placeholder by
// `window` written as "0x" and eight lower-case hexadecimal digits. The first
// "%" that begins something else ends the replacement. The text is cut to
// fit, always terminated. Returns the resulting length.
size_t ExpandWindowPlaceholder(const char* arguments, uint32_t window, char* out, size_t capacity);
