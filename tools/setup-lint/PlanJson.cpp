// The plan as a JSON document for tools; the fields are described in the
// README of setup-lint.
#include "PlanJson.h"

#include "Json.h"

namespace {

Json Texts(const std::vector<std::string>& texts)
{
    Json array = Json::Array();
    for (const std::string& text : texts) array.Add(text);
    return array;
}

Json Item(const PlanItem& item)
{
    Json object = Json::Object();
    object.Set("action", item.action).Set("section", item.section).Set("line", item.line);
    for (const auto& field : item.fields) object.Set(field.first, field.second);
    return object.Set("note", item.note);
}

Json OptionalItem(const PlanItem& item) { return item.action.empty() ? Json() : Item(item); }

Json Conditions(const PlanConditions& conditions)
{
    Json lines = Json::Array();
    for (const PlanConditionLine& line : conditions.lines)
        lines.Add(Json::Object()
                      .Set("section", line.section)
                      .Set("line", line.line)
                      .Set("library", line.library)
                      .Set("function", line.function));
    return Json::Object()
        .Set("section", conditions.section)
        .Set("line", conditions.line)
        .Set("outcome", conditions.outcome)
        .Set("why", conditions.why)
        .Set("lines", lines);
}

Json Products(const Plan& plan)
{
    Json products = Json::Array();
    for (const PlanProduct& p : plan.products)
        products.Add(Json::Object()
                         .Set("key", p.key)
                         .Set("line", p.line)
                         .Set("name", p.name)
                         .Set("installSection", p.installSection)
                         .Set("removeSection", p.removeSection)
                         .Set("flags", p.flags)
                         .Set("icon", p.icon)
                         .Set("description", p.description)
                         .Set("version", p.version)
                         .Set("versionText", p.versionText)
                         .Set("listed", p.listed)
                         .Set("conditions", Conditions(p.conditions))
                         .Set("selected", p.selected)
                         .Set("note", p.note));
    return products;
}

Json Plugins(const Plan& plan)
{
    Json plugins = Json::Array();
    for (const PlanPlugin& p : plan.plugins)
        plugins.Add(Json::Object()
                        .Set("section", p.section)
                        .Set("line", p.line)
                        .Set("field", p.field)
                        .Set("library", p.library)
                        .Set("parameter", p.parameter)
                        .Set("selectionFlag", p.selectionFlag)
                        .Set("onMedium", p.onMedium));
    return plugins;
}

Json Pages(const Plan& plan)
{
    Json pages = Json::Array();
    for (const PlanPage& page : plan.pages)
        pages.Add(Json::Object().Set("page", page.page).Set("level", page.level).Set("note", page.note));
    return pages;
}

Json Uninstall(const Plan& plan)
{
    Json writes = Json::Array();
    for (const PlanUninstallEntry& entry : plan.uninstallWrites) {
        Json values = Json::Array();
        for (const PlanValue& value : entry.values)
            values.Add(Json::Object().Set("name", value.name).Set("type", value.type).Set("data", value.data));
        writes.Add(Json::Object().Set("key", entry.key).Set("kind", entry.kind).Set("values", values));
    }
    return Json::Object().Set("write", writes).Set("delete", Texts(plan.uninstallDeletes));
}

Json Steps(const Plan& plan)
{
    Json steps = Json::Array();
    for (const PlanStep& step : plan.steps) {
        Json items = Json::Array();
        for (const PlanItem& item : step.items) items.Add(Item(item));
        steps.Add(Json::Object()
                      .Set("phase", step.phase)
                      .Set("level", step.level)
                      .Set("status", step.status)
                      .Set("note", step.note)
                      .Set("items", items));
    }
    return steps;
}

Json Problems(const Plan& plan)
{
    Json problems = Json::Array();
    for (const LintFinding& finding : plan.problems)
        problems.Add(Json::Object()
                         .Set("line", finding.line)
                         .Set("severity", finding.error ? "error" : "warning")
                         .Set("text", finding.text));
    return problems;
}

}  // namespace

std::string PlanAsJson(const Plan& plan)
{
    const PlanOptions& options = plan.options;
    Json root = Json::Object();
    root.Set("setupLintPlan", 1)
        .Set("script", plan.script)
        .Set("mode", plan.mode)
        .Set("windows", Json::Object().Set("version", options.windows).Set("family", options.version.nt ? "nt" : "9x"))
        .Set("sections", Json::Object()
                             .Set("install", plan.installSection)
                             .Set("remove", plan.removeSection)
                             .Set("products", plan.productsSection))
        .Set("newerVersionCheck", OptionalItem(plan.newerVersionCheck))
        .Set("conditions", Conditions(plan.conditions))
        .Set("products", Products(plan))
        .Set("plugins", Plugins(plan))
        .Set("pages", Pages(plan))
        .Set("productList", Texts(plan.productList))
        .Set("target", Json::Object().Set("directory", plan.target).Set("origin", plan.targetOrigin))
        .Set("runs", plan.runs)
        .Set("stopReason", plan.stopReason)
        .Set("runSections", Texts(plan.runSections))
        .Set("setupPath", plan.setupPath)
        .Set("uninstallEntries", Uninstall(plan))
        .Set("steps", Steps(plan))
        .Set("runFailure", plan.runFailure)
        .Set("restart", Json::Object()
                            .Set("reasons", Texts(plan.restartReasons))
                            .Set("possible", Texts(plan.restartPossible)))
        .Set("startProgram", OptionalItem(plan.startApp))
        .Set("exitCode", plan.exitCode)
        .Set("notes", Texts(plan.notes))
        .Set("problems", Problems(plan));
    return WriteJson(root);
}
