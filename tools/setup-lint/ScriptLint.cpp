// setup-lint's checks. The sections examined are those setup.exe would use
// on some Windows version: the chosen install, remove and products sections
// of every version, the products' own install and remove sections, and the
// sections their keys name.
#include "ScriptLint.h"

#include "CommandQuoting.h"
#include "PeResources.h"
#include "PluginText.h"
#include "RegistryLines.h"
#include "RunOnceCommand.h"
#include "ScriptFields.h"
#include "SectionChoice.h"
#include "ShortcutText.h"
#include "SourceFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>

namespace {

const char* const kFileListKeys[] = {"CopyFiles", "DelFiles", "RenFiles"};
const char* const kRegistryKeys[] = {"AddReg", "DelReg", "UpdateInis", "UpdateIniFields", "Ini2Reg", "BitReg"};

bool IsDecimal(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class Lint
{
public:
    Lint(const InfDocument& script, const Medium& medium) : script_(script), medium_(medium), sources_(script, medium)
    {
    }

    std::vector<LintFinding> Run()
    {
        for (const InfProblem& problem : script_.problems) Add(problem.line, problem.error, problem.text);
        if (HasSyntaxError()) return Sorted();
        CheckSignature();
        for (const std::string& name : Chosen(kInstallColumn)) CheckInstallSection(name);
        for (const std::string& name : Chosen(kRemoveColumn)) CheckRunSection(name);
        for (const std::string& name : Chosen(kProductsColumn)) CheckProducts(name);
        CheckSetupCopy();
        for (const InfSection* section : serviceSections_) CheckServiceBinary(*section);
        return Sorted();
    }

private:
    void Add(int line, bool error, const std::string& text) { findings_.push_back({line, error, text}); }
    void Error(int line, const std::string& text) { Add(line, true, text); }
    void Warning(int line, const std::string& text) { Add(line, false, text); }

    bool HasSyntaxError() const
    {
        return std::any_of(findings_.begin(), findings_.end(), [](const LintFinding& f) { return f.error; });
    }

    std::vector<LintFinding> Sorted()
    {
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
        return findings_;
    }

    void CheckSignature()
    {
        const InfLine* line = script_.FindKey("Version", "Signature");
        const std::string& value = line ? line->Field(1) : std::string();
        if (!SameName(value, "$Chicago$") && !SameName(value, "$Windows NT$") && !SameName(value, "$Windows 95$"))
            Error(line ? line->number : 1, "no [Version] Signature of $Chicago$, $Windows NT$ or $Windows 95$: "
                                           "setup.exe refuses the file");
    }

    // The sections of one column that setup.exe takes on some Windows
    // version, when they exist.
    std::vector<std::string> Chosen(ScriptColumn column) const
    {
        static const WindowsVersionInfo versions[] = {{true, 5, 1}, {true, 5, 0}, {true, 4, 0},
                                                      {false, 4, 90}, {false, 4, 10}, {false, 4, 0}};
        std::vector<std::string> names;
        for (const WindowsVersionInfo& version : versions) {
            const std::string name = ChooseSection(version, column, [this](const char* candidate) {
                const InfSection* section = script_.Find(candidate);
                return section && !section->lines.empty();
            });
            if (script_.Find(name) && std::none_of(names.begin(), names.end(),
                                                   [&](const std::string& n) { return SameName(n, name); }))
                names.push_back(name);
        }
        return names;
    }

    // The section that `line` names for `key`, or null after reporting it missing.
    const InfSection* Named(const InfLine& line, const std::string& key, const std::string& name)
    {
        const InfSection* section = script_.Find(name);
        if (!section) Error(line.number, key + " names [" + name + "], which does not exist");
        return section;
    }

    void CheckInstallSection(const std::string& name)
    {
        CheckRunSection(name);
        if (const InfLine* line = script_.FindKey(name, "ProductVer")) CheckVersionReference(*line, line->Field(1));
        if (const InfLine* line = script_.FindKey(name, "StartApp"); line && line->Field(2).empty())
            Warning(line->number, "StartApp names no program: the finish page offers nothing to start");
        else if (line)
            CheckStartApp(*line);
    }

    void CheckProducts(const std::string& products)
    {
        std::set<std::string> keys;
        for (const InfLine& line : script_.Find(products)->lines) {
            const std::string key = line.hasKey ? line.key : std::string();
            if (key.empty()) {
                Warning(line.number, "a product line without a key is never offered");
                continue;
            }
            if (!keys.insert(Upper(key)).second) Warning(line.number, "product " + key + " appears again");
            const std::string& install = line.Field(2);
            if (install.empty())
                Error(line.number, "product " + key + " has no install section");
            else if (Named(line, "product " + key, install))
                CheckRunSection(install, true);
            if (!line.Field(3).empty() && Named(line, "product " + key, line.Field(3))) CheckRunSection(line.Field(3));
            if (!IsDecimal(line.Field(4)))
                Error(line.number, "product " + key + ": flags " + Quoted(line.Field(4)) +
                                       " are not a decimal number, so it is never offered");
            int icon = 0;
            const char* iconFile = nullptr;
            if (SplitIconReference(line.Field(5).c_str(), &icon, &iconFile)) Present(iconFile, line.number);
            CheckVersionReference(line, line.Field(7));
        }
    }

    // A version field "@file" must name a file with a version resource.
    void CheckVersionReference(const InfLine& line, const std::string& field)
    {
        const char* file = VersionReferenceFile(field.c_str());
        if (!file || !Present(file, line.number)) return;
        const std::optional<Bytes> bytes = sources_.Read(file);
        if (!bytes)
            Error(line.number, Quoted(field) + ": " + file + " cannot be read from its cabinet");
        else if (!ProductVersion(*bytes))
            Error(line.number, Quoted(field) + ": " + file + " has no version resource, so the version stays unknown");
    }

    // One section of a run: its standard directives and the program's own keys.
    void CheckRunSection(const std::string& name, bool productInstall = false)
    {
        if (!visited_.insert(Upper(name)).second) return;
        const InfSection* section = script_.Find(name);
        std::set<std::string> ownKeysSeen;
        for (const InfLine& line : section->lines) {
            const std::string key = Upper(line.key);
            for (const char* fileKey : kFileListKeys)
                if (SameName(key, fileKey)) FileListKey(line, fileKey);
            for (const char* registryKey : kRegistryKeys)
                if (SameName(key, registryKey))
                    for (const std::string& field : line.fields) {
                        const InfSection* named = field.empty() ? nullptr : Named(line, registryKey, field);
                        if (named && SameName(key, "DelReg") && delRegLists_.insert(Upper(field)).second)
                            CheckDelRegLines(*named);
                    }
            static const char* const ownKeys[] = {"EXEC", "MAKEICONS", "DELICONS", "FILESECURITY",
                                                  "MAKEFIREWALLENTRIES", "DELFIREWALLENTRIES", "PLUGINS",
                                                  "CONDITIONS"};
            if (std::find_if(std::begin(ownKeys), std::end(ownKeys),
                             [&](const char* k) { return key == k; }) == std::end(ownKeys))
                continue;
            if (!line.hasKey) continue;
            if (!ownKeysSeen.insert(key).second) {
                Warning(line.number, "setup.exe reads only the first " + line.key + " line of [" + name + "]");
                continue;
            }
            if (key == "CONDITIONS" && !productInstall && !IsInstallSection(name))
                Warning(line.number, "Conditions are read only in install sections");
            OwnKey(line, key);
        }
        if (const InfSection* services = script_.Find(name + ".Services"))
            for (const InfLine& line : services->lines)
                if (SameName(line.key, "AddService")) {
                    if (line.Field(3).empty())
                        Error(line.number, "an AddService line needs a service name and an install section");
                    else if (const InfSection* install = Named(line, "AddService", line.Field(3)))
                        serviceSections_.push_back(install);
                }
    }

    // A DelReg line with AddReg flags (a section shared by both keys) is
    // skipped by the Setup API: its value stays.
    void CheckDelRegLines(const InfSection& section)
    {
        for (const InfLine& entry : section.lines) {
            const int32_t flags = RegistryLineFlags(entry.fields);
            if (DelRegCarriesOut(static_cast<uint32_t>(flags))) continue;
            const std::string value = entry.Field(3).empty() ? "" : "\\" + entry.Field(3);
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(flags));
            Warning(entry.number, "a DelReg line with the AddReg flags " + std::string(hex) +
                                      ": the Setup API skips DelReg lines whose flags are neither 0 nor carry the "
                                      "deletion bit 0x8000, so " + entry.Field(1) + "\\" + entry.Field(2) + value +
                                      " is never deleted (give DelReg lines of their own, without flags)");
        }
    }

    bool IsInstallSection(const std::string& name) const
    {
        const std::vector<std::string> install = Chosen(kInstallColumn);
        return std::any_of(install.begin(), install.end(), [&](const std::string& n) { return SameName(n, name); });
    }

    void OwnKey(const InfLine& line, const std::string& key)
    {
        for (const std::string& field : line.fields) {
            if (field.empty()) continue;
            if (key == "PLUGINS") {
                char library[kPluginFieldMax + 1];
                SplitPluginField(field.c_str(), library, sizeof library);
                if (!medium_.Locate(library))
                    Error(line.number, "plug-in library " + Quoted(library) + " is not beside setup.exe");
                continue;
            }
            if (key == "EXEC" && field[0] == '@') {  // a program started as it is
                CheckBareProgram(line, field.substr(1), "Exec");
                continue;
            }
            const InfSection* section = Named(line, line.key, field);
            if (!section) continue;
            for (const InfLine& entry : section->lines) {
                if (key == "EXEC") ExecLine(entry);
                if (key == "MAKEICONS" || key == "DELICONS") IconLine(entry, key == "MAKEICONS");
                if (key == "FILESECURITY" && (entry.Field(1).empty() || entry.Field(2).empty()))
                    Error(entry.number, "a file security line needs a path and a security descriptor");
                if (key == "MAKEFIREWALLENTRIES" && (entry.Field(1).empty() || entry.Field(2).empty()))
                    Error(entry.number, "a firewall line needs an entry name and a program path");
                if (key == "DELFIREWALLENTRIES" && entry.Field(2).empty())
                    Error(entry.number, "a firewall line to delete needs the program path in field 2");
                if (key == "CONDITIONS") ConditionLine(entry);
            }
        }
    }

    void ExecLine(const InfLine& entry)
    {
        const uint32_t level = ScriptNumber(entry.Field(1).c_str());
        if (level < 1 || level > 3)
            Warning(entry.number, "Exec level " + Quoted(entry.Field(1)) + " never runs (levels 1, 2 and 3 do)");
        if (entry.Field(2).empty())
            Error(entry.number, "an Exec line without a program is skipped");
        else
            CheckBareProgram(entry, entry.Field(2), "Exec");
    }

    // A program named without a folder comes from the system folder only.
    void CheckBareProgram(const InfLine& line, const std::string& program, const std::string& key)
    {
        std::string name = program;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
        if (IsBareProgramName(name))
            Warning(line.number, key + " names the program " + Quoted(name) + " without a folder: setup.exe "
                                 "starts the one of the system folder, never one of the medium");
    }

    // The finish page's program: named whole, and stored for the next log-on
    // as a command of at most 255 characters, which is refused, never cut.
    void CheckStartApp(const InfLine& line)
    {
        CheckBareProgram(line, line.Field(2), "StartApp");
        std::string command = QuoteProgramPath(line.Field(2));
        if (!line.Field(3).empty()) command += " " + line.Field(3);
        if (command.size() > kRunOnceCommandMax)
            Error(line.number, "the StartApp command is " + std::to_string(command.size()) + " characters long: "
                               "longer than the 255 a start at the next log-on holds, so a run that needs a "
                               "restart fails there");
    }

    // The service manager parses ServiceBinary as a command line: a program
    // part with a blank that names no file the script installs (with the
    // target directory, or any other, in a folder with blanks) cannot be
    // told from its arguments, and setup.exe fails the service.
    void CheckServiceBinary(const InfSection& section)
    {
        const InfLine* line = nullptr;
        for (const InfLine& candidate : section.lines)
            if (!line && SameName(candidate.key, "ServiceBinary")) line = &candidate;
        if (!line || line->Field(1).empty()) return;
        std::string binary;
        for (size_t i = 0; i < line->Field(1).size();) {
            const std::string& text = line->Field(1);
            const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
            if (close != std::string::npos && close > i + 1 &&
                text.find_first_not_of("0123456789", i + 1) == close) {
                binary += "C:\\Program Files\\Some Folder";
                i = close + 1;
            } else {
                binary += text[i++];
            }
        }
        const FileExistsFn installed = [this](const std::string& path) {
            const size_t slash = path.find_last_of('\\');
            return CopiedAnywhere(slash == std::string::npos ? path : path.substr(slash + 1));
        };
        std::string quoted;
        if (QuoteCommandProgram(binary, installed, &quoted) == CommandQuoting::Ambiguous)
            Error(line->number, "the program of ServiceBinary " + Quoted(line->Field(1)) + " cannot be told from "
                                "its arguments (a blank in its path and no file the script installs there): quote "
                                "the program, or setup.exe fails the service");
    }

    // Whether any file list that a CopyFiles key names installs `file`.
    bool CopiedAnywhere(const std::string& file) const
    {
        for (const std::string& list : copyLists_)
            if (const InfSection* files = script_.Find(list))
                for (const InfLine& entry : files->lines)
                    if (SameName(entry.fields.empty() ? entry.key : entry.Field(1), file)) return true;
        return false;
    }

    void IconLine(const InfLine& entry, bool make)
    {
        if (entry.Field(make ? 3 : 2).empty()) {
            Error(entry.number, make ? "a MakeIcons line needs folder code, name and target: it is skipped"
                                     : "a DelIcons line needs folder code and name: it is skipped");
            return;
        }
        if (!FindShellFolderCode(entry.Field(1).c_str()))
            Error(entry.number, "unknown folder code " + Quoted(entry.Field(1)) +
                                    " (CDSK CPRG CSTM CSTU UDSK UPRG USTM USTU)");
        if (!ShortcutNameStaysInside(entry.Field(2).c_str()))
            Error(entry.number, "shortcut name " + Quoted(entry.Field(2)) + " leaves its folder: it is refused");
    }

    void ConditionLine(const InfLine& entry)
    {
        if (entry.Field(2).empty())
            Error(entry.number, "a condition line needs a library and an export");
        else if (!medium_.Locate(entry.Field(1)))
            Error(entry.number, "condition library " + Quoted(entry.Field(1)) + " is not beside setup.exe");
    }

    // CopyFiles, DelFiles and RenFiles: file-list sections, or "@file".
    void FileListKey(const InfLine& line, const std::string& key)
    {
        const bool copy = SameName(key, "CopyFiles");
        for (const std::string& field : line.fields) {
            if (field.empty()) continue;
            if (field[0] == '@') {
                if (copy) Present(field.substr(1), line.number);
                continue;
            }
            const InfSection* section = Named(line, key, field);
            if (section && copy) copyLists_.insert(field);
            if (!section || !fileLists_.insert(Upper(field)).second) continue;
            CheckDestination(*section);
            if (copy)
                for (const InfLine& entry : section->lines)
                    Present(!entry.Field(2).empty() ? entry.Field(2) : !entry.Field(1).empty() ? entry.Field(1)
                                                                                               : entry.key,
                            entry.number);
        }
    }

    void CheckDestination(const InfSection& section)
    {
        if (script_.FindKey("DestinationDirs", section.name)) return;
        const InfLine* fallback = script_.FindKey("DestinationDirs", "DefaultDestDir");
        if (!fallback)
            Warning(section.number, "[" + section.name + "] has no line in [DestinationDirs] and there is no "
                                    "DefaultDestDir: its files go to the system folder");
        else if (fallback->Field(1) != "32768")
            Warning(section.number, "[" + section.name + "] has no line in [DestinationDirs]: its files go to "
                                    "DefaultDestDir, not to the target directory the user chose (32768)");
    }

    // Whether `file` is on the medium; reports it when not. A file missing
    // from the source-disk sections and a disk missing from
    // [SourceDisksNames] are reported too.
    bool Present(const std::string& file, int line)
    {
        const SourceLocation source = sources_.Locate(file);
        if (!source.entry)
            Warning(line, file + " is not listed in [SourceDisksFiles]: it is looked for beside setup.inf");
        else if (!source.disk)
            Error(source.entry->number, "disk " + Quoted(source.entry->Field(1)) + " of " + file +
                                            " is not in [SourceDisksNames]");
        if (sources_.IsLoose(source)) return true;
        if (!source.cabinet.empty()) {
            const OpenCabinet& cab = sources_.Open(source.cabinet);
            if (!cab.ok) {
                if (reportedCabinets_.insert(Upper(source.cabinet)).second)
                    Error(line, "cabinet " + source.cabinet + ": " + cab.problem);
                return false;
            }
            if (sources_.Member(cab, source)) return true;
            Error(line, file + " is neither on the medium (" + source.loose + ") nor in " + source.cabinet);
            return false;
        }
        Error(line, file + " is not on the medium (" + source.loose + ")");
        return false;
    }

    // Whether a CopyFiles section of `section` copies `file` (by its target name).
    bool Copies(const std::string& section, const std::string& file) const
    {
        if (const InfSection* found = script_.Find(section))
            for (const InfLine& line : found->lines) {
                if (!SameName(line.key, "CopyFiles")) continue;
                for (const std::string& list : line.fields)
                    if (const InfSection* files = script_.Find(list))
                        for (const InfLine& entry : files->lines)
                            if (SameName(entry.fields.empty() ? entry.key : entry.Field(1), file)) return true;
            }
        return false;
    }

    // The uninstall entry's command is the copy of setup.exe that the
    // script installs; that copy needs setup.inf beside it to remove anything.
    void CheckSetupCopy()
    {
        std::vector<std::string> installSections = Chosen(kInstallColumn);
        int removable = 0;
        for (const std::string& name : installSections)
            if (const InfLine* line = script_.FindKey(name, "Uninstall")) removable = line->number;
        for (const std::string& products : Chosen(kProductsColumn))
            for (const InfLine& line : script_.Find(products)->lines) {
                installSections.push_back(line.Field(2));
                if (!removable && !line.Field(3).empty()) removable = line.number;
            }
        if (!removable) return;
        const auto copies = [&](const char* file) {
            return std::any_of(installSections.begin(), installSections.end(),
                               [&](const std::string& s) { return Copies(s, file); });
        };
        if (!copies("setup.exe"))
            Warning(removable, "no CopyFiles section of an install section copies setup.exe: setup.exe writes no "
                               "uninstall entry");
        else if (!copies("setup.inf"))
            Warning(removable, "setup.exe is installed without setup.inf beside it: the installed copy cannot "
                               "remove anything");
    }

    static std::string Upper(std::string text)
    {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    const InfDocument& script_;
    const Medium& medium_;
    std::vector<LintFinding> findings_;
    std::set<std::string> visited_;
    std::set<std::string> fileLists_;
    std::set<std::string> delRegLists_;
    std::set<std::string> copyLists_;
    std::vector<const InfSection*> serviceSections_;
    SourceFiles sources_;
    std::set<std::string> reportedCabinets_;
};

}  // namespace

std::vector<LintFinding> LintScript(const InfDocument& script, const Medium& medium)
{
    return Lint(script, medium).Run();
}
