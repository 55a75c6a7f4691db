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

// Points this program's import of kernel32's `name` at `replacement` while
// the object lives, so that code linked into the test meets a failing call.
class ImportPatch
{
public:
    ImportPatch(const char* name, ULONG_PTR replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             dll->Name && !slot_; ++dll) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "kernel32.dll") != 0)
                continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
            for (; names->u1.AddressOfData && !slot_; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                    slot_ = &slots->u1.Function;
            }
        }
        if (slot_)
            Swap(replacement);
    }
    ~ImportPatch()
    {
        if (slot_)
            Swap(saved_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return slot_ != nullptr; }

private:
    void Swap(ULONG_PTR value)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection);
        saved_ = *slot_;
        *slot_ = value;
        VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
    }

    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR saved_ = 0;
};

BOOL WINAPI FailingGetVersionExA(OSVERSIONINFOA*)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// Run as Windows 98: when the version cannot be read, the NT family's place
// is the one looked at.
TEST(InstalledModem, UnreadableVersionCountsAsNtFamily)
{
    Install(kNt + "0000", "NT Modem");
    Install(k9x + "0000", "Old Modem");
    EXPECT_TRUE(IsModemInstalled("Old Modem")) << "the version as Windows 98 reports it";
    EXPECT_FALSE(IsModemInstalled("NT Modem"));

    ImportPatch failing("GetVersionExA", reinterpret_cast<ULONG_PTR>(&FailingGetVersionExA));
    ASSERT_TRUE(failing.Active()) << "GetVersionExA is not imported by this program";
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_FALSE(GetVersionExA(&version)) << "the patch is in force";
    EXPECT_TRUE(IsModemInstalled("NT Modem"));
    EXPECT_FALSE(IsModemInstalled("Old Modem"));
}

}  // namespace
