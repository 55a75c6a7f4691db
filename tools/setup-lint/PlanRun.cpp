// The run of a plan, in the order of the program's run: the section list,
// the uninstall entries, the phases with the plug-in levels between them,
// and what follows the run.
#include "BufCopy.h"
#include "ComponentList.h"
#include "ExitCodes.h"
#include "PlanBuild.h"
#include "RunLists.h"
#include "TextList.h"

#include <cstdlib>

namespace {

// Field `field` of the products line of `key`, for the run-list rules.
int ProductLineFieldOf(void* context, const char* key, int field, char* buffer, size_t size)
{
    const PlanBuild* build = static_cast<const PlanBuild*>(context);
    const InfLine* line = build->Key(build->plan.productsSection, key);
    if (!line || !line->HasField(static_cast<size_t>(field))) return 0;
    BufSet(buffer, size, line->Field(static_cast<size_t>(field)).c_str());
    return 1;
}

// A text list of `texts` (malloc'd; the caller frees it).
char* TextList(const std::vector<std::string>& texts)
{
    size_t capacity = 2;
    char* list = static_cast<char*>(std::calloc(capacity, 1));  // the empty list
    for (const std::string& text : texts) xUtilListAppendGrow(&list, &capacity, text.c_str());
    return list;
}

std::vector<std::string> Texts(const char* list)
{
    std::vector<std::string> texts;
    for (int i = 0; const char* text = xUtilListEntry(list, i); ++i) texts.push_back(text);
    return texts;
}

void RunSections(PlanBuild& build)
{
    Plan& plan = build.plan;
    char* keys = TextList(plan.productList);
    char* sections = nullptr;
    size_t capacity = 0;
    if (build.Removing()) {
        // The products not removed here count as installed.
        const int remaining = SelectProductsToRemove(keys, [](const char*) { return 1; });
        BuildRemoveSections(&sections, &capacity, plan.removeSection.c_str(), keys, remaining, ProductLineFieldOf,
                            &build);
        if (remaining > 0)
            plan.notes.push_back("[" + plan.removeSection + "] runs only with the removal of the last installed "
                                 "product");
    } else {
        BuildInstallSections(&sections, &capacity, plan.installSection.c_str(), keys, ProductLineFieldOf, &build);
    }
    if (sections) plan.runSections = Texts(sections);
    std::free(sections);
    std::free(keys);
}

PlanStep& AddStep(Plan& plan, const std::string& phase, int level = -1, int status = 0)
{
    plan.steps.push_back({phase, level, status, "", {}});
    return plan.steps.back();
}

void PluginLevel(PlanBuild& build, int level)
{
    if (!build.plan.plugins.empty()) PlanPluginSteps(build, level, &AddStep(build.plan, "plugin-steps", level));
}

}  // namespace

void PlanRunSteps(PlanBuild& build)
{
    Plan& plan = build.plan;
    PlanExec(build, 1, &AddStep(plan, "exec", 1));
    PluginLevel(build, 0);
    PlanServices(build, "stop", &AddStep(plan, "stop-services", -1, 2));
    PluginLevel(build, 1);
    PlanFileQueue(build, &AddStep(plan, "files", -1, 3));
    PluginLevel(build, 2);
    PlanEntries(build, &AddStep(plan, "entries", -1, 4));
    PlanFirewall(build, &AddStep(plan, "firewall"));
    PlanFileSecurity(build, &AddStep(plan, "file-security"));
    PluginLevel(build, 4);
    PlanServices(build, "change", &AddStep(plan, "services"));
    if (!plan.runFailure.empty()) return;
    PluginLevel(build, 3);
    PlanShortcuts(build, &AddStep(plan, "shortcuts", -1, 5));
    PluginLevel(build, 5);
    PlanServices(build, "start", &AddStep(plan, "start-services", -1, 6));
    PlanExec(build, 2, &AddStep(plan, "exec", 2));
    PlanExec(build, 3, &AddStep(plan, "exec", 3));
}

void PlanAfterRun(PlanBuild& build)
{
    Plan& plan = build.plan;
    if (plan.runFailure.empty()) {
        const InfLine* reboot = build.Key(plan.installSection, "Reboot");
        for (const std::string& key : plan.productList) {
            char* one = TextList({key});
            if (CountRestartRequests(one, nullptr, ProductLineFieldOf, &build) > 0)
                plan.restartReasons.push_back("product " + key + " has the restart flag 4");
            std::free(one);
        }
        char* none = TextList({});
        if (reboot && CountRestartRequests(none, reboot->Field(1).c_str(), ProductLineFieldOf, &build) > 0)
            plan.restartReasons.push_back("the Reboot key of [" + plan.installSection + "]");
        std::free(none);
    }
    bool copies = false, services = false;
    for (const PlanStep& step : plan.steps)
        for (const PlanItem& item : step.items) {
            copies = copies || item.action == "copy" || item.action == "delete";
            services = services || item.action == "stop-service" || item.action == "start-service";
        }
    if (copies) plan.restartPossible.push_back("a file in use (it is replaced or deleted at the next restart)");
    if (services) plan.restartPossible.push_back("a service that does not stop or start in time");
    if (!plan.plugins.empty()) plan.restartPossible.push_back("a plug-in step that asks for one");

    const InfLine* startApp = build.Key(plan.installSection, "StartApp");
    if (!build.Removing() && startApp && startApp->HasField(1)) {
        PlanItem& item = plan.startApp;
        item.action = "start-program";
        item.section = plan.installSection;
        item.line = startApp->number;
        item.Field("name", build.Field(*startApp, 1)).Field("program", build.Field(*startApp, 2).substr(0, 259));
        item.Field("arguments", build.Field(*startApp, 3).substr(0, 259));
        if (!startApp->HasField(2))
            item.note = "offered by the finish page, but without a program nothing starts";
        else if (!plan.restartReasons.empty())
            item.note = "a restart is pending: registered to run once at the next log-on";
        else
            item.note = "the finish page offers it checked and starts it at Finish (also in unattended runs); when a "
                        "restart is pending it runs once at the next log-on instead";
    }
    const RunOutcome outcome = plan.runs && plan.runFailure.empty() ? RunOutcome::Finished : RunOutcome::Failed;
    plan.exitCode = ExitCodeOf(outcome, !plan.restartReasons.empty(), false);
}

Plan MakePlan(const InfDocument& script, const std::string& scriptPath, const Medium& medium,
              const PlanOptions& options)
{
    PlanBuild build(script, medium, options);
    build.plan.script = scriptPath;
    build.plan.problems = LintScript(script, medium);
    bool syntaxError = false;
    for (const InfProblem& problem : script.problems) syntaxError = syntaxError || problem.error;
    const InfLine* signature = script.FindKey("Version", "Signature");
    const std::string kind = signature ? signature->Field(1) : "";
    if (!SameName(kind, "$Chicago$") && !SameName(kind, "$Windows NT$") && !SameName(kind, "$Windows 95$"))
        syntaxError = true;
    if (syntaxError) {
        build.plan.runs = false;
        build.plan.stopReason = "setup.exe cannot read setup.inf: it shows \"There is an error in file ...\" and "
                                "ends with 1603";
        build.plan.exitCode = kExitFailed;
        return build.plan;
    }
    PlanStartup(build);
    if (build.plan.runs) {
        RunSections(build);
        PlanUninstall(build);
        PlanRunSteps(build);
    }
    PlanAfterRun(build);
    ComponentListClear();
    return build.plan;
}
