#include "InstalledProduct.h"

#include "UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using testsupport::FileExists;

namespace medium {

const char kEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ModemTest";
const char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\mdmprobe.exe";
const char* const kFiles[5] = {"setup.exe", "setup.inf", "mdmprobe.exe", "mdmprobe.ini", "mdmprobe.dat"};
const char* const kShortcuts[3] = {"Vantor Modem Test.lnk", "Modem Test Logs.lnk", "Remove Vantor Modem Test.lnk"};

namespace {

constexpr DWORD kRunMs = 60000;
const char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Names in `dir` matching `pattern`: files, or folders with `folders`.
std::vector<std::string> Names(const std::string& dir, bool folders)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        const std::string name = found.cFileName;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != ".." && folder == folders)
            names.push_back(name);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// FNV-1a of the file's bytes, in hexadecimal.
std::string ContentHash(const std::string& path)
{
    const std::string bytes = testsupport::ReadFileBytes(path);
    unsigned long long hash = 1469598103934665603ULL;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ULL;
    char text[32];
    std::snprintf(text, sizeof(text), "%016llx", hash);
    return text;
}

// "name=type:value" for every value of HKLM\`key`.
std::vector<std::string> Values(const char* key)
{
    std::vector<std::string> values;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[2048];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        std::string value;
        if (type == REG_DWORD)
            value = std::to_string(*reinterpret_cast<DWORD*>(data));
        else
            value.assign(reinterpret_cast<char*>(data), dataSize);
        values.push_back(std::string(key) + "|" + name + "=" + std::to_string(type) + ":" + value);
    }
    RegCloseKey(handle);
    std::sort(values.begin(), values.end());
    return values;
}

std::vector<std::string> SubKeys(const char* key)
{
    std::vector<std::string> names;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(handle, i, name, sizeof(name)) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    RegCloseKey(handle);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string MachineText(const char* key, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "";
    char value[1024] = {};
    DWORD size = sizeof(value) - 2;
    const LONG result = RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS ? std::string(value) : "";
}

bool MachineKeyExists(const char* key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

size_t RestartPosition(const std::string& path)
{
    return testsupport::PendingDeletion(testsupport::PendingOperations(), path);
}

bool DeletedAtRestart(const std::string& path)
{
    return RestartPosition(path) != std::string::npos;
}

std::string TargetDir()
{
    return MachineText("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir") + "\\Vantor\\Modem Tools";
}

std::string MenuDir()
{
    return MachineText("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Common Programs") +
           "\\Vantor Modem Tools";
}

std::string CopyMedium(const std::string& mediumDir, const std::string& name, const std::vector<std::string>& files)
{
    const std::string folder = testsupport::RunDir() + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& file : files)
        EXPECT_TRUE(CopyFileA((mediumDir + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE)) << file;
    return folder;
}

bool RunSetup(const std::string& folder, const std::string& arguments, DWORD ms, DWORD* exitCode, bool* sawDialog)
{
    testsupport::ChildProcess setup;
    if (!setup.Start("\"" + folder + "\\setup.exe\" " + arguments, folder))
        return false;
    bool dialog = false;
    const bool ended = uidriver::WaitFor(
        [&] {
            dialog = dialog || uidriver::FindDialog(setup.Id()) != nullptr;
            return setup.Wait(0, exitCode);
        },
        ms);
    if (!ended)
        setup.Kill();
    if (sawDialog)
        *sawDialog = dialog;
    return ended;
}

void CloseStartedModemTest()
{
    HWND wizard = uidriver::WaitForWizard(0, 20000);
    ASSERT_NE(nullptr, wizard) << "the installation did not start the modem test";
    EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs)) << "the modem test did not close";
}

