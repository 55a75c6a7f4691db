#include "EntriesPhase.h"

#include "Journal.h"
#include "RunLog.h"
#include "SectionEntries.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The parts of a section the phase asks the Setup API for.
const UINT kEntryFlags = SPINST_INIFILES | SPINST_REGISTRY | SPINST_INI2REG;

HKEY RootOf(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (std::strcmp(name, "HKLM") == 0)
        return HKEY_LOCAL_MACHINE;
    if (std::strcmp(name, "HKCU") == 0)
        return HKEY_CURRENT_USER;
    if (std::strcmp(name, "HKCR") == 0)
        return HKEY_CLASSES_ROOT;
    return std::strcmp(name, "HKU") == 0 ? HKEY_USERS : nullptr;
}

// Every value of `key` and the keys below it, so that a deleted key can
// be written back.
void JournalKeyTree(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names, subkeys;
    std::vector<char> name(16384);
    for (DWORD i = 0, size = static_cast<DWORD>(name.size());
         RegEnumValueA(handle, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = static_cast<DWORD>(name.size()))
        names.emplace_back(name.data());
    for (DWORD i = 0, size = static_cast<DWORD>(name.size());
         RegEnumKeyExA(handle, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = static_cast<DWORD>(name.size()))
        subkeys.emplace_back(name.data());
    RegCloseKey(handle);
    for (const std::string& value : names)
        JournalValue(root, key.c_str(), value.c_str());
    for (const std::string& subkey : subkeys)
        JournalKeyTree(root, key + "\\" + subkey);
}

// What an entry will change goes into the installation journal first.
void JournalEntry(const SectionEntry& entry)
{
    const std::string action = entry.action;
    const HKEY root = RootOf(entry.root);
    if (action == "ini-write") {
        JournalIniEntry(entry.subject.c_str(), entry.iniSection.c_str(), entry.iniEntry.c_str());
    } else if (root == nullptr) {
        return;  // skipped lines, and what Ini2Reg and UpdateIniFields move (not undone)
    } else if (action == "delete-key") {
        JournalKeyTree(root, entry.subKey);
    } else if (action == "create-key") {
        JournalKey(root, entry.subKey.c_str());
    } else {
        JournalValue(root, entry.subKey.c_str(), entry.valueName.c_str());
    }
}

}  // namespace

int WriteSectionEntries(HWND page, HINF script, const char* section)
{
    // Read before the section is applied: what its lines name, not what
    // the registry holds afterwards; journalled before it is applied.
    std::vector<SectionEntry> entries;
    if (RunLogOpened() || JournalActive())
        entries = ReadSectionEntries(script, section);
    for (const SectionEntry& entry : entries)
        JournalEntry(entry);
    if (!SetupInstallFromInfSectionA(page, script, section, kEntryFlags, nullptr, nullptr, 0, nullptr, nullptr,
                                     nullptr, nullptr)) {
        const DWORD error = GetLastError();
        RunLogPrint("the INI and registry entries of [%s] failed (error %lu)", section, error);
        SetLastError(error);
        return 0;
    }
    for (const SectionEntry& entry : entries) {
        char detail[1024];
        SectionEntryDetail(entry, detail, sizeof(detail));
        if (detail[0] != '\0')
            RunLogAction(entry.action, entry.subject.c_str(), "%s", detail);
        else
            RunLogAction(entry.action, entry.subject.c_str());
    }
    return 1;
}
