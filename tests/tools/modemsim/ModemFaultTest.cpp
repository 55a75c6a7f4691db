// The fault modes of the Modem: what a misbehaving modem sends, and when.
#include <gtest/gtest.h>

#include "ModemDriver.h"

namespace modemsim {
namespace {

// Times and bytes of everything sent, as "ms:bytes" items.
std::vector<std::string> Timeline(const ModemDriver& modem) {
  std::vector<std::string> items;
  for (const auto& sent : modem.AllSent()) items.push_back(std::to_string(sent.ms) + ":" + sent.bytes);
  return items;
}

using Items = std::vector<std::string>;

TEST(ModemFaults, GarbageFollowsEveryAnswerButNotSilence) {
  ModemDriver modem("echo off\ncmd ATX = 10 \"A\" 5 \"B\"\ncmd ATQ = none\ngarbage \"\\x00\\xFF\" after 30\n");
  modem.Type("ATX\r", 0);
  modem.Type("ATQ\r", 100);
  modem.RunUntil(1000);
  EXPECT_EQ(Timeline(modem), (Items{"10:A", "15:B", "45:" + std::string("\0\xFF", 2)}));
}

TEST(ModemFaults, SplitSendsSingleBytesAtTheGapAlsoForDialResults) {
  ModemDriver modem("echo off\ncmd ATX = 10 \"OK\\r\"\nsplit 260\ndial default delay 50 busy\n");
  modem.Type("ATX\r", 0);
  modem.RunUntil(1000);
  EXPECT_EQ(Timeline(modem), (Items{"10:O", "270:K", "530:\r"}));
  modem.Type("ATD1\r", 2000);
  EXPECT_EQ(modem.RunUntil(2049), "");
  EXPECT_EQ(modem.RunUntil(2050), "\r");  // the call result's first byte at its delay
  EXPECT_EQ(modem.RunUntil(2310), "\n");
  EXPECT_EQ(modem.RunUntil(5000), "BUSY\r\n");
}

TEST(ModemFaults, AroundAndInjectPutBytesIntoEveryPiece) {
  ModemDriver modem("echo off\ncmd ATX = \"OK\" 5 \"Z\"\naround \"\\x00\"\ninject \"\\x80\" every 2\n");
  EXPECT_EQ(modem.Type("ATX\r", 0), std::string("\0O\x80K\0\x80", 6));
  EXPECT_EQ(modem.RunUntil(10), std::string("\0Z\x80\0", 4));
}

TEST(ModemFaults, OffByOneAnswersThePreviousCommandLine) {
  ModemDriver modem("echo off\ncmd AT1 = \"one\"\ncmd AT2 = \"two\"\nempty = \"cr\"\noff-by-one on\n");
  EXPECT_EQ(modem.Type("AT1\r", 0), "");        // nothing held yet
  EXPECT_EQ(modem.Type("\r", 10), "cr");        // a bare CR is answered as usual
  EXPECT_EQ(modem.Type("AT2\r", 20), "one");
  EXPECT_EQ(modem.Type("AT\r", 30), "two");     // built-ins take part
  EXPECT_EQ(modem.Type("ATD5\r", 40), "\r\nOK\r\n");  // dialling lets the held answer go
  EXPECT_EQ(modem.Get().Mode(), ModemMode::Dialling);
}

TEST(ModemFaults, CutSendsTheFirstBytesThenTheLineIsGoneUntilItComesBack) {
  ModemDriver modem("echo off\ncmd ATX = 10 \"\\r\\nOK\" 10 \"\\r\\n\"\ncut ATX 3 back 500\nflood \"F\"\n");
  EXPECT_EQ(modem.RunUntil(0).size(), 230u);  // a flood chunk at line speed
  modem.Type("ATX\r", 1);
  modem.RunUntil(100);
  EXPECT_EQ(modem.AllSent().back().bytes, "\r\nO");
  EXPECT_EQ(modem.AllSent().back().ms, 11);
  EXPECT_TRUE(modem.Get().LineIsGone());
  EXPECT_EQ(modem.Get().NextDueMs(), std::nullopt) << "nothing more goes out, not even the flood";
  EXPECT_EQ(modem.Get().LineBackAfterMs(), 500);
  EXPECT_EQ(modem.Type("AT\r", 200), "");
  modem.Get().LineBack();
  EXPECT_EQ(modem.Type("ATX\r", 800), "");  // only the first answer is cut
  EXPECT_EQ(modem.RunUntil(830), "\r\nOK\r\n");
}

TEST(ModemFaults, FloodStartsOnItsCommandAndRunsAtItsRate) {
  ModemDriver modem("echo off\nflood \"RING\\r\\n\" on ATF rate 1000\n");
  EXPECT_EQ(modem.RunUntil(500), "");
  EXPECT_EQ(modem.Type("ATF\r", 600), "\r\nERROR\r\nRING\r\nRING\r\nRING\r\nRI");
  EXPECT_TRUE(modem.Noted("flood"));
  const std::string second = modem.RunUntil(1600);
  EXPECT_EQ(second.size(), 1000u);  // 20 bytes every 20 ms
  EXPECT_EQ(second.substr(0, 6), "NG\r\nRI");
}

TEST(ModemFaults, RandomDelaysStayInTheirRangesAndRepeatWithTheSeed) {
  const std::string profile =
      "cmd ATX = 100 \"A\" 100 \"B\"\njitter 200 400\necho-delay 50 60\nseed ";
  auto run = [&](const std::string& seed) {
    ModemDriver modem(profile + seed + "\n");
    for (int i = 0; i < 20; ++i) modem.Type("ATX\r", i * 10000);
    modem.RunUntil(1000000);
    return Timeline(modem);
  };
  const Items first = run("7");
  ASSERT_EQ(first.size(), 60u);  // echo, A, B per command
  bool varied = false;
  for (int i = 0; i < 20; ++i) {
    const int64_t start = i * 10000;
    const int64_t echoMs = std::stoll(first[3 * i]) - start;
    const int64_t aMs = std::stoll(first[3 * i + 1]) - start;
    const int64_t bMs = std::stoll(first[3 * i + 2]) - start;
    EXPECT_GE(echoMs, 50);
    EXPECT_LE(echoMs, 60);
    EXPECT_GE(aMs, std::max<int64_t>(echoMs, 300));
    EXPECT_LE(aMs, 500);
    EXPECT_GE(bMs - aMs, 300);
    EXPECT_LE(bMs - aMs, 500);
    varied = varied || aMs != std::stoll(first[1]);
  }
  EXPECT_TRUE(varied);
  EXPECT_EQ(run("7"), first);
  EXPECT_NE(run("8"), first);
}

TEST(ModemFaults, EchoLossLeavesOutSomeEchoesButNeverTheCommand) {
  ModemDriver some("echo-loss 50\n");
  const std::string typed = "ATATATATATATATATATATATATATATAT\r";
  const std::string echo = some.Type(typed, 0);
  EXPECT_GT(echo.size(), 5u);
  EXPECT_LT(echo.size(), typed.size() - 5);
  EXPECT_TRUE(some.Noted("command ATATATATATATATATATATATATATATAT"));
  ModemDriver none("echo-loss 100\n");
  EXPECT_EQ(none.Type("AT\r", 0), "\r\nOK\r\n");
}

}  // namespace
}  // namespace modemsim
