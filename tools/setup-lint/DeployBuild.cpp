#include "DeployBuild.h"

#include "DeployViews.h"
#include "PlanBuild.h"
#include "RtfText.h"
#include "ScriptFields.h"

#include <algorithm>
#include <map>

namespace {

const uint32_t kLicenceResource = 7;  // the licence page's rich text (RCDATA)

// The values a run leaves in the entry `key`: the writes of that key in
// their order, a later value replacing an earlier one of the same name (as
// the registry keeps them). `versionWriter` gets the kind of the write that
// set DisplayVersion.
std::map<std::string, std::string> FinalValues(const Plan& plan, const std::string& key, std::string* versionWriter,
                                               bool* wholeInstallation)
{
    std::map<std::string, std::string> values;
    for (const PlanUninstallEntry& entry : plan.uninstallWrites) {
        const std::string name = entry.key.substr(entry.key.rfind('\\') + 1);
        if (!SameName(name, key)) continue;
        if (wholeInstallation && entry.kind == "global") *wholeInstallation = true;
        for (const PlanValue& value : entry.values) {
            values[value.name] = value.data;
            if (value.name == "DisplayVersion" && versionWriter) *versionWriter = entry.kind;
        }
    }
    return values;
}

// Whether `plan` writes an entry of `kind` named `key`.
bool Writes(const Plan& plan, const std::string& key, const std::string& kind)
{
    return std::any_of(plan.uninstallWrites.begin(), plan.uninstallWrites.end(), [&](const PlanUninstallEntry& e) {
        return e.kind == kind && SameName(e.key.substr(e.key.rfind('\\') + 1), key);
    });
}

std::string GlobalKey(const Plan& plan)
{
    for (const PlanUninstallEntry& entry : plan.uninstallWrites)
        if (entry.kind == "global") return entry.key.substr(entry.key.rfind('\\') + 1);
    return "";
}

// The plan's reasons name the installed setup.exe by its path in the
// native folders; the entry's views tell where it is on each Windows.
DeployRun RunOf(const Plan& plan)
{
    DeployRun run;
    run.exitCode = plan.exitCode;
    for (std::string reason : plan.restartReasons) {
        const size_t at = plan.setupPath.empty() ? std::string::npos : reason.find(plan.setupPath);
        if (at != std::string::npos) reason.replace(at, plan.setupPath.size(), "setup.exe of the installation");
        run.restart.push_back(reason);
    }
    run.mayRestart = plan.restartPossible;
    return run;
}

// For people: where a version field's text comes from.
std::string VersionFrom(PlanBuild& build, const std::string& where, const std::string& field)
{
    const char* file = VersionReferenceFile(field.c_str());
    if (!file) return where + ": " + field;
    const SourceLocation location = build.sources.Locate(file);
    const std::string from = build.sources.IsLoose(location) || location.cabinet.empty() ? "the medium"
                                                                                          : location.cabinet;
    return where + ": " + field + ", the product version of " + file + " read from " + from;
}

class DeploymentBuilder
{
public:
    DeploymentBuilder(const InfDocument& script, const std::string& path, const Medium& medium)
        : script_(script), path_(path), medium_(medium), build_(script, medium, PlanOptions())
    {
    }

    Deployment Make();

private:
    Plan PlanOf(bool remove, const std::string& keys) const
    {
        PlanOptions options;
        options.remove = remove;
        options.selectGiven = !remove && !keys.empty();
        options.keys = keys;
        return MakePlan(script_, path_, medium_, options);
    }

    void Architecture();
    void Switches(const Plan& whole);
    void AddEntry(const std::string& key, const Plan& installPlan, const std::string& selection,
                  const PlanProduct* product);
    void Detectable(const Plan& whole);

