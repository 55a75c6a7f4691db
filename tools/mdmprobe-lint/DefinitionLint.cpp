#include "DefinitionLint.h"

#include "DefinitionKeys.h"
#include "DiagReport.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

constexpr size_t kValueMax = 79;  // the program reads values into 80 bytes
constexpr char kCommon[] = "Common";
constexpr char kAlias[] = "Alias";

// Common keys read at every port scan (each missing one is logged).
const char* const kScanKeys[] = {T_KEY_DIAGCMD,        T_KEY_DIAGANSWER,    T_KEY_MODEMDETECTCMD,
                                 T_KEY_MODEMDETECTANSW, T_KEY_MODEMREADNAME, T_KEY_MODEMREADNAME2,
                                 T_KEY_MODEMREADFIRMW};

// Model keys the test run needs, with their fallback in Common.
struct NeededKey
{
    const char* key;
    const char* fallback;
};
const NeededKey kNeededKeys[] = {
    {T_KEY_RAMCHECKCMD, T_KEY_DEFAULTRAMCHECKCMD},     {T_KEY_RAMCHECKERROR, T_KEY_DEFAULTRAMCHECKERROR},
    {T_KEY_CRCCHECKCMD, T_KEY_DEFAULTCRCCHECKCMD},     {T_KEY_CRCCHECKANSWER, T_KEY_DEFAULTCRCCHECKANSWER},
    {T_KEY_DIALCMD, T_KEY_DEFAULTDIALCMD},             {T_KEY_DIALCMDNODIALT, T_KEY_DEFAULTDIALCMDNODIALT},
    {T_KEY_DIALANSWER, T_KEY_DEFAULTDIALANSWER},       {T_KEY_MINSPEED, T_KEY_DEFAULTMINSPEED},
};

const char* const kNumberKeys[] = {T_KEY_MINSPEED, T_KEY_DEFAULTMINSPEED, T_KEY_CONNECTTIME, T_KEY_HANGUPTIME};

const char* const kCommonKeys[] = {
    T_KEY_DIAGCMD, T_KEY_DIAGANSWER, T_KEY_MODEMDETECTCMD, T_KEY_MODEMDETECTANSW, T_KEY_MODEMREADNAME,
    T_KEY_MODEMREADNAME2, T_KEY_MODEMREADFIRMW, T_KEY_DEFAULTCRCCHECKCMD, T_KEY_DEFAULTCRCCHECKANSWER,
    T_KEY_DEFAULTRAMCHECKCMD, T_KEY_DEFAULTRAMCHECKERROR, T_KEY_DEFAULTDIALCMD, T_KEY_DEFAULTDIALCMDNODIALT,
    T_KEY_DEFAULTDIALANSWER, T_KEY_DEFAULTMINSPEED, T_KEY_CONNECTTIME, T_KEY_HANGUPTIME};

const char* const kModelKeys[] = {
    kAlias, T_KEY_MODEMTAPINAME, T_KEY_MODEMREADFIRMW, T_KEY_RAMCHECKCMD, T_KEY_RAMCHECKERROR,
    T_KEY_CRCCHECKCMD, T_KEY_CRCCHECKANSWER, T_KEY_DIALCMD, T_KEY_DIALCMDNODIALT, T_KEY_DIALANSWER,
    T_KEY_MINSPEED, T_KEY_DIAGCMD, T_KEY_DIAGANSWER, T_KEY_CONNECTTIME, T_KEY_HANGUPTIME};

template <size_t N>
bool IsOneOf(const std::string& key, const char* const (&names)[N])
{
    for (const char* name : names) {
        if (EqualNoCase(key, name))
            return true;
    }
    return false;
}

bool IsDecimal(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHexWord(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string Hex(uint32_t n)
{
    const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[n % 16]);
        n /= 16;
    } while (n);
    return text;
}

class Linter
{
public:
    explicit Linter(const IniDocument& document) : doc_(document), common_(document.Find(kCommon)) {}

