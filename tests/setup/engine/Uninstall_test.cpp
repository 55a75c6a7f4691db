// Uninstall entries written from a script, read back from the registry, and
// the directories recalled and assigned through the Setup API's directory
// identifiers.
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
)";

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Value
{
    DWORD type = REG_NONE;
    std::string data;  // as stored, without the one terminator of a text
};

Value ReadValue(const std::string& key, const char* name)
{
    Value value;
    char data[1024];
    DWORD size = sizeof(data);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, (kUninstall + key).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                     &value.type, data, &size) == ERROR_SUCCESS)
        value.data.assign(data, value.type == REG_SZ && size > 0 ? size - 1 : size);
    return value;
}

std::string Text(const std::string& key, const char* name)
{
    const Value value = ReadValue(key, name);
    return value.type == REG_SZ ? value.data : "(type " + std::to_string(value.type) + ")";
}

DWORD Number(const std::string& key, const char* name)
{
    const Value value = ReadValue(key, name);
    return value.type == REG_DWORD ? *reinterpret_cast<const DWORD*>(value.data.data()) : 0xdeadbeef;
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
    HKEY entry;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kUninstall + key).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &entry, nullptr));
    RegSetValueExA(entry, "UserTargetDir", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(entry);
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
        if (script_ != INVALID_HANDLE_VALUE)
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
    } entries[] = {
        {"ProdA", "Vantor Modem Test", "1.2.3"},
        {"ProdB", "Vantor Drivers", nullptr},
        {"VtSuite", "Vantor Modem Suite", "2.1.0.17"},  // from the version resource of the referenced file
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.key);
        const std::string command = std::string("C:\\Tools\\setup.exe /remove:") + e.key;
        EXPECT_EQ(e.displayName, Text(e.key, "DisplayName"));
        EXPECT_EQ(command, Text(e.key, "UninstallString"));
        EXPECT_EQ("Vantor", Text(e.key, "Publisher"));
        EXPECT_EQ("https://www.vantor.example/en/support/", Text(e.key, "HelpLink"));
        EXPECT_EQ(e.version ? e.version : "(type 0)", Text(e.key, "ProductVersion"));
        EXPECT_EQ(e.version ? e.version : "(type 0)", Text(e.key, "DisplayVersion"));
        EXPECT_EQ(command + " /quiet", Text(e.key, "QuietUninstallString"));
        EXPECT_EQ("C:\\Tools", Text(e.key, "InstallLocation"));
        EXPECT_EQ(1u, Number(e.key, "NoModify"));
        EXPECT_EQ(1u, Number(e.key, "NoRepair"));
        EXPECT_EQ(1, IsRegistered(e.key));
    }
    const Value both = ReadValue("ProdA", "UserTargetDir");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), both.type);
    EXPECT_EQ(std::string("C:\\Tools\0C:\\Tools\\Modem Test\0\0", 30), both.data);
    EXPECT_EQ("C:\\Tools", Text("ProdB", "UserTargetDir"));
    EXPECT_EQ(0, IsRegistered("ProdC")) << "no remove section, no entry";

    DeleteUninstallEntries(std::string("ProdA\0VtSuite\0", 15).c_str());
    EXPECT_EQ(0, IsRegistered("ProdA"));
    EXPECT_EQ(0, IsRegistered("VtSuite"));
    EXPECT_EQ(1, IsRegistered("ProdB"));
}

TEST_F(Uninstall, NothingWrittenWithoutACopyOfSetup)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, RegisterUninstall(script_, std::string("ProdA\0", 7).c_str(), "Products.Refused", "Install.Bare",
                                   "C:\\Tools", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(0, IsRegistered("ProdA"));
    EXPECT_EQ(0, IsRegistered("VtBare"));
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

    // Another type, or nothing registered: the default, or nothing.
    SetTargetDirValue("ProdA", REG_DWORD, std::string(4, '\1'));
    DeleteUninstallEntries(std::string("ProdB\0", 6).c_str());
    EXPECT_EQ(0, RecallDirectories(script_, "Products", "Install", "C:\\Default", target, nullptr));
    EXPECT_STREQ("C:\\Default", target);
    EXPECT_EQ("C:\\Default\\Modem Test", TargetOf(script_, "ProbeA"));
    EXPECT_EQ(0, RecallDirectories(script_, "Products", "Install", nullptr, target, nullptr));
    EXPECT_STREQ("", target);
}

TEST_F(Uninstall, RefusedDirectoryFailsTheAssignment)
{
    ASSERT_TRUE(SetupSetDirectoryIdA(script_, 32772, "C:\\Before\\After"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, AssignDirectories(script_, "Products.Refused", "Install", "C:\\Tools", &pairs_));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("C:\\Tools\\Modem Test", TargetOf(script_, "ProbeA"));
    EXPECT_EQ("C:\\Before\\After", TargetOf(script_, "ProbeE")) << "nothing is set after the refusal";
    EXPECT_STREQ("C:\\Tools\\After", PairListFind(&pairs_, "ProdE")) << "the pair list is complete";

    // A directory too long for a path is refused before the Setup API sees it.
    const std::string longDir = "C:\\" + std::string(250, 'x');
    EXPECT_EQ(0, AssignDirectories(script_, "Products", "Install", longDir.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
}

}  // namespace
