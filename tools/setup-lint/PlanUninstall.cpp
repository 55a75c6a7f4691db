// The uninstall entries: written before an installation's run (one per
// selected product with a remove section, and the install section's global
// one), deleted before a removal's run. Their command starts the copy of
// setup.exe that the script installs.
#include "DirectoryRules.h"
#include "PeResources.h"
#include "PlanBuild.h"
#include "ScriptFields.h"

namespace {

const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const uint32_t kHelpLinkString = 1344;
const uint32_t kPublisherString = 1345;

// Where the script installs `file`: the first line naming it in a file list
// of the install section's CopyFiles key, else of a product's install
// section's; the directory of that list.
std::string InstalledPath(const PlanBuild& build, const std::string& file)
{
    const auto search = [&](const std::string& section) -> std::string {
        const InfLine* copyFiles = build.Key(section, "CopyFiles");
        if (!copyFiles) return "";
        for (const std::string& list : copyFiles->fields)
            for (const InfLine& line : build.Lines(list))
                if (SameName(line.Field(1), file)) return build.dirs.SectionTarget(build.script, list, nullptr) + "\\" + file;
        return "";
    };
    std::string path = search(build.plan.installSection);
    for (const InfLine& line : build.Lines(build.plan.productsSection))
        if (path.empty()) path = search(line.Field(2));
    return path;
}

// A text of setup.exe's string table, or a description of it when the
// program is not on the medium.
std::string ProgramString(const PlanBuild& build, uint32_t id)
{
    const std::optional<Bytes> program = build.medium.Read("setup.exe");
    if (!program) return "(string " + std::to_string(id) + " of setup.exe)";
    return ResourceString(*program, id, kLanguageEnglishUs).value_or("");
}

std::string ResolvedVersion(PlanBuild& build, const InfLine* line, size_t field)
{
    if (!line || !line->HasField(field)) return "";
    const char* file = VersionReferenceFile(line->Field(field).c_str());
    if (!file) return line->Field(field);
    const std::optional<Bytes> bytes = build.sources.Read(file);
    return bytes ? ProductVersion(*bytes).value_or("") : "";
}

PlanUninstallEntry Entry(PlanBuild& build, const std::string& key, const std::string& kind, const std::string& name,
                         const std::string& version)
{
    const Plan& plan = build.plan;
    PlanUninstallEntry entry{kUninstallKey + key, kind, {}};
    // The program in quotes: a path with blanks must not start C:\Program.exe.
    const std::string command = "\"" + plan.setupPath + "\" /remove:" + key;
    const std::string publisher = ProgramString(build, kPublisherString);
    const std::string helpLink = ProgramString(build, kHelpLinkString);
    entry.values.push_back({"DisplayName", "REG_SZ", name});
    entry.values.push_back({"UninstallString", "REG_SZ", command});
    if (kind == "global" || !publisher.empty()) entry.values.push_back({"Publisher", "REG_SZ", publisher});
    if (kind == "global" || !helpLink.empty()) entry.values.push_back({"HelpLink", "REG_SZ", helpLink});
    if (!version.empty()) {
        entry.values.push_back({"ProductVersion", "REG_SZ", version});
        entry.values.push_back({"DisplayVersion", "REG_SZ", version});
    }
    // A key with its own sub-directory keeps the target and that directory
    // (the pair the target page makes, whether or not its id could be set).
    const InfLine* subDir = build.Key("ProductDestinationDirs", key);
    char own[260] = "";
    if (subDir) JoinSubDirectory(plan.target.c_str(), subDir->Field(2).c_str(), own, sizeof own);
    if (own[0] != '\0')
        entry.values.push_back({"UserTargetDir", "REG_MULTI_SZ", plan.target + '\0' + own + '\0'});
    else
        entry.values.push_back({"UserTargetDir", "REG_SZ", plan.target});
    entry.values.push_back({"QuietUninstallString", "REG_SZ", command + " /quiet"});
    entry.values.push_back({"InstallLocation", "REG_SZ", plan.target});
    entry.values.push_back({"NoModify", "REG_DWORD", "1"});
    entry.values.push_back({"NoRepair", "REG_DWORD", "1"});
    return entry;
}

void WriteEntries(PlanBuild& build)
{
    Plan& plan = build.plan;
    if (plan.setupPath.empty()) {
        plan.notes.push_back("no file list of the install sections copies setup.exe: no uninstall entry is written");
        return;
    }
    for (const std::string& key : plan.productList) {
        const InfLine* line = build.Key(plan.productsSection, key);
        if (!line || !line->HasField(3) || line->Field(3).empty()) continue;
        plan.uninstallWrites.push_back(Entry(build, key, "product", build.Field(*line, 1), ResolvedVersion(build, line, 7)));
    }
    const InfLine* uninstall = build.Key(plan.installSection, "Uninstall");
    if (uninstall && !uninstall->Field(1).empty()) {
        const std::string name = uninstall->HasField(2) ? build.Field(*uninstall, 2) : uninstall->Field(1);
        plan.uninstallWrites.push_back(Entry(build, uninstall->Field(1), "global", name,
                                             ResolvedVersion(build, build.Key(plan.installSection, "ProductVer"), 1)));
    }
    if (!plan.uninstallWrites.empty())
        plan.notes.push_back("Publisher and HelpLink are setup.exe's texts in the user interface language; the "
                             "English ones are shown");
}

}  // namespace

void PlanUninstall(PlanBuild& build)
{
    Plan& plan = build.plan;
    plan.setupPath = InstalledPath(build, "setup.exe");
    if (!build.Removing()) {
        WriteEntries(build);
        return;
    }
    for (const std::string& key : plan.productList) plan.uninstallDeletes.push_back(kUninstallKey + key);
}
