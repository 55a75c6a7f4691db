// A failed installation of the shipped medium leaves the machine as it was:
// on a clean machine (a full disk during the copy, a service that cannot be
// created after the files and registry values), and over an older version
// (its files byte for byte, its uninstall entry and shortcuts). A
// successful installation leaves no journal.
#include "InstalledProduct.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using namespace medium;

namespace {

std::string g_medium;  // Windows path of the medium folder

constexpr DWORD kRunMs = 60000;
const char kTarget[] = "D:\\Vantor Tools";
const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kJournalRoot[] = "C:\\windows\\VantorSetupJournal";

void ListFolder(const std::string& folder, std::vector<std::string>* lines)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines->push_back("folder " + path);
            ListFolder(path, lines);
        } else {
            lines->push_back("file " + path + " " + std::to_string(std::hash<std::string>()(ReadFileBytes(path))));
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

std::vector<std::string> KeyLines(const std::string& key)
{
    std::vector<std::string> lines;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return lines;
    char name[512];
    BYTE data[4096];
    for (DWORD i = 0, size = sizeof(name), length = sizeof(data), type = 0;
         RegEnumValueA(handle, i, name, &size, nullptr, &type, data, &length) == ERROR_SUCCESS;
         ++i, size = sizeof(name), length = sizeof(data))
        lines.push_back("value " + key + " " + name + " " + std::to_string(type) + " " +
                        std::string(reinterpret_cast<char*>(data), length));
    for (DWORD i = 0, size = sizeof(name);
         RegEnumKeyExA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof(name))
        lines.push_back("key " + key + "\\" + name);
    RegCloseKey(handle);
    return lines;
}

std::vector<std::string> ServiceNames()
{
    std::vector<std::string> names;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    if (manager == nullptr)
        return names;
    std::vector<BYTE> buffer(256 * 1024);
    DWORD needed = 0, count = 0, resume = 0;
    if (EnumServicesStatusA(manager, SERVICE_WIN32 | SERVICE_DRIVER, SERVICE_STATE_ALL,
                            reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data()), static_cast<DWORD>(buffer.size()),
                            &needed, &count, &resume)) {
        const auto* services = reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            names.push_back(std::string("service ") + services[i].lpServiceName);
    }
    CloseServiceHandle(manager);
    return names;
}

// What an installation may change, one line per item: the files and
// folders of the target drive, the program-files folder of the product and
// its menu folder (contents as hashes), the uninstall entries and their
// values, the App Paths key, the services, the journal's folder.
std::vector<std::string> Machine()
{
    std::vector<std::string> lines;
    for (const std::string& folder : {std::string("D:"), TargetDir(), MenuDir()})
        ListFolder(folder, &lines);
    for (const std::string& key : {std::string(kUninstallRoot), std::string(kEntry), std::string(kAppPath)}) {
        const std::vector<std::string> keyLines = KeyLines(key);
        lines.insert(lines.end(), keyLines.begin(), keyLines.end());
    }
    const std::vector<std::string> services = ServiceNames();
    lines.insert(lines.end(), services.begin(), services.end());
    if (FileExists(kJournalRoot))
        lines.push_back(std::string("journal folder ") + kJournalRoot);
    return lines;
}

// The shipped script, changed by `edit`, in a medium folder of its own.
std::string MediumWithScript(const std::string& name, const std::function<void(std::string*)>& edit)
{
    const std::string folder = CopyMedium(g_medium, name, {"setup.exe", "mdmprobe.cab"});
    std::string script = ReadFileBytes(g_medium + "\\setup.inf");
    edit(&script);
    FILE* file = std::fopen((folder + "\\setup.inf").c_str(), "wb");
    EXPECT_NE(nullptr, file);
    if (file != nullptr) {
        std::fwrite(script.data(), 1, script.size(), file);
        std::fclose(file);
    }
    return folder;
}

void Replace(std::string* text, const std::string& what, const std::string& with)
{
    const size_t at = text->find(what);
    ASSERT_NE(std::string::npos, at) << what;
    text->replace(at, what.size(), with);
}

