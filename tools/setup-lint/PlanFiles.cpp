// The run's file queue: the CopyFiles, DelFiles and RenFiles lists of every
// section of the run, queued in section order and carried out by the commit
// as the Setup API does it: all deletions, then the renames, then the
// copies. The folders the copies need are made; a folder whose files were
// deleted is removed when nothing else is left in it.
#include "DirectoryRules.h"
#include "IntField.h"
#include "PlanBuild.h"
#include "PluginText.h"
#include "QueueText.h"
#include "RemovalCopyText.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

enum : uint32_t { kNoVersionCheck = 0x4, kNoOverwrite = 0x10, kReplaceOnly = 0x400 };

struct Queue
{
    std::vector<PlanItem> deletes, renames, copies;
};

std::string Hex(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(value));
    return text;
}

std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string CopyFlagsNote(int32_t flags)
{
    std::string note;
    const auto add = [&](const char* text) { note += (note.empty() ? "" : "; ") + std::string(text); };
    if (flags & kNoOverwrite) add("not copied when the file exists");
    if (flags & kReplaceOnly) add("copied only when the file exists");
    if (flags & kNoVersionCheck) add("copied whatever the versions");
    return note;
}

// Where the medium keeps `file`, for a copy item.
void Source(PlanBuild& build, const std::string& file, PlanItem* item)
{
    const SourceLocation location = build.sources.Locate(file);
    item->Field("source", file);
    bool inCabinet = false;
    if (!location.cabinet.empty()) {
        const OpenCabinet& cabinet = build.sources.Open(location.cabinet);
        inCabinet = cabinet.ok && build.sources.Member(cabinet, location);
    }
    // The Setup API copies a loose file first and extracts from the disk's
    // cabinet when there is none.
    if (build.sources.IsLoose(location)) {
        item->Field("medium", location.loose);
        if (inCabinet) item->note = location.cabinet + " holds it too; the loose file is taken";
        return;
    }
    if (inCabinet) {
        item->Field("cabinet", location.cabinet);
        return;
    }
    item->Field("medium", "missing");
    item->note = file + " is not on the medium: an unattended run stops here (1603); the wizard asks for the medium";
}

void QueueCopy(PlanBuild& build, const std::string& list, const InfLine& line, const std::string& dir, Queue* queue)
{
    const std::string target = line.Field(1).empty() ? line.key : line.Field(1);
    const std::string source = line.Field(2).empty() ? target : line.Field(2);
    PlanItem item{"copy", list, line.number, {}, ""};
    item.Field("target", dir + "\\" + target);
    Source(build, source, &item);
    const int32_t flags = SetupIntField(line.Field(4)).value_or(0);
    if (flags != 0) {
        item.Field("flags", Hex(flags));
        const std::string note = CopyFlagsNote(flags);
        if (!note.empty()) item.note += (item.note.empty() ? "" : "; ") + note;
    }
    if (IsCabinetCopy(source.c_str(), target.c_str()))
        item.note += std::string(item.note.empty() ? "" : "; ") + "a cabinet copied to its own name is placed as it "
                     "is, not expanded";
    queue->copies.push_back(item);
}

void QueueSection(PlanBuild& build, const std::string& section, Queue* queue)
{
    const auto missing = [&](const std::string& name, const InfLine& line) {
        PlanItem item{"skip", section, line.number, {}, ""};
        item.Field("list", name);
        item.note = "[" + name + "] does not exist: nothing is queued from it";
        queue->copies.push_back(item);
    };
    for (const InfLine* line : build.KeyLines(section, "CopyFiles"))
        for (const std::string& field : line->fields) {
            if (field.empty()) continue;
            if (field[0] == '@') {  // one file, to DefaultDestDir
                InfLine single;
                single.number = line->number;
                single.fields = {field.substr(1)};
                QueueCopy(build, section, single, build.dirs.SectionTarget(build.script, "", nullptr), queue);
                continue;
            }
            const InfSection* list = build.script.Find(field);
            if (!list) {
                missing(field, *line);
                continue;
            }
            const std::string dir = build.dirs.SectionTarget(build.script, list->name, nullptr);
            for (const InfLine& entry : list->lines) QueueCopy(build, list->name, entry, dir, queue);
        }
    build.ForEachNamed(section, "DelFiles", true, [&](const InfSection& list, const InfLine&) {
        const std::string dir = build.dirs.SectionTarget(build.script, list.name, nullptr);
        for (const InfLine& entry : list.lines) {
            PlanItem item{"delete", list.name, entry.number, {}, "when it exists"};
            item.Field("target", dir + "\\" + (entry.Field(1).empty() ? entry.key : entry.Field(1)));
            item.Field("when", "now");
            queue->deletes.push_back(item);
        }
    }, missing);
    build.ForEachNamed(section, "RenFiles", true, [&](const InfSection& list, const InfLine&) {
        const std::string dir = build.dirs.SectionTarget(build.script, list.name, nullptr);
        for (const InfLine& entry : list.lines) {
            PlanItem item{"rename", list.name, entry.number, {}, "when it exists"};
            item.Field("target", dir + "\\" + entry.Field(1)).Field("from", dir + "\\" + entry.Field(2));
            queue->renames.push_back(item);
        }
    }, missing);
}

