// The registry and INI phase: for every section of the run, its UpdateInis,
// UpdateIniFields and Ini2Reg lists, then DelReg and AddReg, in the order
// the Setup API carries them out. BitReg is not asked of it.
#include "PlanBuild.h"
#include "RegistryLines.h"

namespace {

// UpdateInis lines: file, section, old entry, "key=value".
void IniLines(PlanBuild& build, const InfSection& list, PlanStep* step)
{
    for (const InfLine& line : list.lines) {
        PlanItem item{"ini-write", list.name, line.number, {}, ""};
        const std::string entry = build.Field(line, 4);
        item.Field("file", build.Field(line, 1)).Field("iniSection", build.Field(line, 2));
        if (!line.HasField(1) || !line.HasField(2) || !line.HasField(4)) {
            item.action = "skip";
            item.note = "a line without file, section or new entry changes nothing (an old entry alone is not "
                        "deleted)";
        } else {
            const size_t equals = entry.find('=');
            item.Field("entry", entry.substr(0, equals));
            item.Field("data", equals == std::string::npos ? "" : entry.substr(equals + 1));
            if (line.Field(1).find('\\') == std::string::npos) item.note = "a file name without a folder is in %windir%";
            if (!line.Field(3).empty())
                item.note += (item.note.empty() ? "" : "; ") + std::string("the old entry is not looked at");
        }
        step->items.push_back(item);
    }
}

void Unsupported(const std::string& key, const InfSection& list, PlanStep* step)
{
    PlanItem item{key == "UpdateIniFields" ? "ini-fields" : "ini-to-registry", list.name, 0, {}, ""};
    item.Field("list", list.name);
    item.note = "asked of the Setup API, which does nothing with " + key + " under Wine";
    step->items.push_back(item);
}

void RegistryLines(PlanBuild& build, const InfSection& list, bool delReg, PlanStep* step)
{
    for (const InfLine& line : list.lines) {
        PlanItem item = RegistryLineItem(build.Fields(line), delReg);
        item.section = list.name;
        item.line = line.number;
        step->items.push_back(item);
    }
}

}  // namespace

void PlanEntries(PlanBuild& build, PlanStep* step)
{
    for (const std::string& section : build.plan.runSections) {
        const auto missing = [&](const std::string& name, const InfLine& line) {
            PlanItem item{"skip", section, line.number, {}, "[" + name + "] does not exist"};
            step->items.push_back(item.Field("list", name));
        };
        build.ForEachNamed(section, "UpdateInis", true,
                           [&](const InfSection& list, const InfLine&) { IniLines(build, list, step); }, missing);
        build.ForEachNamed(section, "UpdateIniFields", true,
                           [&](const InfSection& list, const InfLine&) { Unsupported("UpdateIniFields", list, step); },
                           missing);
        build.ForEachNamed(section, "Ini2Reg", true,
                           [&](const InfSection& list, const InfLine&) { Unsupported("Ini2Reg", list, step); },
                           missing);
        build.ForEachNamed(section, "DelReg", true,
                           [&](const InfSection& list, const InfLine&) { RegistryLines(build, list, true, step); },
                           missing);
        build.ForEachNamed(section, "AddReg", true,
                           [&](const InfSection& list, const InfLine&) { RegistryLines(build, list, false, step); },
                           missing);
        for (const InfLine* line : build.KeyLines(section, "BitReg")) {
            PlanItem item{"skip", section, line->number, {}, "setup.exe does not ask the Setup API for BitReg"};
            step->items.push_back(item.Field("list", line->Field(1)));
        }
    }
}
