#include "Services.h"

#include "CommandQuoting.h"
#include "DebugLog.h"
#include "Journal.h"
#include "GroupOrder.h"
#include "RestartNeeded.h"
#include "RunLog.h"
#include "ScriptLines.h"
#include "ServiceLists.h"
#include "usystem.h"

#include <string>
#include <vector>

namespace {

// Access rights the installer asks for: all of them, on the local manager
// and on each service.
const DWORD kManagerAccess = SC_MANAGER_ALL_ACCESS;  // 0xF003F
const DWORD kServiceAccess = SERVICE_ALL_ACCESS;     // 0xF01FF
// Waiting for a state change: 20 polls 250 ms apart, 5 s in all.
const int kPolls = 20;
const DWORD kPollMs = 250;
const char kGroupOrderKey[] = "System\\CurrentControlSet\\Control\\ServiceGroupOrder";

// Closes the handles it holds; the thread's last error survives the closing.
class ServiceHandles
{
public:
    ServiceHandles() = default;
    ~ServiceHandles()
    {
        const DWORD error = GetLastError();
        if (service)
            CloseServiceHandle(service);
        if (manager)
            CloseServiceHandle(manager);
        SetLastError(error);
    }
    ServiceHandles(const ServiceHandles&) = delete;
    ServiceHandles& operator=(const ServiceHandles&) = delete;

    SC_HANDLE manager = nullptr;
    SC_HANDLE service = nullptr;
};

// Opens the local service control manager; 0 with the error logged.
int OpenManager(ServiceHandles& handles)
{
    handles.manager = OpenSCManagerA(nullptr, nullptr, kManagerAccess);
    if (handles.manager)
        return 1;
    const DWORD error = GetLastError();
    DebugErrorPrint("cannot open the service control manager\n");
    DebugReportError(error);
    SetLastError(error);
    return 0;
}

void LogServiceFailure(const char* what, const char* name)
{
    const DWORD error = GetLastError();
    DebugErrorPrint("%s %s failed\n", what, name);
    DebugReportError(error);
    SetLastError(error);
}

// The installation log's line of a service step that failed with the
// thread's last error (kept).
void LogServiceAction(const char* action, const char* name, const char* what)
{
    const DWORD error = GetLastError();
    RunLogAction(action, name, "%s (error %lu)", what, error);
    SetLastError(error);
}

// The first line with `key` in `section`.
bool FindKey(HINF script, const char* section, const char* key, INFCONTEXT* line)
{
    return SetupFindFirstLineA(script, section, key, line) != FALSE;
}

// Field 1 of `key` in `section`; empty when missing.
void ReadText(HINF script, const char* section, const char* key, char* buffer, size_t size)
{
    if (!FindLine(script, key, section, 1, buffer, size))
        buffer[0] = '\0';
}

// The binary path with its program part quoted where it holds a blank;
// false when the program cannot be told from its arguments.
bool QuoteServiceBinary(const char* binary, std::string* command)
{
    const FileExistsFn exists = [](const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    };
    return QuoteCommandProgram(binary, exists, command) != CommandQuoting::Ambiguous;
}

DWORD ReadNumber(HINF script, const char* section, const char* key)
{
    INFCONTEXT line;
    INT value = 0;
    if (!FindKey(script, section, key, &line) || !SetupGetIntField(&line, 1, &value))
        return 0;
    return static_cast<DWORD>(value);
}

// Fields 1, 2, ... of `key` as one text list; empty when the key is missing.
std::vector<char> ReadTextList(HINF script, const char* section, const char* key)
{
    INFCONTEXT line;
    DWORD size = 0;
    if (!FindKey(script, section, key, &line) || !SetupGetMultiSzFieldA(&line, 1, nullptr, 0, &size)
        || size == 0)
        return {};
    std::vector<char> list(size + 1, '\0');
    if (!SetupGetMultiSzFieldA(&line, 1, list.data(), size, nullptr))
        return {};
    return list;
}

// The whole "List" value, empty when there is none; false with the last
// error when it exists but cannot be read.
bool ReadGroupList(HKEY key, std::vector<char>* list)
{
    for (;;) {
        DWORD size = 0;
        LONG status = RegQueryValueExA(key, "List", nullptr, nullptr, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            list->clear();
            return true;
        }
        if (status != ERROR_SUCCESS) {
            SetLastError(status);
            return false;
        }
        list->assign(size, '\0');
        status = RegQueryValueExA(key, "List", nullptr, nullptr, reinterpret_cast<BYTE*>(list->data()), &size);
        if (status == ERROR_SUCCESS) {
            list->resize(size);
            return true;
        }
        if (status != ERROR_MORE_DATA) {  // grown meanwhile: ask again
            SetLastError(status);
            return false;
        }
    }
}

enum : int { kOpenFailed = -1, kNotInstalled = 0, kOpened = 1 };

// Opens the manager and the service `name` into `handles`; a failure other
// than a missing service is logged.
int OpenInstalled(ServiceHandles& handles, const char* name)
{
    if (!OpenManager(handles))
        return kOpenFailed;
    handles.service = OpenServiceA(handles.manager, name, kServiceAccess);
    if (handles.service)
        return kOpened;
    if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
        return kNotInstalled;
    LogServiceFailure("opening service", name);
    return kOpenFailed;
}

// Runs `operation` on the names of `key` in list order until one fails;
// with `restartReason`, the one that failed asks for a restart.
int ForEachListed(HINF script, const char* sections, const char* key, int (*operation)(const char*),
                  const char* restartReason = nullptr)
{
    for (const ServiceListEntry& entry : GatherServiceNames(script, sections, key)) {
        if (!operation(entry.name)) {
            if (restartReason != nullptr)
                LogRestartReason(entry.name, restartReason);
            return 0;
        }
    }
    return 1;
}

}  // namespace

