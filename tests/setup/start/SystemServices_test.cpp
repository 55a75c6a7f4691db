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

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Text value of `root`\`key`; "<missing>" when it cannot be read.
std::string ReadValue(HKEY root, const char* key, const char* name, DWORD* type = nullptr)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return "<missing>";
    char data[1024] = "";
    DWORD size = sizeof(data) - 1;
    LONG result = RegQueryValueExA(handle, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS ? data : "<missing>";
}

// Sets value `name` of `root`\`key` (created when missing) to `size` bytes.
void SetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                                             nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(handle);
}

void SetText(HKEY root, const char* key, const char* name, DWORD type, const std::string& text)
{
    SetValue(root, key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

TEST(RunOnce, StoresTheCommandAndCreatesTheKey)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, kRunOnceKey);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kRunOnceKey));

    const std::string program = "C:\\Program Files\\Vantor\\mdmprobe.exe";
    EXPECT_EQ(1, RegisterRunOnce("Modem test", program.c_str(), nullptr));
    EXPECT_EQ(1, RegisterRunOnce("Modem test with port", program.c_str(), "/P:COM3 /L:x.log"));
    EXPECT_EQ(1, RegisterRunOnce("Plain", "C:\\Tools\\probe.exe", ""));

    DWORD type = 0;
    EXPECT_EQ(program, ReadValue(HKEY_CURRENT_USER, kRunOnceKey, "Modem test", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ("\"" + program + "\" /P:COM3 /L:x.log",
              ReadValue(HKEY_CURRENT_USER, kRunOnceKey, "Modem test with port"));
    EXPECT_EQ("C:\\Tools\\probe.exe", ReadValue(HKEY_CURRENT_USER, kRunOnceKey, "Plain"));
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
        {REG_SZ, "D:\\Apps", 1, "D:\\Apps"},
        {REG_EXPAND_SZ, "%SystemDrive%\\Expanded Apps", 1, "C:\\Expanded Apps"},
        {REG_SZ, "%SystemDrive%\\Literal", 1, "%SystemDrive%\\Literal"},
        {REG_SZ, longValue, 1, longValue.substr(0, 259)},
        {REG_EXPAND_SZ, "%SystemDrive%" + longValue.substr(2), 1, longValue.substr(0, 259)},
        {REG_MULTI_SZ, "D:\\Apps", 0, ""},
    };
    for (const auto& c : cases) {
        SetText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", c.type, c.value);
        std::memset(path, 'X', sizeof(path));
        EXPECT_EQ(c.result, GetProgramFilesDir(path)) << c.value;
        EXPECT_EQ(c.expected, std::string(path)) << c.value;
    }
    DWORD number = 5;
    SetValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(0, GetProgramFilesDir(path));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_SET_VALUE, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "ProgramFilesDir"));
    RegCloseKey(key);
    EXPECT_EQ(0, GetProgramFilesDir(path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(UninstallKeys, DeletesTheListedKeysUpToTheEmptyEntry)
{
    for (const char* name : {"ProductA", "ProductB", "ProductC", "ProductD"})
        SetText(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str(), "DisplayName",
                REG_SZ, name);
    // The missing key is skipped; the empty entry ends the list before ProductD.
    const char list[] = "ProductA\0Missing\0ProductC\0\0ProductD\0";
    EXPECT_EQ(1, DeleteUninstallKeys(list));
    const std::string base = std::string(kUninstallKey) + "\\";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base + "ProductA"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, base + "ProductB"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, base + "ProductC"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, base + "ProductD"));
    EXPECT_EQ(1, DeleteUninstallKeys(""));

    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey));
    SetLastError(0);
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

    for (const char* file : {"\\a.txt", "\\b c.dat", "\\hidden"}) {
        HANDLE h = CreateFileA((dir + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
    }
    SetFileAttributesA((dir + "\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateDirectoryA((dir + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\sub\\inner").c_str(), nullptr));

    EXPECT_EQ(4, CountDirectoryEntries(dir.c_str()));
    EXPECT_EQ(4, CountDirectoryEntries((dir + "\\").c_str()));
    EXPECT_EQ(1, CountDirectoryEntries((dir + "\\sub").c_str()));
    EXPECT_EQ(0, CountDirectoryEntries((dir + "\\missing").c_str()));
    EXPECT_EQ(0, CountDirectoryEntries((dir + "\\a.txt").c_str()));
    EXPECT_EQ(0, CountDirectoryEntries(""));
    EXPECT_EQ(0, CountDirectoryEntries(("C:\\" + std::string(270, 'd')).c_str()));
}

}  // namespace
