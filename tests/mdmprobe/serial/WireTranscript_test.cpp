// The wire transcript's bursts, times and memory bound.
#include "WireTranscript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Wrote(CWireTranscript& wire, uint32_t tick, const std::string& bytes)
{
    wire.Wrote(tick, bytes.data(), bytes.size());
}

// Bytes of one direction merge while no gap exceeds 20 ms; the other
// direction or a longer gap begins a new entry. Times count from the first
// open, across the tick counter's wrap-around.
TEST(WireTranscript, BurstsSplitAtGapsAndTurnsOfDirection)
{
    CWireTranscript wire;
    const uint32_t start = 0xFFFFFFF0u;  // wraps 16 ms later
    wire.Opened(start, "COM3");
    Wrote(wire, start + 5, "A");
    wire.Read(start + 6, "A", 1);
    Wrote(wire, start + 7, "T");
    Wrote(wire, start + 27, "\r");  // 20 ms after the last byte: same burst
    wire.Read(start + 40, "\r\nOK", 4);
    wire.Read(start + 61, "\r\n", 2);  // 21 ms: a new burst
    wire.Read(start + 62, "x", 0);   // nothing read: no entry
    wire.Closed(start + 70, "COM3");

    std::string seen;
    for (const WireEntry& entry : wire.Entries())
        seen += "|" + std::to_string(static_cast<int>(entry.kind)) + " " + std::to_string(entry.ms) + " " + entry.text;
    // Kinds: 0 open, 1 close, 2 out, 3 in.
    EXPECT_EQ("|0 0 COM3|2 5 A|3 6 A|2 7 T\r|3 40 \r\nOK|3 61 \r\n|1 70 COM3", seen);
    EXPECT_EQ(0u, wire.DroppedBytes());
}

// Past the limit the oldest entries go first and their bytes are counted;
// what is kept is the newest and stays within the limit.
TEST(WireTranscript, ManyEntriesDropTheOldestAndCountTheirBytes)
{
    CWireTranscript wire;
    wire.Opened(0, "COM3");
    uint64_t sent = 0;
    for (uint32_t i = 0; i < 20000; ++i) {
        Wrote(wire, i * 100, "AT" + std::to_string(i));  // 100 ms apart: one entry each
        sent += 2 + std::to_string(i).size();
        ASSERT_LE(wire.HeldBytes(), CWireTranscript::kLimitBytes);
    }
    const auto& e = wire.Entries();
    EXPECT_EQ(WireKind::Out, e.front().kind) << "the open event was among the oldest";
    EXPECT_EQ("AT19999", e.back().text);
    uint64_t kept = 0;
    for (const WireEntry& entry : e)
        kept += entry.text.size();
    EXPECT_EQ(sent, kept + wire.DroppedBytes());
    EXPECT_GT(wire.DroppedBytes(), 0u);
}

// A flood without a pause is one burst: its oldest bytes are cut, and the
// newest are kept in order.
TEST(WireTranscript, OneEndlessBurstLosesItsOldestBytes)
{
    CWireTranscript wire;
    std::string all;
    for (uint32_t i = 0; i < 4000; ++i) {
        std::string chunk(256, static_cast<char>('a' + i % 26));
        wire.Read(i, chunk.data(), chunk.size());
        all += chunk;
        ASSERT_LE(wire.HeldBytes(), CWireTranscript::kLimitBytes);
    }
    ASSERT_EQ(1u, wire.Entries().size());
    const std::string& kept = wire.Entries().front().text;
    EXPECT_EQ(all.size(), kept.size() + wire.DroppedBytes());
    EXPECT_EQ(all.substr(all.size() - kept.size()), kept);
    EXPECT_GT(kept.size(), CWireTranscript::kLimitBytes / 2);
}

}  // namespace
