// Source-file references under Wine: icons and versions of files lying loose
// on the medium, named only relative to the program, and inside a cabinet
// (made with gcab) that a disk's tag file names in capitals.
#include "DebugLog.h"
#include "ProgramFolder.h"
#include "References.h"
#include "RunFolder.h"
#include "ScriptFiles.h"
#include "WinTestSupport.h"
#include "ufile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <initializer_list>
#include <cstring>
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
    SetMediumFolder(dir + "\\");   // the medium's files are named from its folder
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
    EXPECT_EQ("reference: version of loose.exe read from " + dir + "\\files\\files\\loose.exe\n", loose[0]);
    ASSERT_EQ(1u, Traces("reference: version of unlisted.exe read from " + dir + "\\unlisted.exe\n").size());
    // The cabinet member is extracted once, to one temporary file, for all
    // three references; the other member is skipped.
    const std::vector<std::string> inside = Traces("reference: version of inside.exe read from ");
    ASSERT_EQ(1u, inside.size());
    const std::string tempFile = inside[0].substr(inside[0].rfind(' ') + 1, inside[0].size() - inside[0].rfind(' ') - 2);
    // In the run's own folder below the system's temporary folder, which
    // is gone once the references are resolved.
    char windows[MAX_PATH] = "";
    const std::string folderPath = tempFile.substr(0, tempFile.rfind('\\'));
    const char* folder = folderPath.c_str();
    GetWindowsDirectoryA(windows, sizeof(windows));
    EXPECT_EQ(0, lstrcmpiA((std::string(windows) + "\\Temp\\setup-").c_str(), std::string(folder, 0, strlen(windows) + 12).c_str()))
        << folder;
    EXPECT_EQ(std::string(folder) + "\\tmp", tempFile.substr(0, strlen(folder) + 4));
    for (int icon = 0; icon < 2; ++icon) {
        EXPECT_EQ(1u, Traces("reference: icon " + std::to_string(icon) + " of inside.exe read from " + tempFile +
                             "\n").size());
    }
    EXPECT_TRUE(Traces("reference: version of other.exe").empty());
    EXPECT_FALSE(testsupport::FileExists(tempFile));
    EXPECT_FALSE(TempCopiesLeft());
    EXPECT_FALSE(testsupport::FileExists(folder)) << "removed once the members are read";
    char none[MAX_PATH] = "";
    EXPECT_EQ(0, RunFolderPath(none, sizeof(none)));

    FreeReferenceTable(table);
    SetupCloseInfFile(script);
}

// Resolves a new table of `references` ("@file" versions, "n@file" icons)
// against `script` and returns it with the traces it left.
ReferenceTable* ResolveNew(HINF script, std::initializer_list<const char*> references)
{
    g_traces.clear();
    DebugSetTraceHook(CaptureTrace);
    ReferenceTable* table = NewReferenceTable();
    if (table != nullptr) {
        for (const char* reference : references)
            reference[0] == '@' ? AddVersionReference(table, reference) : AddIconReference(table, reference);
        ResolveReferences(table, script);
    }
    DebugSetTraceHook(nullptr);
    return table;
}

