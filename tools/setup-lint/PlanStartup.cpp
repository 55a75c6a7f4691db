// What setup.exe does before its run: the sections it chooses for the
// Windows version, the newer-version question, the conditions, the
// products it offers and which of them the run takes, the plug-ins it asks
// and the target directory.
#include "ComponentList.h"
#include "DirectoryRules.h"
#include "PageRules.h"
#include "PeResources.h"
#include "PlanBuild.h"
#include "PluginText.h"
#include "ScriptFields.h"

#include <algorithm>

namespace {

enum : int { kOffered = 1, kPreselected = 2 };

// Product-line flags are read into 10 bytes: a longer field counts as none.
const size_t kFlagsFieldMax = 9;

bool HasLines(const PlanBuild& build, const std::string& section)
{
    const InfSection* found = build.script.Find(section);
    return found && !found->lines.empty();
}

std::string Choose(const PlanBuild& build, ScriptColumn column)
{
    return ChooseSection(build.Version(), column, [&](const char* name) { return HasLines(build, name); });
}

// A version field: "@file" read from the file's version resource on the
// medium; empty when it cannot be read.
std::string ResolveVersion(PlanBuild& build, const std::string& field)
{
    const char* file = VersionReferenceFile(field.c_str());
    if (!file) return field;
    const std::optional<Bytes> bytes = build.sources.Read(file);
    const std::optional<std::string> version = bytes ? ProductVersion(*bytes) : std::nullopt;
    return version.value_or("");
}

// The Conditions of `section`: which libraries are asked, or why they are
// known to fail (a named section without lines, a library that is not on
// the medium or a line without its export make the conditions fail).
PlanConditions ReadConditions(const PlanBuild& build, const std::string& section)
{
    PlanConditions result;
    result.section = section;
    const InfLine* key = build.Key(section, "Conditions");
    if (!key) return result;
    result.line = key->number;
    result.outcome = "asked";
    for (const std::string& name : key->fields) {
        const InfSection* conditions = name.empty() ? nullptr : build.script.Find(name);
        if (!conditions || conditions->lines.empty()) {
            result.outcome = "fail";
            result.why = "[" + name + "] " + (conditions ? "has no lines" : "does not exist");
            return result;
        }
        for (const InfLine& line : conditions->lines) {
            result.lines.push_back({conditions->name, line.number, line.Field(1), line.Field(2)});
            if (!build.medium.Locate(line.Field(1))) {
                result.outcome = "fail";
                result.why = "the library " + line.Field(1) + " is not beside setup.exe, so it cannot be loaded";
                return result;
            }
            if (line.Field(2).empty()) {
                result.outcome = "fail";
                result.why = "a line of [" + conditions->name + "] names no function";
                return result;
            }
        }
    }
    if (result.lines.empty()) result.outcome = "none";
    return result;
}

// The component list of the run: in a removal every product line with a
// key, in an installation the offered ones whose conditions may hold.
void ReadProducts(PlanBuild& build)
{
    Plan& plan = build.plan;
    ComponentListClear();
    for (const InfLine& line : build.Lines(plan.productsSection)) {
        PlanProduct product;
        product.key = line.hasKey ? line.key : "";
        product.line = line.number;
        product.name = build.Field(line, 1);
        product.installSection = line.Field(2);
        product.removeSection = line.Field(3);
        const bool hasFlags = line.HasField(4) && line.Field(4).size() <= kFlagsFieldMax;
        product.flags = hasFlags ? ScriptDecimal(line.Field(4).c_str()) : 0;
        product.icon = line.Field(5);
        product.description = build.Field(line, 6);
        product.version = line.Field(7);
        product.versionText = line.HasField(7) ? ResolveVersion(build, line.Field(7)) : "";
        if (product.key.empty()) {
            product.note = "a line without a key is never offered";
        } else if (build.Removing()) {
            product.listed = true;
        } else if (!hasFlags || !(product.flags & kOffered)) {
            product.note = "not offered: its flags lack the value 1";
        } else {
            product.conditions = ReadConditions(build, product.installSection);
            product.listed = product.conditions.outcome != "fail";
            if (!product.listed)
                product.note = "never offered: its conditions fail (" + product.conditions.why + ")";
            else if (product.conditions.outcome == "asked")
                product.note = "offered only when its conditions hold (asked when setup.exe runs)";
        }
        if (product.listed) ComponentListAdd(product.key.c_str(), (product.flags & kPreselected) ? 1 : 0);
        plan.products.push_back(product);
    }
}

PlanProduct* FindProduct(Plan& plan, const std::string& key)
{
    for (PlanProduct& product : plan.products)
        if (product.listed && SameName(product.key, key)) return &product;
    return nullptr;
}

std::vector<std::string> SplitKeys(const std::string& text)
{
    std::vector<std::string> keys;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        keys.push_back(text.substr(from, comma - from));
        from = comma + 1;
    }
    return keys;
}

