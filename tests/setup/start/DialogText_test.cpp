// Host tests of the dialog services' text logic: the expanding string
// loader over a stand-in string table, the sub-folder rule of the folder
// browser, the run-once command and the centring arithmetic.
#include "CenterRect.h"
#include "ExpandString.h"
#include "RunOnceCommand.h"
#include "SubFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

// A string table as the program's resources would hold it.
StringLookup Table(const std::map<unsigned, std::string>& strings)
{
    return [strings](unsigned id, std::string* text) {
        auto found = strings.find(id);
        if (found == strings.end())
            return false;
        *text = found->second;
        return true;
    };
}

const std::map<unsigned, std::string> kStrings = {
    {1, "one"},
    {1310, "This wizard installs the software for your modem onto your system.%+1%+2%+3"},
    {1311, " Close other programs first."},
    {1313, " Then press Next."},
    {1400, "%%1 is not %1"},
    {1401, "a%+5b"},                 // 1406 does not exist
    {1402, "%-1|%1400|%+0"},         // 1401, 1400 and itself (inserted, not scanned)
    {1403, "50% and %x and %+ and %-y and 100%"},
    {1404, "%99999999999999999999|%-2000|%+70000|end"},
    {1405, "%1%1%1"},
};

TEST(ExpandString, ReplacesPlaceholdersByStrings)
{
    const StringLookup lookup = Table(kStrings);
    const struct
    {
        unsigned id;
        const char* expected;
    } cases[] = {
        {1310, "This wizard installs the software for your modem onto your system. Close other "
               "programs first. Then press Next."},
        {1400, "%1 is not one"},
        {1401, "ab"},
        {1402, "a%+5b|%%1 is not %1|%-1|%1400|%+0"},
        {1403, "50% and %x and %+ and %-y and 100%"},
        {1404, "|||end"},
        {1405, "oneoneone"},
        {1500, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ExpandResourceString(c.id, lookup)) << "string " << c.id;
}

TEST(ExpandString, CutsToTheBufferWithItsTerminator)
{
    const StringLookup lookup = Table(kStrings);
    // "%1 is not one" is 13 characters.
    for (size_t size : {12u, 13u, 14u, 15u}) {
        char buffer[16];
        std::memset(buffer, 'X', sizeof(buffer));
        size_t length = ExpandResourceStringInto(1400, lookup, buffer, size);
        std::string expected = std::string("%1 is not one").substr(0, size - 1);
        EXPECT_EQ(expected.size(), length) << size;
        EXPECT_EQ(expected, std::string(buffer)) << size;
        EXPECT_EQ('X', buffer[size]) << "wrote past " << size;
    }
    // The insertion is cut first, then nothing of the rest fits.
    char small[6];
    EXPECT_EQ(5u, ExpandResourceStringInto(1405, lookup, small, sizeof(small)));
    EXPECT_STREQ("oneon", small);
    char one[1] = {'X'};
    EXPECT_EQ(0u, ExpandResourceStringInto(1400, lookup, one, 1));
    EXPECT_EQ('\0', one[0]);
    char none[1] = {'X'};
    EXPECT_EQ(0u, ExpandResourceStringInto(1400, lookup, none, 0));
    EXPECT_EQ('X', none[0]);
}

TEST(SubFolder, AppendsTheNameUnlessThePathEndsInIt)
{
    const struct
    {
        const char* path;
        const char* sub;
        const char* expected;
    } cases[] = {
        {"C:\\Apps", "\\Tools", "C:\\Apps\\Tools"},
        {"C:\\Apps\\", "Tools", "C:\\Apps\\Tools"},
        {"C:\\", "\\Tools", "C:\\Tools"},
        {"C:\\Apps\\Tools", "\\Tools", "C:\\Apps\\Tools"},
        {"C:\\Apps\\tools", "\\Tools", "C:\\Apps\\tools\\Tools"},  // case counts
        {"C:\\Apps\\MyTools", "Tools", "C:\\Apps\\MyTools\\Tools"},
        {"C:\\Apps", "\\", "C:\\Apps"},
        {"C:\\Apps", "", "C:\\Apps"},
        {"C:\\Apps", nullptr, "C:\\Apps"},
        {"C:\\Apps", "\\\\Tools", "C:\\Apps\\\\Tools"},  // only one backslash goes
    };
    for (const auto& c : cases) {
        char path[260];
        std::snprintf(path, sizeof(path), "%s", c.path);
        size_t length = AppendSubFolder(path, sizeof(path), c.sub);
        EXPECT_STREQ(c.expected, path) << c.path << " + " << (c.sub ? c.sub : "(none)");
        EXPECT_EQ(std::strlen(c.expected), length);
    }
}

TEST(SubFolder, CutsAtTheBufferEnd)
{
    // 255 + "\Tools" needs 261 characters and one more for the terminator.
    for (size_t base : {252u, 253u, 254u, 255u}) {
        char path[260];
        std::string folder = "C:\\" + std::string(base - 3, 'a');
        std::snprintf(path, sizeof(path), "%s", folder.c_str());
        std::string expected = (folder + "\\Tools").substr(0, 259);
        EXPECT_EQ(expected.size(), AppendSubFolder(path, sizeof(path), "Tools")) << base;
        EXPECT_EQ(expected, std::string(path)) << base;
    }
}

TEST(RunOnceCommand, QuotesAPathWithBlanksOnlyWhenArgumentsFollow)
{
    const struct
    {
        const char* program;
        const char* arguments;
        const char* expected;
    } cases[] = {
        {"C:\\Program Files\\Probe\\mdmprobe.exe", nullptr, "C:\\Program Files\\Probe\\mdmprobe.exe"},
        {"C:\\Program Files\\Probe\\mdmprobe.exe", "", "C:\\Program Files\\Probe\\mdmprobe.exe"},
        {"C:\\Program Files\\Probe\\mdmprobe.exe", "/P:COM3",
         "\"C:\\Program Files\\Probe\\mdmprobe.exe\" /P:COM3"},
        {"C:\\Probe\\mdmprobe.exe", "/P:COM3 /T:123", "C:\\Probe\\mdmprobe.exe /P:COM3 /T:123"},
        {"\"C:\\Program Files\\p.exe\"", "/x", "\"C:\\Program Files\\p.exe\" /x"},
    };
    for (const auto& c : cases) {
        char command[300];
        EXPECT_EQ(std::strlen(c.expected),
                  ComposeRunOnceCommand(command, sizeof(command), c.program, c.arguments));
        EXPECT_STREQ(c.expected, command);
    }
}

TEST(RunOnceCommand, KeepsAtMost255Characters)
{
    std::string program = "C:\\" + std::string(250, 'p');  // 253 characters
    char command[400];
    EXPECT_EQ(255u, ComposeRunOnceCommand(command, sizeof(command), program.c_str(), "/abc"));
    EXPECT_EQ((program + " /abc").substr(0, 255), command);
    char small[10];
    EXPECT_EQ(9u, ComposeRunOnceCommand(small, sizeof(small), "C:\\a b\\p.exe", "/x"));
    EXPECT_STREQ("\"C:\\a b\\p", small);
}

ScreenRect Rect(long left, long top, long right, long bottom)
{
    ScreenRect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

TEST(CenterRect, CentresAndKeepsTheWindowOnItsWorkArea)
{
    const ScreenRect primary = Rect(0, 0, 1024, 738);      // task bar below
    const ScreenRect second = Rect(1024, 0, 2304, 1024);  // monitor to the right
    const struct
    {
        const char* what;
        ScreenRect window, reference;
        bool byWindow;
        ScreenRect work;
        long x, y;
    } cases[] = {
        {"centred on the work area", Rect(0, 0, 400, 300), primary, false, primary, 312, 219},
        {"larger than the work area", Rect(0, 0, 1100, 800), primary, false, primary, 0, 0},
        {"larger, reference far right", Rect(0, 0, 1100, 800), Rect(900, 500, 1000, 600), true,
         primary, 0, 0},
        {"reference window smaller: small-icon offset", Rect(0, 0, 400, 300),
         Rect(100, 100, 300, 200), true, primary, 116, 116},
        {"no offset without reference window", Rect(0, 0, 400, 300), Rect(100, 100, 300, 200),
         false, primary, 0, 0},
        {"beyond the right and bottom edges", Rect(0, 0, 400, 300), Rect(900, 600, 1100, 700), true,
         primary, 624, 438},
        {"second monitor keeps the window there", Rect(1200, 100, 1600, 400),
         Rect(1024, 0, 2304, 1024), true, second, 1464, 362},
        {"desktop of the primary, window on the second", Rect(1200, 100, 1600, 400),
         Rect(0, 0, 1024, 768), true, second, 1024, 234},
    };
    for (const auto& c : cases) {
        ScreenPoint p = CenterOver(c.window, c.reference, c.byWindow, 16, 16, c.work);
        EXPECT_EQ(c.x, p.x) << c.what;
        EXPECT_EQ(c.y, p.y) << c.what;
    }
}

}  // namespace
