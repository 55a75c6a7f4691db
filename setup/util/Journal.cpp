#include "Journal.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "JournalState.h"
#include "ufile.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Run
{
    HANDLE file = INVALID_HANDLE_VALUE;  // journal.txt, open without write sharing
    std::string folder;                  // this run's folder, with its backslash
    unsigned copies = 0;                 // kept copies so far (their names count up)
    bool failed = false;                 // a record could not be written: said once
};
Run g_run;

JournalFirewallUndo g_firewallUndo = nullptr;

// One record, written at once (before the change it describes).
void Write(JournalTag tag, std::vector<std::string> fields)
{
    if (g_run.file == INVALID_HANDLE_VALUE)
        return;
    const std::string line = JournalLine(JournalRecord{tag, std::move(fields)});
    DWORD written = 0;
    if ((!WriteFile(g_run.file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
         written != line.size()) &&
        !g_run.failed) {
        g_run.failed = true;
        DebugErrorPrint("setup: the installation journal cannot be written; a failure can no longer be undone "
                        "whole\n");
        DebugReportLastError();
    }
}

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::string Text(const char* text)
{
    return text != nullptr ? text : "";
}

std::string Number(unsigned long value)
{
    char text[16] = "";
    BufFormat(text, sizeof(text), "%lu", value);
    return text;
}

}  // namespace

namespace journal {

std::string RootFolder()
{
    char windows[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows))
        return std::string();
    std::string root = windows;
    if (root.back() != '\\')
        root += '\\';
    return root + "VantorSetupJournal\\";
}

const char* RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    if (root == HKEY_USERS)
        return "HKU";
    return nullptr;
}

HKEY RootOf(const std::string& name)
{
    if (name == "HKLM")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKCU")
        return HKEY_CURRENT_USER;
    if (name == "HKCR")
        return HKEY_CLASSES_ROOT;
    if (name == "HKU")
        return HKEY_USERS;
    return nullptr;
}

}  // namespace journal

bool JournalBegin()
{
#ifdef SETUP_NO_JOURNAL
    return false;  // make bench's build without the journal
#endif
    const std::string root = journal::RootFolder();
    char name[64] = "";
    BufFormat(name, sizeof(name), "%lu-%lu\\", GetCurrentProcessId(), GetTickCount());
    const std::string folder = root + name;
    bool created = false;
    if (root.empty() || !xUtilCreateProtectedFolder(folder.substr(0, folder.size() - 1).c_str(), &created, false) ||
        !created) {
        DebugErrorPrint("setup: the installation journal cannot be started in %s; a failure cannot be undone\n",
                        folder.c_str());
        DebugReportLastError();
        return false;
    }
    const std::string path = folder + "journal.txt";
    g_run.file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (g_run.file == INVALID_HANDLE_VALUE) {
        DebugErrorPrint("setup: the installation journal %s cannot be made; a failure cannot be undone\n",
                        path.c_str());
        DebugReportLastError();
        RemoveDirectoryA(folder.c_str());
        return false;
    }
    g_run.folder = folder;
    g_run.copies = 0;
    g_run.failed = false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char started[64] = "";
    BufFormat(started, sizeof(started), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
              now.wHour, now.wMinute, now.wSecond);
    Write(JournalTag::Begin, {Number(GetCurrentProcessId()), started});
    DebugPrint(2, "setup: installation journal %s\n", path.c_str());
    return true;
}

bool JournalActive()
{
    return g_run.file != INVALID_HANDLE_VALUE;
}

void JournalFile(const char* path)
{
    if (!JournalActive() || path == nullptr)
        return;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Write(JournalTag::FileCreated, {path});
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return;
    const std::string copy = g_run.folder + "k" + Number(++g_run.copies);
    if (!CopyFileA(path, copy.c_str(), TRUE)) {
        DebugErrorPrint("setup: %s cannot be kept for a rollback\n", path);
        DebugReportLastError();
        return;
    }
    Write(JournalTag::FileKept, {path, copy});
}

void JournalNewFile(const char* path)
{
    if (JournalActive() && path != nullptr)
        Write(JournalTag::FileCreated, {path});
}

void JournalFolders(const char* path)
{
    if (!JournalActive() || path == nullptr)
        return;
    // From behind "C:\" on; the path's own folder last.
    const std::string folder = path;
    for (size_t at = 3; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '\\')
            continue;
        const std::string part = folder.substr(0, at);
        if (!part.empty() && part.back() != '\\' && !Exists(part.c_str()))
            Write(JournalTag::FolderMade, {part});
    }
}