int StopOneService(const char* name)
{
    ServiceHandles handles;
    const int opened = OpenInstalled(handles, name);
    if (opened != kOpened) {
        if (opened == kNotInstalled)
            RunLogAction("stop-service", name, "not installed");
        else
            LogServiceAction("stop-service", name, "cannot be opened");
        return opened == kNotInstalled ? 1 : 0;
    }
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(handles.service, &status)) {
        LogServiceFailure("querying service", name);
        LogServiceAction("stop-service", name, "its state cannot be read");
        return 0;
    }
    const bool running = status.dwCurrentState != SERVICE_STOPPED;
    if (running) {
        JournalServiceStopped(name);
        ControlService(handles.service, SERVICE_CONTROL_STOP, &status);
    }
    for (int poll = 0; poll < kPolls && status.dwCurrentState != SERVICE_STOPPED; ++poll) {
        Sleep(kPollMs);
        QueryServiceStatus(handles.service, &status);
    }
    if (status.dwCurrentState == SERVICE_STOPPED) {
        RunLogAction("stop-service", name, "%s", running ? "stopped" : "was not running");
        return 1;
    }
    SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
    LogServiceFailure("stopping service", name);
    RunLogAction("stop-service", name, "did not stop within 5 s");
    return 0;
}

int DeleteOneService(const char* name)
{
    ServiceHandles handles;
    const int opened = OpenInstalled(handles, name);
    if (opened != kOpened) {
        if (opened == kNotInstalled)
            RunLogAction("delete-service", name, "not installed");
        else
            LogServiceAction("delete-service", name, "cannot be opened");
        return opened == kNotInstalled ? 1 : 0;
    }
    // Windows removes the service when its last handle closes; a failed
    // request (already marked) needs no answer.
    if (DeleteService(handles.service) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE)
        RunLogAction("delete-service", name, "marked for deletion");
    else
        LogServiceAction("delete-service", name, "not marked for deletion");
    return 1;
}

int CreateOrUpdateService(HINF script, const char* name, const char* installSection)
{
    if (!SectionHasLines(script, installSection)) {
        DebugErrorPrint("service %s: install section [%s] has no lines\n", name, installSection);
        RunLogAction("create-service", name, "failed: its install section [%s] has no lines", installSection);
        SetLastError(ERROR_SECTION_NOT_FOUND);
        return 0;
    }
    char displayName[256], binary[256], group[256], account[256];
    ReadText(script, installSection, "DisplayName", displayName, sizeof(displayName));
    const DWORD serviceType = ReadNumber(script, installSection, "ServiceType");
    const DWORD startType = ReadNumber(script, installSection, "StartType");
    const DWORD errorControl = ReadNumber(script, installSection, "ErrorControl");
    // The program path is never cut (a cut path names another program): a
    // longer one fails the service like one that cannot be created.
    INFCONTEXT binaryLine;
    binary[0] = '\0';
    if (FindKey(script, installSection, "ServiceBinary", &binaryLine) &&
        ReadWholeField(&binaryLine, 1, binary, sizeof(binary)) == FieldRead::TooLong) {
        LogOverlongField(installSection, &binaryLine, 1, sizeof(binary), "the service is not created");
        RunLogAction("create-service", name, "failed: its ServiceBinary is longer than 255 characters");
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        LogServiceFailure("creating service", name);
        return 0;
    }
    // The service manager parses the binary path as a command line: a path
    // with a blank goes in quotes, and one whose program cannot be told from
    // its arguments fails the service.
    std::string binaryCommand;
    if (binary[0] != '\0' && !QuoteServiceBinary(binary, &binaryCommand)) {
        DebugErrorPrint("service %s: the program of ServiceBinary \"%s\" cannot be told from its arguments "
                        "(quote it in the script); the service is not created\n",
                        name, binary);
        RunLogAction("create-service", name, "failed: the program of its ServiceBinary cannot be told from its "
                                             "arguments");
        SetLastError(ERROR_INVALID_PARAMETER);
        LogServiceFailure("creating service", name);
        return 0;
    }
    ReadText(script, installSection, "LoadOrderGroup", group, sizeof(group));
    const std::vector<char> dependencies = ReadTextList(script, installSection, "Dependencies");
    ReadText(script, installSection, "StartName", account, sizeof(account));
    auto orNull = [](const char* text) { return text[0] != '\0' ? text : nullptr; };

    {
        ServiceHandles handles;
        if (!OpenManager(handles)) {
            LogServiceAction("create-service", name, "failed: the service control manager cannot be opened");
            return 0;
        }
        handles.service = OpenServiceA(handles.manager, name, kServiceAccess);
        if (handles.service) {
            // Best effort: the service exists, whatever its configuration.
            JournalServiceChanged(name);
            if (ChangeServiceConfigA(handles.service, serviceType, startType, errorControl,
                                     orNull(binaryCommand.c_str()), orNull(group), nullptr,
                                     dependencies.empty() ? nullptr : dependencies.data(), orNull(account), nullptr,
                                     orNull(displayName)))
                RunLogAction("create-service", name, "it exists: its configuration changed");
            else
                LogServiceAction("create-service", name, "it exists; its configuration is not changed");
        } else {
            JournalServiceCreated(name);
            handles.service = CreateServiceA(handles.manager, name, orNull(displayName), kServiceAccess,
                                             serviceType, startType, errorControl, orNull(binaryCommand.c_str()),
                                             orNull(group), nullptr,
                                             dependencies.empty() ? nullptr : dependencies.data(),
                                             orNull(account), nullptr);
            if (!handles.service) {
                LogServiceFailure("creating service", name);
                LogServiceAction("create-service", name, "failed");
                return 0;
            }
            RunLogAction("create-service", name, "created");
        }
    }
    ApplyServiceGroupOrder(script, installSection);
    return 1;
}