// The first library of the removal's sections (the install and remove
// sections, every product's two sections: Plugins listings and the lines
// of the condition sections) named with a folder, which a removal's copy
// could not take along; "" when there is none.
std::string LibraryWithFolder(const PlanBuild& build)
{
    std::vector<std::string> sections = {build.plan.installSection, build.plan.removeSection};
    for (const PlanProduct& product : build.plan.products) {
        sections.push_back(product.installSection);
        sections.push_back(product.removeSection);
    }
    for (const std::string& section : sections) {
        if (const InfLine* plugins = build.Key(section, "Plugins"))
            for (const std::string& field : plugins->fields) {
                char library[kPluginFieldMax + 1];
                SplitPluginField(field.substr(0, kPluginFieldMax).c_str(), library, sizeof library);
                if (library[0] != '\0' && !IsPlainFileName(library)) return library;
            }
        if (const InfLine* conditions = build.Key(section, "Conditions"))
            for (const std::string& name : conditions->fields)
                for (const InfLine& line : build.Lines(name))
                    if (!line.Field(1).empty() && !IsPlainFileName(line.Field(1).c_str())) return line.Field(1);
    }
    return "";
}

// The removal's own program, when its uninstall entry started it. On the
// NT family it runs the removal from a copy in the Windows folder's Temp
// and waits for it; the copy moves the running program into its own
// folder (a rename), so it is gone at once, and that folder goes at the
// next restart, which is not asked for. Where no copy is made (Windows 9x,
// or a library the copy could not take along) the running program cannot
// be deleted: it is deleted at the next restart, and so is its folder when
// nothing else is left there.
void MarkRunningProgram(PlanBuild& build, Queue* queue)
{
    Plan& plan = build.plan;
    if (!build.Removing() || plan.setupPath.empty()) return;
    const std::string library = build.Version().nt ? LibraryWithFolder(build) : "";
    const bool copied = build.Version().nt && library.empty();
    for (PlanItem& item : queue->deletes)
        if (SameName(item.fields[0].second, plan.setupPath)) {
            if (copied) {
                item.note = "setup.exe runs this removal from a copy when its uninstall entry started it: the copy "
                            "moves the running one into its own folder, deleted at the next restart without asking "
                            "for it";
                continue;
            }
            item.fields[1].second = "at the next restart";
            item.note = "setup.exe runs this removal when its uninstall entry started it: in use, it is deleted at "
                        "the next restart";
            const std::string reason = "the removal deletes the running " + plan.setupPath +
                                       " (when started from its uninstall entry)";
            if (std::find(plan.restartReasons.begin(), plan.restartReasons.end(), reason) == plan.restartReasons.end())
                plan.restartReasons.push_back(reason);
        }
    if (copied)
        plan.notes.push_back("the removal runs from a copy of setup.exe, setup.inf and the libraries the script names "
                             "in a new folder %SystemRoot%\\Temp\\removal-<16 hexadecimal digits> when its "
                             "uninstall entry started it; that folder is deleted at the next restart, which is not "
                             "asked for");
    else if (!library.empty())
        plan.notes.push_back("the script names the library " + library + " with a folder, which a copy of "
                             "setup.exe could not take along: the removal runs from the installed setup.exe");
}