// The products the run takes: /quiet:KEYS (--select), the default selection
// of the components page, or the keys of a removal.
void Select(PlanBuild& build)
{
    Plan& plan = build.plan;
    if (build.Removing()) {
        for (const std::string& key : SplitKeys(plan.options.keys))
            if (!key.empty()) plan.productList.push_back(key);
        plan.notes.push_back("the products of the script not removed here are taken as installed");
    } else if (plan.options.selectGiven) {
        // As "/quiet:KEYS": each name selects the first offered product of that key.
        const std::vector<int> chosen = QuietSelection(plan.options.keys.c_str());
        for (int index : chosen) plan.productList.push_back(ComponentListName(index));
        for (const std::string& key : SplitKeys(plan.options.keys))
            if (!FindProduct(plan, key))
                plan.notes.push_back("\"" + key + "\" is not an offered product: it selects nothing");
    } else {
        for (const PlanProduct& product : plan.products)
            if (product.listed && (product.flags & kPreselected)) plan.productList.push_back(product.key);
    }
    for (int index = 0; index < ComponentListCount(); ++index) ComponentListSetSelected(index, 0);
    for (const std::string& key : plan.productList) {
        ComponentListSetSelectedByName(key.c_str(), 1);
        if (PlanProduct* product = FindProduct(plan, key)) {
            product->selected = true;
            if (!build.Removing() && !plan.options.selectGiven && product->versionText.size() > 0 &&
                plan.options.newer != "replace")
                product->note += std::string(product->note.empty() ? "" : "; ") +
                                 "left unchecked when a newer version of it is installed";
        }
    }
    if (!build.Removing() && plan.productList.empty())
        plan.notes.push_back("no product is selected: an unattended run processes the install section alone; "
                             "the wizard's Next needs a checked product");
}

// The plug-ins of one section's Plugins key (its first line).
void CollectPlugins(PlanBuild& build, const std::string& section, const std::string& selection)
{
    const InfLine* key = build.Key(section, "Plugins");
    if (!key) return;
    for (size_t field = 1; field <= key->fields.size(); ++field) {
        const std::string text = key->fields[field - 1].substr(0, kPluginFieldMax);
        char library[kPluginFieldMax + 1];
        const char* parameter = SplitPluginField(text.c_str(), library, sizeof library);
        build.plan.plugins.push_back({section, key->number, static_cast<int>(field), library, parameter, selection,
                                      build.medium.Locate(library).has_value()});
    }
}

void Plugins(PlanBuild& build)
{
    Plan& plan = build.plan;
    CollectPlugins(build, build.Removing() ? plan.removeSection : plan.installSection, "constant 1");
    for (const PlanProduct& product : plan.products)
        if (product.listed && (build.Removing() || (product.flags & kOffered)))
            CollectPlugins(build, build.Removing() ? product.removeSection : product.installSection,
                           "selection of product " + product.key);
}

// The directory ids the run uses: 32768 the target directory, and each key
// of [ProductDestinationDirs] its sub-directory below it.
void Directories(PlanBuild& build)
{
    Plan& plan = build.plan;
    std::string target;
    if (plan.options.targetGiven) {
        std::vector<char> typed(plan.options.target.begin(), plan.options.target.end());
        typed.push_back('\0');
        target = TrimTargetDirectory(typed.data());
        plan.targetOrigin = "given";
        if (!IsAbsoluteTarget(target.c_str())) {
            plan.runs = false;
            plan.stopReason = "the target page keeps Next disabled for \"" + target + "\": it is no absolute path "
                              "on a drive (a drive, a colon, a backslash and a folder; network paths are refused)";
            return;
        }
    } else {
        const InfLine* line = build.Key("DestinationDirs", "DefaultDestDir");
        if (line && ScriptDecimal(line->Field(1).c_str()) == 24) {
            char composed[260];
            ComposeDefaultDirectory("%ProgramFiles%", line->Field(2).c_str(), composed, sizeof composed);
            target = composed;
        } else {
            target = build.dirs.SectionTarget(build.script, "", nullptr);
        }
        plan.targetOrigin = build.Removing() ? "recorded" : "default";
    }
    plan.target = target;
    build.dirs.Set(32768, target);
    for (const InfLine& line : build.Lines("ProductDestinationDirs")) {
        char dir[260];
        unsigned long id = 0;
        if (!line.hasKey) continue;
        if (!ParseUserDirectoryId(line.Field(1).c_str(), &id))
            plan.notes.push_back("[ProductDestinationDirs] " + line.key + ": \"" + line.Field(1) + "\" is no directory "
                                 "id of 32768 and above: it is never set, and the target page keeps Next disabled");
        else if (JoinSubDirectory(target.c_str(), line.Field(2).c_str(), dir, sizeof dir))
            build.dirs.Set(static_cast<long>(id), dir);
    }
}

