// Plan against reality: the plans "setup-lint --plan" made of the shipped
// medium (an installation with --target, and a removal), compared item for
// item with what a real "setup.exe /quiet" installation and the removal by
// its uninstall entry did under Wine: files and folders, registry values,
// shortcuts with their targets, the uninstall entry's values, the files
// left for the restart (the removal's copy among them) and the exit codes. Both directions count: nothing
// the plan names may be missing, and nothing it does not name may appear.
// The installation log of each run (/log:) names the plan's items, as often
// as the plan does, and says of each copy and deletion what really became
// of it.
//
// usage: plan_reality_test MEDIUM-FOLDER INSTALL-PLAN.json REMOVE-PLAN.json
#include "JsonParse.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

using testsupport::ChildProcess;
using testsupport::FileExists;

namespace {

std::string g_medium;
Json g_install, g_remove;
constexpr DWORD kRunMs = 60000;

std::string Lower(std::string text)
{
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Every item of every step of `plan`, with its phase.
std::vector<std::pair<std::string, const Json*>> Items(const Json& plan)
{
    std::vector<std::pair<std::string, const Json*>> items;
    for (const Json& step : MemberOf(plan, "steps").items)
        for (const Json& item : MemberOf(step, "items").items) items.emplace_back(TextOf(step, "phase"), &item);
    return items;
}

HKEY RootOf(const std::string& key, std::string* subKey)
{
    const size_t slash = key.find('\\');
    const std::string root = Lower(key.substr(0, slash));
    *subKey = slash == std::string::npos ? "" : key.substr(slash + 1);
    if (root == "hklm") return HKEY_LOCAL_MACHINE;
    if (root == "hkcu") return HKEY_CURRENT_USER;
    if (root == "hkcr") return HKEY_CLASSES_ROOT;
    return HKEY_USERS;
}

// The values of a registry key as the plan writes them: name -> "TYPE data"
// (a DWORD in decimal, a multi-string as its strings each ended by NUL).
std::map<std::string, std::string> ValuesOf(const std::string& key, bool* exists)
{
    std::map<std::string, std::string> values;
    std::string subKey;
    HKEY root = RootOf(key, &subKey), handle;
    *exists = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (!*exists) return values;
    for (DWORD index = 0;; ++index) {
        char name[512];
        BYTE data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(handle, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::string text(reinterpret_cast<char*>(data), dataSize);
        if (type == REG_DWORD) text = std::to_string(*reinterpret_cast<DWORD*>(data));
        else if (type == REG_SZ || type == REG_EXPAND_SZ) text = text.substr(0, text.find('\0'));
        else if (type == REG_MULTI_SZ && text.size() >= 2 && text.compare(text.size() - 2, 2, std::string(2, '\0')) == 0)
            text.pop_back();  // the list's final empty string
        const char* typeName = type == REG_SZ ? "REG_SZ" : type == REG_EXPAND_SZ ? "REG_EXPAND_SZ"
                               : type == REG_DWORD ? "REG_DWORD" : type == REG_MULTI_SZ ? "REG_MULTI_SZ" : "other";
        values[Lower(name)] = std::string(typeName) + " " + text;
    }
    RegCloseKey(handle);
    return values;
}

// "{Common Programs}\..." with the folder the shell folder values name (the
// machine's, else the user's of that kind).
std::string Resolve(const std::string& path)
{
    if (path.empty() || path[0] != '{') return path;
    const size_t close = path.find('}');
    const std::string name = path.substr(1, close - 1);
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name.c_str(), RRF_RT_REG_SZ, nullptr, folder, &size) != ERROR_SUCCESS) {
        size = sizeof folder;
        const std::string user = name.compare(0, 7, "Common ") == 0 ? name.substr(7) : name;
        RegGetValueA(HKEY_CURRENT_USER, key, user.c_str(), RRF_RT_REG_SZ, nullptr, folder, &size);
    }
    return folder + path.substr(close + 1);
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

ULONGLONG Ticks(const FILETIME& time) { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// The files (not folders) directly inside `folder`, lower-cased full paths,
// leaving out those made at or after `since` (a file time; 0: none).
std::set<std::string> FilesIn(const std::string& folder, ULONGLONG since = 0)
{
    std::set<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string path = Lower(folder + "\\" + found.cFileName);
        if (since != 0 && Ticks(found.ftCreationTime) >= since)
            std::printf("made by the program started at the end, not by setup.exe: %s\n", path.c_str());
        else
            files.insert(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

// What Windows deletes at the next restart (lower-cased paths).
std::set<std::string> DeletedAtRestart()
{
    std::set<std::string> paths;
    for (const testsupport::PendingOperation& operation : testsupport::PendingOperations()) {
        if (operation.target.empty())
            paths.insert(Lower(operation.source));
    }
    return paths;
}

struct Link
{
    std::string target, arguments, workingDir, icon;
};

bool ReadLink(const std::string& path, Link* link)
{
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    bool read = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shell)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            int icon = 0;
            shell->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
            link->target = text;
            shell->GetArguments(text, sizeof text);
            link->arguments = text;
            shell->GetWorkingDirectory(text, sizeof text);
            link->workingDir = text;
            shell->GetIconLocation(text, sizeof text, &icon);
            link->icon = text[0] ? std::string(text) + "," + std::to_string(icon) : "";
            read = true;
        }
        if (file) file->Release();
        shell->Release();
    }
    return read;
}

// The registry and uninstall values the plan leaves, per key (lower-cased):
// value name -> "TYPE data"; a key mapped to nothing is deleted.
std::map<std::string, std::map<std::string, std::string>> PlannedRegistry(const Json& plan)
{
    std::map<std::string, std::map<std::string, std::string>> keys;
    for (const Json& entry : MemberOf(MemberOf(plan, "uninstallEntries"), "write").items)
        for (const Json& value : MemberOf(entry, "values").items)
            keys[Lower(TextOf(entry, "key"))][Lower(TextOf(value, "name"))] =
                TextOf(value, "type") + " " + TextOf(value, "data");
    for (const auto& [phase, item] : Items(plan)) {
        const std::string action = TextOf(*item, "action"), key = Lower(TextOf(*item, "key"));
        if (action == "set-value")
            keys[key][Lower(TextOf(*item, "value"))] = TextOf(*item, "type") + " " + TextOf(*item, "data");
        else if (action == "delete-key")
            keys[key].clear();
        else if (action == "delete-value")
            keys[key].erase(Lower(TextOf(*item, "value")));
    }
    return keys;
}

void CompareRegistry(const Json& plan)
{
    for (const auto& [key, planned] : PlannedRegistry(plan)) {
        bool exists = false;
        const std::map<std::string, std::string> real = ValuesOf(key, &exists);
        EXPECT_EQ(planned, real) << key;
        if (planned.empty()) {
            EXPECT_FALSE(exists) << key << " is deleted";
        }
    }
    for (const Json& key : MemberOf(MemberOf(plan, "uninstallEntries"), "delete").items) {
        bool exists = true;
        ValuesOf(key.text, &exists);
        EXPECT_FALSE(exists) << key.text;
    }
}

// The installation: every copy and folder of the plan is there, nothing
// else is in those folders (but what the program started at the end made
// after `started`), and every shortcut points where the plan says.
void CompareInstalled(const Json& plan, ULONGLONG started)
{
    std::map<std::string, std::set<std::string>> planned;  // folder -> files
    for (const auto& [phase, item] : Items(plan)) {
        const std::string action = TextOf(*item, "action");
        const std::string first = Resolve(TextOf(*item, action == "make-folder" ? "path" : "target"));
        ASSERT_EQ(std::string::npos, first.find('%')) << "the plan names a folder symbolically: " << first;
        if (action == "copy") planned[Lower(DirectoryOf(first))].insert(Lower(first));
        if (action == "make-folder") {
            const std::string folder = Resolve(TextOf(*item, "path"));
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str())) << folder;
        }
        if (action == "create-shortcut") {
            const std::string path = Resolve(TextOf(*item, "path"));
            planned[Lower(DirectoryOf(path))].insert(Lower(path));
            Link link;
            ASSERT_TRUE(ReadLink(path, &link)) << path;
            EXPECT_EQ(TextOf(*item, "target"), link.target) << path;
            EXPECT_EQ(TextOf(*item, "arguments"), link.arguments) << path;
            EXPECT_EQ(TextOf(*item, "workingDir"), link.workingDir) << path;
            EXPECT_EQ(TextOf(*item, "icon"), link.icon) << path;
        }
    }
    for (const auto& [folder, files] : planned) EXPECT_EQ(files, FilesIn(folder, started)) << folder;
    CompareRegistry(plan);
}

