// Source-file references under Wine: icons and versions of files lying loose
// on the medium, named only relative to the program, and inside a cabinet
// (made with gcab) that a disk's tag file names in capitals.
#include "DebugLog.h"
#include "References.h"
#include "ScriptFiles.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_traces;

int CaptureTrace(const char* text)
{
    g_traces.push_back(text);
    return 0;
}

// The traces that begin with `start`.
std::vector<std::string> Traces(const std::string& start)
{
    std::vector<std::string> found;
    for (const std::string& trace : g_traces) {
        if (trace.compare(0, start.size(), start) == 0)
            found.push_back(trace);
    }
    return found;
}

// Whether the temporary folder holds a file made by GetTempFileName with
// the prefix "tmp" (a fresh prefix has none).
bool TempCopiesLeft()
{
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof(dir), dir);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(dir) + "tmp*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return search != INVALID_HANDLE_VALUE;
}

TEST(References, LooseUnlistedAndInCabinet)
{
    const std::string dir = scripttest::Dir();
    CreateDirectoryA((dir + "\\files").c_str(), nullptr);
    CreateDirectoryA((dir + "\\files\\files").c_str(), nullptr);
    // Wine answers the disk's path as the file's sub-directory (Windows the
    // one of [SourceDisksFiles]): with both the same, the path is the same.
    ASSERT_TRUE(scripttest::CopyChild(dir + "\\files\\files\\loose.exe"));
    ASSERT_TRUE(scripttest::CopyChild(dir + "\\unlisted.exe"));
    scripttest::WriteText(dir + "\\files\\files\\plain.txt", "no version resource");
    ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\refs.cab").c_str(), (dir + "\\refs.cab").c_str(), FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));   // the program's folder
    HINF script = scripttest::OpenScript(
        "[SourceDisksNames]\r\n1 = \"Loose disk\",,,files\r\n2 = \"Cabinet disk\",REFS.CAB\r\n\r\n"
        "[SourceDisksFiles]\r\nloose.exe = 1, files\r\nplain.txt = 1, files\r\ninside.exe = 2\r\nother.exe = 2\r\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    ASSERT_FALSE(TempCopiesLeft());
    g_traces.clear();
    DebugSetTraceHook(CaptureTrace);

    ReferenceTable* table = NewReferenceTable();
    ASSERT_NE(nullptr, table);
    for (const char* icon : {"0@loose.exe", "1@loose.exe", "1@LOOSE.EXE", "0@inside.exe", "1@inside.exe"})
        EXPECT_EQ(1, AddIconReference(table, icon)) << icon;
    for (const char* version : {"@loose.exe", "@Loose.exe", "@inside.exe", "@INSIDE.EXE", "@plain.txt",
                                "@missing.exe", "@unlisted.exe"})
        EXPECT_EQ(1, AddVersionReference(table, version)) << version;
    EXPECT_EQ(0, AddIconReference(table, "loose.exe"));
    EXPECT_EQ(0, AddVersionReference(table, "1@loose.exe"));
    EXPECT_EQ(9u, table->entries.size()) << "4 icons and 5 versions after the doubles";
    ASSERT_EQ(1, ResolveReferences(table, script));
    DebugSetTraceHook(nullptr);

    // The product version, not the file version (9.8.7.6), of the child.
    for (const char* field : {"@loose.exe", "@INSIDE.exe", "@unlisted.exe"}) {
        ASSERT_NE(nullptr, VersionOf(table, field)) << field;
        EXPECT_STREQ("2.5.0.17", VersionOf(table, field));
    }
    EXPECT_EQ(nullptr, VersionOf(table, "@plain.txt"));
    EXPECT_EQ(nullptr, VersionOf(table, "@missing.exe"));
    EXPECT_EQ(nullptr, VersionOf(table, "@other.exe"));
    EXPECT_NE(nullptr, IconOf(table, "0@loose.exe"));
    EXPECT_NE(nullptr, IconOf(table, "1@loose.exe"));
    EXPECT_NE(IconOf(table, "0@loose.exe"), IconOf(table, "1@loose.exe"));
    EXPECT_NE(nullptr, IconOf(table, "1@inside.exe"));
    EXPECT_EQ(nullptr, IconOf(table, "2@loose.exe"));

    // Each file read once per reference; the loose one where the disk puts it.
    const std::vector<std::string> loose = Traces("reference: version of loose.exe read from ");
    ASSERT_EQ(1u, loose.size());
    EXPECT_EQ("reference: version of loose.exe read from files\\files\\loose.exe\n", loose[0]);
    ASSERT_EQ(1u, Traces("reference: version of unlisted.exe read from unlisted.exe\n").size());
    // The cabinet member is extracted once, to one temporary file, for all
    // three references; the other member is skipped.
    const std::vector<std::string> inside = Traces("reference: version of inside.exe read from ");
    ASSERT_EQ(1u, inside.size());
    const std::string tempFile = inside[0].substr(inside[0].rfind(' ') + 1, inside[0].size() - inside[0].rfind(' ') - 2);
    EXPECT_NE(std::string::npos, tempFile.find("\\tmp")) << tempFile;
    for (int icon = 0; icon < 2; ++icon) {
        EXPECT_EQ(1u, Traces("reference: icon " + std::to_string(icon) + " of inside.exe read from " + tempFile +
                             "\n").size());
    }
    EXPECT_TRUE(Traces("reference: version of other.exe").empty());
    EXPECT_FALSE(testsupport::FileExists(tempFile));
    EXPECT_FALSE(TempCopiesLeft());

    FreeReferenceTable(table);
    SetupCloseInfFile(script);
}

}  // namespace