    std::vector<LintFinding> Run()
    {
        for (const IniNote& note : doc_.notes)
            Add(note.line, false, note.text);
        FindDiagnosticSections();
        CheckDuplicates();
        CheckCommon();
        for (const IniSection& section : doc_.sections) {
            if (&section != doc_.Find(section.name) || &section == common_)
                continue;
            if (IsDiagnosticSection(section))
                CheckDiagnosticSection(section);
            else
                CheckModelSection(section);
        }
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
        return findings_;
    }

private:
    void Add(int line, bool error, const std::string& text) { findings_.push_back({line, error, text}); }

    std::string CommonValue(const char* key) const { return common_ ? common_->Value(key) : std::string(); }

    void FindDiagnosticSections()
    {
        for (const IniSection& section : doc_.sections) {
            const IniEntry* entry = section.Find(T_KEY_DIAGCMD);
            if (!entry || entry->value.empty() || doc_.Find(section.name) != &section)
                continue;
            if (!doc_.Find(entry->value)) {
                Add(entry->line, false,
                    "no section [" + entry->value + "] describes the report of this DiagCmd: every key "
                    "will be logged as not described");
            }
            diagCommands_.push_back(entry->value);
        }
    }

    bool IsDiagnosticSection(const IniSection& section) const
    {
        for (const std::string& command : diagCommands_) {
            if (EqualNoCase(command, section.name))
                return true;
        }
        return false;
    }

    void CheckDuplicates()
    {
        for (const IniSection& section : doc_.sections) {
            const IniSection* first = doc_.Find(section.name);
            if (first != &section) {
                Add(section.line, true,
                    "section [" + section.name + "] appears again (first at line " + std::to_string(first->line) +
                        "); the program reads only the first one");
            }
        }
    }

    // Values as the program reads them: cut length, numbers, comments behind
    // values, keys given twice, unknown keys.
    template <size_t N>
    void CheckValues(const IniSection& section, const char* const (&known)[N])
    {
        for (const IniEntry& entry : section.entries) {
            const IniEntry* first = section.Find(entry.key);
            if (first != &entry) {
                Add(entry.line, false,
                    entry.key + " given again; the program uses line " + std::to_string(first->line));
                continue;
            }
            if (!IsOneOf(entry.key, known)) {
                Add(entry.line, false, "unknown key " + entry.key + " in [" + section.name + "] is never read");
                continue;
            }
            if (entry.value.size() > kValueMax) {
                Add(entry.line, true,
                    entry.key + " has " + std::to_string(entry.value.size()) +
                        " characters; the program reads only the first 79");
            }
            if (IsOneOf(entry.key, kNumberKeys) && !entry.value.empty() && !IsDecimal(entry.value)) {
                Add(entry.line, true, entry.key + " \"" + entry.value + "\" is not a decimal number (read as " +
                                          "a wrong number or 0)");
            }
            size_t semicolon = entry.value.find(';');
            if (semicolon != std::string::npos && semicolon > 0 &&
                (entry.value[semicolon - 1] == ' ' || entry.value[semicolon - 1] == '\t')) {
                Add(entry.line, false,
                    entry.key + " contains \";\": a comment behind a value becomes part of the value");
            }
        }
    }

    void CheckCommon()
    {
        if (!common_) {
            Add(1, true, "no [Common] section: the port scan cannot detect any modem");
            return;
        }
        CheckValues(*common_, kCommonKeys);
        for (const char* key : kScanKeys) {
            if (!common_->Value(key).empty())
                continue;
            const bool needed = EqualNoCase(key, T_KEY_MODEMDETECTCMD) ||
                                (EqualNoCase(key, T_KEY_MODEMREADNAME) && common_->Value(T_KEY_MODEMREADNAME2).empty());
            Add(common_->line, needed,
                std::string("[Common] has no ") + key +
                    (needed ? ": no modem can be identified" : ": every port scan logs it as missing"));
        }
    }

