#include "ProfileTokens.h"

#include "Escape.h"

namespace modemsim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

bool TokenizeProfileLine(std::string_view line, std::vector<ProfileToken>& tokens,
                         std::string& error) {
  tokens.clear();
  size_t pos = 0;
  while (pos < line.size()) {
    if (IsBlank(line[pos])) {
      ++pos;
      continue;
    }
    if (line[pos] == '#') break;
    ProfileToken token;
    if (line[pos] == '"') {
      size_t end = pos + 1;
      while (end < line.size() && line[end] != '"') {
        end += line[end] == '\\' ? 2 : 1;
      }
      if (end >= line.size()) {
        error = "unterminated quoted text";
        return false;
      }
      std::string escapeError;
      if (!UnescapeText(line.substr(pos + 1, end - pos - 1), token.text, escapeError)) {
        error = "bad quoted text: " + escapeError;
        return false;
      }
      token.quoted = true;
      pos = end + 1;
      if (pos < line.size() && !IsBlank(line[pos])) {
        error = "quoted text must be followed by a blank";
        return false;
      }
    } else {
      const size_t start = pos;
      while (pos < line.size() && !IsBlank(line[pos])) ++pos;
      token.text = std::string(line.substr(start, pos - start));
    }
    tokens.push_back(std::move(token));
  }
  return true;
}

}  // namespace modemsim