void JournalKey(HKEY root, const char* key)
{
    const char* rootName = journal::RootName(root);
    if (!JournalActive() || rootName == nullptr || key == nullptr)
        return;
    // The uppermost missing key: undoing it removes everything the run made
    // below it.
    const std::string path = key;
    for (size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '\\')
            continue;
        const std::string part = path.substr(0, at);
        if (part.empty())
            continue;
        HKEY handle = nullptr;
        if (RegOpenKeyExA(root, part.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
            Write(JournalTag::KeyMade, {rootName, part});
            return;
        }
        RegCloseKey(handle);
    }
}

void JournalValue(HKEY root, const char* key, const char* name)
{
    const char* rootName = journal::RootName(root);
    if (!JournalActive() || rootName == nullptr || key == nullptr)
        return;
    JournalKey(root, key);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;  // the key is new: the key-made record covers its values
    DWORD type = 0;
    DWORD size = 0;
    std::vector<BYTE> data;
    LONG status = RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data.resize(size);
        status = RegQueryValueExA(handle, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(handle);
    if (status == ERROR_FILE_NOT_FOUND)
        Write(JournalTag::ValueAbsent, {rootName, key, Text(name)});
    else if (status == ERROR_SUCCESS)
        Write(JournalTag::ValueKept, {rootName, key, Text(name), Number(type), HexOf(data.data(), size)});
}

void JournalIniEntry(const char* file, const char* section, const char* entry)
{
    if (!JournalActive() || file == nullptr || section == nullptr || entry == nullptr)
        return;
    // A default that no entry holds tells a missing entry from an empty one.
    const char kMissing[] = "\x01missing\x01";
    std::vector<char> text(4096);
    GetPrivateProfileStringA(section, entry, kMissing, text.data(), static_cast<DWORD>(text.size()), file);
    if (std::strcmp(text.data(), kMissing) == 0)
        Write(JournalTag::IniAbsent, {file, section, entry});
    else
        Write(JournalTag::IniKept, {file, section, entry, text.data()});
}

void JournalServiceCreated(const char* name)
{
    if (JournalActive() && name != nullptr)
        Write(JournalTag::ServiceCreated, {name});
}

void JournalServiceChanged(const char* name)
{
    if (!JournalActive() || name == nullptr)
        return;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager != nullptr ? OpenServiceA(manager, name, SERVICE_QUERY_CONFIG) : nullptr;
    DWORD size = 0;
    std::vector<BYTE> buffer;
    if (service != nullptr && !QueryServiceConfigA(service, nullptr, 0, &size) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (QueryServiceConfigA(service, config, size, &size))
            Write(JournalTag::ServiceKept, {name, Number(config->dwStartType), Text(config->lpBinaryPathName),
                                            Text(config->lpDisplayName)});
    }
    if (service != nullptr)
        CloseServiceHandle(service);
    if (manager != nullptr)
        CloseServiceHandle(manager);
}

void JournalServiceStopped(const char* name)
{
    if (JournalActive() && name != nullptr)
        Write(JournalTag::ServiceStopped, {name});
}

void JournalFirewallAdded(const char* program)
{
    if (JournalActive() && program != nullptr)
        Write(JournalTag::FirewallAdded, {program});
}

void JournalProgramRan(const char* program)
{
    if (JournalActive() && program != nullptr)
        Write(JournalTag::ProgramRan, {program});
}

void JournalSetFirewallUndo(JournalFirewallUndo undo)
{
    g_firewallUndo = undo;
}

JournalFirewallUndo JournalFirewallUndoFunction()
{
    return g_firewallUndo;
}

void JournalRollback(bool* restartNeeded)
{
    if (!JournalActive())
        return;
    HANDLE file = g_run.file;
    g_run.file = INVALID_HANDLE_VALUE;
    journal::UndoJournal(file, g_run.folder, restartNeeded);
}

void JournalFinish()
{
    if (!JournalActive())
        return;
    CloseHandle(g_run.file);
    g_run.file = INVALID_HANDLE_VALUE;
    // The copies and the journal, then the run's folder and, when no other
    // run has one, the journal folder.
    for (unsigned i = 1; i <= g_run.copies; ++i)
        DeleteFileA((g_run.folder + "k" + Number(i)).c_str());
    DeleteFileA((g_run.folder + "journal.txt").c_str());
    RemoveDirectoryA(g_run.folder.c_str());
    RemoveDirectoryA(journal::RootFolder().c_str());
}