// The run reads a file's version once: later tables (the newer-version
// check, the components page, the uninstall entries each make one) take it
// from the memo without extracting the cabinet member again, until the file
// or cabinet changes.
TEST(References, VersionsReadOncePerRunUntilTheFileChanges)
{
    const std::string dir = scripttest::Dir() + "\\memo";
    CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(scripttest::CopyChild(dir + "\\loose.exe"));
    ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\refs.cab").c_str(), (dir + "\\refs.cab").c_str(), FALSE));
    SetMediumFolder(dir + "\\");
    HINF script = scripttest::OpenScript(
        "[SourceDisksNames]\r\n1 = \"Loose disk\"\r\n2 = \"Cabinet disk\",refs.cab\r\n\r\n"
        "[SourceDisksFiles]\r\nloose.exe = 1\r\ninside.exe = 2\r\n",
        "memo\\setup.inf");
    ASSERT_NE(INVALID_HANDLE_VALUE, script);

    ReferenceTable* first = ResolveNew(script, {"@loose.exe", "@inside.exe"});
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(1u, Traces("reference: version of loose.exe read from " + dir + "\\loose.exe\n").size());
    EXPECT_EQ(1u, Traces("reference: version of inside.exe read from ").size());
    ASSERT_NE(nullptr, VersionOf(first, "@inside.exe"));
    EXPECT_STREQ("2.5.0.17", VersionOf(first, "@inside.exe"));
    FreeReferenceTable(first);

    // The same files again, in other case: nothing is read.
    ReferenceTable* again = ResolveNew(script, {"@LOOSE.EXE", "@Inside.exe"});
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(2u, Traces("reference: version of").size()) << ::testing::PrintToString(g_traces);
    EXPECT_EQ(1u, Traces("reference: version of LOOSE.EXE known from " + dir + "\\LOOSE.EXE\n").size());
    EXPECT_EQ(1u, Traces("reference: version of Inside.exe known from " + dir + "\\refs.cab\n").size());
    ASSERT_NE(nullptr, VersionOf(again, "@loose.exe"));
    EXPECT_STREQ("2.5.0.17", VersionOf(again, "@loose.exe"));
    ASSERT_NE(nullptr, VersionOf(again, "@inside.exe"));
    EXPECT_STREQ("2.5.0.17", VersionOf(again, "@inside.exe"));
    FreeReferenceTable(again);

    // An icon still opens the cabinet; the remembered version is not read
    // again from the extracted member.
    ReferenceTable* withIcon = ResolveNew(script, {"@inside.exe", "0@inside.exe"});
    ASSERT_NE(nullptr, withIcon);
    EXPECT_EQ(1u, Traces("reference: icon 0 of inside.exe read from ").size()) << ::testing::PrintToString(g_traces);
    EXPECT_TRUE(Traces("reference: version of inside.exe read from ").empty());
    EXPECT_EQ(1u, Traces("reference: version of inside.exe known from " + dir + "\\refs.cab\n").size());
    EXPECT_NE(nullptr, IconOf(withIcon, "0@inside.exe"));
    FreeReferenceTable(withIcon);

    // A changed loose file (now without a version resource) and a cabinet
    // with a new time are read again.
    ASSERT_TRUE(DeleteFileA((dir + "\\loose.exe").c_str()));
    scripttest::WriteText(dir + "\\loose.exe", "no version resource");
    HANDLE cabinet = CreateFileA((dir + "\\refs.cab").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, cabinet);
    FILETIME written;
    SYSTEMTIME moment = {2001, 2, 0, 3, 4, 5, 6, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&moment, &written));
    ASSERT_TRUE(SetFileTime(cabinet, nullptr, nullptr, &written));
    CloseHandle(cabinet);
    ReferenceTable* changed = ResolveNew(script, {"@loose.exe", "@inside.exe"});
    ASSERT_NE(nullptr, changed);
    EXPECT_EQ(1u, Traces("reference: version of loose.exe read from " + dir + "\\loose.exe\n").size());
    EXPECT_EQ(1u, Traces("reference: version of inside.exe read from ").size());
    EXPECT_EQ(nullptr, VersionOf(changed, "@loose.exe"));
    EXPECT_NE(nullptr, VersionOf(changed, "@inside.exe"));
    FreeReferenceTable(changed);
    EXPECT_FALSE(TempCopiesLeft());
    SetupCloseInfFile(script);
}

// The DACL of `path` as text ("D:P(A;...)"), empty when it cannot be read.
std::string DaclText(const std::string& path)
{
    std::string sddl;
    return xUtilReadFileSecurity(path.c_str(), &sddl) ? sddl : std::string();
}

// The run's folder goes with a file left in it; the next one has a new name.
TEST(RunFolder, RemovedWithWhatIsLeftAndNeverReused)
{
    char file[MAX_PATH] = "", folder[MAX_PATH] = "", again[MAX_PATH] = "";
    ASSERT_EQ(1, RunFolderNewFile("tmp", file, sizeof(file)));
    ASSERT_EQ(1, RunFolderPath(folder, sizeof(folder)));
    RemoveRunFolder();
    EXPECT_FALSE(testsupport::FileExists(file));
    EXPECT_FALSE(testsupport::FileExists(folder));
    ASSERT_EQ(1, RunFolderNewFile("tmp", file, sizeof(file)));
    RunFolderPath(again, sizeof(again));
    EXPECT_STRNE(folder, again);
    RemoveRunFolder();
}

// The folder's DACL read back: protected, SYSTEM and Administrators only.
TEST(RunFolder, AdministratorsOnly)
{
    const char kAdminsOnly[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    // Wine keeps no DACL of a file's own: it makes one up on reading.
    const std::string probe = testsupport::RunDir() + "\\dacl-probe";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdminsOnly, SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    CreateDirectoryA(probe.c_str(), &attributes);
    LocalFree(descriptor);
    if (DaclText(probe) != kAdminsOnly)
        GTEST_SKIP() << "this Wine: it makes a DACL up on reading (" << DaclText(probe) << ")";

    char file[MAX_PATH] = "", folder[MAX_PATH] = "";
    ASSERT_EQ(1, RunFolderNewFile("tmp", file, sizeof(file)));
    ASSERT_EQ(1, RunFolderPath(folder, sizeof(folder)));
    EXPECT_EQ(kAdminsOnly, DaclText(folder));
    RemoveRunFolder();
}

}  // namespace
