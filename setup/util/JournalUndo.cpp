// Undoing a journal: each record's change taken back, last first.
#include "BufCopy.h"
#include "DebugLog.h"
#include "Journal.h"
#include "JournalState.h"
#include "RunLog.h"
#include "ufile.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Summary
{
    int filesRemoved = 0, filesRestored = 0, foldersRemoved = 0, valuesRestored = 0, keysRemoved = 0;
    int shortcutsRemoved = 0, shortcutsRestored = 0, iniRestored = 0, services = 0, firewall = 0;
    int notUndone = 0, failed = 0;
};

// A number field of a record (0 when it holds none).
DWORD Number(const std::string& text)
{
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
}

bool IsShortcut(const std::string& path)
{
    return path.size() > 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".lnk") == 0;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Undone(const char* what, const std::string& subject)
{
    DebugPrint(2, "rollback: %s %s\n", what, subject.c_str());
    RunLogAction("undo", subject.c_str(), "%s", what);
}

void Failed(Summary* summary, const char* what, const std::string& subject, DWORD error)
{
    ++summary->failed;
    DebugErrorPrint("rollback: %s %s failed\n", what, subject.c_str());
    DebugReportError(error);
    RunLogAction("undo", subject.c_str(), "%s failed (error %lu)", what, error);
}

// Deletes `key` of `root` with everything below it.
LONG DeleteKeyTree(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, &handle);
    if (status != ERROR_SUCCESS)
        return status;
    char name[256];
    for (DWORD size = sizeof(name); RegEnumKeyExA(handle, 0, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                    ERROR_SUCCESS;
         size = sizeof(name)) {
        if (DeleteKeyTree(root, key + "\\" + name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(handle);
    return RegDeleteKeyA(root, key.c_str());
}

void UndoFileCreated(const std::string& path, Summary* summary, bool* restartNeeded)
{
    const bool shortcut = IsShortcut(path);
    if (!Exists(path) || DeleteFileA(path.c_str())) {
        ++(shortcut ? summary->shortcutsRemoved : summary->filesRemoved);
        Undone(shortcut ? "shortcut removed" : "file removed", path);
        return;
    }
    const DWORD error = GetLastError();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) {
        ++summary->filesRemoved;
        Undone("file removed", path);
    } else if (xUtilDelayFileDelete(path.c_str())) {
        *restartNeeded = true;
        ++summary->filesRemoved;
        Undone("file removed at the next restart (in use)", path);
    } else {
        Failed(summary, "removing", path, error);
    }
}

// Puts the kept copy back; a file in use gets it at the restart, and the
// copy is added to `waiting`.
void UndoFileKept(const std::string& path, const std::string& copy, Summary* summary, bool* restartNeeded,
                  std::vector<std::string>* waiting)
{
    const bool shortcut = IsShortcut(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        ++(shortcut ? summary->shortcutsRestored : summary->filesRestored);
        Undone(shortcut ? "shortcut restored" : "file restored", path);
        return;
    }
    const DWORD error = GetLastError();
    if (xUtilDelayReplace(copy.c_str(), path.c_str())) {
        *restartNeeded = true;
        ++summary->filesRestored;
        waiting->push_back(copy);
        Undone("file restored at the next restart (in use)", path);
    } else {
        Failed(summary, "restoring", path, error);
    }
}

void UndoValue(const JournalRecord& record, Summary* summary)
{
    const HKEY root = journal::RootOf(record.fields[0]);
    const std::string& key = record.fields[1];
    const std::string& name = record.fields[2];
    const std::string subject = record.fields[0] + "\\" + key + (name.empty() ? "" : "  " + name);
    HKEY handle = nullptr;
    LONG status = root == nullptr ? ERROR_INVALID_PARAMETER
                                  : RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                                    &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        const char* valueName = name.empty() ? nullptr : name.c_str();
        if (record.tag == JournalTag::ValueAbsent) {
            status = RegDeleteValueA(handle, valueName);
            if (status == ERROR_FILE_NOT_FOUND)
                status = ERROR_SUCCESS;
        } else {
            std::string data;
            status = BytesOfHex(record.fields[4], &data)
                         ? RegSetValueExA(handle, valueName, 0, Number(record.fields[3]),
                                          reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()))
                         : ERROR_INVALID_DATA;
        }
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        Failed(summary, "restoring the registry value", subject, static_cast<DWORD>(status));
        return;
    }
    ++summary->valuesRestored;
    Undone(record.tag == JournalTag::ValueAbsent ? "registry value removed" : "registry value restored", subject);
}

