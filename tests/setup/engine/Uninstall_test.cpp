// Uninstall entries written from a script, read back from the registry, and
// the directories recalled and assigned through the Setup API's directory
// identifiers.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // the test's registry helpers come with Vista (Wine has them)

#include "PairList.h"
#include "ScriptFile.h"
#include "Uninstall.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const char kScript[] = R"([Version]
Signature = "$Chicago$"
[DestinationDirs]
DefaultDestDir = 11
SetupCopy = 32768
ProbeA = 32769
ProbeSuite = 32770
ProbeC = 32771
ProbeE = 32772
[Install]
CopyFiles = NoSuchSection, OtherFiles
Uninstall = VtSuite, "Vantor Modem Suite"
ProductVer = @uninstall_test.exe
[Install.Bare]
Uninstall = VtBare
[OtherFiles]
readme.txt
[Products]
ProdA = "Vantor Modem Test", ProdA.Install, ProdA.Remove, 3, 0, "Tests the modem", 1.2.3
ProdB = "Vantor Drivers", ProdB.Install, ProdB.Remove, 3, 0, "Drivers"
ProdC = "Vantor Extras", ProdC.Install, , 3, 0, "No remove section", 1.0
[Products.Refused]
ProdA = "Vantor Modem Test", ProdA.Install, ProdA.Remove, 3
ProdD = "Refused", ProdD.Install, ProdD.Remove, 3
ProdE = "After the refusal", ProdE.Install, ProdE.Remove, 3
[Products.NoNumber]
ProdA = "Vantor Modem Test", ProdA.Install, ProdA.Remove, 3
ProdZ = "No number", ProdZ.Install, ProdZ.Remove, 3
ProdE = "After the refusal", ProdE.Install, ProdE.Remove, 3
[ProdB.Install]
CopyFiles = SetupCopy
[SetupCopy]
SETUP.EXE
[ProductDestinationDirs]
ProdA = 32769, Modem Test
VtSuite = 0x8002, Suite
ProdC = 32771, Extras
ProdD = 11, Refused
ProdE = 32772, After
ProdZ = abc, Zero
)";

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A value of an uninstall entry as "<type>:<bytes>", a text without its
// terminator, a number in decimal; "-" when missing.
std::string Entry(const std::string& key, const char* name)
{
    char data[1024];
    DWORD size = sizeof(data), type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, (kUninstall + key).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS)
        return "-";
    if (type == REG_DWORD)
        return "dword:" + std::to_string(*reinterpret_cast<DWORD*>(data));
    return (type == REG_SZ ? "sz:" + std::string(data, size - 1) : "multi:" + std::string(data, size));
}

// The directory the Setup API gives a section of [DestinationDirs].
std::string TargetOf(HINF script, const char* section)
{
    char dir[MAX_PATH] = "";
    SetupGetTargetPathA(script, nullptr, section, dir, sizeof(dir), nullptr);
    return dir;
}

void SetTargetDirValue(const std::string& key, DWORD type, const std::string& data)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, (kUninstall + key).c_str(), "UserTargetDir", type,
                                             data.data(), static_cast<DWORD>(data.size())));
}

class Uninstall : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Version references name files relative to the program's folder.
        SetCurrentDirectoryA(testsupport::ModuleDir().c_str());
        script_ = testsupport::OpenScript("C:\\uninstall test\\setup.inf", kScript);
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
    }
    void TearDown() override
    {
        PairListFree(&pairs_);
        SetupCloseInfFile(script_);
    }

    // Assigns C:\Tools and registers the products a, b and c.
    void InstallIntoTools()
    {
        ASSERT_EQ(1, AssignDirectories(script_, "Products", "Install", "C:\\Tools", &pairs_));
        ASSERT_EQ(1, RegisterUninstall(script_, std::string("ProdA\0ProdB\0ProdC\0", 19).c_str(), "Products",
                                       "Install", "C:\\Tools", &pairs_))
            << GetLastError();
    }

    HINF script_ = INVALID_HANDLE_VALUE;
    PairList pairs_;
};

TEST_F(Uninstall, EntriesOfProductsAndTheGlobalKey)
{
    InstallIntoTools();
    EXPECT_STREQ("C:\\Tools\\Modem Test", PairListFind(&pairs_, "proda"));
    EXPECT_STREQ("C:\\Tools\\Suite", PairListFind(&pairs_, "VtSuite"));

    const struct {
        const char* key;
        const char* displayName;
        const char* version;
        std::string targetDirs;
    } entries[] = {
        {"ProdA", "Vantor Modem Test", "sz:1.2.3", std::string("multi:C:\\Tools\0C:\\Tools\\Modem Test\0\0", 36)},
        {"ProdB", "Vantor Drivers", "-", "sz:C:\\Tools"},
        // The version from the version resource of the referenced file.
        {"VtSuite", "Vantor Modem Suite", "sz:2.1.0.17", std::string("multi:C:\\Tools\0C:\\Tools\\Suite\0\0", 31)},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.key);
        const std::string command = std::string("sz:\"C:\\Tools\\setup.exe\" /remove:") + e.key;
        EXPECT_EQ(std::string("sz:") + e.displayName, Entry(e.key, "DisplayName"));
        EXPECT_EQ(command, Entry(e.key, "UninstallString"));
        EXPECT_EQ("sz:Vantor", Entry(e.key, "Publisher"));
        EXPECT_EQ("sz:https://www.vantor.example/en/support/", Entry(e.key, "HelpLink"));
        EXPECT_EQ(e.version, Entry(e.key, "ProductVersion"));
        EXPECT_EQ(e.version, Entry(e.key, "DisplayVersion"));
        EXPECT_EQ(e.targetDirs, Entry(e.key, "UserTargetDir"));
        EXPECT_EQ(command + " /quiet", Entry(e.key, "QuietUninstallString"));
        EXPECT_EQ("sz:C:\\Tools", Entry(e.key, "InstallLocation"));
        EXPECT_EQ("dword:1", Entry(e.key, "NoModify"));
        EXPECT_EQ("dword:1", Entry(e.key, "NoRepair"));
        EXPECT_EQ(1, IsRegistered(e.key));
    }
    EXPECT_EQ(0, IsRegistered("ProdC")) << "no remove section, no entry";

    DeleteUninstallEntries(std::string("ProdA\0VtSuite\0", 15).c_str());
    EXPECT_EQ(0, IsRegistered("ProdA"));
    EXPECT_EQ(0, IsRegistered("VtSuite"));
    EXPECT_EQ(1, IsRegistered("ProdB"));
}

