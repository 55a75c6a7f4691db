// Decoding of the diagnostic report into log lines, on the host: the worked
// example line by line, every output form, the parser's corner cases and
// the description entries.
#include "DiagReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char kPath[] = "C:\\Tools\\mdmprobe.ini";

Lines Decode(const Lines& entries, const std::string& report)
{
    return DecodeDiagLines(LoadDiagKeys(entries), report, kPath);
}

TEST(DiagReport, WorkedExampleGivesItsThirtySevenLines)
{
    // Entries come in file order; the decoder sorts them itself.
    const Lines entries = {"1-definition=Line state", "1-unit=Bitmap", "1-0=Carrier",
                           "1-1=Sync",                "2-definition=Speed", "2-unit=bps"};
    Lines expected = {"Token = 0xA0", "Key 0x01 = Line state",
                      "  Bitmap 00000000000000000000000000000011:", "  Bit 00 is 1 = Carrier",
                      "  Bit 01 is 1 = Sync"};
    for (int bit = 2; bit < 32; ++bit) {
        char line[80];
        std::snprintf(line, sizeof(line), "  Bit %02d is 0 = not described in %s!", bit, kPath);
        expected.push_back(line);
    }
    expected.push_back("Key 0x02 = Speed");
    expected.push_back("  0x2580 = 9600 bps");
    EXPECT_EQ(expected, Decode(entries, "\r\nDIAG <A0 1=3 2=2580>\r\n\r\nOK\r\n"));
}

