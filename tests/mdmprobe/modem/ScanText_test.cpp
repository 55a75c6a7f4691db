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
    };
    for (const auto& c : cases) {
        std::string result = "old";
        EXPECT_EQ(c.ok, c.parse(c.answer, result)) << c.answer;
        EXPECT_EQ(c.result, result) << c.answer;
    }
}

}  // namespace