std::vector<std::string> Footprint()
{
    std::vector<std::string> lines;
    const std::string target = TargetDir();
    for (const std::string& file : Names(target, false)) {
        // The modem test's log, written when the installation starts it,
        // holds the times of its run.
        const std::string path = target + "\\" + file;
        lines.push_back("file " + file + (file == "mdmprobe.log" ? std::string() : " " + ContentHash(path)));
    }
    for (const std::string& folder : Names(target, true))
        lines.push_back("folder " + folder);
    for (const std::string& shortcut : Names(MenuDir(), false))
        lines.push_back("shortcut " + shortcut);
    for (const std::string& key : SubKeys(kUninstallRoot))
        lines.push_back("uninstall entry " + key);
    for (const char* key : {kEntry, kAppPath}) {
        for (const std::string& value : Values(key))
            lines.push_back("value " + value);
    }
    return lines;
}

void ExpectNothingLeft(const std::vector<std::string>& heldOpen)
{
    const std::string target = TargetDir();
    const auto held = [&](const std::string& file) {
        return std::find(heldOpen.begin(), heldOpen.end(), file) != heldOpen.end();
    };
    for (const char* file : kFiles) {
        const std::string path = target + "\\" + file;
        if (held(file))
            EXPECT_TRUE(FileExists(path) && DeletedAtRestart(path)) << path << " waits for the restart";
        else
            EXPECT_FALSE(FileExists(path) || DeletedAtRestart(path)) << path << " is gone at once";
    }
    EXPECT_FALSE(FileExists(target + "\\mdmprobe.log"));
    for (const char* shortcut : kShortcuts)
        EXPECT_FALSE(FileExists(MenuDir() + "\\" + shortcut)) << shortcut;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(MenuDir().c_str())) << "the menu folder is removed";
    EXPECT_FALSE(MachineKeyExists(kEntry));
    EXPECT_FALSE(MachineKeyExists(kAppPath));
    // The runs' own folders for the cabinet members they read are gone.
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(windows) + "\\Temp\\setup-*").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    // The product's folders: gone at once, or with a file held open, at
    // the restart, Vantor after Modem Tools; never the program-files folder.
    const std::string vantor = target.substr(0, target.rfind('\\'));
    if (heldOpen.empty()) {
        for (const std::string& folder : {target, vantor}) {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str())) << folder << " is removed at once";
            EXPECT_FALSE(DeletedAtRestart(folder)) << folder;
        }
    } else {
        EXPECT_NE(std::string::npos, RestartPosition(target)) << target;
        EXPECT_NE(std::string::npos, RestartPosition(vantor)) << vantor;
        EXPECT_LT(RestartPosition(target), RestartPosition(vantor)) << vantor << " goes after " << target;
    }
    EXPECT_FALSE(DeletedAtRestart(vantor.substr(0, vantor.rfind('\\'))));
}

std::vector<std::string> RemovalCopies()
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    const std::string temp = std::string(windows) + "\\Temp";
    std::vector<std::string> copies;
    for (const std::string& folder : Names(temp, true)) {
        if (folder.compare(0, 8, "removal-") == 0)
            copies.push_back(temp + "\\" + folder);
    }
    return copies;
}

std::string ExpectCopyLeftForTheRestart()
{
    const std::vector<std::string> copies = RemovalCopies();
    EXPECT_EQ(1u, copies.size()) << "one removal copy's folder";
    if (copies.size() != 1)
        return "";
    const std::string& copy = copies[0];
    const size_t folderAt = RestartPosition(copy);
    EXPECT_NE(std::string::npos, folderAt) << copy << " is deleted at the restart";
    const std::vector<std::string> files = Names(copy, false);
    EXPECT_FALSE(files.empty());
    for (const std::string& file : files) {
        const size_t at = RestartPosition(copy + "\\" + file);
        EXPECT_NE(std::string::npos, at) << file << " is deleted at the restart";
        EXPECT_LT(at, folderAt) << file << " goes before its folder";
    }
    EXPECT_TRUE(Names(copy, true).empty()) << "no folder inside " << copy;
    return copy;
}

}  // namespace medium
