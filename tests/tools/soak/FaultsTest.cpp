// Drawing the faults of a soak run: the same seed gives the same run, every
// fault is a valid modemsim directive, and the menu's rules hold.
#include <gtest/gtest.h>

#include <set>

#include "Faults.h"
#include "Profile.h"

namespace soak {
namespace {

TEST(Faults, EveryDrawIsAValidProfileAndRepeatsWithItsSeed) {
  std::set<std::string> kinds;
  std::set<uint64_t> seeds;
  int dialling = 0;
  for (int i = 0; i < 2000; ++i) {
    const uint64_t seed = RunSeed(42, i);
    seeds.insert(seed);
    const RunPlan plan = DrawRun(seed, FaultMenu{});
    ASSERT_GE(plan.faults.size(), 1u);
    ASSERT_LE(plan.faults.size(), 3u);
    dialling += plan.dials ? 1 : 0;
    std::string profile = "seed " + std::to_string(seed) + "\n";
    std::set<std::string> directives;
    for (const Fault& fault : plan.faults) {
      kinds.insert(FaultName(fault.kind));
      profile += fault.profileLine + "\n";
      // One directive of a kind: the pairs (within/beyond, under/over) exclude each other.
      EXPECT_TRUE(directives.insert(fault.profileLine.substr(0, fault.profileLine.find(' '))).second)
          << fault.profileLine;
      if (fault.kind == FaultKind::DialWithin || fault.kind == FaultKind::DialBeyond) {
        EXPECT_TRUE(plan.dials);
      }
    }
    modemsim::Profile parsed;
    modemsim::ProfileError error;
    ASSERT_TRUE(modemsim::ParseProfile(profile, parsed, error)) << profile << error.line << ": " << error.message;
    const RunPlan again = DrawRun(seed, FaultMenu{});
    ASSERT_EQ(again.faults.size(), plan.faults.size());
    EXPECT_EQ(again.faults.back().profileLine, plan.faults.back().profileLine);
    EXPECT_EQ(again.dials, plan.dials);
  }
  EXPECT_EQ(seeds.size(), 2000u);
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kFaultKinds)) << "every kind is drawn";
  EXPECT_GT(dialling, 800);
  EXPECT_LT(dialling, 1200);
  EXPECT_NE(RunSeed(42, 0), RunSeed(43, 0));
}

TEST(Faults, MenuLimitsTheCountAndTheCall) {
  for (int i = 0; i < 300; ++i) {
    const RunPlan plan = DrawRun(RunSeed(7, i), FaultMenu{1, false});
    EXPECT_EQ(plan.faults.size(), 1u);
    EXPECT_FALSE(plan.dials);
    EXPECT_FALSE(plan.Has(FaultKind::DialWithin) || plan.Has(FaultKind::DialBeyond));
  }
}

TEST(Faults, QuotedTextKeepsEveryByte) {
  const std::string bytes("\0\x01\"\\ \xff" "Az9", 9);
  modemsim::Profile parsed;
  modemsim::ProfileError error;
  ASSERT_TRUE(modemsim::ParseProfile("garbage " + ProfileQuoted(bytes), parsed, error)) << error.message;
  EXPECT_EQ(parsed.faults.garbage, bytes);
}

}  // namespace
}  // namespace soak
