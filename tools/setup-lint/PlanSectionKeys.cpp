// The run's own keys read from every section of the run: firewall
// entries, file security, the Exec programs of a level and the plug-in
// steps of a level.
#include "PlanBuild.h"
#include "ScriptFields.h"

namespace {

// Texts of these lines are read into 256 bytes, a working folder into 260.
// A text that names a program or file and does not fit is refused, since
// cut it would name another; other texts are cut.
const size_t kTextMax = 255;
const size_t kPathMax = 259;

std::string Text(const PlanBuild& build, const InfLine& line, size_t n)
{
    return build.Field(line, n).substr(0, kTextMax);
}

// A skip item for field `n` of `line` when it is longer than `max`.
bool TooLong(const PlanBuild& build, const std::string& section, const InfLine& line, size_t n, size_t max,
             const char* consequence, PlanStep* step)
{
    const std::string text = build.Field(line, n);
    if (text.size() <= max) return false;
    PlanItem item{"skip", section, line.number, {}, ""};
    item.Field("field", std::to_string(n));
    item.note = "field " + std::to_string(n) + " is longer than " + std::to_string(max) + " characters: " + consequence;
    step->items.push_back(item);
    return true;
}

void ExecSection(const PlanBuild& build, const InfSection& list, int level, PlanStep* step)
{
    for (const InfLine& line : list.lines) {
        if (ScriptNumber(line.Field(1).c_str()) != static_cast<uint32_t>(level) || !line.HasField(2)) continue;
        if (TooLong(build, list.name, line, 2, kTextMax, "the program is not run", step) ||
            TooLong(build, list.name, line, 4, kPathMax, "the program is not run", step))
            continue;
        const uint32_t flags = ScriptNumber(line.Field(5).c_str());
        PlanItem item{"run", list.name, line.number, {}, ""};
        item.Field("program", Text(build, line, 2)).Field("arguments", build.Field(line, 3));
        item.Field("workingDir", build.Field(line, 4));
        item.Field("wait", (flags & 1) ? "no" : "yes");
        item.Field("deleteAfter", (flags & 3) == 2 ? "yes" : "no");
        if (build.Field(line, 3).find('%') != std::string::npos)
            item.note = "%hwnd% at the start of the arguments becomes the wizard page's window handle";
        if (line.Field(2).empty()) item.note = "no program: nothing is started";
        step->items.push_back(item);
    }
}

}  // namespace

void PlanFirewall(PlanBuild& build, PlanStep* step)
{
    for (const std::string& section : build.plan.runSections) {
        build.ForEachNamed(section, "MakeFirewallEntries", false, [&](const InfSection& list, const InfLine&) {
            for (const InfLine& line : list.lines) {
                if (!line.HasField(1) || !line.HasField(2)) continue;
                PlanItem item{"add-firewall-entry", list.name, line.number, {}, "enabled"};
                step->items.push_back(item.Field("program", Text(build, line, 2)).Field("name", Text(build, line, 1)));
            }
        });
        build.ForEachNamed(section, "DelFirewallEntries", false, [&](const InfSection& list, const InfLine&) {
            for (const InfLine& line : list.lines) {
                if (!line.HasField(2)) continue;
                PlanItem item{"remove-firewall-entry", list.name, line.number, {}, ""};
                step->items.push_back(item.Field("program", Text(build, line, 2)));
            }
        });
    }
    if (!step->items.empty())
        step->note = "through the Windows Firewall where it exists; a failure does not stop the run";
}

void PlanFileSecurity(PlanBuild& build, PlanStep* step)
{
    for (const std::string& section : build.plan.runSections)
        build.ForEachNamed(section, "FileSecurity", false, [&](const InfSection& list, const InfLine&) {
            for (const InfLine& line : list.lines) {
                if (!line.HasField(1) || !line.HasField(2)) continue;
                if (TooLong(build, list.name, line, 1, kTextMax, "the file security is not applied", step) ||
                    TooLong(build, list.name, line, 2, kTextMax, "the file security is not applied", step))
                    continue;
                PlanItem item{"set-security", list.name, line.number, {}, ""};
                step->items.push_back(item.Field("path", Text(build, line, 1)).Field("descriptor", Text(build, line, 2)));
            }
        });
    if (!step->items.empty()) step->note = "the descriptor's access-control list; a failure does not stop the run";
}

void PlanExec(PlanBuild& build, int level, PlanStep* step)
{
    for (const std::string& section : build.plan.runSections) {
        const InfLine* key = build.Key(section, "Exec");
        if (!key) continue;
        for (const std::string& written : key->fields) {
            const std::string field = build.dirs.Substitute(written);
            if (field.size() > kTextMax) {
                PlanItem item{"skip", section, key->number, {}, ""};
                item.Field("field", field.substr(0, 32) + "...");
                item.note = "an Exec field longer than 255 characters is not run";
                step->items.push_back(item);
                continue;
            }
            if (!field.empty() && field[0] == '@') {
                PlanItem item{"run", section, key->number, {}, "an Exec program written with @ starts at every level"};
                item.Field("program", field.substr(1));
                step->items.push_back(item.Field("wait", "yes"));
                continue;
            }
            if (const InfSection* list = field.empty() ? nullptr : build.script.Find(field))
                ExecSection(build, *list, level, step);
        }
    }
    if (level == 3 && !step->items.empty()) step->note = "Windows may shut down while these programs run";
}

void PlanPluginSteps(PlanBuild& build, int level, PlanStep* step)
{
    for (const PlanPlugin& plugin : build.plan.plugins) {
        if (!plugin.onMedium) continue;
        PlanItem item{"plugin-steps", plugin.section, plugin.line, {}, ""};
        item.Field("library", plugin.library).Field("parameter", plugin.parameter);
        item.note = "the steps of level " + std::to_string(level) + " the library reports, if any (asked when "
                    "setup.exe runs)";
        if (level <= 1) item.note += "; they may queue file copies and deletions";
        step->items.push_back(item);
    }
}
