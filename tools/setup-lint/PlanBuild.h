// Building a plan: the script, the medium and the directories the run would
// use, shared by the parts that fill in the start-up, the uninstall entries
// and each phase of the run.
#pragma once

#include "DirectoryIds.h"
#include "InfDocument.h"
#include "Medium.h"
#include "PlanModel.h"
#include "SourceFiles.h"

#include <functional>
#include <string>
#include <vector>

class PlanBuild
{
public:
    PlanBuild(const InfDocument& script, const Medium& medium, const PlanOptions& options)
        : script(script), medium(medium), sources(script, medium), dirs(options.version)
    {
        plan.options = options;
    }

    const WindowsVersionInfo& Version() const { return plan.options.version; }
    bool Removing() const { return plan.options.remove; }

    // The first line of `section` with `key` (any case), or null: how the
    // program reads its own keys.
    const InfLine* Key(const std::string& section, const std::string& key) const
    {
        return script.FindKey(section, key);
    }

    // Every line of `section` with `key`, in order: how the Setup API reads
    // its directives (CopyFiles, AddReg, ...).
    std::vector<const InfLine*> KeyLines(const std::string& section, const std::string& key) const;

    // The lines of `section`; empty when it does not exist.
    const std::vector<InfLine>& Lines(const std::string& section) const;

    // Field `n` with directory ids substituted; "" when missing.
    std::string Field(const InfLine& line, size_t n) const { return dirs.Substitute(line.Field(n)); }
    std::vector<std::string> Fields(const InfLine& line) const;

    // Every section named by the fields of every `key` line of `section`, with
    // the line and field that names it; a name without its section is
    // reported through `missing` (may be null).
    void ForEachNamed(const std::string& section, const std::string& key, bool allLines,
                      const std::function<void(const InfSection&, const InfLine&)>& each,
                      const std::function<void(const std::string&, const InfLine&)>& missing = nullptr) const;

    const InfDocument& script;
    const Medium& medium;
    SourceFiles sources;
    PlanDirectories dirs;
    Plan plan;
};

// The parts of the plan, in the order MakePlan calls them.
void PlanStartup(PlanBuild& build);      // sections, checks, products, selection, plug-ins, pages, target
void PlanUninstall(PlanBuild& build);    // the uninstall entries written or deleted before the run
void PlanRunSteps(PlanBuild& build);     // the phases of the run
void PlanAfterRun(PlanBuild& build);     // restart, the program started at the end, the exit code

void PlanPages(PlanBuild& build);        // the wizard's pages (part of the start-up)

// Phases (one file each), filling `step` from every section of the run.
void PlanFileQueue(PlanBuild& build, PlanStep* step);
void PlanEntries(PlanBuild& build, PlanStep* step);
void PlanServices(PlanBuild& build, const std::string& kind, PlanStep* step);  // stop, change or start
void PlanShortcuts(PlanBuild& build, PlanStep* step);
void PlanFirewall(PlanBuild& build, PlanStep* step);
void PlanFileSecurity(PlanBuild& build, PlanStep* step);
void PlanExec(PlanBuild& build, int level, PlanStep* step);
void PlanPluginSteps(PlanBuild& build, int level, PlanStep* step);

// The whole plan of `script` (read from `scriptPath`), whose files lie on
// `medium`.
Plan MakePlan(const InfDocument& script, const std::string& scriptPath, const Medium& medium,
              const PlanOptions& options);
