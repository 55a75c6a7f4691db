// Host tests of the dialog services' text rules: the expanding string loader
// over a stand-in string table, the folder browser's sub-folder rule, the
// run-once command and the centring arithmetic.
#include "CenterRect.h"
#include "CommandQuoting.h"
#include "ExpandString.h"
#include "FolderSecurity.h"
#include "RunOnceCommand.h"
#include "SubFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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

// Windows parses the run-once value as a command line: a path with a blank
// is quoted also without arguments, and a command that does not fit the
// entry is refused rather than cut (a cut one names other arguments).
TEST(RunOnceCommand, QuotesAPathWithBlanksAndRefusesWhatDoesNotFit)
{
    const std::string program = "C:\\Program Files\\Probe\\mdmprobe.exe";
    const std::string longProgram = "C:\\" + std::string(246, 'p');  // 249 characters
    const struct
    {
        std::string program;
        const char* arguments;
        std::string expected;
    } cases[] = {
        {program, nullptr, "\"" + program + "\""},
        {program, "", "\"" + program + "\""},
        {program, "/P:COM3", "\"" + program + "\" /P:COM3"},
        {"C:\\Probe\\p.exe", "/P:COM3 /T:1", "C:\\Probe\\p.exe /P:COM3 /T:1"},
        {"\"" + program + "\"", "/x", "\"" + program + "\" /x"},
        {longProgram, "/abcd", longProgram + " /abcd"},  // 255 characters: fits
        {longProgram, "/abcde", ""},                     // 256: refused
        {"C:\\" + std::string(252, 'p'), nullptr, "C:\\" + std::string(252, 'p')},
        {"C:\\" + std::string(253, 'p'), nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program.substr(0, 40));
        char command[300] = "x";
        EXPECT_EQ(c.expected.size(),
                  ComposeRunOnceCommand(command, sizeof(command), c.program.c_str(), c.arguments));
        EXPECT_EQ(c.expected, command);
    }
    char small[20] = "x";
    EXPECT_EQ(0u, ComposeRunOnceCommand(small, sizeof(small), program.c_str(), nullptr)) << "no room: refused";
    EXPECT_STREQ("", small);
}

// The program part of a command Windows parses: the longest piece that names
// an existing file is the program (so a file planted at an earlier blank is
// not taken for it), quoted when it holds a blank; a command whose program
// cannot be told from its arguments is refused.
TEST(CommandQuoting, QuotesTheProgramPartFoundOnDiskAndRefusesTheUndecidable)
{
    const std::string dir = "C:\\Program Files\\Vantor\\Modem Tools";
    const std::vector<std::string> disk = {dir + "\\svc.exe", "C:\\Program", "C:\\Program.exe", "C:\\Program Files\\Vantor\\Modem.exe",
                                           "C:\\Tools\\run me", "C:\\bin\\tool.exe"};
    const FileExistsFn exists = [&](const std::string& path) {
        return std::find(disk.begin(), disk.end(), path) != disk.end();
    };
    const struct
    {
        std::string command;
        CommandQuoting outcome;
        std::string result;
    } cases[] = {
        {dir + "\\svc.exe", CommandQuoting::Quoted, "\"" + dir + "\\svc.exe\""},
        {dir + "\\svc.exe -k  run", CommandQuoting::Quoted, "\"" + dir + "\\svc.exe\" -k  run"},
        {"\"" + dir + "\\svc.exe\" -k", CommandQuoting::Unchanged, "\"" + dir + "\\svc.exe\" -k"},
        {"C:\\bin\\tool.exe /a b", CommandQuoting::Unchanged, "C:\\bin\\tool.exe /a b"},
        {"C:\\bin\\missing.exe /a", CommandQuoting::Unchanged, "C:\\bin\\missing.exe /a"},
        {"C:\\Tools\\run me", CommandQuoting::Quoted, "\"C:\\Tools\\run me\""},
        {"C:\\Tools\\run me /x", CommandQuoting::Ambiguous, "C:\\Tools\\run me /x"},
        {"C:\\nothing.exe", CommandQuoting::Unchanged, "C:\\nothing.exe"},
        // The program is not there: the planted C:\Program(.exe) must not decide.
        {dir + "\\gone.exe -k", CommandQuoting::Ambiguous, dir + "\\gone.exe -k"},
        {"C:\\Program Files\\x\\y.exe", CommandQuoting::Ambiguous, "C:\\Program Files\\x\\y.exe"},
        {"\"C:\\Program Files\\x.exe -k", CommandQuoting::Ambiguous, "\"C:\\Program Files\\x.exe -k"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        std::string result;
        EXPECT_EQ(c.outcome, QuoteCommandProgram(c.command, exists, &result));
        EXPECT_EQ(c.result, result);
    }
    EXPECT_EQ("\"a b\\c.exe\"", QuoteProgramPath("a b\\c.exe"));
    EXPECT_EQ("\"a b\\c.exe\"", QuoteProgramPath("\"a b\\c.exe\""));
    EXPECT_TRUE(IsBareProgramName("whoami.exe"));
    EXPECT_FALSE(IsBareProgramName(".\\whoami.exe"));
    EXPECT_FALSE(IsBareProgramName("C:whoami.exe"));
    EXPECT_FALSE(IsBareProgramName(""));
}

// Folder permissions read as text: what lets a user without administrator
// rights change an installed folder, and the target folder's own rule.
TEST(FolderSecurity, WritableByUsersAndProtection)
{
    const struct
    {
        const char* sddl;
        bool usersWrite;
        bool isProtected;
    } cases[] = {
        {kTargetFolderSddl, false, true},
        // Wine's view of C:\ and of a folder Everyone may change.
        {"D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)", false, false},
        {"D:(A;OICI;FA;;;SY)(A;OICI;0x1301ff;;;WD)", true, false},
        // Windows' C:\: Authenticated Users may create folders and change
        // what is created inside.
        {"D:PAI(A;OICI;FA;;;BA)(A;;0x4;;;AU)(A;OICIIO;SDGXGWGR;;;AU)", true, true},
        {"D:AI(A;OICIID;FR;;;BU)(A;OICIID;FW;;;S-1-5-32-545)", true, false},
        {"D:(A;;FA;;;BA)(D;;FA;;;BU)(A;;FR;;;IU)", false, false},
        {"D:(A;;CCDC;;;S-1-5-4)", true, false},
        {"D:NO_ACCESS_CONTROL", true, false},
        {"O:BAG:SY", true, false},            // no access-control list at all
        {"D:(A;;FA;;;BU", true, false},       // cut short
        {"D:(A;;QQ;;;WD)", true, false},      // a right this reader does not know
        {"D:(A;;FA;;;SY)S:(AU;SA;FA;;;WD)", false, false},
        {"D:ARAI(A;;FA;;;SY)", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sddl);
        EXPECT_EQ(c.usersWrite, SddlLetsUsersWrite(c.sddl));
        EXPECT_EQ(c.isProtected, SddlDaclProtected(c.sddl));
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
