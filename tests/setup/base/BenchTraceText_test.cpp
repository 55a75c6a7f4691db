// The trace block that make bench's breakdown reads: its lines in order,
// and what happens when the buffer is too small for all of them.
#include "BenchTraceText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const BenchTraceMarkTime kMarks[] = {{"main", 51.25}, {"page-created", 70.5}, {"page-created", 72.125}};
const BenchTraceBucketTime kBuckets[] = {{"queue-callback", 2014, 1.3456}, {"default-callback", 0, 0.0}};

BenchTraceRun SampleRun()
{
    return BenchTraceRun{"C:\\m\\setup.exe", kMarks, 3, kBuckets, 2, 120.0, 35.5};
}

TEST(BenchTraceText, BlockListsMarksBucketsAndCpuTime)
{
    char text[512];
    const size_t length = FormatBenchTrace(text, sizeof(text), SampleRun());
    EXPECT_EQ(std::string(text),
              "run C:\\m\\setup.exe\n"
              "mark 51.250 main\n"
              "mark 70.500 page-created\n"
              "mark 72.125 page-created\n"
              "bucket queue-callback 2014 1.346\n"
              "bucket default-callback 0 0.000\n"
              "cpu 120.0 35.5\n"
              "end\n");
    EXPECT_EQ(length, std::string(text).size());
}

TEST(BenchTraceText, ShortBufferKeepsWholeLinesAndSaysSo)
{
    // Room for "run", the first mark and the closing lines, not the second mark.
    const size_t size = sizeof("run C:\\m\\setup.exe\nmark 51.250 main\ncut\nend\n") + 5;
    char text[64];
    const size_t length = FormatBenchTrace(text, size, SampleRun());
    EXPECT_EQ(std::string(text), "run C:\\m\\setup.exe\nmark 51.250 main\ncut\nend\n");
    EXPECT_EQ(length, std::string(text).size());

    // Too small even for the closing lines: nothing, but terminated.
    text[0] = 'x';
    EXPECT_EQ(FormatBenchTrace(text, 8, SampleRun()), 0u);
    EXPECT_EQ(text[0], '\0');

    // An empty run still makes a block the script can pair with its time.
    const BenchTraceRun empty = {nullptr, nullptr, 0, nullptr, 0, 0.0, 0.0};
    FormatBenchTrace(text, sizeof(text), empty);
    EXPECT_EQ(std::string(text), "run \ncpu 0.0 0.0\nend\n");
}

}  // namespace
