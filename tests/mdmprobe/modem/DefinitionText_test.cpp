// Host tests of the definition file's text rules and the location list.
#include "DefinitionText.h"
#include "LocationList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(DefinitionText, SectionHeaders)
{
    EXPECT_EQ((Strings{"Common", "Two", "", "AT*DIAG"}),
              SectionNames("; comment\n[Common]\r\nkey=[x]\n [indented: not a header]\n[[[Two]]]\n[]\n"
                           "[unclosed\n\n[AT*DIAG]"));
    std::string name = "unchanged";
    EXPECT_FALSE(ParseSectionHeader("", name));
    EXPECT_FALSE(ParseSectionHeader("]", name));
    EXPECT_EQ("unchanged", name);
}

TEST(DefinitionText, DecimalNumbers)
{
    const struct
    {
        const char* text;
        int32_t value;
    } cases[] = {{"9600", 9600},      {"  28800", 28800}, {"-5", -5},     {"+7", 7},
                 {"12abc", 12},       {"abc", 0},         {"", 0},        {"2147483647", INT32_MAX},
                 {"99999999999999999999", INT32_MAX},     {"-99999999999", INT32_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(c.value, ParseDecimal(c.text)) << c.text;
}

TEST(LocationList, FieldRules)
{
    const struct
    {
        const char* line;
        const char* name;
        const char* number;
    } cases[] = {
        {"x,y,Berlin,0,30", "Berlin", "030"},
        {"1, 49 ,  Munich office , 0 ,89 5550100 \r\n", "Munich office", "089 5550100"},
        {"1,2,Extra,00,33,ignored,more", "Extra", "0033"},
        {"1,2,Name only", "Name only", ""},
        {",,,,", "", ""},
        {"1,2,,,123", "", "123"},
    };
    for (const auto& c : cases) {
        Location location = ParseLocationLine(c.line);
        EXPECT_EQ(c.name, location.name) << c.line;
        EXPECT_EQ(c.number, location.number) << c.line;
    }
}

TEST(LocationList, LinesAndLookup)
{
    // Line of exactly 511 characters whose fifth field ends at the limit,
    // and one of 512 whose last character is cut.
    const std::string head = "1,2,Long,0,";
    const std::string at511 = head + std::string(511 - head.size(), '5');
    const std::string at512 = head + std::string(511 - head.size(), '6') + "7";
    const std::vector<Location> list = ParseLocationList(
        "1,49,Berlin,0,30\r\n\r\n2,49,Bonn,0,228\n" + at511 + "\n" + at512 + "\n3,49,Berlin,0,99");
    ASSERT_EQ(5u, list.size());
    EXPECT_EQ("Bonn", list[1].name);
    EXPECT_EQ("0" + std::string(511 - head.size(), '5'), list[2].number);
    EXPECT_EQ("0" + std::string(511 - head.size(), '6'), list[3].number);
    EXPECT_EQ("030", LocationNumber(list, "Berlin"));  // the first of two equal names
    EXPECT_EQ("", LocationNumber(list, "berlin"));
}

TEST(LocationList, ReadsTheFile)
{
    std::vector<Location> list(1);
    EXPECT_FALSE(ReadLocationList("/nonexistent/mdmprobe.dat", list));
    EXPECT_TRUE(list.empty());

    const std::string path = testing::TempDir() + "locations.dat";
    std::ofstream(path, std::ios::binary) << "1,49,Hamburg,0,40\r\n";
    ASSERT_TRUE(ReadLocationList(path, list));
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("040", list[0].number);
    std::remove(path.c_str());
}

}  // namespace
