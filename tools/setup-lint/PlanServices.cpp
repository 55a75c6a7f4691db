// Services of the run, from the "<section>.Services" companion of every
// section: each name once (the first line counts), stopped early in the
// run, deleted and created after the registry phase, started late. Windows
// 95, 98 and Me have no services: nothing is done there.
#include "IntField.h"
#include "PlanBuild.h"

#include <set>

namespace {

const size_t kTextMax = 255;

struct ServiceLine
{
    std::string section;
    const InfLine* line;
};

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The lines of `key` of the run's companion sections, one per name.
std::vector<ServiceLine> Gather(const PlanBuild& build, const std::string& key)
{
    std::vector<ServiceLine> lines;
    std::set<std::string> names;
    for (const std::string& section : build.plan.runSections) {
        const std::string companion = section + ".Services";
        for (const InfLine* line : build.KeyLines(companion, key)) {
            const std::string name = line->Field(1).substr(0, kTextMax);
            if (name.empty() || (key == "AddService" && !line->HasField(3))) continue;
            if (names.insert(Upper(name)).second) lines.push_back({companion, line});
        }
    }
    return lines;
}

std::string Number(const PlanBuild& build, const std::string& section, const char* key)
{
    const InfLine* line = build.Key(section, key);
    return std::to_string(line ? SetupIntField(line->Field(1)).value_or(0) : 0);
}

std::string Text(const PlanBuild& build, const std::string& section, const char* key)
{
    const InfLine* line = build.Key(section, key);
    return line ? build.Field(*line, 1).substr(0, kTextMax) : "";
}

// Creating or updating one service; false when the run fails on it.
bool Create(PlanBuild& build, const ServiceLine& at, PlanStep* step)
{
    const std::string name = at.line->Field(1).substr(0, kTextMax);
    const std::string install = at.line->Field(3).substr(0, kTextMax);
    PlanItem item{"create-service", at.section, at.line->number, {}, ""};
    item.Field("name", name);
    if (build.Lines(install).empty()) {
        item.note = "its install section [" + install + "] has no lines: the run fails here (1603)";
        step->items.push_back(item);
        build.plan.runFailure = "the service " + name + " cannot be created: its install section has no lines";
        return false;
    }
    // The program path is never cut: a longer one fails like a service that
    // cannot be created.
    if (const InfLine* binary = build.Key(install, "ServiceBinary"); binary && build.Field(*binary, 1).size() > kTextMax) {
        item.note = "its ServiceBinary is longer than 255 characters: the run fails here (1603)";
        step->items.push_back(item);
        build.plan.runFailure = "the service " + name + " cannot be created: its program path is too long";
        return false;
    }
    std::string dependencies;
    if (const InfLine* line = build.Key(install, "Dependencies"))
        for (const std::string& field : build.Fields(*line))
            dependencies += (dependencies.empty() ? "" : ", ") + field;
    item.Field("displayName", Text(build, install, "DisplayName"));
    item.Field("serviceType", Number(build, install, "ServiceType"));
    item.Field("startType", Number(build, install, "StartType"));
    item.Field("errorControl", Number(build, install, "ErrorControl"));
    item.Field("binary", Text(build, install, "ServiceBinary"));  // fits, as checked above
    item.Field("loadOrderGroup", Text(build, install, "LoadOrderGroup"));
    item.Field("dependencies", dependencies).Field("account", Text(build, install, "StartName"));
    item.note = "created from [" + install + "], or its configuration changed when it exists";
    step->items.push_back(item);
    if (const InfLine* order = build.Key(install, "ServiceGroupOrder")) {
        PlanItem group{"group-order", install, order->number, {}, ""};
        group.Field("group", order->Field(1)).Field("position", order->Field(2));
        const std::string position = order->Field(2);
        const std::string reference = position.empty() || (position[0] != '-' && position[0] != '+')
                                          ? position : position.substr(1);
        if (position.empty())
            group.note = "placed first in the group load order";
        else if (position[0] == '-')
            group.note = "placed right after " + reference + " in the group load order (last when it is not there)";
        else
            group.note = "placed right before " + reference + " in the group load order (first when it is not there)";
        step->items.push_back(group);
    }
    return true;
}

}  // namespace

void PlanServices(PlanBuild& build, const std::string& kind, PlanStep* step)
{
    if (!build.Version().nt) {
        bool any = false;
        for (const char* key : {"StopService", "DelService", "AddService", "StartService"})
            any = any || !Gather(build, key).empty();
        if (any) step->note = "Windows 95, 98 and Me have no services: nothing is done";
        return;
    }
    if (kind == "stop") {
        for (const ServiceLine& at : Gather(build, "StopService")) {
            PlanItem item{"stop-service", at.section, at.line->number, {}, "when it runs"};
            step->items.push_back(item.Field("name", at.line->Field(1).substr(0, kTextMax)));
        }
        if (!step->items.empty())
            step->note = "a service that does not stop within 5 s asks for a restart, and the later ones are not "
                         "stopped";
    } else if (kind == "change") {
        for (const ServiceLine& at : Gather(build, "DelService")) {
            PlanItem item{"delete-service", at.section, at.line->number, {}, "marked for deletion when it exists"};
            step->items.push_back(item.Field("name", at.line->Field(1).substr(0, kTextMax)));
        }
        for (const ServiceLine& at : Gather(build, "AddService"))
            if (!Create(build, at, step)) return;
    } else {
        for (const ServiceLine& at : Gather(build, "StartService")) {
            PlanItem item{"start-service", at.section, at.line->number, {}, ""};
            step->items.push_back(item.Field("name", at.line->Field(1).substr(0, kTextMax)));
        }
        if (!step->items.empty())
            step->note = "a service that is missing or does not start within 5 s asks for a restart, and the later "
                         "ones are not started";
    }
}
