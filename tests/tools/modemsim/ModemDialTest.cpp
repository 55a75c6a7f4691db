// Dialling, data mode, the +++ escape and the end of a call.
#include <gtest/gtest.h>

#include "ModemDriver.h"

namespace modemsim {
namespace {

constexpr char kDialProfile[] =
    "echo off\n"
    "connect \"CONNECT 9600\"\n"
    "dial default delay 100 connect\n"
    "dial 1 delay 50 connect \"CONNECT 33600/LAPM\"\n"
    "dial 2 busy\n"
    "dial 3 delay 0 no-carrier\n"
    "dial 4 no-dialtone\n"
    "dial 5 error\n"
    "dial 6 none\n"
    "dial 7 busy then delay 20 connect\n"
    "dial 8 delay 45 no-answer\n";

TEST(ModemDial, ResultDependsOnTheNumberAndComesAfterItsDelay) {
  struct Case {
    const char* command;
    int64_t dueMs;
    const char* answer;
    bool connected;
  };
  const Case cases[] = {
      {"ATD999\r", 100, "\r\nCONNECT 9600\r\n", true},
      {"ATDT1\r", 50, "\r\nCONNECT 33600/LAPM\r\n", true},
      {"ATDP2\r", kDefaultDialDelayMs, "\r\nBUSY\r\n", false},
      {"ATD3\r", 0, "\r\nNO CARRIER\r\n", false},
      {"ATD4\r", kDefaultDialDelayMs, "\r\nNO DIALTONE\r\n", false},
      {"atd5\r", kDefaultDialDelayMs, "\r\nERROR\r\n", false},
      {"ATD6\r", kDefaultDialDelayMs, "", false},
      {"ATD8\r", 45, "\r\nNO ANSWER\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    ModemDriver modem(kDialProfile);
    std::string answer = modem.Type(c.command, 1000);
    if (c.dueMs > 0) {
      answer += modem.RunUntil(1000 + c.dueMs - 1);
      EXPECT_EQ(answer, "");
    }
    answer += modem.RunUntil(1000 + c.dueMs);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(modem.RunUntil(100000), "");
    EXPECT_EQ(modem.Get().Connected(), c.connected);
    EXPECT_EQ(modem.Get().Mode(), c.connected ? ModemMode::Data : ModemMode::Command);
  }
}

TEST(ModemDial, RetrySequenceAndBytesWhileDialling) {
  ModemDriver modem(kDialProfile);
  modem.Type("ATD7\r", 0);
  modem.Type("x", 10);  // ignored without abort-dial
  EXPECT_EQ(modem.RunUntil(5000), "\r\nBUSY\r\n");
  modem.Type("ATD7\r", 6000);
  EXPECT_EQ(modem.RunUntil(6020), "\r\nCONNECT 9600\r\n");
  EXPECT_EQ(modem.Type("ATD7\r", 7000), "");  // data mode: neither echoed nor executed
  EXPECT_TRUE(modem.Noted("dial 7"));

  ModemDriver aborting(std::string(kDialProfile) + "abort-dial on\n");
  aborting.Type("ATD999\r", 0);
  EXPECT_EQ(aborting.Type("\r", 50), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(aborting.RunUntil(5000), "");
  EXPECT_FALSE(aborting.Get().Connected());
}

// Connects at 100 ms with a 200 ms guard time.
ModemDriver Connected(const std::string& extra = "") {
  ModemDriver modem(std::string("echo off\nguard 200\ndial default delay 100 connect\n") + extra);
  modem.Type("ATD1\r", 0);
  EXPECT_EQ(modem.RunUntil(100), "\r\nCONNECT 28800/V42\r\n");
  return modem;
}

TEST(ModemData, EscapeNeedsSilenceBeforeAndAfterThreePluses) {
  struct Step {
    int64_t ms;
    const char* bytes;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool escapes;
  };
  const Case cases[] = {
      {"clean", {{300, "+++"}}, true},
      {"pluses spread within guard", {{300, "+"}, {400, "+"}, {500, "+"}}, true},
      {"exactly the guard time", {{150, "data"}, {350, "+++"}}, true},
      {"too soon after data", {{150, "data"}, {349, "+++"}}, false},
      {"too soon after connect", {{299, "+++"}}, false},
      {"data right after", {{300, "+++"}, {499, "x"}}, false},
      {"fourth plus", {{300, "+++"}, {450, "+"}}, false},
      {"other byte then two pluses", {{300, "x++"}}, false},
      {"pluses too far apart", {{300, "++"}, {501, "+"}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModemDriver modem = Connected();
    for (const Step& step : c.steps) modem.Type(step.bytes, step.ms);
    const int64_t lastMs = c.steps.back().ms;
    EXPECT_EQ(modem.RunUntil(lastMs + 199), "");
    EXPECT_EQ(modem.RunUntil(lastMs + 10000), c.escapes ? "\r\nOK\r\n" : "");
    EXPECT_EQ(modem.Get().Mode(), c.escapes ? ModemMode::Command : ModemMode::Data);
    EXPECT_TRUE(modem.Get().Connected());
  }
}

TEST(ModemData, OnlineCommandModeThenAtoThenAth) {
  ModemDriver modem = Connected();
  modem.Type("+++", 300);
  EXPECT_EQ(modem.RunUntil(500), "\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATD2\r", 600), "\r\nERROR\r\n");  // no dialling while connected
  EXPECT_EQ(modem.Type("ATO\r", 700), "\r\nCONNECT 28800/V42\r\n");
  EXPECT_EQ(modem.Get().Mode(), ModemMode::Data);
  EXPECT_EQ(modem.Type("AT\r", 800), "");
  modem.Type("+++", 1000);
  EXPECT_EQ(modem.RunUntil(1200), "\r\nOK\r\n");
  EXPECT_EQ(modem.Type("ATH0\r", 1300), "\r\nOK\r\n");
  EXPECT_FALSE(modem.Get().Connected());
  EXPECT_TRUE(modem.Noted("hangup"));
  EXPECT_EQ(modem.Type("ATO\r", 1400), "\r\nNO CARRIER\r\n");
}

TEST(ModemData, ResetInOnlineCommandModeEndsTheCall) {
  for (const char* reset : {"ATZ\r", "AT&F\r"}) {
    SCOPED_TRACE(reset);
    ModemDriver modem = Connected();
    modem.Type("+++", 300);
    EXPECT_EQ(modem.RunUntil(500), "\r\nOK\r\n");
    EXPECT_EQ(modem.Type(reset, 600), "\r\nOK\r\n");
    EXPECT_FALSE(modem.Get().Connected());
    EXPECT_TRUE(modem.Noted("hangup"));
    EXPECT_EQ(modem.Type("ATO\r", 700), "\r\nNO CARRIER\r\n");
  }
}

TEST(ModemData, DropsByItselfAfterTheConfiguredTime) {
  ModemDriver modem = Connected("drop-after 500\n");
  EXPECT_EQ(modem.RunUntil(599), "");
  EXPECT_EQ(modem.RunUntil(600), "\r\nNO CARRIER\r\n");
  EXPECT_FALSE(modem.Get().Connected());
  EXPECT_EQ(modem.Get().Mode(), ModemMode::Command);
  EXPECT_EQ(modem.Type("AT\r", 700), "\r\nOK\r\n");

  ModemDriver hungUp = Connected("drop-after 500\n");
  hungUp.Type("+++", 300);
  hungUp.Type("ATH\r", 550);
  EXPECT_EQ(hungUp.RunUntil(5000), "");  // no NO CARRIER after a hang-up
}

}  // namespace
}  // namespace modemsim