// The folders of removal copies in the Windows folder's Temp, and the files
// in them (lower-cased full paths).
std::set<std::string> RemovalCopies()
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string temp = std::string(windows) + "\\Temp";
    std::set<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp + "\\removal-*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string folder = temp + "\\" + found.cFileName;
        paths.insert(Lower(folder));
        const std::set<std::string> files = FilesIn(folder);
        paths.insert(files.begin(), files.end());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return paths;
}

// The removal: what the plan deletes now is gone, what it leaves for the
// restart waits for it, and nothing else is left in the emptied folders.
// Nothing else waits for the restart either, but for a removal that runs
// from a copy (a note of the plan says so) the copy's folder and its files.
void CompareRemoved(const Json& plan)
{
    const std::set<std::string> pending = DeletedAtRestart();
    std::set<std::string> unplanned = pending;
    std::map<std::string, std::set<std::string>> waiting;  // folder -> files left for the restart
    for (const auto& [phase, item] : Items(plan)) {
        const std::string action = TextOf(*item, "action");
        if (action == "delete" || action == "delete-shortcut" || action == "remove-folder") {
            const std::string path = Resolve(TextOf(*item, action == "delete" ? "target" : "path"));
            const bool now = TextOf(*item, "when") != "at the next restart";
            if (now) {
                EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path << " is gone";
            } else {
                EXPECT_TRUE(pending.count(Lower(path))) << path << " is deleted at the restart";
                unplanned.erase(Lower(path));
                if (action == "delete") waiting[Lower(DirectoryOf(path))].insert(Lower(path));
            }
            if (action == "remove-folder" && !now) waiting[Lower(path)];
        }
    }
    for (const auto& [folder, files] : waiting) EXPECT_EQ(files, FilesIn(folder)) << folder;
    bool copied = false;
    for (const Json& note : MemberOf(plan, "notes").items)
        copied = copied || note.text.find("removal-<16 hexadecimal digits>") != std::string::npos;
    const std::set<std::string> copies = RemovalCopies();
    EXPECT_EQ(copied, !copies.empty()) << "a removal copy's folder is left as the plan says";
    EXPECT_EQ(copied ? copies : std::set<std::string>(), unplanned) << "what waits for the restart";
    CompareRegistry(plan);
}