// One service change taken back through the service control manager.
void UndoService(const JournalRecord& record, Summary* summary)
{
    const std::string& name = record.fields[0];
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager != nullptr ? OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS) : nullptr;
    bool done = false;
    const char* what = "service";
    if (record.tag == JournalTag::ServiceCreated) {
        what = "service removed";
        SERVICE_STATUS status = {};
        if (service != nullptr)
            ControlService(service, SERVICE_CONTROL_STOP, &status);
        done = service == nullptr ? GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST : DeleteService(service) != FALSE;
    } else if (record.tag == JournalTag::ServiceKept) {
        what = "service configuration restored";
        done = service != nullptr &&
               ChangeServiceConfigA(service, SERVICE_NO_CHANGE, Number(record.fields[1]), SERVICE_NO_CHANGE,
                                    record.fields[2].c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                    record.fields[3].c_str());
    } else {
        what = "service started again";
        done = service != nullptr &&
               (StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING);
    }
    const DWORD error = GetLastError();
    if (service != nullptr)
        CloseServiceHandle(service);
    if (manager != nullptr)
        CloseServiceHandle(manager);
    if (!done) {
        Failed(summary, what, name, error);
        return;
    }
    ++summary->services;
    Undone(what, name);
}

// Undoes one record; a kept copy that stays in the journal's folder until
// the restart is added to `waiting`.
void Undo(const JournalRecord& record, Summary* summary, bool* restartNeeded, std::vector<std::string>* waiting)
{
    const std::vector<std::string>& f = record.fields;
    switch (record.tag) {
    case JournalTag::Begin:
        break;
    case JournalTag::FileCreated:
        UndoFileCreated(f[0], summary, restartNeeded);
        break;
    case JournalTag::FileKept:
        UndoFileKept(f[0], f[1], summary, restartNeeded, waiting);
        break;
    case JournalTag::FolderMade:
        if (!Exists(f[0]) || RemoveDirectoryA(f[0].c_str())) {
            ++summary->foldersRemoved;
            Undone("folder removed", f[0]);
        } else {
            Failed(summary, "removing the folder", f[0], GetLastError());
        }
        break;
    case JournalTag::KeyMade: {
        const HKEY root = journal::RootOf(f[0]);
        const LONG status = root == nullptr ? ERROR_INVALID_PARAMETER : DeleteKeyTree(root, f[1]);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
            ++summary->keysRemoved;
            Undone("registry key removed", f[0] + "\\" + f[1]);
        } else {
            Failed(summary, "removing the registry key", f[0] + "\\" + f[1], static_cast<DWORD>(status));
        }
        break;
    }
    case JournalTag::ValueKept:
    case JournalTag::ValueAbsent:
        UndoValue(record, summary);
        break;
    case JournalTag::IniKept:
    case JournalTag::IniAbsent:
        if (WritePrivateProfileStringA(f[1].c_str(), f[2].c_str(),
                                       record.tag == JournalTag::IniKept ? f[3].c_str() : nullptr, f[0].c_str())) {
            ++summary->iniRestored;
            Undone("INI entry restored", f[0] + " [" + f[1] + "] " + f[2]);
        } else {
            Failed(summary, "restoring the INI entry", f[0] + " [" + f[1] + "] " + f[2], GetLastError());
        }
        break;
    case JournalTag::ServiceCreated:
    case JournalTag::ServiceKept:
    case JournalTag::ServiceStopped:
        UndoService(record, summary);
        break;
    case JournalTag::FirewallAdded:
        if (JournalFirewallUndo undo = JournalFirewallUndoFunction(); undo != nullptr && undo(f[0].c_str())) {
            ++summary->firewall;
            Undone("firewall entry removed", f[0]);
        } else {
            Failed(summary, "removing the firewall entry", f[0], GetLastError());
        }
        break;
    case JournalTag::ProgramRan:
        ++summary->notUndone;
        DebugErrorPrint("rollback: the program %s ran and cannot be undone\n", f[0].c_str());
        RunLogAction("undo", f[0].c_str(), "a program that ran cannot be undone");
        break;
    }
}

