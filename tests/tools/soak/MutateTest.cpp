// Mutations of the shipped setup script for the soak of setup.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "Mutate.h"

namespace soak {
namespace {

std::string ShippedScript() {
  std::ifstream file(SOAK_SETUP_SCRIPT);
  std::ostringstream text;
  text << file.rdbuf();
  std::string crlf;
  for (char c : text.str()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;  // as on the medium
}

size_t Lines(const std::string& text) {
  size_t count = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++count;
  return count;
}

TEST(Mutate, OneToFourChangesOfEveryKindRepeatableFromTheSeed) {
  const std::string script = ShippedScript();
  std::set<MutationKind> kinds;
  for (uint64_t seed = 1; seed <= 500; ++seed) {
    const MutatedScript mutated = MutateScript(script, seed);
    ASSERT_GE(mutated.mutations.size(), 1u);
    ASSERT_LE(mutated.mutations.size(), 4u);
    EXPECT_TRUE(mutated.text != script) << "seed " << seed << " changed nothing";
    EXPECT_EQ(mutated.text.find('\n'), mutated.text.find("\r\n") + 1) << "line ends stay CR LF";
    int dropped = 0, doubled = 0;
    for (const Mutation& mutation : mutated.mutations) {
      kinds.insert(mutation.kind);
      dropped += mutation.kind == MutationKind::DropLine ? 1 : 0;
      doubled += mutation.kind == MutationKind::DoubleLine ? 1 : 0;
    }
    EXPECT_EQ(Lines(mutated.text) + dropped, Lines(script) + doubled) << seed;
    EXPECT_EQ(MutateScript(script, seed).text, mutated.text);
  }
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kMutationKinds));
}

TEST(Mutate, ANumberChangeReplacesOneNumberOfItsLine) {
  for (uint64_t seed = 1; seed < 2000; ++seed) {
    const MutatedScript mutated = MutateScript("a\r\nx = 24, 7\r\nb\r\n", seed);
    if (mutated.mutations.size() != 1 || mutated.mutations[0].kind != MutationKind::ChangeNumber) continue;
    const std::string& what = mutated.mutations[0].what;
    EXPECT_EQ(what.rfind("line 2: ", 0), 0u) << what;
    EXPECT_EQ(mutated.text.find("a\r\nx = "), 0u) << mutated.text;
    EXPECT_NE(mutated.text, "a\r\nx = 24, 7\r\nb\r\n");
    return;
  }
  FAIL() << "no seed drew a single number change";
}

}  // namespace
}  // namespace soak
