// The real modemsim binary on a real pty, driven like a PC program would.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <sstream>

#include "SimulatorProcess.h"

namespace modemsim {
namespace {

constexpr int kReplyTimeoutMs = 2000;
constexpr char kProfile[] =
    "cmd AT+GMM = 300 \"\\r\\nM56\\r\\n\" 200 \"\\r\\nOK\\r\\n\"\n"
    "guard 200\n"
    "dial default delay 100 connect\n";

bool LinkExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Lines of the transcript; also checks their form and that time never goes back.
std::vector<std::string> TranscriptLines(const std::string& text) {
  const std::regex form(R"(^(\d+) [<>#] .*$)");
  std::vector<std::string> lines;
  std::istringstream stream(text);
  long lastMs = 0;
  for (std::string line; std::getline(stream, line);) {
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, form)) << line;
    if (match.size() == 2) {
      EXPECT_GE(std::stol(match[1]), lastMs) << line;
      lastMs = std::stol(match[1]);
    }
    lines.push_back(line.substr(line.find(' ') + 1));
  }
  return lines;
}

long TimeOf(const std::string& transcript, const std::string& entry) {
  const size_t at = transcript.find(" " + entry + "\n");
  if (at == std::string::npos) return -1;
  const size_t start = transcript.rfind('\n', at);
  return std::stol(transcript.substr(start == std::string::npos ? 0 : start + 1));
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& entry) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == entry) return i;
  }
  ADD_FAILURE() << "no transcript line '" << entry << "'";
  return lines.size();
}

TEST(EndToEnd, TalksLikeAModemAndRecordsTheWire) {
  SimulatorProcess sim(kProfile);
  ASSERT_EQ(symlink("/nonexistent/stale", sim.LinkPath().c_str()), 0);
  sim.Start();
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  char target[256] = {};
  ASSERT_GT(readlink(sim.LinkPath().c_str(), target, sizeof(target) - 1), 0);
  EXPECT_EQ(std::string(target).rfind("/dev/pts/", 0), 0u) << target;
  EXPECT_EQ(sim.Stdout(), std::string("modemsim: ready ") + target + "\n");

  const int port = OpenPort(sim.LinkPath());
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "AT\r", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\nOK\r\n", kReplyTimeoutMs), "AT\r\r\nOK\r\n");
  ASSERT_EQ(write(port, "ATD5\r", 5), 5);
  EXPECT_EQ(ReadUntil(port, "\r\nCONNECT 28800/V42\r\n", kReplyTimeoutMs),
            "ATD5\r\r\nCONNECT 28800/V42\r\n");
  SleepMs(250);  // guard time of silence before the escape
  const int64_t plusMs = NowMs();
  ASSERT_EQ(write(port, "+++", 3), 3);
  EXPECT_EQ(ReadUntil(port, "\r\nOK\r\n", kReplyTimeoutMs), "\r\nOK\r\n");
  EXPECT_GE(NowMs() - plusMs, 190);  // OK only after the guard time after "+++"
  ASSERT_EQ(write(port, "ATH\r", 4), 4);
  EXPECT_EQ(ReadUntil(port, "\r\nOK\r\n", kReplyTimeoutMs), "ATH\r\r\nOK\r\n");
  close(port);

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.WaitExit(kReplyTimeoutMs), 0);
  EXPECT_FALSE(LinkExists(sim.LinkPath()));
  const std::vector<std::string> lines = TranscriptLines(sim.Transcript());
  const size_t lineEvent = IndexOf(lines, "# line 115200 8N1 crtscts");
  EXPECT_LT(lineEvent, IndexOf(lines, "< AT\\r"));
  EXPECT_LT(IndexOf(lines, "# ready " + std::string(target)), lineEvent);
  const size_t answer = IndexOf(lines, "> \\r\\nOK\\r\\n");
  EXPECT_LT(IndexOf(lines, "> AT\\r"), answer);
  EXPECT_LT(IndexOf(lines, "# dial 5"), IndexOf(lines, "# mode data"));
  EXPECT_LT(IndexOf(lines, "< +++"), IndexOf(lines, "# escape"));
  EXPECT_LT(IndexOf(lines, "# hangup"), IndexOf(lines, "# exit signal SIGTERM"));
}