std::string ReadAll(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::string text;
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[16384];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

void LogSummary(const Summary& s)
{
    char text[512] = "";
    BufFormat(text, sizeof(text),
              "rollback: %d files removed, %d restored, %d folders removed, %d registry values restored, "
              "%d keys removed, %d shortcuts removed, %d restored, %d INI entries restored, %d service changes "
              "undone, %d firewall entries removed; %d not undoable, %d failed",
              s.filesRemoved, s.filesRestored, s.foldersRemoved, s.valuesRestored, s.keysRemoved,
              s.shortcutsRemoved, s.shortcutsRestored, s.iniRestored, s.services, s.firewall, s.notUndone, s.failed);
    DebugErrorPrint("%s\n", text);
    RunLogPrint("%s", text);
}

}  // namespace

namespace journal {

void UndoJournal(HANDLE file, const std::string& folder, bool* restartNeeded)
{
    const std::string path = folder + "journal.txt";
    bool damaged = false;
    const std::vector<JournalRecord> records = ReadJournal(ReadAll(path), &damaged);
    if (damaged)
        DebugErrorPrint("rollback: %s is damaged; it is undone up to the damage\n", path.c_str());
    Summary summary;
    std::vector<std::string> waiting;
    for (auto record = records.rbegin(); record != records.rend(); ++record)
        Undo(*record, &summary, restartNeeded, &waiting);
    LogSummary(summary);
    CloseHandle(file);
    // What is left of the journal goes now; copies that wait to be put
    // back at the restart go then, and the folder after them.
    DeleteFileA(path.c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "k*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
        const std::string copy = folder + found.cFileName;
        bool waits = false;
        for (const std::string& name : waiting)
            waits = waits || lstrcmpiA(name.c_str(), copy.c_str()) == 0;
        if (!waits)
            DeleteFileA(copy.c_str());
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    if (!RemoveDirectoryA(folder.c_str()))
        xUtilDelayMove(folder.substr(0, folder.size() - 1).c_str());
    const std::string root = RootFolder();
    if (!RemoveDirectoryA(root.c_str()) && !waiting.empty())
        xUtilDelayMove(root.substr(0, root.size() - 1).c_str());
}

}  // namespace journal

void JournalRecover(bool* restartNeeded)
{
    const std::string root = journal::RootFolder();
    if (root.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::string> folders;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            folders.push_back(root + found.cFileName + "\\");
    } while (FindNextFileA(find, &found));
    FindClose(find);
    for (const std::string& folder : folders) {
        // Writing, shared with readers only: fails while the run that owns
        // the journal lives (it writes), and keeps a second start from
        // undoing it at the same time.
        HANDLE file = CreateFileA((folder + "journal.txt").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND && RemoveDirectoryA(folder.c_str()))
                continue;  // an empty folder of a run that had not begun its journal
            DebugPrint(2, "setup: the installation journal in %s belongs to a running setup\n", folder.c_str());
            continue;
        }
        DebugErrorPrint("setup: %s holds the journal of an installation that did not finish; it is undone first\n",
                        folder.c_str());
        RunLogPrint("the journal of an installation that did not finish is undone first (%s)", folder.c_str());
        journal::UndoJournal(file, folder, restartNeeded);
    }
}