int StartOneService(const char* name)
{
    ServiceHandles handles;
    const int opened = OpenInstalled(handles, name);
    if (opened != kOpened) {
        if (opened == kNotInstalled)
            LogServiceFailure("starting missing service", name);
        LogServiceAction("start-service", name, opened == kNotInstalled ? "not installed" : "cannot be opened");
        return 0;
    }
    if (!StartServiceA(handles.service, 0, nullptr)) {
        LogServiceFailure("starting service", name);
        LogServiceAction("start-service", name, "refused to start");
        return 0;
    }
    SERVICE_STATUS status = {};
    for (int poll = 0; poll < kPolls; ++poll) {
        if (QueryServiceStatus(handles.service, &status) && status.dwCurrentState == SERVICE_RUNNING) {
            RunLogAction("start-service", name, "running");
            return 1;
        }
        Sleep(kPollMs);
    }
    SetLastError(ERROR_SERVICE_REQUEST_TIMEOUT);
    LogServiceFailure("waiting for service", name);
    RunLogAction("start-service", name, "not running within 5 s");
    return 0;
}

int ApplyServiceGroupOrder(HINF script, const char* installSection)
{
    INFCONTEXT line;
    if (!FindKey(script, installSection, "ServiceGroupOrder", &line))
        return 1;
    char group[256], position[256];
    if (!ReadScriptField(&line, 1, group, sizeof(group)))
        return 0;
    if (!ReadScriptField(&line, 2, position, sizeof(position)))
        position[0] = '\0';

    HKEY key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGroupOrderKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        LogServiceFailure("opening the group order for", group);
        LogServiceAction("group-order", group, "not placed: the group load order cannot be opened");
        return 0;
    }
    // The whole list, however long: an unreadable list is left as it is
    // rather than rewritten with the new group alone.
    std::vector<char> list;
    if (!ReadGroupList(key, &list)) {
        LogServiceFailure("reading the group order for", group);
        LogServiceAction("group-order", group, "not placed: the group load order cannot be read");
        RegCloseKey(key);
        return 0;
    }
    const std::string placed = PlaceServiceGroup(list.data(), list.size(), group, position);
    JournalValue(HKEY_LOCAL_MACHINE, kGroupOrderKey, "List");
    status = RegSetValueExA(key, "List", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(placed.data()),
                            static_cast<DWORD>(placed.size()));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        LogServiceFailure("writing the group order for", group);
        LogServiceAction("group-order", group, "not placed");
        return 0;
    }
    RunLogAction("group-order", group, "placed at \"%s\" in the group load order", position);
    return 1;
}

int StopServices(HINF script, const char* sections)
{
    return !xUtilIsWinNT() ||
           ForEachListed(script, sections, "StopService", StopOneService, "the service did not stop");
}

int DeleteAndCreateServices(HINF script, const char* sections)
{
    if (!xUtilIsWinNT())
        return 1;
    if (!ForEachListed(script, sections, "DelService", DeleteOneService))
        return 0;
    for (const ServiceListEntry& entry : GatherServiceNames(script, sections, "AddService")) {
        if (!CreateOrUpdateService(script, entry.name, entry.installSection))
            return 0;
    }
    return 1;
}

int StartServices(HINF script, const char* sections)
{
    return !xUtilIsWinNT() ||
           ForEachListed(script, sections, "StartService", StartOneService, "the service did not start");
}
