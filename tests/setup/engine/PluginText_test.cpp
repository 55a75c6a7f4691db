// Splitting of `Plugins` listings and of the paths plug-ins queue.
#include "PluginText.h"

#include <gtest/gtest.h>

#include <string>

TEST(PluginText, ListingSplitsAtTheFirstColon)
{
    const char* cases[][4] = {// field, library buffer size, library, parameter
                              {"modem.dll:COM3", "260", "modem.dll", "COM3"}, {"modem.dll", "260", "modem.dll", ""},
                              {"m.dll:C:\\x:y", "260", "m.dll", "C:\\x:y"},    {":x", "260", "", "x"},
                              {"abcdef:x", "4", "abc", "x"}};
    for (const auto& row : cases) {
        char library[260];
        EXPECT_STREQ(row[3], SplitPluginField(row[0], library, std::stoul(row[1]))) << row[0];
        EXPECT_STREQ(row[2], library) << row[0];
    }
}

TEST(PluginText, PathSplitsAtTheLastBackslashAndIsNeverCut)
{
    const std::string cases[][3] = {// path, file name ("-": refused), directory
                                    {"C:\\dir\\sub\\f.txt", "f.txt", "C:\\dir\\sub"},
                                    {"f.txt", "f.txt", "."},
                                    {"C:\\dir\\", "", "C:\\dir"},
                                    {std::string(258, 'd') + "\\f", "f", std::string(258, 'd')},
                                    {std::string(259, 'd') + "\\f", "f", std::string(259, 'd')},
                                    {std::string(260, 'd') + "\\f", "-", ""}};
    for (const auto& row : cases) {
        char directory[260];
        const char* name = SplitAtLastBackslash(row[0].c_str(), directory, sizeof(directory));
        EXPECT_EQ(row[1], name != nullptr ? name : "-") << row[0];
        EXPECT_EQ(row[2], directory) << row[0];
    }
}
