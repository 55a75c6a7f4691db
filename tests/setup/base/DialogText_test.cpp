// Host tests of the dialog services' text rules: the expanding string loader
// over a stand-in string table, the folder browser's sub-folder rule, the
// run-once command and the centring arithmetic.
#include "CenterRect.h"
#include "ExpandString.h"
#include "RunOnceCommand.h"
#include "SubFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

const std::map<unsigned, std::string> kStrings = {
    {1, "one"},
    {1310, "This wizard installs the software.%+1%+2%+3"},
    {1311, " Close other programs."},
    {1313, " Press Next."},
    {1400, "%%1 is not %1"},
    {1401, "a%+5b"},                  // 1406 does not exist
    {1402, "%-1|%1400|%+0"},          // inserted texts are not scanned again
    {1403, "50% and %x, %+ and %-y"},  // not placeholders
    {1404, "%99999999999999999999|%-2000|%+70000|end"},
    {1405, "%1%1%1"},
};

bool Lookup(unsigned id, std::string* text)
{
    auto found = kStrings.find(id);
    if (found == kStrings.end())
        return false;
    *text = found->second;
    return true;
}

TEST(ExpandString, ReplacesPlaceholdersByStrings)
{
    const std::map<unsigned, std::string> expected = {
        {1310, "This wizard installs the software. Close other programs. Press Next."},
        {1400, "%1 is not one"},
        {1401, "ab"},
        {1402, "a%+5b|%%1 is not %1|%-1|%1400|%+0"},
        {1403, "50% and %x, %+ and %-y"},
        {1404, "|||end"},
        {1405, "oneoneone"},
        {1500, ""},
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(text, ExpandResourceString(id, Lookup)) << "string " << id;
}

TEST(ExpandString, CutsToTheBufferWithItsTerminator)
{
    for (size_t size : {0u, 1u, 6u, 13u, 14u, 15u}) {  // "%1 is not one" has 13 characters
        char buffer[16];
        std::memset(buffer, 'X', sizeof(buffer));
        const std::string expected = size ? std::string("%1 is not one").substr(0, size - 1) : "";
        EXPECT_EQ(expected.size(), ExpandResourceStringInto(1400, Lookup, buffer, size)) << size;
        if (size) {
            EXPECT_EQ(expected, std::string(buffer)) << size;
        }
        EXPECT_EQ('X', buffer[size]) << "wrote past " << size;
    }
    char small[6];  // the insertion is cut, the rest dropped
    EXPECT_EQ(5u, ExpandResourceStringInto(1405, Lookup, small, sizeof(small)));
    EXPECT_STREQ("oneon", small);
}

TEST(SubFolder, AppendsTheNameUnlessThePathEndsInIt)
{
    const std::string longPath = "C:\\" + std::string(252, 'a');  // 255 characters
    const struct
    {
        std::string path;
        const char* sub;
        std::string expected;
    } cases[] = {
        {"C:\\Apps", "\\Tools", "C:\\Apps\\Tools"},
        {"C:\\", "\\Tools", "C:\\Tools"},
        {"C:\\Apps\\Tools", "\\Tools", "C:\\Apps\\Tools"},
        {"C:\\Apps\\tools", "\\Tools", "C:\\Apps\\tools\\Tools"},  // case counts
        {"C:\\Apps\\MyTools", "Tools", "C:\\Apps\\MyTools\\Tools"},
        {"C:\\Apps", "\\", "C:\\Apps"},
        {"C:\\Apps", nullptr, "C:\\Apps"},
        {longPath.substr(0, 252), "Tools", longPath.substr(0, 252) + "\\Tools"},  // 258: fits
        {longPath, "Tools", (longPath + "\\Tools").substr(0, 259)},
    };
    for (const auto& c : cases) {
        char path[260];
        std::snprintf(path, sizeof(path), "%s", c.path.c_str());
        EXPECT_EQ(c.expected.size(), AppendSubFolder(path, sizeof(path), c.sub));
        EXPECT_EQ(c.expected, std::string(path));
    }
}

TEST(RunOnceCommand, QuotesAPathWithBlanksOnlyWhenArgumentsFollow)
{
    const std::string program = "C:\\Program Files\\Probe\\mdmprobe.exe";
    const std::string longProgram = "C:\\" + std::string(250, 'p');
    const struct
    {
        std::string program;
        const char* arguments;
        std::string expected;
    } cases[] = {
        {program, nullptr, program},
        {program, "", program},
        {program, "/P:COM3", "\"" + program + "\" /P:COM3"},
        {"C:\\Probe\\p.exe", "/P:COM3 /T:1", "C:\\Probe\\p.exe /P:COM3 /T:1"},
        {"\"" + program + "\"", "/x", "\"" + program + "\" /x"},
        {longProgram, "/abc", (longProgram + " /abc").substr(0, 255)},
    };
    for (const auto& c : cases) {
        char command[300];
        EXPECT_EQ(c.expected.size(),
                  ComposeRunOnceCommand(command, sizeof(command), c.program.c_str(), c.arguments));
        EXPECT_EQ(c.expected, command);
    }
}

TEST(CenterRect, CentresAndKeepsTheWindowOnItsWorkArea)
{
    const ScreenRect primary = {0, 0, 1024, 738};     // task bar below
    const ScreenRect second = {1024, 0, 2304, 1024};  // monitor to the right
    const ScreenRect small = {0, 0, 400, 300}, large = {0, 0, 1100, 800};
    const struct
    {
        const char* what;
        ScreenRect window, reference;
        bool byWindow;
        ScreenRect work;
        long x, y;
    } cases[] = {
        {"on the work area", small, primary, false, primary, 312, 219},
        {"larger than the work area", large, primary, false, primary, 0, 0},
        {"larger, reference at the right", large, {900, 500, 1000, 600}, true, primary, 0, 0},
        {"small-icon offset", small, {100, 100, 300, 200}, true, primary, 116, 116},
        {"no offset without window", small, {100, 100, 300, 200}, false, primary, 0, 0},
        {"beyond right and bottom", small, {900, 600, 1100, 700}, true, primary, 624, 438},
        {"second monitor", {1200, 100, 1600, 400}, second, true, second, 1464, 362},
        {"primary desktop, second monitor", {1200, 100, 1600, 400}, {0, 0, 1024, 768}, true, second,
         1024, 234},
    };
    for (const auto& c : cases) {
        ScreenPoint p = CenterOver(c.window, c.reference, c.byWindow, 16, 16, c.work);
        EXPECT_EQ(c.x, p.x) << c.what;
        EXPECT_EQ(c.y, p.y) << c.what;
    }
}

}  // namespace
