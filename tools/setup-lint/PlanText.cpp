// The plan as text for people: the start-up, the pages, the uninstall
// entries, every phase of the run with its items, and what follows.
#include "PlanText.h"

#include <sstream>

namespace {

const char* const kStatusTexts[] = {"", "", "Stoping services ...", "Copying files ...", "Updating registry ...",
                                    "Updating shortcuts ...", "Starting services ..."};

std::string Shown(const std::string& text)
{
    std::string shown;
    for (char c : text) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    return shown;
}

std::string Where(const std::string& section, int line)
{
    if (section.empty() && line == 0) return "";
    std::string where = "  (";
    if (!section.empty()) where += "[" + section + "]";
    if (line != 0) where += std::string(section.empty() ? "" : " ") + "line " + std::to_string(line);
    return where + ")";
}

void WriteItem(std::ostream& out, const PlanItem& item, const std::string& indent)
{
    out << indent << item.action;
    if (!item.fields.empty()) out << " " << Shown(item.fields[0].second);
    out << Where(item.section, item.line) << "\n";
    for (size_t i = 1; i < item.fields.size(); ++i) {
        const auto& [name, text] = item.fields[i];
        if (name == "value")
            out << indent << "    value: " << (text.empty() ? "(default)" : text) << "\n";
        else if (!text.empty())
            out << indent << "    " << name << ": " << Shown(text) << "\n";
    }
    if (!item.note.empty()) out << indent << "    note: " << item.note << "\n";
}

std::string Flags(int flags)
{
    std::string text = std::to_string(flags);
    std::string meaning;
    const char* const names[] = {"offered", "checked by default", "restart after it", "may ask for the Windows CD"};
    for (int bit = 0; bit < 4; ++bit)
        if (flags & (1 << bit)) meaning += (meaning.empty() ? "" : ", ") + std::string(names[bit]);
    return meaning.empty() ? text : text + " (" + meaning + ")";
}

void WriteConditions(std::ostream& out, const PlanConditions& conditions, const std::string& indent)
{
    if (conditions.outcome == "none") {
        out << indent << "conditions of [" << conditions.section << "]: none\n";
        return;
    }
    out << indent << "conditions of [" << conditions.section << "]"
        << (conditions.outcome == "fail" ? ": they fail, " + conditions.why
                                         : ": asked when setup.exe runs (the answers are not known before)")
        << "\n";
    for (const PlanConditionLine& line : conditions.lines)
        out << indent << "    " << line.library << " " << line.function << Where(line.section, line.line) << "\n";
}

void WriteStart(std::ostream& out, const Plan& plan)
{
    out << "Sections chosen for Windows " << plan.options.windows << "\n"
        << "  install   [" << plan.installSection << "]\n"
        << "  remove    [" << plan.removeSection << "]\n"
        << "  products  [" << plan.productsSection << "]\n\n";
    out << "Before the wizard\n";
    if (!plan.newerVersionCheck.action.empty()) WriteItem(out, plan.newerVersionCheck, "  ");
    WriteConditions(out, plan.conditions, "  ");
    out << "\nProducts\n";
    if (plan.products.empty()) out << "  none\n";
    for (const PlanProduct& p : plan.products) {
        out << "  " << (p.key.empty() ? "(no key)" : p.key) << " \"" << p.name << "\"" << Where("", p.line) << "\n";
        out << "      flags " << Flags(p.flags) << "; install [" << p.installSection << "], remove ["
            << p.removeSection << "]\n";
        if (!p.version.empty())
            out << "      version " << p.version
                << (p.versionText == p.version ? "" : " = " + (p.versionText.empty() ? "(unreadable)" : p.versionText))
                << "\n";
        if (p.conditions.outcome != "none") WriteConditions(out, p.conditions, "      ");
        out << "      " << (p.selected ? "selected" : p.listed ? "not selected" : "not listed")
            << (p.note.empty() ? "" : "; " + p.note) << "\n";
    }
    out << "\nPlug-ins";
    if (plan.plugins.empty()) out << ": none";
    out << "\n";
    for (const PlanPlugin& p : plan.plugins)
        out << "  " << p.library << (p.parameter.empty() ? "" : ":" + p.parameter) << Where(p.section, p.line)
            << "\n      selection flag: " << p.selectionFlag
            << (p.onMedium ? "" : "\n      not beside setup.exe: it cannot be loaded and adds nothing") << "\n";
}

void WritePages(std::ostream& out, const Plan& plan)
{
    out << "\nWizard pages\n";
    int number = 0;
    for (const PlanPage& page : plan.pages)
        out << "  " << ++number << ". " << (page.level >= 0 ? "plug-in pages of level " + std::to_string(page.level)
                                                            : page.page)
            << (page.note.empty() || page.level >= 0 ? "" : ": " + page.note) << "\n";
    out << "  In unattended runs (/quiet) every page skips itself or presses Next and Finish.\n";
}

void WriteUninstall(std::ostream& out, const Plan& plan)
{
    if (!plan.uninstallWrites.empty()) {
        out << "\nUninstall entries, written before the run (setup.exe installed as " << plan.setupPath << ")\n";
        for (const PlanUninstallEntry& entry : plan.uninstallWrites) {
            out << "  " << entry.key << " (" << entry.kind << ")\n";
            for (const PlanValue& value : entry.values)
                out << "    " << value.name << std::string(value.name.size() < 22 ? 22 - value.name.size() : 1, ' ')
                    << value.type << std::string(value.type.size() < 14 ? 14 - value.type.size() : 1, ' ')
                    << Shown(value.data) << "\n";
        }
    }
    if (!plan.uninstallDeletes.empty()) {
        out << "\nUninstall entries, deleted before the run\n";
        for (const std::string& key : plan.uninstallDeletes) out << "  " << key << "\n";
    }
}

std::string PhaseTitle(const PlanStep& step)
{
    const std::string level = std::to_string(step.level);
    if (step.phase == "exec") return "Exec programs of level " + level;
    if (step.phase == "plugin-steps") return "plug-in steps of level " + level;
    if (step.phase == "stop-services") return "stop services";
    if (step.phase == "files") return "files (the queue's deletions, renames, then copies)";
    if (step.phase == "entries") return "INI files and registry";
    if (step.phase == "firewall") return "firewall entries";
    if (step.phase == "file-security") return "file security";
    if (step.phase == "services") return "delete and create services";
    if (step.phase == "shortcuts") return "shortcuts";
    return "start services";
}

void WriteRun(std::ostream& out, const Plan& plan)
{
    out << "\nThe run (sections:";
    for (const std::string& section : plan.runSections) out << " [" << section << "]";
    out << ")\n";
    int number = 0;
    for (const PlanStep& step : plan.steps) {
        out << "  " << ++number << ". " << PhaseTitle(step);
        if (step.status > 0)
            out << " (the wizard shows \""
                << (step.status == 3 && plan.mode == "remove" ? "Deleting files ..." : kStatusTexts[step.status])
                << "\")";
        out << (step.items.empty() ? ": nothing" : "") << "\n";
        if (!step.note.empty()) out << "     " << step.note << "\n";
        for (const PlanItem& item : step.items) WriteItem(out, item, "     ");
    }
    if (!plan.runFailure.empty()) out << "  The run fails here: " << plan.runFailure << ".\n";
}

void WriteEnd(std::ostream& out, const Plan& plan)
{
    out << "\nRestart: ";
    if (plan.restartReasons.empty()) {
        out << "not asked for by the script";
    } else {
        out << "asked for:";
        for (const std::string& reason : plan.restartReasons) out << "\n  - " << reason;
    }
    out << "\n";
    if (!plan.restartPossible.empty()) {
        out << "  also asked for, as only the running machine can tell, by:";
        for (const std::string& reason : plan.restartPossible) out << "\n  - " << reason;
        out << "\n";
    }
    if (!plan.startApp.action.empty()) {
        out << "\nAt the end\n";
        WriteItem(out, plan.startApp, "  ");
    }
    out << "\nExit code of an unattended run (/quiet, /reboot:1 as by default): " << plan.exitCode << "\n";
}

}  // namespace