// The newer medium's script with a service that cannot be created: the run
// fails after its files, registry values and uninstall entry.
void AddBrokenService(std::string* script)
{
    Replace(script, "[Remove.ModemTest]", "[Install.ModemTest.Services]\r\nAddService = VtBroken,, Broken.Service\r\n"
                                          "[Broken.Service]\r\nServiceType = 16\r\nStartType = 3\r\n"
                                          "ServiceBinary = \"C:\\" + std::string(300, 'b') + ".exe\"\r\n"
                                          "[Remove.ModemTest]");
}

// Runs an installation that must fail, and checks that the debug log tells
// of the rollback.
void RunFailing(const std::string& folder)
{
    DWORD exitCode = 0;
    ASSERT_TRUE(RunSetup(folder, "/quiet /startapp:0 /target:\"" + std::string(kTarget) + "\" /debug:2,setup.log",
                         kRunMs, &exitCode));
    EXPECT_EQ(1603u, exitCode);
    const std::string log = ReadFileBytes(folder + "\\setup.log");
    EXPECT_NE(std::string::npos, log.find("rollback: ")) << log;
    EXPECT_EQ(std::string::npos, log.find(" failed\n", log.find("rollback: "))) << log;
}

// The disk fills during the copy: what the run made before (the target
// folder, the uninstall entry, the first files) is gone again.
TEST(Rollback, FullDiskOnACleanMachine)
{
    const std::vector<std::string> before = Machine();
    RunFailing(CopyMedium(g_medium, "full"));
    EXPECT_EQ(before, Machine());
}

// A service that cannot be created fails the run after the files, the
// registry values and the uninstall entry: all of them are undone.
TEST(Rollback, ServiceThatCannotBeCreatedAfterTheFiles)
{
    const std::string folder = MediumWithScript("service", AddBrokenService);
    const std::vector<std::string> before = Machine();
    RunFailing(folder);
    const std::string log = ReadFileBytes(folder + "\\setup.log");
    EXPECT_NE(std::string::npos, log.find("rollback: registry value removed")) << "App Paths was written: " << log;
    EXPECT_EQ(before, Machine());
}

// Over an older version: a newer one that fails after its files puts the
// older version's files back byte for byte (setup.inf differs), with its
// uninstall entry (its DisplayVersion and every other value) and its
// shortcuts; the program the older one lacked is gone again.
TEST(Rollback, FailureOverAnOlderVersion)
{
    const std::string older = MediumWithScript("older", [](std::string* script) {
        Replace(script, "ProductVer = @mdmprobe.exe", "ProductVer = 1.0.0.0");
        Replace(script, "%TestDescription%, @mdmprobe.exe", "%TestDescription%, 1.0.0.0");
        Replace(script, "[ModemTest.Files]\r\nmdmprobe.exe\r\n", "[ModemTest.Files]\r\n");
    });
    DWORD exitCode = 0;
    ASSERT_TRUE(RunSetup(older, "/quiet /startapp:0 /target:\"" + std::string(kTarget) + "\"", kRunMs, &exitCode));
    ASSERT_EQ(0u, exitCode);
    ASSERT_EQ("1.0.0.0", MachineText(kEntry, "DisplayVersion"));
    const std::vector<std::string> before = Machine();

    RunFailing(MediumWithScript("newer", AddBrokenService));
    EXPECT_EQ(before, Machine());
    EXPECT_EQ("1.0.0.0", MachineText(kEntry, "DisplayVersion"));
    EXPECT_FALSE(FileExists(std::string(kTarget) + "\\mdmprobe.exe"));
}

// A successful installation leaves nothing of its journal.
TEST(Rollback, SuccessLeavesNoJournal)
{
    DWORD exitCode = 0;
    ASSERT_TRUE(RunSetup(CopyMedium(g_medium, "success"), "/quiet /startapp:0", kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(FileExists(kJournalRoot));
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_rollback_e2e_test MEDIUM-FOLDER\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
