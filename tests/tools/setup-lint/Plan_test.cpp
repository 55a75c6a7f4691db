// "setup-lint --plan" on a test script (plan-medium/setup.inf, with the
// cabinet tools.cab made by the build): the start-up, the run's phases of
// an installation and a removal, another Windows version's sections, and
// the JSON document.
#include "JsonParse.h"
#include "PlanBuild.h"
#include "PlanJson.h"
#include "PlanOptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const std::string kMedium = PLAN_MEDIUM;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The plan of the test medium for the command-line options `args`, with
// the medium's setup.inf or the script `text`.
Plan PlanFor(std::vector<std::string> args, const std::string& text = "")
{
    args.insert(args.begin(), {"setup-lint", "--plan", kMedium});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    PlanOptions options;
    std::string error;
    EXPECT_TRUE(ParsePlanOptions(static_cast<int>(argv.size()), argv.data(), &options, &error)) << error;
    const Medium medium(kMedium);
    return MakePlan(ParseInf(text.empty() ? ReadAll(kMedium + "/setup.inf") : text), "setup.inf", medium, options);
}

const PlanStep& StepOf(const Plan& plan, const std::string& phase, int level = -1)
{
    for (const PlanStep& step : plan.steps)
        if (step.phase == phase && step.level == level) return step;
    static const PlanStep none;
    ADD_FAILURE() << "no step " << phase;
    return none;
}

std::string FieldOf(const PlanItem& item, const std::string& name)
{
    for (const auto& field : item.fields)
        if (field.first == name) return field.second;
    return "(none)";
}

// "action first-field" of every item of `step`, in order.
std::vector<std::string> Summary(const PlanStep& step)
{
    std::vector<std::string> lines;
    for (const PlanItem& item : step.items)
        lines.push_back(item.action + " " + (item.fields.empty() ? "" : item.fields[0].second));
    return lines;
}

const PlanProduct& ProductOf(const Plan& plan, const std::string& key)
{
    for (const PlanProduct& product : plan.products)
        if (product.key == key) return product;
    static const PlanProduct none;
    ADD_FAILURE() << "no product " << key;
    return none;
}

const std::string kTarget = "%ProgramFiles%\\Acme\\Tools";
const std::string kBin = kTarget + "\\Bin";

const std::string kRunningReason =
    "the removal deletes the running " + kTarget + "\\setup.exe (when started from its uninstall entry)";

// "path when" of every remove-folder item of the file queue.
std::vector<std::string> RemovedFolders(const Plan& plan)
{
    std::vector<std::string> folders;
    for (const PlanItem& item : StepOf(plan, "files").items)
        if (item.action == "remove-folder") folders.push_back(FieldOf(item, "path") + " " + FieldOf(item, "when"));
    return folders;
}

// "target when" of the deletion of the installed setup.exe; every other
// deletion of the file queue must be done at once.
std::vector<std::string> RunningProgram(const Plan& plan)
{
    std::vector<std::string> running;
    for (const PlanItem& item : StepOf(plan, "files").items) {
        if (item.action != "delete") continue;
        if (FieldOf(item, "target") == kTarget + "\\setup.exe")
            running.push_back(FieldOf(item, "target") + " " + FieldOf(item, "when"));
        else
            EXPECT_EQ("now", FieldOf(item, "when")) << FieldOf(item, "target");
    }
    return running;
}