    const InfDocument& script_;
    const std::string& path_;
    const Medium& medium_;
    PlanBuild build_;  // the script's reading helpers
    Deployment d_;
};

void DeploymentBuilder::Architecture()
{
    const std::optional<Bytes> program = medium_.Read("setup.exe");
    d_.architecture = program ? ImageArchitecture(*program) : "";
    const std::optional<Bytes> licence =
        program ? ResourceBytes(*program, kResourceData, kLicenceResource, kLanguageEnglishUs) : std::nullopt;
    if (licence) d_.licence = RtfFirstParagraph(std::string(licence->begin(), licence->end()));
    if (!program)
        d_.undetectable.push_back("setup.exe is not beside setup.inf: the medium cannot run, and the registry view "
                                  "of its entries is not known");
    else if (d_.architecture.empty())
        d_.undetectable.push_back("setup.exe is no x64 or x86 Windows program: the registry view of its entries is "
                                  "not known");
}

void DeploymentBuilder::Switches(const Plan& whole)
{
    if (!whole.newerVersionCheck.action.empty())
        d_.switches.push_back({"/newer:keep", "when a newer version is installed, it stays and setup.exe ends with "
                                              "1638 instead of asking whether to replace it (a question nobody "
                                              "answers holds the run)"});
    const PlanItem& start = whole.startApp;
    if (!start.action.empty())
        d_.switches.push_back({"/startapp:0", "setup.exe does not start " + start.fields.front().second +
                                                  " at the end (it would start in the tool's session, often as "
                                                  "SYSTEM, with nobody to close it)"});
    for (const DeploySwitch& option : d_.switches) d_.installSwitches += " " + option.text;
}

void DeploymentBuilder::AddEntry(const std::string& key, const Plan& installPlan, const std::string& selection,
                                 const PlanProduct* product)
{
    DeployEntry entry;
    entry.key = key;
    std::string versionWriter;
    std::map<std::string, std::string> values = FinalValues(installPlan, key, &versionWriter, &entry.wholeInstallation);
    if (product) entry.products.push_back(product->key);
    entry.displayName = values["DisplayName"];
    entry.displayVersion = values["DisplayVersion"];
    entry.publisher = values["Publisher"];
    entry.helpLink = values["HelpLink"];
    if (versionWriter == "global") {
        const InfLine* line = build_.Key(installPlan.installSection, "ProductVer");
        entry.versionFrom = VersionFrom(build_, "ProductVer of [" + installPlan.installSection + "]",
                                        line ? line->Field(1) : "");
    } else if (versionWriter == "product" && product) {
        entry.versionFrom = VersionFrom(build_, "the products line of " + product->key, product->version);
    }
    const DeployView written{"", "", "", values["InstallLocation"], values["UninstallString"],
                             values["QuietUninstallString"]};
    entry.views = ViewsOf(d_.architecture, key, written);
    entry.installCommand = "setup.exe " + selection + d_.installSwitches;
    entry.installCommandTargetLog = entry.installCommand + " /target:\"<folder>\" /log:\"<file>\"";
    entry.install = RunOf(installPlan);
    entry.remove = RunOf(PlanOf(true, key));
    if (product && product->conditions.outcome == "asked")
        entry.notes.push_back("offered only where the conditions of [" + product->installSection +
                              "] hold: elsewhere the command installs nothing of it");
    if (entry.displayVersion.empty())
        d_.undetectable.push_back("the entry " + key + " gets no DisplayVersion (" +
                                  (product ? "its products line" : "ProductVer of [" + installPlan.installSection +
                                                                       "]") +
                                  " gives no version that can be read): a tool can tell that it is installed but not "
                                  "which version, so no rule can tell an older installation from this one");
    d_.entries.push_back(entry);
}

void DeploymentBuilder::Detectable(const Plan& whole)
{
    if (whole.setupPath.empty()) {
        d_.undetectable.push_back("no file list of [" + whole.installSection + "] or of a product copies setup.exe, "
                                  "so setup.exe writes no uninstall entry: a tool cannot detect an installation, and "
                                  "nothing removes it");
        return;
    }
    if (d_.entries.empty())
        d_.undetectable.push_back("[" + whole.installSection + "] has no Uninstall key and no product names a remove "
                                  "section, so setup.exe writes no uninstall entry: a tool cannot detect an "
                                  "installation, and nothing removes it");
    else if (d_.defaultEntries.empty())
        d_.undetectable.push_back("the default silent installation (/quiet) writes no uninstall entry: a package of "
                                  "the whole medium cannot be detected");
}

Deployment DeploymentBuilder::Make()
{
    d_.script = path_;
    const Plan whole = PlanOf(false, "");
    d_.problems = whole.problems;
    Architecture();
    if (!whole.runs) {
        d_.undetectable.push_back("setup.exe ends before its wizard: " + whole.stopReason);
        return d_;
    }
    Switches(whole);
    const std::string globalKey = GlobalKey(whole);
    std::vector<std::string> withoutEntry;  // products without an entry of their own
    for (const PlanProduct& product : whole.products) {
        if (!product.listed) continue;
        const Plan alone = PlanOf(false, product.key);
        if (!Writes(alone, product.key, "product")) {
            withoutEntry.push_back(product.key);
            continue;
        }
        // The product whose key is also the whole installation's is
        // installed by the default command when that selects it.
        const bool byDefault = SameName(product.key, globalKey) && product.selected;
        AddEntry(product.key, byDefault ? whole : alone, byDefault ? "/quiet" : "/quiet:" + product.key, &product);
    }
    if (!globalKey.empty() && !d_.Find(globalKey)) AddEntry(globalKey, whole, "/quiet", nullptr);
    for (const std::string& key : withoutEntry) {
        const std::string why = "the product " + key + " writes no uninstall entry of its own (its products line "
                                "names no remove section)";
        for (DeployEntry& entry : d_.entries)
            if (SameName(entry.key, globalKey))
                entry.notes.push_back(why + ": it is detected by the entry " + globalKey + " only");
        if (globalKey.empty() && !d_.entries.empty())
            d_.undetectable.push_back(why + ": a tool cannot detect it, and nothing removes it");
    }
    for (const PlanUninstallEntry& entry : whole.uninstallWrites) {
        const std::string key = entry.key.substr(entry.key.rfind('\\') + 1);
        const bool listed = std::any_of(d_.defaultEntries.begin(), d_.defaultEntries.end(),
                                        [&](const std::string& k) { return SameName(k, key); });
        if (!listed) d_.defaultEntries.push_back(key);
    }
    d_.defaultInstallCommand = "setup.exe /quiet" + d_.installSwitches;
    for (const PlanProduct& product : whole.products)
        if (product.selected && d_.description.empty()) d_.description = product.description;
    Detectable(whole);
    return d_;
}

}  // namespace

const DeployEntry* Deployment::Find(const std::string& key) const
{
    for (const DeployEntry& entry : entries)
        if (SameName(entry.key, key)) return &entry;
    return nullptr;
}

bool Deployment::Complete() const
{
    return undetectable.empty() &&
           std::none_of(problems.begin(), problems.end(), [](const LintFinding& f) { return f.error; });
}

Deployment MakeDeployment(const InfDocument& script, const std::string& scriptPath, const Medium& medium)
{
    return DeploymentBuilder(script, scriptPath, medium).Make();
}
