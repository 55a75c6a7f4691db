#include "DeployJson.h"

#include "DeployExitCodes.h"
#include "Json.h"

namespace {

Json Texts(const std::vector<std::string>& texts)
{
    Json array = Json::Array();
    for (const std::string& text : texts) array.Add(text);
    return array;
}

Json Run(const DeployRun& run)
{
    return Json::Object()
        .Set("exitCode", run.exitCode)
        .Set("restart", Texts(run.restart))
        .Set("mayRestart", Texts(run.mayRestart));
}

Json Entry(const DeployEntry& entry)
{
    Json views = Json::Array();
    for (const DeployView& view : entry.views)
        views.Add(Json::Object()
                      .Set("windows", view.windows)
                      .Set("view", view.view)
                      .Set("registryKey", view.registryKey)
                      .Set("installLocation", view.installLocation)
                      .Set("uninstallString", view.uninstallString)
                      .Set("quietUninstallString", view.quietUninstallString));
    Json detection = Json::Object().Set("value", "DisplayVersion");
    detection.Set("equals", entry.displayVersion).Set("atLeast", entry.displayVersion);
    return Json::Object()
        .Set("key", entry.key)
        .Set("products", Texts(entry.products))
        .Set("wholeInstallation", entry.wholeInstallation)
        .Set("displayName", entry.displayName)
        .Set("displayVersion", entry.displayVersion)
        .Set("versionFrom", entry.versionFrom)
        .Set("publisher", entry.publisher)
        .Set("helpLink", entry.helpLink)
        .Set("views", views)
        .Set("installCommand", entry.installCommand)
        .Set("installCommandTargetLog", entry.installCommandTargetLog)
        .Set("install", Run(entry.install))
        .Set("remove", Run(entry.remove))
        .Set("detection", entry.displayVersion.empty() ? Json() : detection)
        .Set("notes", Texts(entry.notes));
}

}  // namespace

std::string DeploymentAsJson(const Deployment& d)
{
    Json entries = Json::Array();
    for (const DeployEntry& entry : d.entries) entries.Add(Entry(entry));
    Json switches = Json::Array();
    for (const DeploySwitch& option : d.switches)
        switches.Add(Json::Object().Set("switch", option.text).Set("why", option.why));
    Json codes = Json::Array();
    for (const DeployExitCode& code : DeployExitCodes())
        codes.Add(Json::Object().Set("code", code.code).Set("outcome", code.outcome).Set("meaning", code.meaning));
    Json problems = Json::Array();
    for (const LintFinding& finding : d.problems)
        problems.Add(Json::Object()
                         .Set("line", finding.line)
                         .Set("severity", finding.error ? "error" : "warning")
                         .Set("text", finding.text));
    return WriteJson(Json::Object()
                         .Set("setupLintDeploy", 1)
                         .Set("script", d.script)
                         .Set("architecture", d.architecture)
                         .Set("windows", d.windows)
                         .Set("entries", entries)
                         .Set("defaultInstallCommand", d.defaultInstallCommand)
                         .Set("defaultEntries", Texts(d.defaultEntries))
                         .Set("switches", switches)
                         .Set("exitCodes", codes)
                         .Set("undetectable", Texts(d.undetectable))
                         .Set("problems", problems));
}