bool NoteAbout(const Plan& plan, const std::string& text)
{
    for (const std::string& note : plan.notes)
        if (note.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(PlanStart, OffersProductsByFlagsAndConditions)
{
    const Plan plan = PlanFor({});
    EXPECT_EQ("Install.NT", plan.installSection);
    EXPECT_EQ("Remove.NT", plan.removeSection);
    EXPECT_TRUE(ProductOf(plan, "Tool").selected);
    EXPECT_TRUE(ProductOf(plan, "Extra").listed);
    EXPECT_FALSE(ProductOf(plan, "Extra").selected) << "not checked by default";
    EXPECT_EQ("asked", ProductOf(plan, "Extra").conditions.outcome) << "checks.dll answers only when setup.exe runs";
    EXPECT_FALSE(ProductOf(plan, "Hidden").listed);
    EXPECT_FALSE(ProductOf(plan, "Blocked").listed);
    EXPECT_NE(std::string::npos, ProductOf(plan, "Blocked").note.find("absent.dll"));
    EXPECT_EQ(std::vector<std::string>({"Tool"}), plan.productList);
    EXPECT_EQ(std::vector<std::string>({"Install.NT", "Install.Tool"}), plan.runSections);
    EXPECT_EQ(kTarget, plan.target);
    // Extra's plug-in is asked although Extra is not selected: it is offered.
    ASSERT_EQ(1u, plan.plugins.size());
    EXPECT_EQ("fast", plan.plugins[0].parameter);
    EXPECT_EQ("plugin-pages", plan.pages.front().page) << "level 0 pages may replace the welcome page";
}

TEST(PlanStart, SelectionAndStops)
{
    const Plan chosen = PlanFor({"--select", "extra,Nope"});
    EXPECT_EQ(std::vector<std::string>({"Extra"}), chosen.productList);
    EXPECT_EQ(std::vector<std::string>({"Install.NT", "Install.Extra"}), chosen.runSections);
    bool named = false;
    for (const std::string& note : chosen.notes) named = named || note.find("\"Nope\" is not an offered") == 0;
    EXPECT_TRUE(named);
    EXPECT_TRUE(chosen.restartReasons.empty());
    EXPECT_EQ(0, chosen.exitCode);

    // Conditions of the install section that are known to fail end setup.exe.
    const std::string script = ReadAll(kMedium + "/setup.inf");
    std::string blocked = script;
    blocked.replace(blocked.find("[Install.NT]\n"), 13, "[Install.NT]\nConditions = NeedsMissing\n");
    PlanOptions options;
    const Plan stopped = MakePlan(ParseInf(blocked), "setup.inf", Medium(kMedium), options);
    EXPECT_FALSE(stopped.runs);
    EXPECT_TRUE(stopped.steps.empty());
    EXPECT_EQ(1603, stopped.exitCode);
}

TEST(PlanInstall, FilesInTheQueuesOrder)
{
    const Plan plan = PlanFor({});
    const PlanStep& files = StepOf(plan, "files");
    EXPECT_EQ(3, files.status);
    EXPECT_EQ(std::vector<std::string>({"delete " + kTarget + "\\old.txt", "remove-folder " + kTarget,
                                        "make-folder %ProgramFiles%\\Acme", "make-folder " + kTarget,
                                        "make-folder " + kBin, "copy " + kTarget + "\\setup.exe",
                                        "copy " + kTarget + "\\setup.inf", "copy " + kBin + "\\tool.dll",
                                        "copy " + kBin + "\\tool.cfg", "copy " + kTarget + "\\readme.txt"}),
              Summary(files));
    EXPECT_EQ("tools.cab", FieldOf(files.items[7], "cabinet"));
    EXPECT_EQ("readme.txt", FieldOf(files.items[9], "medium"));
    EXPECT_EQ("0x00000010", FieldOf(files.items[8], "flags"));
    EXPECT_NE(std::string::npos, files.items[8].note.find("not copied when the file exists"));
}

TEST(PlanInstall, EntriesServicesShortcutsAndPrograms)
{
    const Plan plan = PlanFor({});
    EXPECT_EQ(std::vector<std::string>({"ini-write " + kTarget + "\\acme.ini",
                                        "set-value HKLM\\Software\\Acme\\Tool", "set-value HKLM\\Software\\Acme\\Tool",
                                        "set-value HKCU\\Software\\Acme\\Tool"}),
              Summary(StepOf(plan, "entries")));
    const PlanStep& entries = StepOf(plan, "entries");
    EXPECT_EQ("Mode", FieldOf(entries.items[0], "entry"));
    EXPECT_EQ("fast", FieldOf(entries.items[0], "data"));
    EXPECT_EQ(kBin, FieldOf(entries.items[1], "data"));
    EXPECT_EQ("REG_DWORD", FieldOf(entries.items[2], "type"));
    EXPECT_EQ("3", FieldOf(entries.items[2], "data"));
    EXPECT_EQ(std::string("a.txt\0b.txt\0", 12), FieldOf(entries.items[3], "data"));

    EXPECT_EQ(std::vector<std::string>({"stop-service AcmeSvc"}), Summary(StepOf(plan, "stop-services")));
    const PlanStep& services = StepOf(plan, "services");
    EXPECT_EQ(std::vector<std::string>({"create-service AcmeSvc", "group-order AcmeGroup"}), Summary(services));
    EXPECT_EQ(kBin + "\\tool.exe", FieldOf(services.items[0], "binary"));
    EXPECT_EQ("Tcpip, Afd", FieldOf(services.items[0], "dependencies"));
    EXPECT_EQ(std::vector<std::string>({"start-service AcmeSvc"}), Summary(StepOf(plan, "start-services")));

    const PlanStep& shortcuts = StepOf(plan, "shortcuts");
    EXPECT_EQ(std::vector<std::string>({"make-folder {Common Programs}\\Acme",
                                        "create-shortcut {Common Programs}\\Acme\\Acme Tool.lnk",
                                        "create-shortcut {Desktop}\\Acme Tool.lnk"}),
              Summary(shortcuts));
    EXPECT_EQ(kBin, FieldOf(shortcuts.items[1], "workingDir"));
    EXPECT_EQ("/start", FieldOf(shortcuts.items[1], "arguments"));
    EXPECT_EQ(kBin + "\\tool.dll,1", FieldOf(shortcuts.items[1], "icon"));

    EXPECT_EQ(std::vector<std::string>({"run " + kBin + "\\prepare.exe"}), Summary(StepOf(plan, "exec", 1)));
    EXPECT_EQ("no", FieldOf(StepOf(plan, "exec", 2).items.at(0), "wait"));
    EXPECT_EQ(std::vector<std::string>({"run " + kTarget + "\\readme.txt"}), Summary(StepOf(plan, "exec", 3)));
    EXPECT_EQ(std::vector<std::string>({"add-firewall-entry " + kBin + "\\tool.exe"}), Summary(StepOf(plan, "firewall")));
    EXPECT_EQ(std::vector<std::string>({"set-security " + kBin}), Summary(StepOf(plan, "file-security")));

    // The phases in the run's order, with the plug-in levels 0, 1, 2, 4, 3, 5.
    std::vector<std::string> order;
    for (const PlanStep& step : plan.steps)
        order.push_back(step.phase + (step.level >= 0 ? std::to_string(step.level) : ""));
    EXPECT_EQ(std::vector<std::string>({"exec1", "plugin-steps0", "stop-services", "plugin-steps1", "files",
                                        "plugin-steps2", "entries", "firewall", "file-security", "plugin-steps4",
                                        "services", "plugin-steps3", "shortcuts", "plugin-steps5", "start-services",
                                        "exec2", "exec3"}),
              order);
}

TEST(PlanInstall, UninstallEntriesRestartAndEnd)
{
    const Plan plan = PlanFor({"--target", "  D:\\Acme\\\\ "});
    EXPECT_EQ("D:\\Acme", plan.target) << "trimmed as the target page stores it";
    EXPECT_EQ("D:\\Acme\\setup.exe", plan.setupPath);
    ASSERT_EQ(2u, plan.uninstallWrites.size());
    const PlanUninstallEntry& tool = plan.uninstallWrites[0];
    EXPECT_EQ("product", tool.kind);
    std::vector<std::string> values;
    for (const PlanValue& value : tool.values) values.push_back(value.name + "=" + value.data);
    EXPECT_EQ(std::vector<std::string>({"DisplayName=Acme Tool", "UninstallString=\"D:\\Acme\\setup.exe\" /remove:Tool",
                                        "ProductVersion=2.0.1", "DisplayVersion=2.0.1",
                                        std::string("UserTargetDir=D:\\Acme\0D:\\Acme\\Bin\0", 34),
                                        "QuietUninstallString=\"D:\\Acme\\setup.exe\" /remove:Tool /quiet",
                                        "InstallLocation=D:\\Acme", "NoModify=1", "NoRepair=1"}),
              values)
        << "no Publisher or HelpLink: the stand-in setup.exe has no texts";
    EXPECT_EQ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Suite", plan.uninstallWrites[1].key);

    EXPECT_EQ(std::vector<std::string>({"product Tool has the restart flag 4"}), plan.restartReasons);
    EXPECT_EQ(3010, plan.exitCode);
    EXPECT_EQ("D:\\Acme\\readme.txt", FieldOf(plan.startApp, "program"));
    EXPECT_NE(std::string::npos, plan.startApp.note.find("run once at the next log-on"));
}

TEST(PlanRemove, LastProductOrNot)
{
    const Plan one = PlanFor({"--remove", "Tool"});
    EXPECT_EQ(std::vector<std::string>({"Remove.Tool"}), one.runSections) << "the other products stay installed";
    EXPECT_EQ(std::vector<std::string>({"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"}),
              one.uninstallDeletes);
    // The shared AddReg section: only the line without flags is deleted.
    EXPECT_EQ(std::vector<std::string>({"delete-value HKLM\\Software\\Acme\\Tool", "skip HKLM\\Software\\Acme\\Tool",
                                        "skip HKCU\\Software\\Acme\\Tool"}),
              Summary(StepOf(one, "entries")));
    EXPECT_EQ(std::vector<std::string>({"delete-service AcmeSvc"}), Summary(StepOf(one, "services")));
    EXPECT_EQ(std::vector<std::string>({"delete-shortcut {Common Programs}\\Acme\\Acme Tool.lnk",
                                        "remove-folder {Common Programs}\\Acme", "delete-shortcut {Desktop}\\Acme Tool.lnk"}),
              Summary(StepOf(one, "shortcuts")));
    EXPECT_EQ(std::vector<std::string>({"remove-firewall-entry " + kBin + "\\tool.exe"}), Summary(StepOf(one, "firewall")));

    const Plan all = PlanFor({"--remove", "Tool,Extra,Hidden,Blocked"});
    EXPECT_EQ(std::vector<std::string>({"Remove.Tool", "Remove.Extra", "Remove.Hidden", "Remove.NT"}), all.runSections);
    // setup.exe removes itself from a copy, which moves the running program
    // out of the way: it, its folder and the folder of the target's path
    // above it (not the base) go at once, and the restart is asked for by
    // Tool's flag alone.
    EXPECT_EQ(std::vector<std::string>({kBin + " now", kTarget + " now", "%ProgramFiles%\\Acme now"}),
              RemovedFolders(all));
    EXPECT_EQ(std::vector<std::string>({kTarget + "\\setup.exe now"}), RunningProgram(all));
    EXPECT_EQ(std::vector<std::string>({"product Tool has the restart flag 4"}), all.restartReasons);
    EXPECT_TRUE(NoteAbout(all, "removal-<16 hexadecimal digits>"));

    // Windows 9x makes no copy: the running setup.exe waits for the restart,
    // and, as Windows 9x removes no folder then, the target and its path stay.
    const Plan me = PlanFor({"--remove", "Tool,Extra,Hidden,Blocked", "--windows", "4.90"});
    EXPECT_EQ(std::vector<std::string>({kBin + " now", kTarget + " never"}), RemovedFolders(me));
    EXPECT_EQ(std::vector<std::string>({kTarget + "\\setup.exe at the next restart"}), RunningProgram(me));
    EXPECT_EQ(std::vector<std::string>({kRunningReason, "product Tool has the restart flag 4"}), me.restartReasons);
    EXPECT_FALSE(NoteAbout(me, "removal-<16 hexadecimal digits>"));
}

// A library the script names with a folder cannot come along into a copy:
// that removal runs from the installed setup.exe, which, with its folders,
// waits for the restart.
TEST(PlanRemove, NoCopyForALibraryWithAFolder)
{
    std::string script = ReadAll(kMedium + "/setup.inf");
    const size_t at = script.find("Plugins = extra.dll:undo");
    ASSERT_NE(std::string::npos, at);
    script.replace(at, 24, "Plugins = lib\\extra.dll:undo");
    const Plan all = PlanFor({"--remove", "Tool,Extra,Hidden,Blocked"}, script);
    EXPECT_EQ(std::vector<std::string>({kBin + " now", kTarget + " at the next restart",
                                        "%ProgramFiles%\\Acme at the next restart"}),
              RemovedFolders(all));
    EXPECT_EQ(std::vector<std::string>({kTarget + "\\setup.exe at the next restart"}), RunningProgram(all));
    EXPECT_EQ(std::vector<std::string>({kRunningReason, "product Tool has the restart flag 4"}), all.restartReasons);
    EXPECT_TRUE(NoteAbout(all, "the library lib\\extra.dll with a folder"));
    EXPECT_FALSE(NoteAbout(all, "removal-<16 hexadecimal digits>"));
}

TEST(PlanLimits, RefusedKeysTargetsAndFields)
{
    const Plan foreign = PlanFor({"--remove", "Other"});
    EXPECT_FALSE(foreign.runs) << "a key the script does not list is refused";
    EXPECT_EQ(1603, foreign.exitCode);
    EXPECT_TRUE(foreign.uninstallDeletes.empty());
    EXPECT_TRUE(PlanFor({"--remove", "suite"}).runs) << "the install section's Uninstall key is the script's";
    EXPECT_FALSE(PlanFor({"--remove", "Tool\\..\\Other"}).runs);

    // A network path is refused like a relative one: its permissions are the share's.
    for (const char* target : {"Acme", "C:\\", "  \\\\ ", "\\\\server\\share\\Acme"})
        EXPECT_FALSE(PlanFor({"--target", target}).runs) << target;
    EXPECT_TRUE(PlanFor({"--target", "D:\\Acme Tools"}).runs);

    // Programs, paths and shortcut names that do not fit are refused, not cut:
    // the long target directory makes %32769% longer than 255 characters.
    const Plan longPaths = PlanFor({"--target", "D:\\" + std::string(250, 'x')});
    EXPECT_EQ("skip", StepOf(longPaths, "exec", 1).items.at(0).action);
    EXPECT_EQ("skip", StepOf(longPaths, "file-security").items.at(0).action);
    EXPECT_NE(std::string::npos, longPaths.runFailure.find("AcmeSvc")) << "its program path is too long";
    EXPECT_EQ(1603, longPaths.exitCode);
    EXPECT_EQ("services", longPaths.steps.back().phase) << "no phase after the failing one";
    // Without services (Windows Me) the run reaches the shortcuts.
    const Plan longShortcuts = PlanFor({"--windows", "4.90", "--target", "D:\\" + std::string(250, 'x')});
    EXPECT_EQ(std::vector<std::string>({"skip {Common Programs}\\Acme\\Acme Tool.lnk", "skip {Desktop}\\Acme Tool.lnk"}),
              Summary(StepOf(longShortcuts, "shortcuts")));
}

TEST(PlanWindows9x, OtherSectionsNoServices)
{
    const Plan plan = PlanFor({"--windows", "4.10"});
    EXPECT_EQ("Install.Win", plan.installSection);
    EXPECT_EQ(std::vector<std::string>({"Install.Win", "Install.Tool"}), plan.runSections);
    EXPECT_TRUE(StepOf(plan, "stop-services").items.empty());
    EXPECT_TRUE(StepOf(plan, "services").items.empty());
    EXPECT_NE(std::string::npos, StepOf(plan, "services").note.find("no services"));
    const PlanStep& entries = StepOf(plan, "entries");
    EXPECT_EQ("win.ini", FieldOf(entries.items.at(0), "file"));
    EXPECT_NE(std::string::npos, entries.items.at(0).note.find("%windir%"));
    EXPECT_EQ("%windir%\\system", SystemDirectoryPath(11, plan.options.version));
}

TEST(PlanOutput, JsonDocumentAndOptions)
{
    std::string error;
    for (const char* windows : {"10.0", "4.90"})
        EXPECT_TRUE(ParseJson(PlanAsJson(PlanFor({"--windows", windows})), &error)) << windows << ": " << error;
    const Plan plan = PlanFor({"--remove", "Tool", "--format", "json"});
    const std::optional<Json> document = ParseJson(PlanAsJson(plan), &error);
    ASSERT_TRUE(document) << error;
    EXPECT_EQ("remove", TextOf(*document, "mode"));
    const Json& steps = MemberOf(*document, "steps");
    ASSERT_EQ(plan.steps.size(), steps.items.size());
    const Json* entries = nullptr;
    for (const Json& step : steps.items)
        if (TextOf(step, "phase") == "entries") entries = &step;
    ASSERT_NE(nullptr, entries);
    const Json& deleted = MemberOf(*entries, "items").items.at(0);
    EXPECT_EQ("delete-value", TextOf(deleted, "action"));
    EXPECT_EQ("Tool.Reg", TextOf(deleted, "section"));
    EXPECT_EQ("Path", TextOf(deleted, "value"));
    // The DelReg warning is among the problems, on the line with the flags.
    bool warned = false;
    for (const Json& problem : MemberOf(*document, "problems").items)
        warned = warned || TextOf(problem, "text").find("AddReg flags 0x00010001") != std::string::npos;
    EXPECT_TRUE(warned);

    PlanOptions options;
    std::string why;
    std::vector<std::string> bad[] = {{"--plan", "m", "--windows", "5.2"}, {"--plan", "m", "--select", "a", "--remove", "b"},
                                      {"--plan", "--target"}, {"--plan"}, {"--plan", "m", "--newer", "yes"}};
    for (std::vector<std::string>& args : bad) {
        args.insert(args.begin(), "setup-lint");
        std::vector<char*> argv;
        std::string shown;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
            shown += " " + arg;
        }
        EXPECT_FALSE(ParsePlanOptions(static_cast<int>(argv.size()), argv.data(), &options, &why)) << shown;
    }
}

// --newer plans the answer of /newer: to the newer-version question, for
// the install section's version and the products' own.
TEST(Plan, NewerAnswerOfTheCommandLine)
{
    const Plan asked = PlanFor({});
    ASSERT_EQ("ask-newer-version", asked.newerVersionCheck.action);
    EXPECT_NE(std::string::npos, asked.newerVersionCheck.note.find("asks whether to replace it"));
    const Plan replaced = PlanFor({"--newer", "replace"});
    EXPECT_NE(std::string::npos, replaced.newerVersionCheck.note.find("replaces it without asking"));
    const Plan kept = PlanFor({"--newer", "keep"});
    EXPECT_NE(std::string::npos, kept.newerVersionCheck.note.find("ends with 1638"));
    bool askedUnchecked = false;
    for (const PlanProduct& product : asked.products)
        askedUnchecked = askedUnchecked || product.note.find("left unchecked") != std::string::npos;
    EXPECT_TRUE(askedUnchecked);
    for (const PlanProduct& product : replaced.products)
        EXPECT_EQ(std::string::npos, product.note.find("left unchecked")) << product.key;
}
