// Command line options and the decoding of the line settings.
#include <gtest/gtest.h>

#include <vector>

#include "LineSettings.h"
#include "Options.h"

namespace modemsim {
namespace {

bool Parse(std::vector<const char*> args, Options& options, std::string& error) {
  args.insert(args.begin(), "modemsim");
  return ParseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, AcceptsBothFormsAndAppliesDefaults) {
  Options options;
  std::string error;
  ASSERT_TRUE(Parse({"--link", "/tmp/l", "--profile=p", "--parent", "42", "--time-limit=0.25",
                     "--transcript", "t", "--ready", "r"},
                    options, error))
      << error;
  EXPECT_EQ(options.linkPath, "/tmp/l");
  EXPECT_EQ(options.profilePath, "p");
  EXPECT_EQ(options.parentPid, 42);
  EXPECT_EQ(options.timeLimitMs, 250);
  EXPECT_EQ(options.transcriptPath, "t");
  EXPECT_EQ(options.readyPath, "r");
  ASSERT_TRUE(Parse({"--link", "l", "--profile", "p"}, options, error));
  EXPECT_EQ(options.timeLimitMs, 600000);
  EXPECT_EQ(options.parentPid, 0);
  EXPECT_TRUE(options.faultLines.empty());
  EXPECT_FALSE(options.seed.has_value());
  ASSERT_TRUE(Parse({"--link", "l", "--profile", "p", "--fault", "split 240", "--seed=99",
                     "--fault=off-by-one on"},
                    options, error))
      << error;
  EXPECT_EQ(options.faultLines, (std::vector<std::string>{"split 240", "off-by-one on"}));
  EXPECT_EQ(options.seed, std::optional<uint64_t>(99));
}

TEST(Options, RejectsBadCommandLines) {
  const std::vector<std::vector<const char*>> bad = {
      {"--profile", "p"},
      {"--link", "l", "--profile", "p", "--bogus", "1"},
      {"--link", "l", "--profile"},
      {"--link", "l", "--profile", "p", "--parent", "12x"},
      {"--link", "l", "--profile", "p", "--parent", "0"},
      {"--link", "l", "--profile", "p", "--time-limit", "0"},
      {"--link", "l", "--profile", "p", "--time-limit", "soon"},
      {"--link=", "--profile", "p"},
      {"--link", "l", "--profile", "p", "--seed", "-1"},
      {"--link", "l", "--profile", "p", "--fault"},
  };
  for (const auto& args : bad) {
    Options options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(LineSettings, DecodesSpeedFramingAndFlowControl) {
  termios t {};
  cfsetospeed(&t, B115200);
  t.c_cflag |= CS8 | CRTSCTS;
  EXPECT_EQ(FormatLineSettings(DecodeLineSettings(t)), "115200 8N1 crtscts");
  t = termios{};
  cfsetospeed(&t, B9600);
  t.c_cflag |= CS7 | PARENB | CSTOPB;
  t.c_iflag |= IXON | IXOFF;
  EXPECT_EQ(FormatLineSettings(DecodeLineSettings(t)), "9600 7E2 none ixon ixoff");
  t.c_cflag |= PARODD;
  t.c_iflag = IXOFF;
  EXPECT_EQ(FormatLineSettings(DecodeLineSettings(t)), "9600 7O2 none ixoff");
  t.c_cflag = (t.c_cflag & ~CSIZE) | CS5 | CMSPAR;
  EXPECT_EQ(FormatLineSettings(DecodeLineSettings(t)), "9600 5M2 none ixoff");
}

}  // namespace
}  // namespace modemsim
