// The wire transcript's bursts, times and memory bound.
#include "WireTranscript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Wrote(CWireTranscript& wire, uint32_t tick, const std::string& bytes)
{
    wire.Wrote(tick, bytes.data(), bytes.size());
}
void Read(CWireTranscript& wire, uint32_t tick, const std::string& bytes)
{
    wire.Read(tick, bytes.data(), bytes.size());
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
    Read(wire, start + 6, "A");
    Wrote(wire, start + 7, "T");
    Wrote(wire, start + 27, "\r");  // 20 ms after the last byte: same burst
    Read(wire, start + 40, "\r\nOK");
    Read(wire, start + 61, "\r\n");  // 21 ms: a new burst
    wire.Read(start + 62, "x", 0);   // nothing read: no entry
    wire.Closed(start + 70, "COM3");

    const auto& e = wire.Entries();
    ASSERT_EQ(7u, e.size());
    EXPECT_EQ(WireKind::Open, e[0].kind);
    EXPECT_EQ("COM3", e[0].text);
    EXPECT_EQ(0u, e[0].ms);
    EXPECT_EQ(WireKind::Out, e[1].kind);
    EXPECT_EQ("A", e[1].text);
    EXPECT_EQ(WireKind::In, e[2].kind);
    EXPECT_EQ(6u, e[2].ms);
    EXPECT_EQ("T\r", e[3].text);
    EXPECT_EQ(7u, e[3].ms);
    EXPECT_EQ("\r\nOK", e[4].text);
    EXPECT_EQ("\r\n", e[5].text);
    EXPECT_EQ(61u, e[5].ms);
    EXPECT_EQ(WireKind::Close, e[6].kind);
    EXPECT_EQ(70u, e[6].ms);
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
        Read(wire, i, chunk);
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
