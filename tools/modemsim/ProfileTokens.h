// Splits one profile line into words and quoted texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modemsim {

struct ProfileToken {
  std::string text;     // quoted tokens hold the unescaped bytes
  bool quoted = false;  // true when written as "..."
};

// Words are runs of non-blank characters; a token that starts with '"' is a
// quoted text running to the next unescaped '"' (escapes as in UnescapeText).
// A '#' at the start of a token begins a comment that runs to the end of the
// line. Returns false and describes the problem in `error` on a bad line.
bool TokenizeProfileLine(std::string_view line, std::vector<ProfileToken>& tokens,
                         std::string& error);

}  // namespace modemsim
