#include "SectionEntries.h"

#include "BufCopy.h"
#include "RegistryLineRules.h"
#include "ScriptLines.h"

#include <cstring>

namespace {

// The INF parser keeps at most 511 characters of a field.
const size_t kFieldBytes = 512;

struct Fields
{
    char text[5][kFieldBytes];  // fields 1 to 5; empty when missing
    INT flags = 0;              // field 4 as the Setup API reads numbers; 0 when missing or no number
    bool has[5] = {};
};

void ReadFields(INFCONTEXT* line, Fields* fields)
{
    for (DWORD n = 1; n <= 5; ++n) {
        fields->has[n - 1] = ReadScriptField(line, n, fields->text[n - 1], kFieldBytes) != 0;
        if (!fields->has[n - 1])
            fields->text[n - 1][0] = '\0';
    }
    if (!SetupGetIntField(line, 4, &fields->flags))
        fields->flags = 0;
}

const char* SkipReason(RegistrySkip skip)
{
    switch (skip) {
    case RegistrySkip::RelativeRoot: return "HKR names no key here: setup.exe gives the Setup API no relative root";
    case RegistrySkip::UnknownRoot: return "no registry root (HKCR, HKCU, HKLM, HKU)";
    case RegistrySkip::AddRegFlagsInDelReg: return "a DelReg line with AddReg flags: the Setup API skips it";
    case RegistrySkip::DeletionBitInAddReg: return "an AddReg line with the deletion bit 0x8000: left to DelReg";
    case RegistrySkip::None: break;
    }
    return "";
}

SectionEntry RegistryEntry(INFCONTEXT* line, bool delReg)
{
    Fields fields;
    ReadFields(line, &fields);
    const RegistryLine meaning =
        ReadRegistryLine(fields.text[0], fields.text[2], static_cast<uint32_t>(fields.flags), delReg);
    SectionEntry entry;
    entry.action = RegistryChangeName(meaning.change);
    entry.subject = meaning.root != nullptr ? meaning.root : fields.text[0];
    if (fields.text[1][0] != '\0')
        entry.subject += std::string("\\") + fields.text[1];
    if (meaning.change == RegistryChange::Skip) {
        entry.why = SkipReason(meaning.skip);
        return entry;
    }
    entry.root = meaning.root;
    entry.subKey = fields.text[1];
    if (meaning.change != RegistryChange::DeleteKey && meaning.change != RegistryChange::CreateKey)
        entry.valueName = fields.text[2];
    entry.type = meaning.type;
    if (meaning.change == RegistryChange::DeleteString)
        entry.data = fields.text[4];
    return entry;
}

// An UpdateInis line: file, section, old entry, "key=value". A file named
// without a folder is the Windows folder's.
SectionEntry IniEntry(INFCONTEXT* line)
{
    Fields fields;
    ReadFields(line, &fields);
    SectionEntry entry;
    entry.subject = fields.text[0];
    if (!fields.has[0] || !fields.has[1] || !fields.has[3] || fields.text[0][0] == '\0') {
        entry.why = "a line without file, section or new entry changes nothing";
        return entry;
    }
    if (std::strchr(fields.text[0], '\\') == nullptr) {
        char windows[MAX_PATH];
        const UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
        if (length > 0 && length < sizeof(windows))
            entry.subject = std::string(windows) + "\\" + fields.text[0];
    }
    entry.action = "ini-write";
    entry.iniSection = fields.text[1];
    const char* equals = std::strchr(fields.text[3], '=');
    entry.iniEntry = equals != nullptr ? std::string(fields.text[3], static_cast<size_t>(equals - fields.text[3]))
                                       : std::string(fields.text[3]);
    return entry;
}

enum class ListKind { Ini, IniFields, IniToRegistry, DelReg, AddReg };

// The entries of the list `list` of `kind`: one per line, or the list as a
// whole for the kinds the Setup API reads whole.
void AddList(HINF script, const char* list, ListKind kind, std::vector<SectionEntry>* entries)
{
    if (kind == ListKind::IniFields || kind == ListKind::IniToRegistry) {
        if (SetupGetLineCountA(script, list) < 0)
            return;
        SectionEntry entry;
        entry.action = kind == ListKind::IniFields ? "ini-fields" : "ini-to-registry";
        entry.subject = list;
        entries->push_back(entry);
        return;
    }
    INFCONTEXT line;
    for (BOOL more = SetupFindFirstLineA(script, list, nullptr, &line); more;
         more = SetupFindNextLine(&line, &line)) {
        entries->push_back(kind == ListKind::Ini ? IniEntry(&line) : RegistryEntry(&line, kind == ListKind::DelReg));
    }
}

// The lists named by every `key` line of `section`, in order.
void AddKey(HINF script, const char* section, const char* key, ListKind kind, std::vector<SectionEntry>* entries)
{
    INFCONTEXT keyLine;
    for (BOOL more = SetupFindFirstLineA(script, section, key, &keyLine); more;
         more = SetupFindNextMatchLineA(&keyLine, key, &keyLine)) {
        const DWORD count = SetupGetFieldCount(&keyLine);
        for (DWORD field = 1; field <= count; ++field) {
            char list[kFieldBytes];
            if (ReadScriptField(&keyLine, field, list, sizeof(list)) && list[0] != '\0')
                AddList(script, list, kind, entries);
        }
    }
}

}  // namespace

std::vector<SectionEntry> ReadSectionEntries(HINF script, const char* section)
{
    std::vector<SectionEntry> entries;
    AddKey(script, section, "UpdateInis", ListKind::Ini, &entries);
    AddKey(script, section, "UpdateIniFields", ListKind::IniFields, &entries);
    AddKey(script, section, "Ini2Reg", ListKind::IniToRegistry, &entries);
    AddKey(script, section, "DelReg", ListKind::DelReg, &entries);
    AddKey(script, section, "AddReg", ListKind::AddReg, &entries);
    // One skipped line per BitReg line, named by its first list.
    INFCONTEXT bitReg;
    for (BOOL more = SetupFindFirstLineA(script, section, "BitReg", &bitReg); more;
         more = SetupFindNextMatchLineA(&bitReg, "BitReg", &bitReg)) {
        char list[kFieldBytes] = "";
        ReadScriptField(&bitReg, 1, list, sizeof(list));
        SectionEntry entry;
        entry.subject = list;
        entry.why = "setup.exe does not ask the Setup API for BitReg";
        entries.push_back(entry);
    }
    return entries;
}
