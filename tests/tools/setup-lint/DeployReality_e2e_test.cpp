// What "setup-lint --deploy" told a deployment tool about the shipped
// medium, against a real "setup.exe /quiet" installation under Wine: the
// uninstall key is in the registry view it named and not in the other,
// DisplayName, DisplayVersion, Publisher, InstallLocation and the removal
// commands are the values it printed (its %ProgramFiles% expanded as a tool
// expands it), its detection rules hold, and its silent removal command
// removes the product with the exit code it named.
//
// usage: deploy_reality_test MEDIUM-FOLDER DEPLOY.json
#include "JsonParse.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

using testsupport::ChildProcess;

namespace {

std::string g_medium;
Json g_deploy;
constexpr DWORD kRunMs = 60000;

std::string Expanded(const std::string& text)
{
    char expanded[2048] = "";
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof expanded);
    return size > 0 && size <= sizeof expanded ? expanded : "(cannot expand " + text + ")";
}

// The REG_SZ values of the key `path` (HKEY_LOCAL_MACHINE\...) in one
// registry view; `exists` tells whether the key is there.
std::map<std::string, std::string> TextValues(const std::string& path, REGSAM view, bool* exists)
{
    std::map<std::string, std::string> values;
    const std::string root = "HKEY_LOCAL_MACHINE\\";
    HKEY key = nullptr;
    *exists = path.compare(0, root.size(), root) == 0 &&
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.substr(root.size()).c_str(), 0, KEY_READ | view, &key) ==
                  ERROR_SUCCESS;
    if (!*exists) return values;
    for (DWORD index = 0;; ++index) {
        char name[256], data[2048];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        data[dataSize] = '\0';
        if (type == REG_SZ) values[name] = data;
    }
    RegCloseKey(key);
    return values;
}

// The detection rule of a tool: the key exists in its view, and
// DisplayVersion equals the version the deployment named.
bool Detected(const Json& entry, const Json& view)
{
    const REGSAM sam = TextOf(view, "view") == "64-bit" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    bool exists = false;
    const auto values = TextValues(TextOf(view, "registryKey"), sam, &exists);
    const auto version = values.find("DisplayVersion");
    return exists && version != values.end() &&
           version->second == TextOf(MemberOf(entry, "detection"), "equals");
}

DWORD RunToEnd(const std::string& command, const std::string& folder)
{
    ChildProcess child;
    EXPECT_TRUE(child.Start(command, folder)) << command;
    DWORD exitCode = 1;
    EXPECT_TRUE(child.Wait(kRunMs, &exitCode)) << command;
    return exitCode;
}

}  // namespace

TEST(DeployAgainstReality, ShippedMediumDetectedAndRemovedAsTold)
{
    ASSERT_EQ("x64", TextOf(g_deploy, "architecture"));
    const Json& entries = MemberOf(g_deploy, "entries");
    ASSERT_EQ(1u, entries.items.size()) << "the shipped medium writes one entry";
    const Json& entry = entries.items[0];
    ASSERT_EQ(1u, MemberOf(entry, "views").items.size()) << "the x64 medium runs on 64-bit Windows only";
    const Json& view = MemberOf(entry, "views").items[0];
    ASSERT_EQ("64-bit", TextOf(view, "view"));
    EXPECT_FALSE(Detected(entry, view)) << "nothing is installed yet";

    const std::string medium = testsupport::RunDir() + "\\medium";
    CreateDirectoryA(medium.c_str(), nullptr);
    for (const char* file : {"setup.exe", "setup.inf", "mdmprobe.cab"})
        ASSERT_TRUE(CopyFileA((g_medium + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE)) << file;
    // The installation as it is today: /quiet starts the modem test at its
    // end, which is closed as a user would.
    const DWORD installed = RunToEnd("\"" + medium + "\\setup.exe\" /quiet", medium);
    EXPECT_EQ(static_cast<DWORD>(MemberOf(MemberOf(entry, "install"), "exitCode").number), installed);
    const HWND wizard = uidriver::WaitForWizard(0, 20000);
    ASSERT_NE(nullptr, wizard) << "the installation did not start the program of StartApp";
    EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs));

    bool exists = false, elsewhere = true;
    std::map<std::string, std::string> values = TextValues(TextOf(view, "registryKey"), KEY_WOW64_64KEY, &exists);
    std::string redirected = TextOf(view, "registryKey");  // the same key in the 32-bit view
    redirected.insert(std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\").size(), "WOW6432Node\\");
    TextValues(redirected, KEY_WOW64_64KEY, &elsewhere);
    ASSERT_TRUE(exists) << TextOf(view, "registryKey");
    EXPECT_FALSE(elsewhere) << "the entry is in the 32-bit view too";
    EXPECT_EQ(TextOf(entry, "displayName"), values["DisplayName"]);
    EXPECT_EQ(TextOf(entry, "displayVersion"), values["DisplayVersion"]);
    EXPECT_EQ(TextOf(entry, "publisher"), values["Publisher"]);
    const std::string location = Expanded(TextOf(view, "installLocation"));
    EXPECT_EQ(location, values["InstallLocation"]);
    EXPECT_EQ(Expanded(TextOf(view, "uninstallString")), values["UninstallString"]);
    const std::string quiet = Expanded(TextOf(view, "quietUninstallString"));
    EXPECT_EQ(quiet, values["QuietUninstallString"]);
    EXPECT_TRUE(Detected(entry, view));

    // The removal as the deployment named it.
    const DWORD removed = RunToEnd(quiet, "");
    EXPECT_EQ(static_cast<DWORD>(MemberOf(MemberOf(entry, "remove"), "exitCode").number), removed);
    TextValues(TextOf(view, "registryKey"), KEY_WOW64_64KEY, &exists);
    EXPECT_FALSE(exists) << "the entry is gone";
    EXPECT_FALSE(Detected(entry, view));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((location + "\\mdmprobe.exe").c_str()))
        << "the product's program is gone";
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: deploy_reality_test MEDIUM-FOLDER DEPLOY.json\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    bool read = false;
    const std::string text = testsupport::ReadFileBytes(testsupport::UnixToWinPath(argv[2]), &read);
    std::string error;
    const std::optional<Json> deploy = ParseJson(text, &error);
    if (!read || !deploy) {
        std::fprintf(stderr, "deploy_reality_test: %s: %s\n", argv[2], read ? error.c_str() : "cannot be read");
        return 2;
    }
    g_deploy = *deploy;
    return RUN_ALL_TESTS();
}
