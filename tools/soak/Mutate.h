// Seeded mutations of a setup script for the soak of setup: lines dropped
// or doubled, lines cut (fields lost), numbers changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

enum class MutationKind { DropLine, DoubleLine, CutLine, ChangeNumber };
constexpr int kMutationKinds = 4;
const char* MutationName(MutationKind kind);

struct Mutation {
  MutationKind kind;
  std::string what;  // e.g. "line 12: 24 -> 32768"
};

struct MutatedScript {
  std::string text;  // lines end as they did in the script (CR LF or LF)
  std::vector<Mutation> mutations;
};

// One to four mutations of `script`, the same for the same seed.
MutatedScript MutateScript(const std::string& script, uint64_t seed);

}  // namespace soak
