// Writing YAML scalars that every YAML reader takes back as the same text.
// Plain logic over bytes.
#pragma once

#include <string>

// `text`, 8-bit in the Windows code page 1252 (as setup scripts and the
// licence are written, and setup.exe's texts as read), as UTF-8.
std::string Utf8FromWindows1252(const std::string& text);

// The YAML scalar for the UTF-8 text `text`: written plain only when it
// starts with a letter, holds only letters, digits, blanks and . , - _ ( )
// / + and is no word a YAML 1.1 reader takes for a boolean or null (yes,
// no, on, off, y, n, true, false, null, any case); otherwise in single
// quotes (a quote doubled), or in double quotes with escapes when it holds
// control characters. So a version ("1.10"), a hash of digits, a date or
// "no" stays a text.
std::string YamlScalar(const std::string& text);