// When the process that shows `window` started (a file time), 0 when unknown.
ULONGLONG StartOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    FILETIME created = {}, exited, kernel, user;
    const bool known = process && GetProcessTimes(process, &created, &exited, &kernel, &user);
    if (process) CloseHandle(process);
    return known ? Ticks(created) : 0;
}

// Runs `command` (a program path, quoted when it holds blanks, and
// arguments) and returns its exit code. With `startsProgram`, the program
// the run started at its end is closed as a user would, and `started` gets
// its start time.
DWORD RunSetup(const std::string& command, const std::string& folder, bool startsProgram, ULONGLONG* started = nullptr)
{
    ChildProcess child;
    EXPECT_TRUE(child.Start(command, folder)) << command;
    DWORD exitCode = 1;
    EXPECT_TRUE(child.Wait(kRunMs, &exitCode)) << command;
    if (startsProgram) {
        HWND wizard = uidriver::WaitForWizard(0, 20000);
        EXPECT_NE(nullptr, wizard) << "the installation did not start the program of StartApp";
        if (wizard && started) *started = StartOf(wizard);
        if (wizard) {
            EXPECT_TRUE(uidriver::CancelAndWaitForEnd(wizard, kRunMs));
        }
    }
    return exitCode;
}

// The action words of setup-lint's plan; a log line whose first word is one
// of them names an item. Other lines (the header, restart reasons, the
// exit) say what they are.
const std::set<std::string> kPlanActions = {
    "run", "plugin-steps", "stop-service", "delete-service", "start-service", "create-service", "group-order",
    "delete", "remove-folder", "rename", "make-folder", "copy", "ini-write", "ini-fields", "ini-to-registry",
    "set-value", "append-strings", "delete-string", "delete-value", "delete-key", "create-key", "add-firewall-entry",
    "remove-firewall-entry", "set-security", "create-shortcut", "delete-shortcut", "skip", "start-program"};