TEST_F(Uninstall, SecondInstallationRecallsTheDirectories)
{
    InstallIntoTools();
    char target[MAX_PATH];
    // Identifiers of an earlier run elsewhere must not survive the recall.
    ASSERT_EQ(1, AssignDirectories(script_, "Products", "Install", "C:\\Elsewhere", nullptr));

    EXPECT_EQ(3, RecallDirectories(script_, "Products", "Install", "C:\\Default", target, &pairs_));
    EXPECT_STREQ("C:\\Tools", target);
    EXPECT_EQ("C:\\Tools", TargetOf(script_, "SetupCopy"));
    EXPECT_EQ("C:\\Tools\\Modem Test", TargetOf(script_, "ProbeA"));
    EXPECT_EQ("C:\\Tools\\Suite", TargetOf(script_, "ProbeSuite"));
    // A product not registered before goes below the recalled directory.
    EXPECT_EQ("C:\\Tools\\Extras", TargetOf(script_, "ProbeC"));
    EXPECT_STREQ("C:\\Tools\\Extras", PairListFind(&pairs_, "ProdC"));

    // A plain text value ending in the key's sub-directory gives the base
    // directory; without the global entry it comes from the first product.
    DeleteUninstallEntries(std::string("VtSuite\0", 8).c_str());
    SetTargetDirValue("ProdA", REG_SZ, std::string("D:\\App\\modem TEST", 18));
    EXPECT_EQ(2, RecallDirectories(script_, "Products", "Install", nullptr, target, nullptr));
    EXPECT_STREQ("D:\\App", target);
    EXPECT_EQ("D:\\App\\modem TEST", TargetOf(script_, "ProbeA"));
    EXPECT_EQ("D:\\App\\Suite", TargetOf(script_, "ProbeSuite"));

    // A value of another type counts as not registered: the default is used.
    SetTargetDirValue("ProdA", REG_DWORD, std::string(4, '\1'));
    DeleteUninstallEntries(std::string("ProdB\0", 6).c_str());
    EXPECT_EQ(0, RecallDirectories(script_, "Products", "Install", "C:\\Default", target, nullptr));
    EXPECT_EQ("C:\\Default\\Modem Test", TargetOf(script_, "ProbeA"));
}

TEST_F(Uninstall, RefusedDirectoryAndNoSetupPathChangeNothing)
{
    ASSERT_TRUE(SetupSetDirectoryIdA(script_, 32772, "C:\\Before\\After"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, AssignDirectories(script_, "Products.Refused", "Install", "C:\\Tools", &pairs_));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("C:\\Tools\\Modem Test", TargetOf(script_, "ProbeA"));
    EXPECT_EQ("C:\\Before\\After", TargetOf(script_, "ProbeE")) << "nothing is set after the refusal";
    EXPECT_STREQ("C:\\Tools\\After", PairListFind(&pairs_, "ProdE")) << "the pair list is complete";

    // Without a copy of setup.exe in the script nothing is registered.
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, RegisterUninstall(script_, std::string("ProdA\0", 7).c_str(), "Products.Refused", "Install.Bare",
                                   "C:\\Tools", &pairs_));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(0, IsRegistered("ProdA"));
    EXPECT_EQ(0, IsRegistered("VtBare"));
}

// An identifier that is no number of the user-defined range never reaches
// the Setup API, which would clear every user-defined identifier for 0 (the
// value of "abc"), in the assignment and in the recall alike.
TEST_F(Uninstall, IdentifierOutsideTheUserRangeIsNeverSet)
{
    ASSERT_TRUE(SetupSetDirectoryIdA(script_, 32772, "C:\\Before\\After"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, AssignDirectories(script_, "Products.NoNumber", "Install", "C:\\Other", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("C:\\Other", TargetOf(script_, "SetupCopy"));
    EXPECT_EQ("C:\\Other\\Modem Test", TargetOf(script_, "ProbeA"));
    EXPECT_EQ("C:\\Before\\After", TargetOf(script_, "ProbeE")) << "nothing is set after the refusal";

    SetTargetDirValue("ProdA", REG_SZ, std::string("D:\\App\\Modem Test", 18));
    SetTargetDirValue("ProdZ", REG_SZ, std::string("D:\\App\\Zero", 12));
    char target[MAX_PATH];
    EXPECT_EQ(2, RecallDirectories(script_, "Products.NoNumber", "Install", nullptr, target, nullptr));
    EXPECT_STREQ("D:\\App", target);
    EXPECT_EQ("D:\\App\\Modem Test", TargetOf(script_, "ProbeA")) << "set before ProdZ's line, and kept";
    EXPECT_EQ("D:\\App\\After", TargetOf(script_, "ProbeE"));
}

}  // namespace