TEST(EndToEnd, AnswerPiecesKeepTheirDelaysAndThePortCanBeReopened) {
  SimulatorProcess sim(kProfile);
  sim.Start();
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  int port = OpenPort(sim.LinkPath());
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "AT+GMM\r", 7), 7);
  const int64_t sentMs = NowMs();
  EXPECT_EQ(ReadUntil(port, "\r\nM56\r\n", kReplyTimeoutMs), "AT+GMM\r\r\nM56\r\n");
  const int64_t modelMs = NowMs();
  EXPECT_EQ(ReadUntil(port, "\r\nOK\r\n", kReplyTimeoutMs), "\r\nOK\r\n");
  const int64_t okMs = NowMs();
  // Lower limits are exact; upper limits leave room for a busy machine
  // but still catch a delay applied twice.
  EXPECT_GE(modelMs - sentMs, 290);
  EXPECT_LE(modelMs - sentMs, 550);
  EXPECT_GE(okMs - modelMs, 180);
  EXPECT_LE(okMs - modelMs, 380);

  // The PC program closes the port while an answer is due, then reopens it.
  ASSERT_EQ(write(port, "AT+GMM\r", 7), 7);
  close(port);
  SleepMs(600);
  port = OpenPort(sim.LinkPath());
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "AT\r", 3), 3);
  const std::string reply = ReadUntil(port, "AT\r\r\nOK\r\n", kReplyTimeoutMs);
  EXPECT_NE(reply.find("AT\r\r\nOK\r\n"), std::string::npos) << reply;
  close(port);
  EXPECT_EQ(sim.WaitExit(0), -1);  // still running
  EXPECT_EQ(sim.Transcript().find("pty-hangup"), std::string::npos);  // master never lost the slave

  const std::string transcript = sim.Transcript();
  const long receivedMs = TimeOf(transcript, "< AT+GMM\\r");
  const long modelSentMs = TimeOf(transcript, "> \\r\\nM56\\r\\n");
  ASSERT_GE(receivedMs, 0);
  EXPECT_GE(modelSentMs - receivedMs, 300);
  EXPECT_LE(modelSentMs - receivedMs, 450);
}

