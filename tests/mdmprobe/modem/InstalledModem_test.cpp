// The installed-modem check over the real registry, under Wine as the NT
// family and as Windows 98. Both registry places get different modems, so the
// result shows which place was read.
#include "InstalledModem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

const std::string kNt =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\";
const std::string k9x = "SYSTEM\\CurrentControlSet\\Services\\Class\\Modem\\";

// Creates an installed modem's key and, unless `model` is null, its model.
void Install(const std::string& key, const char* model)
{
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &handle, nullptr));
    if (model) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, "Model", 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(model),
                                                static_cast<DWORD>(strlen(model) + 1)));
    }
    RegCloseKey(handle);
}

void CheckInstalledModems(bool win9x)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ(win9x, version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) << "WINETEST_WINVER";
    Install(kNt + "0001", "IP Virtual Modem");
    Install(kNt + "0002", nullptr);
    Install(kNt + "0003", "Model 56k USB   ");
    Install(kNt + "0009", "Fax Modem 14400");
    Install(kNt + "0010", "Late Modem");
    Install(k9x + "0004", "Old Modem 33600 ");

    struct Case { const char* name; bool nt; bool win9x; };
    const Case cases[] = {
        {"Model 56k USB", true, false}, {"?56k", true, false},
        {"Fax Modem 14400", true, false},  // 0009, the last number looked at
        {"Late Modem", false, false},      // 0010 is not
        {"IP Virtual Modem", false, false}, {"Old Modem 33600", false, true},
        {"?", true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(win9x ? c.win9x : c.nt, IsModemInstalled(c.name)) << c.name;
    EXPECT_EQ(win9x ? "Old Modem 33600 " : "", ReadInstalledModel(4));  // as stored
    EXPECT_EQ("", ReadInstalledModel(2));  // no model, or no key
}

TEST(InstalledModem, NtFamily) { CheckInstalledModems(false); }
TEST(InstalledModem, Windows98) { CheckInstalledModems(true); }

}  // namespace
