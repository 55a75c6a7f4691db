// The port list's name block and the clean-up rules of the answers that
// identify a modem.
#include "IdentifyText.h"
#include "NameBlock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NameBlock, KeepsRegistryOrderAndDropsDuplicatesIgnoringCase)
{
    CNameBlock list;
    EXPECT_EQ(std::string(2, '\0'), std::string(list.Data(), 2)) << "empty list, not none";
    EXPECT_TRUE(list.AppendUnique("COM3", 4));
    EXPECT_FALSE(list.AppendUnique("com3", 4));
    EXPECT_FALSE(list.AppendUnique("", 0));
    EXPECT_FALSE(list.AppendUnique("\0COM7", 5)) << "an empty name would end the block";
    EXPECT_TRUE(list.AppendUnique("COM1\0junk", 9)) << "data read up to its zero";
    EXPECT_TRUE(list.AppendUnique("COM10", 5));
    EXPECT_FALSE(list.AppendUnique("Com1", 4));
    EXPECT_EQ(std::string("COM3\0COM1\0COM10\0\0", 17), std::string(list.Data(), 17));
    EXPECT_EQ(3u, CountNames(list.Data()));
    EXPECT_STREQ("COM10", NameAt(list.Data(), 2));
    EXPECT_EQ(nullptr, NameAt(list.Data(), 3));
    EXPECT_EQ(0u, CountNames(nullptr));
    EXPECT_EQ(nullptr, NameAt(nullptr, 0));
}

TEST(IdentifyText, NameAndFirmwareRules)
{
    using Parse = bool (*)(const std::string&, std::string&);
    const Parse name = ParseModemName, name2 = ParseModemName2, firmware = ParseFirmwareVersion;
    const struct
    {
        Parse parse;
        const char* answer;
        bool ok;
        const char* result;  // "old": left untouched
    } cases[] = {
        {name, "\r\n+GMM: \"VX-56i\"\r\n\r\nOK\r\n", true, "VX-56i"},
        {name, "\r\n\"BOOK 56\"\r\n\r\nOK\r\n", true, "BOOK 56"},          // the last OK counts
        {name, "\r\nVX-56i\r\n2005-01-20\r\n\r\nOK\r\n", true, "VX-56i"},  // cut at the last CR
        {name, "\r\n+GMM:\r\nOK\r\n", true, ""},
        {name, "\r\nERROR\r\n", false, "old"},
        {name2, "\r\n VX-56e Rev.B \r\n\r\nOK\r\n", true, "VX-56e Rev.B"},
        {name2, "+GMM: \"X\"\r\nOK\r\n", true, "+GMM: \"X\""},
        {name2, "", false, "old"},
        {firmware, "\r\nVersion 3.02 / 2005-01-20\r\n\r\nOK\r\n", true, "3.02"},
        {firmware, "\r\nVersion 3.02\r\n\r\nOK\r\n", true, "3.02"},  // nothing after the number
        {firmware, "\r\nVersion 3.02\r\nBuild 7\r\nOK\r\n", true, "3.02"},
        {firmware, "\r\nVer. 2.1/B\r\nOK\r\n", true, "2.1"},
        {firmware, "\r\nVer 1.7 beta\r\nOK\r\n", true, "1.7"},
        {firmware, "\r\nFW 4.0\r\nOK\r\n", true, "FW"},
        {firmware, "\r\nVersion\r\nOK\r\n", true, ""},
        {firmware, "\r\n\r\nOK\r\n", false, "old"},
        {firmware, "\r\nVersion 3.02\r\n", false, "old"},
        // NUL and control bytes around and inside the answers never reach a
        // name or a version; 8-bit characters do.
        {name, "\x01\r\n+GMM: \"VX-56i\"\x01\x1b\r\n\x01\r\nOK\r\n\x01", true, "VX-56i"},
        {name, "\r\n+GMM: \"VX\x7f-5\t6i\"\r\n\r\nOK\r\n", true, "VX-56i"},
        {name, "\r\n+GMM: \"Mod\xe9m\"\r\n\r\nOK\r\n", true, "Mod\xe9m"},
        {name2, "\r\nVX-\x02\r\n56e\r\n\r\nOK\r\n", true, "VX-56e"},
        {firmware, "\r\nVersion 3.\x1f" "02 / 2005\r\nOK\r\n", true, "3.02"},
    };
    for (const auto& c : cases) {
        std::string result = "old";
        EXPECT_EQ(c.ok, c.parse(c.answer, result)) << c.answer;
        EXPECT_EQ(c.result, result) << c.answer;
    }
}

// The modem that puts NULs around its answers: the name and version come out
// whole, without them.
TEST(IdentifyText, NulBytesAroundAndInsideAnswers)
{
    std::string name, version;
    ASSERT_TRUE(ParseModemName(std::string("\0\r\n+GMM: \"VX-56i\"\0\r\n\0\0\r\nOK\r\n\0", 29), name));
    EXPECT_EQ("VX-56i", name);
    ASSERT_TRUE(ParseModemName2(std::string("\0\r\nVX\0-56e\r\n\r\nOK", 16), name));
    EXPECT_EQ("VX-56e", name);
    ASSERT_TRUE(ParseFirmwareVersion(std::string("\r\nVersion \0" "3.02\0 / x\r\nOK", 24), version));
    EXPECT_EQ("3.02", version);
}

}  // namespace