    void CheckModelSection(const IniSection& section)
    {
        CheckValues(section, kModelKeys);
        const IniEntry* alias = section.Find(kAlias);
        if (alias && !alias->value.empty()) {
            const IniSection* target = doc_.Find(alias->value);
            if (!target) {
                Add(alias->line, true, "Alias names [" + alias->value + "], which does not exist");
            } else if (!target->Value(kAlias).empty()) {
                Add(alias->line, true,
                    "Alias names [" + alias->value + "], which is an alias itself; the program follows "
                    "only one level");
            }
            for (const IniEntry& entry : section.entries) {
                if (!EqualNoCase(entry.key, kAlias) && !EqualNoCase(entry.key, T_KEY_MODEMREADFIRMW))
                    Add(entry.line, false, entry.key + " is ignored: the section has an Alias");
            }
            return;
        }
        if (section.Value(T_KEY_MODEMTAPINAME).empty()) {
            Add(section.line, true,
                "[" + section.name + "] has no ModemTapiName: the program stops with a message box and "
                "cannot check the installed modem");
        }
        for (const NeededKey& needed : kNeededKeys) {
            if (section.Value(needed.key).empty() && CommonValue(needed.fallback).empty()) {
                Add(section.line, true,
                    "[" + section.name + "] has no " + needed.key + " and [Common] has no " + needed.fallback);
            }
        }
    }

    void CheckDiagnosticSection(const IniSection& section)
    {
        std::map<uint32_t, std::string> units;
        std::map<std::string, int> seen;  // "key-kind" -> line, to find repeats
        for (const IniEntry& entry : section.entries) {
            const DiagEntry parsed = ParseDiagEntry(entry.raw);
            const size_t dash = entry.key.find('-');
            const std::string keyText = entry.key.substr(0, dash);
            const std::string after = dash == std::string::npos ? std::string() : entry.key.substr(dash + 1);
            if (parsed.kind == DiagEntryKind::Ignored || !IsHexWord(keyText)) {
                Add(entry.line, true,
                    "\"" + entry.key + "\" is not K-definition, K-unit or K-V with a hexadecimal key K");
                continue;
            }
            if (parsed.key > 0xFF) {
                Add(entry.line, true, "key " + keyText + " is above FF and never appears in a report");
                continue;
            }
            if (parsed.kind == DiagEntryKind::KeyOnly ||
                (parsed.kind == DiagEntryKind::Value && !IsHexWord(after))) {
                Add(entry.line, true,
                    "\"" + entry.key + "\": after \"-\" comes definition, unit or a hexadecimal value");
                continue;
            }
            const bool definition = parsed.kind == DiagEntryKind::Definition;
            if ((definition && !EqualNoCase(after, "definition")) ||
                (parsed.kind == DiagEntryKind::Unit && !EqualNoCase(after, "unit"))) {
                Add(entry.line, true, "\"" + entry.key + "\": write K-definition or K-unit");
                continue;
            }
            const std::string id = Hex(parsed.key) + (parsed.kind == DiagEntryKind::Value ? "-" + Hex(parsed.value)
                                                                                          : "-" + after);
            std::string lower = id;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
            if (seen.count(lower)) {
                Add(entry.line, false, "\"" + entry.key + "\" repeats line " + std::to_string(seen[lower]));
                continue;
            }
            seen[lower] = entry.line;
            if (parsed.kind == DiagEntryKind::Unit) {
                units[parsed.key] = parsed.text;
                if (parsed.text != "String" && parsed.text != "Bitmap" &&
                    (EqualNoCase(parsed.text, "String") || EqualNoCase(parsed.text, "Bitmap"))) {
                    Add(entry.line, false,
                        "unit \"" + parsed.text + "\" is shown as a number; only \"String\" and \"Bitmap\" "
                        "in this spelling select text or bit display");
                }
            }
        }
        for (const IniEntry& entry : section.entries) {
            const DiagEntry parsed = ParseDiagEntry(entry.raw);
            if (parsed.kind == DiagEntryKind::Value && units[parsed.key] == "Bitmap" && parsed.value > 0x1F) {
                Add(entry.line, true,
                    "\"" + entry.key + "\": a Bitmap key has bits 0 to 1F only");
            }
        }
    }

    const IniDocument& doc_;
    const IniSection* common_;
    std::vector<std::string> diagCommands_;
    std::vector<LintFinding> findings_;
};

}  // namespace

std::vector<LintFinding> LintDefinitionFile(const IniDocument& document)
{
    return Linter(document).Run();
}
