// Profile text parsing: every directive, defaults, and errors with line numbers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Profile.h"

namespace modemsim {
namespace {

TEST(ProfileParse, EmptyTextGivesTheDefaults) {
  Profile p;
  ProfileError error;
  ASSERT_TRUE(ParseProfile("# nothing\n\n   \n", p, error));
  EXPECT_TRUE(p.echoOn);
  EXPECT_EQ(p.unknown.at(0).at(0).bytes, "\r\nERROR\r\n");
  EXPECT_TRUE(p.emptyLine.at(0).empty());
  EXPECT_EQ(p.guardMs, 1000);
  EXPECT_EQ(p.dialDefault.at(0).outcome, DialOutcome::Connect);
}

// Directive meanings are covered by the Modem tests; this checks the syntax.
TEST(ProfileParse, QuotingCommentsSequencesAndLineNumbers) {
  const std::string text =
      "echo off   # trailing comment\r\n"
      "cmd AT+GMM = 50 \"\\r\\n+GMM: \\\"M\\\"\" 20 \"\\x4B\" then none\n"
      "cmd AT+CGDCONT=1,\"IP\" = \"a\" echo on\n"
      "cmd \"AT #1\" = \"b\"\n"
      "dial 0123 busy then delay 10 connect \"CONNECT 9600\"\n";
  Profile p;
  ProfileError error;
  ASSERT_TRUE(ParseProfile(text, p, error)) << error.line << ": " << error.message;
  EXPECT_FALSE(p.echoOn);
  ASSERT_EQ(p.commands.size(), 3u);
  const AnswerSequence& gmm = p.commands[0].answers;
  ASSERT_EQ(gmm.size(), 2u);
  ASSERT_EQ(gmm[0].size(), 2u);
  EXPECT_EQ(gmm[0][0].delayMs, 50);
  EXPECT_EQ(gmm[0][0].bytes, "\r\n+GMM: \"M\"");
  EXPECT_EQ(gmm[0][1].delayMs, 20);
  EXPECT_EQ(gmm[0][1].bytes, "K");
  EXPECT_TRUE(gmm[1].empty());
  EXPECT_EQ(p.commands[1].text, "AT+CGDCONT=1,\"IP\"");
  EXPECT_EQ(p.commands[1].setsEcho, std::optional<bool>(true));
  EXPECT_EQ(p.commands[1].sourceLine, 3);
  EXPECT_EQ(p.commands[2].text, "AT #1");
  const std::vector<DialResult>& dial = p.dialNumbers.at(0).results;
  ASSERT_EQ(dial.size(), 2u);
  EXPECT_EQ(dial[0].outcome, DialOutcome::Busy);
  EXPECT_EQ(dial[0].delayMs, kDefaultDialDelayMs);
  EXPECT_EQ(dial[1].delayMs, 10);
  EXPECT_EQ(dial[1].connectText, "CONNECT 9600");
}

TEST(ProfileParse, ShippedExamplesParse) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MODEMSIM_PROFILES_DIR)) {
    SCOPED_TRACE(entry.path().string());
    std::ifstream file(entry.path());
    std::ostringstream text;
    text << file.rdbuf();
    Profile profile;
    ProfileError error;
    EXPECT_TRUE(ParseProfile(text.str(), profile, error)) << error.line << ": " << error.message;
    EXPECT_FALSE(profile.commands.empty());
    ++count;
  }
  EXPECT_GE(count, 3);
}

