// The shortcut phase: for every section of the run, the lines of the
// sections its MakeIcons key names become shortcuts (with the sub-folders
// their names hold), then those of DelIcons are deleted (and the emptied
// sub-folders with them).
#include "PlanBuild.h"
#include "ShortcutText.h"

#include <cstdlib>

namespace {

// Shortcut texts are read into 256 bytes, the folder code into 16.
const size_t kTextMax = 255;
const size_t kCodeMax = 15;

const char kMachineFolders[] =
    "a {Common ...} folder is the machine's; where the machine has none, the user's folder of that kind is used";

// The folder of `code` as the registry value that names it, e.g.
// "{Common Programs}"; empty for an unknown code.
std::string Folder(const std::string& code)
{
    const ShellFolderValues* values = FindShellFolderCode(code.c_str());
    if (!values) return "";
    return "{" + std::string(values->machineWide ? values->machineWide : values->perUser) + "}";
}

// Reads the code and name of a shortcut line; false (with `item` a skip)
// when a required field is missing or the name is refused.
bool ShortcutPath(const PlanBuild& build, const InfLine& line, bool make, PlanItem* item, std::string* folder)
{
    const std::string code = build.Field(line, 1).substr(0, kCodeMax);
    const std::string name = build.Field(line, 2);
    *folder = Folder(code);
    item->Field("path", (folder->empty() ? code : *folder) + "\\" + name + ".lnk");
    item->Field("folderCode", code).Field("name", name);
    // A name or target that does not fit is refused: cut, it names another.
    if (name.size() > kTextMax || (make && build.Field(line, 3).size() > kTextMax)) {
        item->note = std::string(name.size() > kTextMax ? "the name" : "the target") +
                     " is longer than 255 characters: " + (make ? "the shortcut is not made" : "no shortcut is deleted");
    } else if (code.empty() || name.empty() || (make && build.Field(line, 3).empty())) {
        item->note = make ? "a line without folder code, name and target is skipped"
                          : "a line without folder code and name is skipped";
    } else if (folder->empty()) {
        item->note = "unknown folder code " + code + ": the line is skipped";
    } else if (!ShortcutNameStaysInside(name.c_str())) {
        item->note = "the name leaves its folder: the shortcut is refused";
    } else {
        return true;
    }
    item->action = "skip";
    return false;
}

// The sub-folders a shortcut name holds, outermost first.
std::vector<std::string> SubFolders(const std::string& folder, const std::string& name)
{
    std::vector<std::string> folders;
    for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
        folders.push_back(folder + "\\" + name.substr(0, at));
    return folders;
}

void MakeShortcuts(const PlanBuild& build, const InfSection& list, PlanStep* step)
{
    for (const InfLine& line : list.lines) {
        PlanItem item{"create-shortcut", list.name, line.number, {}, ""};
        std::string folder;
        if (!ShortcutPath(build, line, true, &item, &folder)) {
            step->items.push_back(item);
            continue;
        }
        const std::string name = build.Field(line, 2);
        for (const std::string& sub : SubFolders(folder, name)) {
            bool listed = false;
            for (const PlanItem& earlier : step->items)
                listed = listed || (earlier.action == "make-folder" && SameName(earlier.fields[0].second, sub));
            PlanItem made{"make-folder", list.name, line.number, {}, "when missing"};
            if (!listed) step->items.push_back(made.Field("path", sub));
        }
        const std::string target = build.Field(line, 3);
        char workingDir[260];
        ShortcutWorkingDir(target.c_str(), workingDir, sizeof workingDir);
        item.Field("target", target).Field("arguments", build.Field(line, 4).substr(0, kTextMax));
        item.Field("workingDir", workingDir);
        const std::string iconFile = build.Field(line, 5).substr(0, kTextMax);
        item.Field("icon", iconFile.empty() ? "" : iconFile + "," + std::to_string(std::atoi(line.Field(6).c_str())));
        if (std::atoi(line.Field(7).c_str()) != 0)
            item.note += std::string(item.note.empty() ? "" : "; ") +
                         "the folder is opened afterwards (not in unattended runs)";
        step->items.push_back(item);
    }
}

void DeleteShortcuts(const PlanBuild& build, const InfSection& list, PlanStep* step)
{
    for (const InfLine& line : list.lines) {
        PlanItem item{"delete-shortcut", list.name, line.number, {}, ""};
        std::string folder;
        const bool valid = ShortcutPath(build, line, false, &item, &folder);
        step->items.push_back(item);
        if (!valid) continue;
        const std::vector<std::string> folders = SubFolders(folder, build.Field(line, 2));
        for (auto sub = folders.rbegin(); sub != folders.rend(); ++sub) {
            PlanItem removed{"remove-folder", list.name, line.number, {}, "when nothing else is left in it"};
            step->items.push_back(removed.Field("path", *sub).Field("when", "now"));
        }
    }
}

}  // namespace

void PlanShortcuts(PlanBuild& build, PlanStep* step)
{
    for (const std::string& section : build.plan.runSections) {
        build.ForEachNamed(section, "MakeIcons", false,
                           [&](const InfSection& list, const InfLine&) { MakeShortcuts(build, list, step); });
        build.ForEachNamed(section, "DelIcons", false,
                           [&](const InfSection& list, const InfLine&) { DeleteShortcuts(build, list, step); });
    }
    // A sub-folder is tried after each deletion in it; it goes after the last.
    for (size_t i = step->items.size(); i-- > 0;) {
        const PlanItem& item = step->items[i];
        if (item.action != "remove-folder") continue;
        for (size_t later = i + 1; later < step->items.size(); ++later)
            if (step->items[later].action == "remove-folder" &&
                SameName(step->items[later].fields[0].second, item.fields[0].second)) {
                step->items.erase(step->items.begin() + static_cast<long>(i));
                break;
            }
    }
    for (const PlanItem& item : step->items)
        if (item.action != "skip" && item.fields[0].second.compare(0, 8, "{Common ") == 0) step->note = kMachineFolders;
}
