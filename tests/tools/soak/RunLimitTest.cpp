// The limit of a soak run: the rules' longest time for its faults.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "RunLimit.h"

namespace soak {
namespace {

modemsim::Profile SoakModem() {
  std::ifstream file(SOAK_MODEM_PROFILE);
  std::ostringstream text;
  text << file.rdbuf();
  modemsim::Profile profile;
  modemsim::ProfileError error;
  EXPECT_TRUE(modemsim::ParseProfile(text.str(), profile, error)) << error.message;
  return profile;
}

RunPlan Plan(bool dials, std::vector<FaultKind> kinds) {
  RunPlan plan;
  plan.dials = dials;
  for (FaultKind kind : kinds) plan.faults.push_back({kind, ""});
  return plan;
}

// Without faults, by hand from the rules and the VX-56i's answer times:
// 5000 program, 40 open, 500 + 500 purges, then per request the write (100)
// or the echo check (200 per character), 2500 for the echoed line end and
// the modem's answer time + 250 ms of silence: AT*DIAG 100+2500+570, ATI0
// 100+2500+290, AT+GMM 1200+2500+300, ATI3 800+2500+290, AT*VER 1200+2500+290,
// the 5000 of the unattended box, AT*RAM 500+1200+2500+380, AT*CRC 500+1200+2500+340.
TEST(RunLimit, AFaultFreeRunIsTheModemsOwnTimingAndTheRulesWaits) {
  EXPECT_EQ(RunLimitMs(Plan(false, {}), SoakModem()), 37800);
}

TEST(RunLimit, NoFaultShortensALimitAndEachStretchesSomething) {
  const modemsim::Profile modem = SoakModem();
  for (bool dials : {false, true}) {
    const int64_t base = RunLimitMs(Plan(dials, {}), modem);
    for (int k = 0; k < kFaultKinds; ++k) {
      const auto kind = static_cast<FaultKind>(k);
      const bool callOnly = kind == FaultKind::DialWithin || kind == FaultKind::DialBeyond;
      const int64_t limit = RunLimitMs(Plan(dials, {kind}), modem);
      SCOPED_TRACE(FaultName(kind));
      if (callOnly && !dials) {
        EXPECT_EQ(limit, base);
      } else {
        EXPECT_GT(limit, base);
      }
      EXPECT_GE(RunLimitMs(Plan(dials, {kind, FaultKind::Flood}), modem), limit);
    }
  }
}

// A flood stretches every answer to twice its limit plus the pause, every
// echo check to its eleven failures, and the call wait to its minute.
TEST(RunLimit, AFloodTakesEveryPhaseToItsLimit) {
  const modemsim::Profile modem = SoakModem();
  const int64_t quiet = RunLimitMs(Plan(true, {}), modem);
  const int64_t flood = RunLimitMs(Plan(true, {FaultKind::Flood}), modem);
  // AT+GMM alone: 11 failures of 6 characters with limits 100..600 ms, each
  // + 300 ms pause: 6 * (11*200 + 50*55) + 11*300 = 33000 ms of echo check.
  EXPECT_GT(flood - quiet, 33000 + 60000);
  const int64_t echoOnly = RunLimitMs(Plan(false, {FaultKind::EchoLoss}), modem);
  const int64_t none = RunLimitMs(Plan(false, {}), modem);
  // Five echo-checked requests (AT+GMM, ATI3, AT*VER or AT+GMR, AT*RAM,
  // AT*CRC: 6, 4, 6, 6, 6 characters) at 4950 ms per character + 3300 ms
  // instead of 200 per character, and seven line ends at 10 s instead of 2.5 s.
  EXPECT_EQ(echoOnly - none, (4950 - 200) * 28 + 3300 * 5 + 7500 * 7);
  EXPECT_GT(RunLimitMs(Plan(true, {FaultKind::DialBeyond}), modem), RunLimitMs(Plan(true, {}), modem) + 55000);
}

}  // namespace
}  // namespace soak