std::string PlanAsText(const Plan& plan)
{
    std::ostringstream out;
    out << "Plan of " << plan.script << ": " << (plan.mode == "remove" ? "a removal" : "an installation")
        << " on Windows " << plan.options.windows << (plan.options.version.nt ? " (NT family)" : " (Windows 9x)")
        << "\n\n";
    if (!plan.mode.empty()) WriteStart(out, plan);
    if (!plan.runs) {
        out << "\nsetup.exe ends before its wizard: " << plan.stopReason << "\n";
    } else {
        WritePages(out, plan);
        out << "\n" << (plan.mode == "remove" ? "Removed" : "Selected") << ":";
        for (const std::string& key : plan.productList) out << " " << key;
        if (plan.productList.empty()) out << " none";
        out << "\nTarget directory (id 32768): " << plan.target << " ("
            << (plan.targetOrigin == "given" ? "as given"
                : plan.targetOrigin == "recorded"
                    ? "the one the installation recorded; an installation without a choice puts it here"
                    : "the default; the target page may change it")
            << ")\n";
        WriteUninstall(out, plan);
        WriteRun(out, plan);
    }
    WriteEnd(out, plan);
    if (!plan.notes.empty()) {
        out << "\nNotes\n";
        for (const std::string& note : plan.notes) out << "  - " << note << "\n";
    }
    return out.str();
}