struct LogLine
{
    std::string action, subject, detail;
};

// The lines "HH:MM:SS word subject[  detail]" of a log; the subject ends at
// the first two blanks.
std::vector<LogLine> LogLines(const std::string& text)
{
    std::vector<LogLine> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() < 10 || line[2] != ':' || line[5] != ':' || line[8] != ' ') {
            ADD_FAILURE() << "a log line without its time: " << line;
            continue;
        }
        const std::string rest = line.substr(9);
        const size_t blank = rest.find(' ');
        const std::string tail = blank == std::string::npos ? "" : rest.substr(blank + 1);
        const size_t two = tail.find("  ");
        lines.push_back(
            {rest.substr(0, blank), tail.substr(0, two), two == std::string::npos ? "" : tail.substr(two + 2)});
    }
    return lines;
}

// What the plan says the run does, as "action|subject" (lower-cased, real
// paths): the uninstall values written or keys deleted, every item of the
// run's phases (but folders made "when missing" that `existed` before the
// run) and the program started at the end.
std::vector<std::string> PlannedItems(const Json& plan, const std::set<std::string>& existed)
{
    std::vector<std::string> items;
    const Json& entries = MemberOf(plan, "uninstallEntries");
    for (const Json& entry : MemberOf(entries, "write").items)
        for (size_t value = 0; value < MemberOf(entry, "values").items.size(); ++value)
            items.push_back("set-value|" + Lower(TextOf(entry, "key")));
    for (const Json& key : MemberOf(entries, "delete").items) items.push_back("delete-key|" + Lower(key.text));
    for (const auto& [phase, item] : Items(plan)) {
        const std::string action = TextOf(*item, "action");
        const std::string subject = Lower(Resolve(item->members.at(3).second.text));  // after action, section, line
        if (action == "make-folder" && existed.count(subject)) continue;
        items.push_back(action + "|" + subject);
    }
    const Json& start = MemberOf(plan, "startProgram");
    if (start.kind == Json::Kind::Object) items.push_back("start-program|" + Lower(TextOf(start, "program")));
    std::sort(items.begin(), items.end());
    return items;
}

// The folders the plan makes when missing that are there already.
std::set<std::string> ExistingFolders(const Json& plan)
{
    std::set<std::string> folders;
    for (const auto& [phase, item] : Items(plan)) {
        const std::string path = Resolve(TextOf(*item, "path"));
        if (TextOf(*item, "action") == "make-folder" && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            folders.insert(Lower(path));
    }
    return folders;
}

// The planned copies' targets that are there before the run.
std::set<std::string> ExistingTargets(const Json& plan)
{
    std::set<std::string> targets;
    for (const auto& [phase, item] : Items(plan)) {
        const std::string target = TextOf(*item, "target");
        if (TextOf(*item, "action") == "copy" && GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES)
            targets.insert(Lower(target));
    }
    return targets;
}

// The installation log of a run against its plan and against what the run
// did: the same items; each copy "new", or "replaced" when its target was
// among `targetsBefore`; each deletion "now" when the file is gone, "at the
// next restart" when it waits for it; restart reasons exactly when the exit
// code asks for a restart; the exit line last.
void CompareLog(const Json& plan, const std::string& logPath, DWORD exitCode,
                const std::set<std::string>& foldersBefore, const std::set<std::string>& targetsBefore)
{
    bool read = false;
    const std::string text = testsupport::ReadFileBytes(logPath, &read);
    ASSERT_TRUE(read) << logPath;
    SCOPED_TRACE(text);
    const std::vector<LogLine> lines = LogLines(text);
    ASSERT_FALSE(lines.empty());
    const std::set<std::string> pending = DeletedAtRestart();
    std::vector<std::string> logged;
    int reasons = 0;
    for (const LogLine& line : lines) {
        reasons += line.action == "restart-needed";
        if (!kPlanActions.count(line.action)) continue;
        logged.push_back(line.action + "|" + Lower(line.subject));
        const std::string subject = Lower(line.subject);
        if (line.action == "copy") {
            EXPECT_EQ(targetsBefore.count(subject) ? "replaced" : "new", line.detail) << line.subject;
        }
        if (line.action == "delete") {
            const bool gone = GetFileAttributesA(line.subject.c_str()) == INVALID_FILE_ATTRIBUTES;
            EXPECT_EQ(gone ? "now" : "at the next restart (in use)", line.detail) << line.subject;
            EXPECT_EQ(!gone, pending.count(subject) > 0) << line.subject;
        }
    }
    std::sort(logged.begin(), logged.end());
    const std::vector<std::string> planned = PlannedItems(plan, foldersBefore);
    std::vector<std::string> missing, extra;
    std::set_difference(planned.begin(), planned.end(), logged.begin(), logged.end(), std::back_inserter(missing));
    std::set_difference(logged.begin(), logged.end(), planned.begin(), planned.end(), std::back_inserter(extra));
    for (const std::string& item : missing) ADD_FAILURE() << "planned, not in the log: " << item;
    for (const std::string& item : extra) ADD_FAILURE() << "in the log, not planned: " << item;
    EXPECT_EQ(exitCode == 3010 || exitCode == 1641, reasons > 0) << "restart reasons against exit code " << exitCode;
    EXPECT_EQ("exit", lines.back().action);
    EXPECT_EQ(0u, lines.back().subject.find(std::to_string(exitCode) + " (")) << lines.back().subject;
}

}  // namespace

