#include "JournalEntries.h"

#include "Journal.h"
#include "ScriptFields.h"
#include "ScriptLines.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const DWORD kKeyOnly = 0x00000010;  // FLG_ADDREG_KEYONLY: the line makes the key alone

HKEY RootOf(const char* text)
{
    const struct
    {
        const char* shortName;
        const char* longName;
        HKEY root;
    } roots[] = {{"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                 {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                 {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                 {"HKU", "HKEY_USERS", HKEY_USERS}};
    for (const auto& root : roots) {
        if (lstrcmpiA(text, root.shortName) == 0 || lstrcmpiA(text, root.longName) == 0)
            return root.root;
    }
    return nullptr;  // HKR (a device's key) is not written by installations
}

std::string Field(INFCONTEXT* line, DWORD index)
{
    char text[1024] = "";
    if (!ReadScriptField(line, index, text, sizeof(text)))
        return std::string();
    return text;
}

// Every value of `key` and the keys below it, so that a deleted key can
// be written back.
void JournalKeyTree(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names, subkeys;
    char name[16384];
    for (DWORD i = 0, size = sizeof(name);
         RegEnumValueA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof(name))
        names.emplace_back(name);
    for (DWORD i = 0, size = sizeof(name);
         RegEnumKeyExA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof(name))
        subkeys.emplace_back(name);
    RegCloseKey(handle);
    for (const std::string& value : names)
        JournalValue(root, key.c_str(), value.c_str());
    for (const std::string& subkey : subkeys)
        JournalKeyTree(root, key + "\\" + subkey);
}

// Calls `line` for every line of the sections the key `listKey` of
// `section` names.
template <typename LineFn>
void ForEachListedLine(HINF script, const char* section, const char* listKey, LineFn line)
{
    INFCONTEXT key;
    if (!SetupFindFirstLineA(script, section, listKey, &key))
        return;
    do {
        for (DWORD field = 1; field <= SetupGetFieldCount(&key); ++field) {
            const std::string listed = Field(&key, field);
            INFCONTEXT context;
            if (listed.empty() || !SetupFindFirstLineA(script, listed.c_str(), nullptr, &context))
                continue;
            do
                line(&context);
            while (SetupFindNextLine(&context, &context));
        }
    } while (SetupFindNextMatchLineA(&key, listKey, &key));
}

// The entry name of an INI line "name=text" (all of it without "=").
std::string EntryOf(const std::string& line)
{
    return line.substr(0, line.find('='));
}

}  // namespace

void JournalSectionEntries(HINF script, const char* section)
{
    if (!JournalActive())
        return;
    // AddReg and BitReg write a value (or make a key); DelReg deletes a
    // value, or a whole key when it names none.
    for (const char* list : {"AddReg", "BitReg", "DelReg"}) {
        const bool deletes = std::strcmp(list, "DelReg") == 0;
        ForEachListedLine(script, section, list, [&](INFCONTEXT* line) {
            const HKEY root = RootOf(Field(line, 1).c_str());
            const std::string key = Field(line, 2);
            if (root == nullptr || key.empty())
                return;
            const bool named = SetupGetFieldCount(line) >= 3;
            const std::string value = Field(line, 3);
            char flags[32] = "0";
            ReadScriptField(line, 4, flags, sizeof(flags));
            if (deletes && !named)
                JournalKeyTree(root, key);
            else if (!named || (!deletes && (ScriptNumber(flags) & kKeyOnly) != 0))
                JournalKey(root, key.c_str());
            else
                JournalValue(root, key.c_str(), value.c_str());
        });
    }
    // UpdateInis: file, section, old entry, new entry; UpdateIniFields:
    // file, section, entry.
    ForEachListedLine(script, section, "UpdateInis", [&](INFCONTEXT* line) {
        const std::string file = Field(line, 1), iniSection = Field(line, 2);
        for (DWORD field : {3u, 4u}) {
            const std::string entry = EntryOf(Field(line, field));
            if (!entry.empty() && entry != "*")
                JournalIniEntry(file.c_str(), iniSection.c_str(), entry.c_str());
        }
    });
    ForEachListedLine(script, section, "UpdateIniFields", [&](INFCONTEXT* line) {
        JournalIniEntry(Field(line, 1).c_str(), Field(line, 2).c_str(), Field(line, 3).c_str());
    });
}
