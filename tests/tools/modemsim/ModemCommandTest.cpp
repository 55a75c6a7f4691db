// Command mode of the Modem: echo, line editing, answers, rule precedence.
#include <gtest/gtest.h>

#include "ModemDriver.h"

namespace modemsim {
namespace {

TEST(ModemEcho, EchoesAtOnceAndAnswersAfterTheEcho) {
  ModemDriver modem("");
  EXPECT_EQ(modem.Type("A", 0), "A");
  EXPECT_EQ(modem.Type("T\r", 5), "T\r\r\nOK\r\n");
  ASSERT_EQ(modem.AllSent().size(), 3u);
  EXPECT_EQ(modem.AllSent()[1].bytes, "T\r");  // echo is its own burst, before the answer
}

TEST(ModemEcho, Ate0AndAte1SwitchEchoAndAtzRestoresTheProfileDefault) {
  ModemDriver modem("echo off\n");
  EXPECT_EQ(modem.Type("AT\r", 0), "\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATE1\r", 10), "\r\nOK\r\n");  // not echoed: echo was off when typed
  EXPECT_EQ(modem.Type("AT\r", 20), "AT\r\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATE0\r", 30), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATE1\r", 40), "\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATZ\r", 50), "ATZ\r\r\nOK\r\n");
  EXPECT_FALSE(modem.Get().EchoOn());
  EXPECT_TRUE(modem.Noted("echo off"));
}

TEST(ModemEcho, LineFeedIsEchoedButIgnoredAndBackspaceEdits) {
  ModemDriver modem("");
  EXPECT_EQ(modem.Type("\nAX\bT\r", 0), "\nAX\bT\r\r\nOK\r\n");
  EXPECT_TRUE(modem.Noted("command AT"));
  EXPECT_EQ(modem.Type("\b\bAT\r\n", 10), "\b\bAT\r\r\nOK\r\n\n");  // backspace on an empty line
}

TEST(ModemEcho, FaultsReplaceOrDropChosenBytes) {
  ModemDriver modem(
      "echo-fault replace T X\n"
      "echo-fault drop \"\\r\" nth 2\n");
  EXPECT_EQ(modem.Type("AT\r", 0), "AX\r\r\nOK\r\n");
  EXPECT_EQ(modem.Type("AT\r", 10), "AX\r\nOK\r\n");  // 2nd CR not echoed, still executed
  EXPECT_EQ(modem.Type("AT\r", 20), "AX\r\r\nOK\r\n");
  EXPECT_TRUE(modem.Noted("command AT"));  // the command itself is not disturbed
}

TEST(ModemAnswer, PiecesFollowTheirDelaysAndQueueBehindEarlierAnswers) {
  ModemDriver modem("echo off\ncmd AT+GMM = 50 \"M\" 20 \"K\"\ncmd AT+Q = \"Q\" 10 \"R\"\n");
  EXPECT_EQ(modem.Type("AT+GMM\r", 100), "");
  EXPECT_EQ(modem.Get().NextDueMs(), 150);
  EXPECT_EQ(modem.Type("AT+Q\r", 110), "");  // typed before the first answer is out
  modem.RunUntil(1000);
  const auto& sent = modem.AllSent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0].ms, 150);
  EXPECT_EQ(sent[1].ms, 170);
  EXPECT_EQ(sent[1].bytes, "K");
  EXPECT_EQ(sent[2].ms, 170);
  EXPECT_EQ(sent[2].bytes, "Q");
  EXPECT_EQ(sent[3].ms, 180);  // its delay counts from the end of "Q"
}

TEST(ModemAnswer, UnknownAndEmptyLinesUseTheirDefaultsOrTheProfile) {
  ModemDriver plain("echo off\n");
  EXPECT_EQ(plain.Type("AT+NOPE\r", 0), "\r\nERROR\r\n");
  EXPECT_EQ(plain.Type("\r", 10), "");
  ModemDriver custom("echo off\nunknown = \"?\"\nempty = \"\\r\\nOK\\r\\n\"\n");
  EXPECT_EQ(custom.Type("AT+NOPE\r", 0), "?");
  EXPECT_EQ(custom.Type("\r", 10), "\r\nOK\r\n");
}

TEST(ModemAnswer, SequenceAdvancesPerUseAndRepeatsTheLast) {
  ModemDriver modem("echo off\ncmd AT+X = \"E\" then none then \"K\"\n");
  EXPECT_EQ(modem.Type("AT+X\r", 0), "E");
  EXPECT_EQ(modem.Type("AT+X\r", 10), "");
  EXPECT_EQ(modem.Type("AT+X\r", 20), "K");
  EXPECT_EQ(modem.Type("AT+X\r", 30), "K");
}

TEST(ModemAnswer, ExactBeatsLongestPrefixBeatsBuiltinBeatsUnknown) {
  ModemDriver modem(
      "echo off\n"
      "prefix AT+ = \"p1\"\n"
      "prefix AT+C = \"p2\"\n"
      "cmd AT+CX = \"exact\"\n"
      "prefix ATD = \"nodial\"\n"
      "cmd ATZ = \"z\"\n"
      "cmd AT&FE1 = \"f\" echo on\n");
  EXPECT_EQ(modem.Type("AT+CX\r", 0), "exact");
  EXPECT_EQ(modem.Type("AT+CY\r", 10), "p2");
  EXPECT_EQ(modem.Type("AT+Z\r", 20), "p1");
  EXPECT_EQ(modem.Type("ATD123\r", 30), "nodial");
  EXPECT_EQ(modem.Get().Mode(), ModemMode::Command);
  EXPECT_EQ(modem.Type("at+cx\r", 40), "\r\nERROR\r\n");  // rules are case-sensitive
  EXPECT_EQ(modem.Type("ate1\r", 50), "\r\nOK\r\n");       // built-ins are not
  EXPECT_TRUE(modem.Get().EchoOn());
  EXPECT_EQ(modem.Type("ATZ\r", 60), "ATZ\rz");  // overridden: no echo reset
  EXPECT_TRUE(modem.Get().EchoOn());
  EXPECT_EQ(modem.Type("ATE0\r", 70), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(modem.Type("AT&FE1\r", 80), "f");
  EXPECT_TRUE(modem.Get().EchoOn());
}

TEST(ModemAnswer, SilentPortNeitherEchoesNorAnswersNorDials) {
  ModemDriver modem("silent on\ncmd ATI = \"x\"\nempty = \"\\r\\nOK\\r\\n\"\n");
  EXPECT_EQ(modem.Type("AT\rATI\rATE1\r\rATD123\r", 0), "");
  EXPECT_EQ(modem.RunUntil(100000), "");
  EXPECT_FALSE(modem.Noted("command AT"));
}

}  // namespace
}  // namespace modemsim
