// The DLL search guards of DllSearch.h, through dll_load_child.exe run from
// a folder with planted stand-ins (PlantedDlls.h) of system DLLs that Wine
// is told to prefer to its own, as Windows does for DLLs that are not Known
// DLLs.
#include "DllSearch.h"
#include "PlantedDlls.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using testsupport::ChildProcess;

namespace {

std::string g_markDll;    // the stand-in
std::string g_child;      // dll_load_child.exe, with the programs' manifest
std::string g_plainChild; // dll_load_child_plain.exe, without it
std::string g_pathUser;   // path_user.dll, which imports path_helper.dll
std::string g_pathHelper; // path_helper.dll

constexpr DWORD kRunMs = 30000;

struct ChildRun
{
    DWORD exitCode = 0xFFFFFFFF;
    DWORD processId = 0;
};

// The child (the plain one for mode "plain") copied into `folder`, run
// there with `arguments`.
ChildRun RunChild(const std::string& folder, const std::string& arguments)
{
    ChildRun run;
    const std::string child = folder + "\\dll_load_child.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string& source = arguments.compare(0, 6, "plain ") == 0 ? g_plainChild : g_child;
    if (!CopyFileA(source.c_str(), child.c_str(), FALSE))
        return run;
    ChildProcess program;
    if (!program.Start("\"" + child + "\" " + arguments, folder) || !program.Wait(kRunMs, &run.exitCode))
        return run;
    run.processId = program.Id();
    return run;
}

// Plants `names` beside the child and runs it in `mode` with them.
ChildRun PlantAndLoad(const char* mode, const std::vector<std::string>& names)
{
    const std::string folder = testsupport::RunDir() + "\\" + mode;
    EXPECT_TRUE(testsupport::PlantCopies(g_markDll, folder, names));
    EXPECT_TRUE(testsupport::PreferPlantedCopies(names));
    std::string arguments = mode;
    for (const std::string& name : names)
        arguments += " " + name;
    return RunChild(folder, arguments);
}

}  // namespace

// Where the search cannot be restricted (Windows 95 to 7 without the loader
// update), the preloaded libraries are the loaded ones that a later load by
// name finds. Every preloaded library that this Windows has is planted
// beside the child: without a guard each planted copy is taken, after the
// preloading none is.
TEST(DllSearch, PreloadingGuardsWhereTheSearchCannotBeRestricted)
{
    char system[MAX_PATH] = "";
    ASSERT_NE(0u, GetSystemDirectoryA(system, sizeof(system)));
    std::vector<std::string> present;
    for (const char* const* name = kPreloadedLibraries; *name; ++name) {
        if (testsupport::FileExists(std::string(system) + "\\" + *name))
            present.push_back(*name);
    }
    // What the programs load by name at run time, read from +loaddll traces.
    for (const char* traced : {"comctl32.dll", "uxtheme.dll", "msimg32.dll", "riched32.dll", "riched20.dll",
                               "usp10.dll", "cabinet.dll", "version.dll"})
        EXPECT_NE(present.end(), std::find(present.begin(), present.end(), traced)) << traced << " is preloaded";

    const ChildRun plain = PlantAndLoad("plain", present);
    ASSERT_NE(0u, plain.processId) << "the child did not run";
    EXPECT_EQ(present.size(), plain.exitCode) << "the stand-ins refuse to load";
    for (const std::string& name : present)
        EXPECT_TRUE(testsupport::Marked(name, plain.processId)) << name << ": planting works";

    const ChildRun preloaded = PlantAndLoad("preloaded", present);
    ASSERT_NE(0u, preloaded.processId) << "the child did not run";
    EXPECT_EQ(0u, preloaded.exitCode) << "every library loads, from the system folder";
    for (const std::string& name : present)
        EXPECT_FALSE(testsupport::Marked(name, preloaded.processId)) << name;
}

// A plug-in loaded by its path takes the helper its author put beside it,
// also with the search restricted to the system folder, where a plain load
// by path finds no helper.
TEST(DllSearch, LibraryByPathTakesItsImportsFromItsOwnFolder)
{
    const std::string medium = testsupport::RunDir() + "\\medium";
    CreateDirectoryA(medium.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(g_pathUser.c_str(), (medium + "\\path_user.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(g_pathHelper.c_str(), (medium + "\\path_helper.dll").c_str(), FALSE));
    const std::string plugin = " \"" + medium + "\\path_user.dll\"";

    EXPECT_EQ(0u, RunChild(testsupport::RunDir() + "\\program", "bypath" + plugin).exitCode);
    EXPECT_EQ(1u, RunChild(testsupport::RunDir() + "\\program", "fullpath" + plugin).exitCode)
        << "without its folder in the search, the helper is not found";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: dll_search_test MARK.dll DLL_LOAD_CHILD.exe DLL_LOAD_CHILD_PLAIN.exe "
                             "PATH_USER.dll PATH_HELPER.dll\n");
        return 2;
    }
    g_markDll = testsupport::UnixToWinPath(argv[1]);
    g_child = testsupport::UnixToWinPath(argv[2]);
    g_plainChild = testsupport::UnixToWinPath(argv[3]);
    g_pathUser = testsupport::UnixToWinPath(argv[4]);
    g_pathHelper = testsupport::UnixToWinPath(argv[5]);
    return RUN_ALL_TESTS();
}