TEST(DiagReport, OutputForms)
{
    const Lines entries = {"3-definition=Modulation", "3-unit=String",   "4-definition=Reason",
                           "4-unit=code",             "4-0=None",        "4-2=Carrier lost",
                           "5-definition=Level",      "5-unit=-dBm",     "6-definition=Flags",
                           "6-unit=Bitmap",           "7-Definition = Mixed case ",
                           "7-UNIT=String",           "8-definition=Case", "8-unit=bitmap"};
    const struct
    {
        const char* report;
        Lines lines;
    } cases[] = {
        // A quoted text keeps its blanks; no quotes for a described key, ">" not part of it.
        {"DIAG <1 3=\"V.34  33600\">", {"Token = 0x1", "Key 0x03 = Modulation", "  String = V.34  33600"}},
        {"DIAG <1 3=\"V.90\">", {"Token = 0x1", "Key 0x03 = Modulation", "  String = V.90"}},
        {"DIAG <1 3=\" lead\" >", {"Token = 0x1", "Key 0x03 = Modulation", "  String = lead"}},
        {"DIAG <1 3=V.22>", {"Token = 0x1", "Key 0x03 = Modulation", "  String = V.22"}},
        // Described values, a value without description.
        {"DIAG <1 4=2 4=0 4=1F>",
         {"Token = 0x1", "Key 0x04 = Reason", "    0x02 = Carrier lost", "Key 0x04 = Reason",
          "    0x00 = None", "Key 0x04 = Reason",
          std::string("    0x1f not described in ") + kPath + "!"}},
        // Plain numbers in three widths, lower-case hex.
        {"DIAG <1 5=FF 5=100 5=FFF 5=1000 5=ABCDEF>",
         {"Token = 0x1", "Key 0x05 = Level", "    0xff = 255 -dBm", "Key 0x05 = Level",
          "   0x100 = 256 -dBm", "Key 0x05 = Level", "   0xfff = 4095 -dBm", "Key 0x05 = Level",
          "  0x1000 = 4096 -dBm", "Key 0x05 = Level", "  0xabcdef = 11259375 -dBm"}},
        // A bitmap without bit descriptions shows only its bits; bit 31 comes first.
        {"DIAG <1 6=80000001>", {"Token = 0x1", "Key 0x06 = Flags", "  Bitmap 10000000000000000000000000000001:"}},
        // "definition" and "unit" in any case, the unit value only in exact case.
        {"DIAG <1 7=\"x y\" 8=3>",
         {"Token = 0x1", "Key 0x07 = Mixed case", "  String = x y", "Key 0x08 = Case",
          "    0x03 = 3 bitmap"}},
        // A line break inside a value (after its first blank, which ends
        // the word) stays inside its line, as '.'.
        {"DIAG <1 3=\"V.34 336\r\n00\" 22=\"a b\nc\">",
         {"Token = 0x1", "Key 0x03 = Modulation", "  String = V.34 336..00",
          std::string("Key 0x22=\"a b.c\" not described in ") + kPath + "!"}},
        // Keys without a description: quotes shown, an unclosed one closed.
        {"DIAG <1 20=5 21=\"a b\" 22=\"open",
         {"Token = 0x1", std::string("Key 0x20=5 not described in ") + kPath + "!",
          std::string("Key 0x21=\"a b\" not described in ") + kPath + "!",
          std::string("Key 0x22=\"open\" not described in ") + kPath + "!"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lines, Decode(entries, c.report)) << c.report;
}

TEST(DiagReport, RecordsAndTokens)
{
    const Lines entries = {"1-definition=One", "1-unit=u"};
    const struct
    {
        const char* report;
        Lines lines;
    } cases[] = {
        // Two records with the same token give one token line.
        {"DIAG <A0 1=1>\r\nDIAG <A0 1=2>\r\nDIAG <B1 1=3>",
         {"Token = 0xA0", "Key 0x01 = One", "    0x01 = 1 u", "Key 0x01 = One", "    0x02 = 2 u",
          "Token = 0xB1", "Key 0x01 = One", "    0x03 = 3 u"}},
        // ">" after a blank, keys above FF skipped, then parsing goes on.
        {"DIAG <A0 1FF=7 1=4 >", {"Token = 0xA0", "Key 0x01 = One", "    0x04 = 4 u"}},
        // A record without pairs does not swallow the next one.
        {"DIAG <A0> DIAG <B1 1=5>", {"Token = 0xA0", "Token = 0xB1", "Key 0x01 = One", "    0x05 = 5 u"}},
        // Text after ">" and before the next record is not read as pairs.
        {"DIAG <A0 1=1> x=9 DIAG <A0 1=2>",
         {"Token = 0xA0", "Key 0x01 = One", "    0x01 = 1 u", "Key 0x01 = One", "    0x02 = 2 u"}},
        // A quote that closes after the blank, followed by ">".
        {"DIAG <A0 2=\"a b\"> DIAG <A0 1=6>",
         {"Token = 0xA0", std::string("Key 0x02=\"a b\" not described in ") + kPath + "!",
          "Key 0x01 = One", "    0x06 = 6 u"}},
        // No "DIAG " at all, or no "<" after it: nothing.
        {"OK\r\n", {}},
        {"DIAG without record", {}},
        // Line ends inside a record separate words like blanks.
        {"DIAG <A0\r\n1=7\r\n>", {"Token = 0xA0", "Key 0x01 = One", "    0x07 = 7 u"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lines, Decode(entries, c.report)) << c.report;
}

TEST(DiagReport, LongValuesAndTokensAreKeptWhole)
{
    const std::string text(5000, 'x');
    const std::string token(3000, 'T');
    const Lines lines = Decode({"3-definition=Text", "3-unit=String"},
                               "DIAG <" + token + " 3=\"" + text + " " + text + "\">");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("Token = 0x" + token, lines[0]);
    EXPECT_EQ("  String = " + text + " " + text, lines[2]);
}

// The same decoding as data (the result report's form; RunReport_test
// checks each form in the report): each record with its token, also a
// repeated one, and each pair with its form and decoded value.
TEST(DiagReport, RecordsHoldEachPairDecoded)
{
    const std::vector<DiagRecord> records = DecodeDiagRecords(
        LoadDiagKeys({"1-definition=Line", "1-unit=Bitmap", "1-2=V.42", "2-definition=Speed", "2-unit=bps",
                      "4-definition=Reason", "4-unit=code", "4-1=Local"}),
        "DIAG <A0 1=5 2=2580 4=7 20=\"u v\" 1FF=1>\r\nDIAG <A0 5=9>");
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("A0", records[1].token);
    ASSERT_EQ(1u, records[1].fields.size());
    EXPECT_EQ(DiagForm::Undescribed, records[1].fields[0].form);

    const std::vector<DiagField>& f = records[0].fields;
    ASSERT_EQ(4u, f.size()) << "key 1FF is left out";
    EXPECT_EQ(DiagForm::Bitmap, f[0].form);
    ASSERT_EQ(32u, f[0].bits.size());
    EXPECT_TRUE(f[0].bits[0].set && !f[0].bits[0].described);
    EXPECT_TRUE(f[0].bits[2].set && f[0].bits[2].described && f[0].bits[2].name == "V.42");
    EXPECT_FALSE(f[0].bits[1].set || f[0].bits[31].set);
    EXPECT_EQ(DiagForm::Number, f[1].form);
    EXPECT_EQ(0x2580u, f[1].number);
    EXPECT_EQ(DiagForm::Coded, f[2].form);
    EXPECT_FALSE(f[2].meaningKnown) << "value 7 has no description";
    EXPECT_EQ(DiagForm::Undescribed, f[3].form);
    EXPECT_EQ("u v", f[3].value);
    EXPECT_TRUE(f[3].quoted);
}

TEST(DiagReport, DescriptionEntries)
{
    // Sorted before use: "1-0" < "1-definition" < "1-unit" < "10-..."; of two
    // descriptions of one value the first in that order counts, of two
    // definitions the last.
    const std::vector<DiagKeyText> keys = LoadDiagKeys(
        {"10-definition=Sixteen", "1-unit = Bitmap ", "1-1=B", "1-1=A", "1-definition=first",
         "1-Definition=second", "0-definition=Zero", "x-definition=ignored", "; comment",
         "2-5", "3=no dash", "4-zz=no number"});
    ASSERT_EQ(6u, keys.size());
    EXPECT_EQ(0u, keys[0].key);
    EXPECT_EQ("Zero", keys[0].description);
    EXPECT_EQ(1u, keys[1].key);
    EXPECT_EQ("first", keys[1].description);  // "1-Definition" sorts before "1-definition"
    EXPECT_EQ("Bitmap", keys[1].unit);
    ASSERT_EQ(2u, keys[1].values.size());
    EXPECT_EQ("A", keys[1].values[0].text);
    EXPECT_EQ(0x10u, keys[2].key);
    // Entries that name a key but nothing else still make it a described key.
    EXPECT_EQ(2u, keys[3].key);
    EXPECT_EQ(3u, keys[4].key);
    EXPECT_EQ(4u, keys[5].key);
    ASSERT_EQ(1u, keys[3].values.size());  // "2-5" without "=": value 5, empty text
    EXPECT_EQ(5u, keys[3].values[0].number);
    EXPECT_EQ("", keys[3].values[0].text);
    EXPECT_TRUE(keys[5].values.empty());
    // A key with no definition text is described (empty) rather than unknown.
    EXPECT_EQ((Lines{"Token = 0x1", "Key 0x03 = ", "    0x04 = 4 "}),
              DecodeDiagLines(keys, "DIAG <1 3=4>", kPath));
}

}  // namespace