// Everything read from `fd` within `ms`; `hungUp` tells whether the port
// reported a hang-up meanwhile.
std::string ReadFor(int fd, int ms, bool* hungUp = nullptr) {
  const int64_t endMs = NowMs() + ms;
  std::string got;
  for (int64_t left = ms; left > 0; left = endMs - NowMs()) {
    pollfd port {fd, POLLIN, 0};
    if (poll(&port, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof(buffer));
    if (count > 0) {
      got.append(buffer, static_cast<size_t>(count));
      continue;
    }
    if (hungUp) *hungUp = true;
    SleepMs(5);
  }
  return got;
}

// The fault given on the command line: the answer is cut after four bytes,
// the PC's port is hung up and the link gone; a new line comes back at the
// link later and works from scratch.
TEST(EndToEnd, CutLineHangsUpThePortUntilANewLineComesBack) {
  SimulatorProcess sim(kProfile);
  sim.Start({"--fault", "cut AT+GMM 4 back 600"});
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  char first[256] = {};
  ASSERT_GT(readlink(sim.LinkPath().c_str(), first, sizeof(first) - 1), 0);
  const int port = OpenPort(sim.LinkPath());
  ASSERT_GE(port, 0);
  ASSERT_EQ(write(port, "AT+GMM\r", 7), 7);
  bool hungUp = false;
  EXPECT_EQ(ReadFor(port, 500, &hungUp), "AT+GMM\r\r\nM5");
  EXPECT_TRUE(hungUp);
  EXPECT_FALSE(LinkExists(sim.LinkPath()));
  EXPECT_LT(write(port, "AT\r", 3), 0) << "the old port stays dead";
  close(port);

  const int64_t waitedFrom = NowMs();
  while (!LinkExists(sim.LinkPath()) && NowMs() - waitedFrom < kReplyTimeoutMs) SleepMs(10);
  char second[256] = {};
  ASSERT_GT(readlink(sim.LinkPath().c_str(), second, sizeof(second) - 1), 0);
  const int again = OpenPort(sim.LinkPath());
  ASSERT_GE(again, 0);
  ASSERT_EQ(write(again, "AT+GMM\r", 7), 7);
  EXPECT_EQ(ReadUntil(again, "\r\nOK\r\n", kReplyTimeoutMs), "AT+GMM\r\r\nM56\r\n\r\nOK\r\n");
  close(again);
  const std::string transcript = sim.Transcript();
  EXPECT_NE(transcript.find(" # line-gone\n"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find(std::string(" # line-back ") + second + "\n"), std::string::npos) << transcript;
  EXPECT_GE(TimeOf(transcript, std::string("# line-back ") + second) - TimeOf(transcript, "# line-gone"), 600);
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.WaitExit(kReplyTimeoutMs), 0);
  EXPECT_FALSE(LinkExists(sim.LinkPath()));
}

// A flood at 20000 bytes/s keeps coming; while the port is not read it is
// lost instead of piling up, so an answer comes at once when reading resumes.
TEST(EndToEnd, FloodRunsWithoutEndAndIsLostWhileThePortIsNotRead) {
  SimulatorProcess sim(kProfile);
  sim.Start({"--fault", "flood \"0123456789\" rate 20000"});
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  const int port = OpenPort(sim.LinkPath());
  ASSERT_GE(port, 0);
  const std::string flood = ReadFor(port, 500);
  EXPECT_GT(flood.size(), 4000u);
  EXPECT_LT(flood.size(), 16000u);
  SleepMs(1500);  // the pty's buffer fills up
  ASSERT_EQ(write(port, "AT\r", 3), 3);
  const int64_t sentMs = NowMs();
  std::string reply;
  while (reply.find("\r\nOK\r\n") == std::string::npos && NowMs() - sentMs < kReplyTimeoutMs) {
    reply += ReadFor(port, 50);
  }
  EXPECT_NE(reply.find("\r\nOK\r\n"), std::string::npos);
  EXPECT_LT(NowMs() - sentMs, 1000);
  close(port);
}

TEST(EndToEnd, EndsWhenTheParentIsGone) {
  const pid_t parent = fork();
  if (parent == 0) {
    pause();
    _exit(0);
  }
  SimulatorProcess sim(kProfile);
  sim.Start({"--parent", std::to_string(parent)});
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  SleepMs(100);
  EXPECT_EQ(sim.WaitExit(0), -1);  // still running while the parent lives
  kill(parent, SIGKILL);
  waitpid(parent, nullptr, 0);
  const int64_t goneMs = NowMs();
  EXPECT_EQ(sim.WaitExit(kReplyTimeoutMs), 0);
  EXPECT_LT(NowMs() - goneMs, 500);
  EXPECT_FALSE(LinkExists(sim.LinkPath()));
  EXPECT_NE(sim.Transcript().find(" # exit parent-gone\n"), std::string::npos);
}

TEST(EndToEnd, EndsAtTheTimeLimit) {
  SimulatorProcess sim(kProfile);
  const int64_t startMs = NowMs();
  sim.Start({"--time-limit", "0.5"});
  ASSERT_TRUE(sim.WaitReady(kReplyTimeoutMs)) << sim.Stderr();
  EXPECT_TRUE(LinkExists(sim.LinkPath()));
  EXPECT_EQ(sim.WaitExit(3000), 0);
  EXPECT_GE(NowMs() - startMs, 480);
  EXPECT_FALSE(LinkExists(sim.LinkPath()));
  EXPECT_NE(sim.Transcript().find(" # exit time-limit\n"), std::string::npos);
}

TEST(EndToEnd, BadProfileOrArgumentsExitWithTwo) {
  SimulatorProcess sim("echo on\nbogus 1\n");
  sim.Start();
  EXPECT_EQ(sim.WaitExit(kReplyTimeoutMs), 2);
  EXPECT_NE(sim.Stderr().find(sim.ProfilePath() + ":2: unknown directive 'bogus'"),
            std::string::npos)
      << sim.Stderr();
  EXPECT_FALSE(LinkExists(sim.LinkPath()));

  SimulatorProcess badArgs(kProfile);
  badArgs.Start({"--time-limit", "soon"});
  EXPECT_EQ(badArgs.WaitExit(kReplyTimeoutMs), 2);
  EXPECT_NE(badArgs.Stderr().find("--time-limit"), std::string::npos) << badArgs.Stderr();
}

}  // namespace
}  // namespace modemsim