// Each folder a copy goes to, made with the folders above it when missing.
void FoldersMade(const Queue& queue, PlanStep* step)
{
    std::set<std::string> seen;
    for (const PlanItem& copy : queue.copies) {
        if (copy.action != "copy") continue;
        const std::string dir = DirectoryOf(copy.fields[0].second);
        // From the first folder below a symbolic base (%ProgramFiles%) or a drive.
        size_t at = dir.size() > 0 && dir[0] == '%' ? dir.find('\\') : dir.find('\\', dir.find('\\') + 1);
        std::vector<std::string> chain;
        while (at != std::string::npos) {
            chain.push_back(dir.substr(0, at));
            at = dir.find('\\', at + 1);
        }
        chain.push_back(dir);
        for (const std::string& folder : chain)
            if (folder.find('\\') != std::string::npos && seen.insert(folder).second) {
                PlanItem item{"make-folder", copy.section, 0, {}, "when missing"};
                step->items.push_back(item.Field("path", folder));
            }
    }
}

// The folder of deleted files goes when nothing else is left in it; one
// that still holds a file waiting for the restart is removed at the
// restart on the NT family, and stays on Windows 9x.
void FoldersRemoved(const Queue& queue, bool nt, PlanStep* step)
{
    std::vector<std::string> folders;
    std::set<std::string> pending;  // folders holding a file deleted at the restart
    for (const PlanItem& item : queue.deletes) {
        const std::string dir = DirectoryOf(item.fields[0].second);
        if (std::find(folders.begin(), folders.end(), dir) == folders.end()) folders.push_back(dir);
        if (item.fields[1].second != "now") pending.insert(dir);
    }
    for (const std::string& dir : folders) {
        PlanItem item{"remove-folder", "", 0, {}, ""};
        item.Field("path", dir);
        const bool waits = pending.count(dir) > 0;
        item.Field("when", !waits ? "now" : nt ? "at the next restart" : "never");
        item.note = !waits ? "when nothing else is left in it"
                    : nt   ? "when nothing but the files waiting for the restart is left in it"
                           : "it holds a file waiting for the restart, and Windows 9x removes no folder then: it stays";
        step->items.push_back(item);
    }
}

// After a removal's deletions, the folders of the target's sub-directory
// path (DefaultDestDir 24,Vantor\Modem Tools: Modem Tools, then Vantor) go
// when empty, deepest first, never the base folder above them. One that
// holds only what waits for the restart goes at the restart (NT family;
// Windows 9x leaves it, and the folders above it).
void SubDirectoryFoldersRemoved(const PlanBuild& build, PlanStep* step)
{
    const InfLine* line = build.Key("DestinationDirs", "DefaultDestDir");
    if (!line) return;
    bool waiting = false;  // the folder below waits for the restart
    for (const std::string& folder : SubDirectoryFolders(build.plan.target.c_str(), build.Field(*line, 2).c_str())) {
        const PlanItem* listed = nullptr;
        for (const PlanItem& item : step->items)
            if (item.action == "remove-folder" && SameName(item.fields[0].second, folder)) listed = &item;
        if (listed) {
            waiting = listed->fields[1].second != "now";
            if (listed->fields[1].second == "never") return;
            continue;
        }
        const bool nt = build.Version().nt;
        PlanItem item{"remove-folder", "DestinationDirs", line->number, {}, ""};
        item.Field("path", folder).Field("when", !waiting ? "now" : nt ? "at the next restart" : "never");
        item.note = !waiting ? "a folder of the target's path, when nothing else is left in it"
                    : nt     ? "a folder of the target's path, when nothing but what waits for the restart is left in it"
                             : "a folder of the target's path: Windows 9x removes no folder at the restart, so it stays";
        step->items.push_back(item);
        if (waiting && !nt) return;
    }
}

}  // namespace

void PlanFileQueue(PlanBuild& build, PlanStep* step)
{
    Queue queue;
    for (const std::string& section : build.plan.runSections) QueueSection(build, section, &queue);
    MarkRunningProgram(build, &queue);
    step->items.insert(step->items.end(), queue.deletes.begin(), queue.deletes.end());
    FoldersRemoved(queue, build.Version().nt, step);
    if (build.Removing()) SubDirectoryFoldersRemoved(build, step);
    step->items.insert(step->items.end(), queue.renames.begin(), queue.renames.end());
    FoldersMade(queue, step);
    step->items.insert(step->items.end(), queue.copies.begin(), queue.copies.end());
    if (!queue.copies.empty())
        step->note = "a file is copied unless the one in its place has a newer version";
}
