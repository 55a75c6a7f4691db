// Escaping of raw bytes for the transcript, and unescaping of quoted profile text.
#pragma once

#include <string>
#include <string_view>

namespace modemsim {

// Transcript form: printable ASCII (0x20..0x7E) is kept as is, except the
// backslash; CR, LF and TAB become \r \n \t, the backslash becomes \\, any other
// byte becomes \xHH (two upper-case hex digits).
std::string EscapeBytes(std::string_view bytes);

// Decodes \r \n \t \\ \" and \xHH (exactly two hex digits, either case); all
// other bytes are copied. Returns false and describes the problem in `error`
// on an unknown or truncated escape.
bool UnescapeText(std::string_view text, std::string& out, std::string& error);

}  // namespace modemsim
