#include "BufCopy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A buffer of 8 usable bytes between guard bytes that must never change.
struct Guarded
{
    char before = '#';
    char buf[8];
    char after = '#';
    Guarded() { std::memset(buf, 'x', sizeof(buf)); }
    bool Intact() const { return before == '#' && after == '#'; }
};

TEST(BufCopy, SetCutsAtCapacityAndAlwaysTerminates)
{
    struct Case { const char* src; const char* expected; size_t returned; };
    const Case cases[] = {
        {"abcdef", "abcdef", 6},     // capacity - 2
        {"abcdefg", "abcdefg", 7},   // capacity - 1: fits exactly
        {"abcdefgh", "abcdefg", 7},  // capacity: cut by one
        {"abcdefghijk", "abcdefg", 7},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        Guarded g;
        EXPECT_EQ(c.returned, BufSet(g.buf, sizeof(g.buf), c.src)) << c.src;
        EXPECT_STREQ(c.expected, g.buf) << c.src;
        EXPECT_TRUE(g.Intact()) << c.src;
        Guarded s;
        EXPECT_EQ(c.returned, BufSet(s.buf, sizeof(s.buf), std::string(c.src))) << c.src;
        EXPECT_STREQ(c.expected, s.buf) << c.src;
        EXPECT_TRUE(s.Intact()) << c.src;
    }
    Guarded g;
    EXPECT_EQ(0u, BufSet(g.buf, 0, "abc"));
    EXPECT_EQ('x', g.buf[0]) << "capacity 0 writes nothing";
    EXPECT_EQ(0u, BufSet(g.buf, 1, "abc"));
    EXPECT_EQ('\0', g.buf[0]);
}

TEST(BufCopy, AppendFillsUpToCapacity)
{
    Guarded g;
    BufSet(g.buf, sizeof(g.buf), "abc");
    EXPECT_EQ(6u, BufAppend(g.buf, sizeof(g.buf), "def"));
    EXPECT_EQ(7u, BufAppend(g.buf, sizeof(g.buf), "ghi"));
    EXPECT_STREQ("abcdefg", g.buf);
    EXPECT_EQ(7u, BufAppend(g.buf, sizeof(g.buf), "j"));
    EXPECT_TRUE(g.Intact());

    Guarded unterminated;  // all 'x', no terminator inside the capacity
    EXPECT_EQ(7u, BufAppend(unterminated.buf, sizeof(unterminated.buf), "y"));
    EXPECT_EQ('\0', unterminated.buf[7]);
    EXPECT_TRUE(unterminated.Intact());
}

TEST(BufCopy, FormatReportsWhatWasWritten)
{
    Guarded g;
    EXPECT_EQ(7, BufFormat(g.buf, sizeof(g.buf), "%s-%d", "abcdef", 12345));
    EXPECT_STREQ("abcdef-", g.buf);
    EXPECT_TRUE(g.Intact());
    EXPECT_EQ(5, BufFormat(g.buf, sizeof(g.buf), "0x%02x", 0x1ab));
    EXPECT_STREQ("0x1ab", g.buf);
    EXPECT_TRUE(BufFits(8, "abcdefg"));
    EXPECT_FALSE(BufFits(8, "abcdefgh"));
    EXPECT_FALSE(BufFits(0, ""));
}

}  // namespace
