// Registry and folder services under Wine, asserted on the registry and the
// disk: run-once registration, the program-files folder, deleting uninstall
// keys and counting folder entries.
#include "DirectoryEntries.h"
#include "RegistryLookups.h"
#include "RunOnce.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {

const std::string kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

// Text value `name` of HKCU or HKLM `key`; "<missing>" when it cannot be read.
std::string ReadValue(HKEY root, const std::string& key, const char* name)
{
    char data[1024] = "";
    DWORD size = sizeof(data) - 1;
    return SHGetValueA(root, key.c_str(), name, nullptr, data, &size) == ERROR_SUCCESS ? data : "<missing>";
}

void SetText(HKEY root, const std::string& key, const char* name, DWORD type, const std::string& text)
{
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueA(root, key.c_str(), name, type, text.c_str(),
                                         static_cast<DWORD>(text.size() + 1)));
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// Windows parses the value as a command line: a path with a blank is
// quoted, with or without arguments; a command too long is not stored.
TEST(RunOnce, StoresTheQuotedCommandAndCreatesTheKey)
{
    const std::string runOnce = kCurrentVersion + "\\RunOnce";
    SHDeleteKeyA(HKEY_CURRENT_USER, runOnce.c_str());
    const std::string program = "C:\\Program Files\\Vantor\\mdmprobe.exe";
    EXPECT_EQ(1, RegisterRunOnce("Modem test", program.c_str(), nullptr));
    EXPECT_EQ(1, RegisterRunOnce("Modem test on COM3", program.c_str(), "/P:COM3 /L:x.log"));
    EXPECT_EQ("\"" + program + "\"", ReadValue(HKEY_CURRENT_USER, runOnce, "Modem test"));
    EXPECT_EQ("\"" + program + "\" /P:COM3 /L:x.log", ReadValue(HKEY_CURRENT_USER, runOnce, "Modem test on COM3"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, RegisterRunOnce("Too long", program.c_str(), std::string(240, 'x').c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
    EXPECT_EQ("<missing>", ReadValue(HKEY_CURRENT_USER, runOnce, "Too long"));
}

TEST(ProgramFilesDir, TextAndExpandableValuesOthersFail)
{
    char path[MAX_PATH] = "";
    ASSERT_EQ(1, GetProgramFilesDir(path));
    EXPECT_STREQ("C:\\Program Files", path) << "Wine's own value";

    const std::string longValue = "C:\\" + std::string(300, 'p');
    const struct
    {
        DWORD type;
        std::string value;
        int result;
        std::string expected;
    } cases[] = {
        {REG_SZ, "%SystemDrive%\\Apps", 1, "%SystemDrive%\\Apps"},
        {REG_EXPAND_SZ, "%SystemDrive%\\Expanded Apps", 1, "C:\\Expanded Apps"},
        {REG_SZ, longValue, 1, longValue.substr(0, 259)},
        {REG_EXPAND_SZ, "%SystemDrive%" + longValue.substr(2), 1, longValue.substr(0, 259)},
        {REG_MULTI_SZ, "D:\\Apps", 0, ""},
        {REG_BINARY, "D:\\Apps", 0, ""},
    };
    for (const auto& c : cases) {
        SetText(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir", c.type, c.value);
        std::memset(path, 'X', sizeof(path));
        EXPECT_EQ(c.result, GetProgramFilesDir(path)) << c.value;
        EXPECT_EQ(c.expected, std::string(path)) << c.value;
    }
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueA(HKEY_LOCAL_MACHINE, kCurrentVersion.c_str(), "ProgramFilesDir"));
    EXPECT_EQ(0, GetProgramFilesDir(path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(UninstallKeys, DeletesTheListedKeysUpToTheEmptyEntry)
{
    const std::string uninstall = kCurrentVersion + "\\Uninstall";
    for (const char* name : {"ProductA", "ProductB", "ProductC", "ProductD"})
        SetText(HKEY_LOCAL_MACHINE, uninstall + "\\" + name, "DisplayName", REG_SZ, name);
    // The missing key is skipped; the empty entry ends the list before ProductD.
    const char list[] = "ProductA\0Missing\0ProductC\0\0ProductD\0";
    EXPECT_EQ(1, DeleteUninstallKeys(list));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\ProductA"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\ProductB"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\ProductC"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, uninstall + "\\ProductD"));

    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_LOCAL_MACHINE, uninstall.c_str()));
    EXPECT_EQ(0, DeleteUninstallKeys(list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(DirectoryEntries, CountsFilesAndFoldersButNotTheDotEntries)
{
    char temp[MAX_PATH] = "";
    ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
    const std::string dir = std::string(temp) + "count test";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    EXPECT_EQ(0, CountDirectoryEntries(dir.c_str()));
    for (const char* file : {"\\a.txt", "\\b c.dat", "\\hidden"})
        CloseHandle(CreateFileA((dir + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    SetFileAttributesA((dir + "\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateDirectoryA((dir + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\sub\\inner").c_str(), nullptr));

    EXPECT_EQ(4, CountDirectoryEntries(dir.c_str()));
    EXPECT_EQ(4, CountDirectoryEntries((dir + "\\").c_str()));
    EXPECT_EQ(1, CountDirectoryEntries((dir + "\\sub").c_str()));
    for (const std::string& none : {dir + "\\missing", dir + "\\a.txt", std::string(), "C:\\" + std::string(270, 'd')})
        EXPECT_EQ(0, CountDirectoryEntries(none.c_str())) << none;
}

}  // namespace
