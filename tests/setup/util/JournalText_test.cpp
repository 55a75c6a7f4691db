// The installation journal's records as text, on the host: what a killed
// run leaves must read back as exactly the records written before the kill.
#include "JournalText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(JournalText, RecordsReadBackWithAnyBytesInTheirFields)
{
    const std::string binary("\x00\x01\xff\t\n", 5);
    const JournalRecord written[] = {
        {JournalTag::Begin, {"204", "2026-12-09 07:00:00"}},
        {JournalTag::FileKept, {"C:\\Program Files\\Vantor\\a\tb.exe", "C:\\windows\\VantorSetupJournal\\1-2\\k1"}},
        {JournalTag::ValueKept, {"HKLM", "Software\\Vantor", "", "3", HexOf(binary.data(), binary.size())}},
        {JournalTag::IniKept, {"C:\\windows\\win.ini", "Vantor", "Line", "two\r\nlines \\ and a backslash"}},
        {JournalTag::ProgramRan, {"C:\\x.exe"}},
    };
    std::string text;
    for (const JournalRecord& record : written)
        text += JournalLine(record);
    EXPECT_EQ(5, std::count(text.begin(), text.end(), '\n')) << "one line per record, whatever the fields hold";

    bool damaged = true;
    const std::vector<JournalRecord> read = ReadJournal(text, &damaged);
    EXPECT_FALSE(damaged);
    ASSERT_EQ(5u, read.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(written[i].tag, read[i].tag) << i;
        EXPECT_EQ(written[i].fields, read[i].fields) << i;
    }
    std::string bytes;
    ASSERT_TRUE(BytesOfHex(read[2].fields[4], &bytes));
    EXPECT_EQ(binary, bytes);

    // A run killed in the middle of a write leaves a cut last line: the
    // change it describes was never made, so it is dropped, not damage.
    const std::vector<JournalRecord> cut = ReadJournal(text.substr(0, text.size() - 3), &damaged);
    EXPECT_FALSE(damaged);
    EXPECT_EQ(4u, cut.size());
}

TEST(JournalText, DamageEndsTheReading)
{
    const std::string good = JournalLine({JournalTag::FileCreated, {"C:\\a"}});
    bool damaged = false;
    for (const std::string& bad : {std::string("file-made\tC:\\b\n"), std::string("file-created\tC:\\b\textra\n"),
                                   std::string("file-created\tC:\\b\\q\n"), std::string("value-absent\tHKLM\tkey\n")}) {
        const std::vector<JournalRecord> read = ReadJournal(good + bad + good, &damaged);
        EXPECT_TRUE(damaged) << bad;
        EXPECT_EQ(1u, read.size()) << bad;
    }
    std::string bytes;
    EXPECT_FALSE(BytesOfHex("abc", &bytes));
    EXPECT_FALSE(BytesOfHex("zz", &bytes));
    EXPECT_TRUE(BytesOfHex("", &bytes));
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