TEST(ProfileParse, FaultDirectivesAndTheirDefaults) {
  Profile p;
  ProfileError error;
  ASSERT_TRUE(ParseProfile("garbage \"\\x00\"\nflood RING\ncut ATI0 5\n", p, error)) << error.message;
  EXPECT_EQ(p.faults.garbage, std::string(1, '\0'));
  EXPECT_EQ(p.faults.garbageAfterMs, 20);
  EXPECT_EQ(p.faults.floodOn, "");
  EXPECT_EQ(p.faults.floodBytesPerSecond, 11520);
  EXPECT_EQ(p.faults.cutBackAfterMs, -1);
  EXPECT_EQ(p.faults.splitGapMs, -1);
  EXPECT_EQ(p.faults.seed, 1u);
  ASSERT_TRUE(ParseProfile(
      "garbage \"G\" after 70\nflood \"F\\r\" on AT+GMM rate 500\ncut AT*RAM 9 back 2000\n"
      "split 240\naround \"\\x00\\x01\"\ninject \"\\xFF\" every 4\noff-by-one on\n"
      "jitter 10 9000\necho-delay 90 110\necho-loss 30\nseed 1234567890123456789\n",
      p, error))
      << error.line << ": " << error.message;
  const Faults& f = p.faults;
  EXPECT_EQ(f.garbageAfterMs, 70);
  EXPECT_EQ(f.flood, "F\r");
  EXPECT_EQ(f.floodOn, "AT+GMM");
  EXPECT_EQ(f.floodBytesPerSecond, 500);
  EXPECT_EQ(f.cutOn, "AT*RAM");
  EXPECT_EQ(f.cutAfterBytes, 9);
  EXPECT_EQ(f.cutBackAfterMs, 2000);
  EXPECT_EQ(f.splitGapMs, 240);
  EXPECT_EQ(f.around, std::string("\0\x01", 2));
  EXPECT_EQ(f.inject, "\xFF");
  EXPECT_EQ(f.injectEvery, 4);
  EXPECT_TRUE(f.offByOne);
  EXPECT_EQ(f.jitterMinMs, 10);
  EXPECT_EQ(f.jitterMaxMs, 9000);
  EXPECT_EQ(f.echoDelayMinMs, 90);
  EXPECT_EQ(f.echoDelayMaxMs, 110);
  EXPECT_EQ(f.echoLossPercent, 30);
  EXPECT_EQ(f.seed, 1234567890123456789u);
}

TEST(ProfileErrors, NameTheLineAndTheProblem) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"echo on\ncmdd AT = \"x\"\n", 2, "unknown directive 'cmdd'"},
      {"echo maybe", 1, "echo expects 'on' or 'off', got 'maybe'"},
      {"silent", 1, "silent expects 'on' or 'off', got end of line"},
      {"\n\ncmd AT \"x\"", 3, "expected '=' after command text, got \"x\""},
      {"cmd AT = 50", 1, "expected quoted text after delay 50, got end of line"},
      {"cmd AT =", 1, "expected an answer"},
      {"cmd AT = \"x\" junk", 1, "unexpected 'junk'"},
      {"cmd AT = \"x", 1, "unterminated quoted text"},
      {"cmd AT = \"\\q\"", 1, "unknown escape '\\q'"},
      {"cmd AT = \"\\x4\"", 1, "\\x needs two hex digits"},
      {"cmd AT = \"a\"\"b\"", 1, "quoted text must be followed by a blank"},
      {"cmd \"\" = \"x\"", 1, "command text must not be empty"},
      {"cmd AT = \"a\"\n#\ncmd AT = \"b\"", 3, "duplicate cmd \"AT\" (first at line 1)"},
      {"guard 0", 1, "guard (ms) must be between 1 and 3600000, got 0"},
      {"drop-after 99999999999", 1, "must be between 0 and 3600000"},
      {"guard -5", 1, "guard (ms) must be a whole number, got '-5'"},
      {"dial default delay 10", 1, "expected a dial result"},
      {"dial 1 busy\ndial 1 error", 2, "duplicate dial \"1\" (first at line 1)"},
      {"echo-fault replace T XY", 1, "echo-fault replacement must be exactly one character"},
      {"echo-fault drop T nth 0", 1, "nth must be between 1"},
      {"\"echo\" on", 1, "expected a directive"},
      {"jitter 300 200", 1, "jitter (ms): the least (300) is more than the most (200)"},
      {"inject \"x\" 3", 1, "inject expects 'every', got '3'"},
      {"echo-loss 101", 1, "echo-loss (%) must be between 0 and 100"},
      {"garbage \"\"", 1, "garbage needs a non-empty text"},
      {"cut ATX", 1, "cut after (bytes) must be a whole number, got end of line"},
      {"seed 12345678901234567890", 1, "seed must be a whole number of at most 19 digits"},
      {"flood \"x\" rate 0", 1, "flood rate (bytes/s) must be between 1"},
      {"split 10 20", 1, "unexpected '20'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Profile profile;
    ProfileError error;
    ASSERT_FALSE(ParseProfile(c.text, profile, error));
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
  }
}

}  // namespace
}  // namespace modemsim
