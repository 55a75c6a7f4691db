// Byte escaping for the transcript and unescaping of profile text.
#include <gtest/gtest.h>

#include "Escape.h"

namespace modemsim {
namespace {

TEST(Escape, WritesControlBytesAndBackslashAsEscapes) {
  const char raw[] = "A \"z\"~\\\r\n\t\x01\x7F\xFF\0";
  const std::string bytes(raw, sizeof(raw) - 1);  // keeps the NUL byte
  EXPECT_EQ(EscapeBytes(bytes), "A \"z\"~\\\\\\r\\n\\t\\x01\\x7F\\xFF\\x00");
}

TEST(Escape, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  std::string back;
  std::string error;
  ASSERT_TRUE(UnescapeText(EscapeBytes(all), back, error)) << error;
  EXPECT_EQ(back, all);
  ASSERT_TRUE(UnescapeText("\\\"q\\x4a\\x4B", back, error));
  EXPECT_EQ(back, "\"qJK");
}

TEST(Escape, RejectsBadEscapes) {
  std::string out;
  std::string error;
  for (const char* bad : {"\\q", "\\x4", "\\xG0", "ab\\"}) {
    SCOPED_TRACE(bad);
    error.clear();
    EXPECT_FALSE(UnescapeText(bad, out, error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace modemsim
