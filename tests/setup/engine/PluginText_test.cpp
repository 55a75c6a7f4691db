// Splitting of `Plugins` listings and of the paths plug-ins queue.
#include "PluginText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PluginText, ListingSplitsAtTheFirstColon)
{
    const struct
    {
        const char* field;
        size_t size;
        const char *library, *parameter;
    } cases[] = {
        {"modem.dll:COM3", 260, "modem.dll", "COM3"},
        {"modem.dll", 260, "modem.dll", ""},
        {"modem.dll:", 260, "modem.dll", ""},
        {"modem.dll:C:\\x:y", 260, "modem.dll", "C:\\x:y"},
        {":x", 260, "", "x"},
        {"abcdef:x", 4, "abc", "x"},
    };
    for (const auto& row : cases) {
        char library[260];
        EXPECT_STREQ(row.parameter, SplitPluginField(row.field, library, row.size)) << row.field;
        EXPECT_STREQ(row.library, library) << row.field;
    }
}

TEST(PluginText, PathSplitsAtTheLastBackslash)
{
    const struct
    {
        std::string path;
        const char* name;  // null: refused
        std::string directory;
    } cases[] = {
        {"C:\\dir\\sub\\file.txt", "file.txt", "C:\\dir\\sub"},
        {"file.txt", "file.txt", "."},
        {"\\file.txt", "file.txt", ""},
        {"C:\\dir\\", "", "C:\\dir"},
        {std::string(258, 'd') + "\\f", "f", std::string(258, 'd')},
        {std::string(259, 'd') + "\\f", "f", std::string(259, 'd')},  // fills the buffer
        {std::string(260, 'd') + "\\f", nullptr, ""},                 // refused, never cut
    };
    for (const auto& row : cases) {
        char directory[260];
        const char* name = SplitAtLastBackslash(row.path.c_str(), directory, sizeof(directory));
        if (row.name == nullptr) {
            EXPECT_EQ(nullptr, name) << row.path;
        } else {
            EXPECT_STREQ(row.name, name) << row.path;
        }
        EXPECT_EQ(row.directory, directory) << row.path;
    }
}

}  // namespace
