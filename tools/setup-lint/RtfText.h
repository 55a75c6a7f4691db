// Plain text out of rich text (RTF), for the title of setup.exe's licence.
// Plain logic over bytes.
#pragma once

#include <string>

// The first paragraph of `rtf` that holds text, blanks around it dropped:
// control words and the font, colour and style tables, pictures and other
// "{\*...}" groups left out, "\'hh" as the byte hh (the document's 8-bit
// code page), "\uN" as the character N when it is below 256 (else '?', its
// stand-in skipped), "\~" as a blank, "\\", "\{", "\}" as themselves.
// Empty when there is none.
std::string RtfFirstParagraph(const std::string& rtf);