void NewerVersionCheck(PlanBuild& build)
{
    Plan& plan = build.plan;
    const InfLine* productVer = build.Key(plan.installSection, "ProductVer");
    const InfLine* uninstall = build.Key(plan.installSection, "Uninstall");
    if (!productVer || !uninstall || !productVer->HasField(1) || !uninstall->HasField(1)) return;
    const std::string version = ResolveVersion(build, productVer->Field(1));
    PlanItem& item = plan.newerVersionCheck;
    item.action = "ask-newer-version";
    item.section = plan.installSection;
    item.line = productVer->number;
    item.Field("entry", uninstall->Field(1)).Field("version", version);
    const std::string& newer = plan.options.newer;
    item.note = version.empty()      ? "no question: the version " + productVer->Field(1) + " cannot be read"
                : newer == "replace" ? "when the ProductVersion of that uninstall entry is newer, setup.exe replaces "
                                       "it without asking (/newer:replace)"
                : newer == "keep"    ? "when the ProductVersion of that uninstall entry is newer, setup.exe keeps it "
                                       "without asking and ends with 1638 (/newer:keep)"
                                     : "when the ProductVersion of that uninstall entry is newer, setup.exe asks "
                                       "whether to replace it (also in unattended runs); No ends it with 1602";
}

// A removal takes only the script's own keys (its products' and the
// install section's Uninstall key), none with a backslash; another key is
// refused before any registry key is touched.
bool RemovalKeysListed(PlanBuild& build)
{
    Plan& plan = build.plan;
    std::vector<std::string> listed;
    if (const InfLine* uninstall = build.Key(plan.installSection, "Uninstall")) listed.push_back(uninstall->Field(1));
    for (const InfLine& line : build.Lines(plan.productsSection))
        if (line.hasKey) listed.push_back(line.key);
    for (const std::string& key : SplitKeys(plan.options.keys)) {
        const bool known = key.find('\\') == std::string::npos &&
                           std::any_of(listed.begin(), listed.end(),
                                       [&](const std::string& name) { return !name.empty() && SameName(name, key); });
        if (!known) {
            plan.runs = false;
            plan.stopReason = "\"" + key + "\" is no product of this script: setup.exe shows \"The product " + key +
                              " is not part of this installation.\" and ends with 1603";
            return false;
        }
    }
    return true;
}

}  // namespace

void PlanStartup(PlanBuild& build)
{
    Plan& plan = build.plan;
    plan.mode = build.Removing() ? "remove" : "install";
    plan.installSection = Choose(build, kInstallColumn);
    plan.removeSection = Choose(build, kRemoveColumn);
    plan.productsSection = Choose(build, kProductsColumn);
    NewerVersionCheck(build);
    if (build.Removing() && !RemovalKeysListed(build)) return;
    plan.conditions = ReadConditions(build, plan.installSection);
    if (plan.conditions.outcome == "fail") {
        plan.runs = false;
        plan.stopReason = "the conditions of [" + plan.installSection + "] fail (" + plan.conditions.why +
                          "): setup.exe shows \"The installation cannot be executed\" and ends with 1603";
        return;
    }
    ReadProducts(build);
    // An empty products section leaves the list empty and the run goes on.
    if (ComponentListCount() == 0 && HasLines(build, plan.productsSection)) {
        plan.runs = false;
        plan.stopReason = "no product of [" + plan.productsSection + "] is offered: setup.exe shows \"The "
                          "installation cannot be executed\" and ends with 1603";
        return;
    }
    Select(build);
    Plugins(build);
    Directories(build);
    PlanPages(build);
}