TEST(PlanAgainstReality, ShippedMediumInstalledAndRemoved)
{
    ASSERT_TRUE(MemberOf(g_install, "runs").boolean);
    const std::string medium = testsupport::RunDir() + "\\medium";
    CreateDirectoryA(medium.c_str(), nullptr);
    for (const char* file : {"setup.exe", "setup.inf", "mdmprobe.cab"})
        ASSERT_TRUE(CopyFileA((g_medium + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE)) << file;

    const bool startsProgram = MemberOf(g_install, "startProgram").kind == Json::Kind::Object;
    ULONGLONG started = 0;
    const std::string installLog = testsupport::RunDir() + "\\install.log";
    const std::set<std::string> folders = ExistingFolders(g_install), targets = ExistingTargets(g_install);
    const DWORD installed = RunSetup("\"" + medium + "\\setup.exe\" /quiet \"/log:" + installLog + "\"", medium,
                                     startsProgram, &started);
    EXPECT_EQ(static_cast<DWORD>(MemberOf(g_install, "exitCode").number), installed);
    CompareInstalled(g_install, started);
    CompareLog(g_install, installLog, installed, folders, targets);

    // A test log beside the modem test, which the removal deletes too.
    const std::string target = TextOf(MemberOf(g_install, "target"), "directory");
    std::ofstream(target + "\\mdmprobe.log") << "12:00:00 - a run of the modem test\r\n";

    // The removal as a deployment tool starts it, from the uninstall entry.
    bool exists = false;
    const std::string entry = TextOf(MemberOf(MemberOf(g_install, "uninstallEntries"), "write").items.at(0), "key");
    const std::string quiet = ValuesOf(entry, &exists)["quietuninstallstring"];
    ASSERT_TRUE(exists && quiet.size() > 7) << entry;
    const std::string removeLog = testsupport::RunDir() + "\\remove.log";
    const DWORD removed = RunSetup(quiet.substr(7) + " \"/log:" + removeLog + "\"", "", false);  // without "REG_SZ "
    EXPECT_EQ(static_cast<DWORD>(MemberOf(g_remove, "exitCode").number), removed);
    CompareRemoved(g_remove);
    CompareLog(g_remove, removeLog, removed, {}, {});
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: plan_reality_test MEDIUM-FOLDER INSTALL-PLAN.json REMOVE-PLAN.json\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    for (int i = 2; i <= 3; ++i) {
        bool read = false;
        const std::string text = testsupport::ReadFileBytes(testsupport::UnixToWinPath(argv[i]), &read);
        std::string error;
        const std::optional<Json> plan = ParseJson(text, &error);
        if (!read || !plan) {
            std::fprintf(stderr, "plan_reality_test: %s: %s\n", argv[i], read ? error.c_str() : "cannot be read");
            return 2;
        }
        (i == 2 ? g_install : g_remove) = *plan;
    }
    CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
