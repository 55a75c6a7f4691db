#include "Mutate.h"

#include <cctype>

#include "Random.h"

namespace soak {
namespace {

using modemsim::Random;

// Numbers that sit on the edges of the fields a script holds: flags, ids,
// 16- and 32-bit limits, and longer than any of them.
const char* const kNumbers[] = {"0",     "1",     "2",          "3",          "4",   "5",  "7",
                                "8",     "10",    "11",         "16",         "24",  "-1", "255",
                                "256",   "32767", "32768",      "65535",      "65536", "2147483647",
                                "4294967295", "99999999999999999999"};

std::vector<std::string> SplitLines(const std::string& text, std::string& lineEnd) {
  lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(lineEnd, start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + lineEnd.size();
  }
  return lines;
}

// Spans of decimal digits in `line`, as (start, length).
std::vector<std::pair<size_t, size_t>> Numbers(const std::string& line) {
  std::vector<std::pair<size_t, size_t>> spans;
  for (size_t i = 0; i < line.size();) {
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
    spans.emplace_back(i, end - i);
    i = end;
  }
  return spans;
}

int PickIndex(Random& random, size_t size) { return random.Between(0, static_cast<int>(size) - 1); }

}  // namespace

const char* MutationName(MutationKind kind) {
  static const char* const kNames[kMutationKinds] = {"line dropped", "line doubled", "line cut", "number changed"};
  return kNames[static_cast<int>(kind)];
}

MutatedScript MutateScript(const std::string& script, uint64_t seed) {
  Random random(seed);
  std::string lineEnd;
  std::vector<std::string> lines = SplitLines(script, lineEnd);
  MutatedScript result;
  // A mutation that would change nothing (a number change on a line without
  // a number, or to the same number; a cut of an empty line) is drawn again.
  for (int count = random.Between(1, 4), draws = 0; count > 0 && !lines.empty() && draws < 100; ++draws) {
    const auto kind = static_cast<MutationKind>(random.Between(0, kMutationKinds - 1));
    const int index = PickIndex(random, lines.size());
    const std::string where = "line " + std::to_string(index + 1);
    std::string& line = lines[static_cast<size_t>(index)];
    switch (kind) {
      case MutationKind::DropLine:
        result.mutations.push_back({kind, where + " dropped: " + line});
        lines.erase(lines.begin() + index);
        break;
      case MutationKind::DoubleLine:
        result.mutations.push_back({kind, where + " doubled: " + line});
        lines.insert(lines.begin() + index, line);
        break;
      case MutationKind::CutLine: {
        if (line.empty()) continue;
        const size_t keep = static_cast<size_t>(random.Between(0, static_cast<int>(line.size()) - 1));
        result.mutations.push_back({kind, where + " cut after " + std::to_string(keep) + " characters: " + line});
        line.erase(keep);
        break;
      }
      case MutationKind::ChangeNumber: {
        const auto spans = Numbers(line);
        if (spans.empty()) continue;
        const auto [start, length] = spans[static_cast<size_t>(PickIndex(random, spans.size()))];
        const std::string number = random.Between(0, 3) == 0
                                       ? std::to_string(random.Between(0, 100000))
                                       : kNumbers[PickIndex(random, sizeof(kNumbers) / sizeof(kNumbers[0]))];
        if (number == line.substr(start, length)) continue;
        result.mutations.push_back({kind, where + ": " + line.substr(start, length) + " -> " + number});
        line.replace(start, length, number);
        break;
      }
    }
    --count;
  }
  for (const std::string& line : lines) result.text += line + lineEnd;
  return result;
}

}  // namespace soak
