#include "SingleInstance.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "HiddenWindow.h"

#include <windows.h>

#include <sddl.h>

namespace {

// The private namespace's name, and the mutex name's prefix inside it.
const char kNamespace[] = "VantorSetup";

// Why the namespace could not be entered on a system that has private
// namespaces; 0 when it was, or the system has none. Set by the start-up
// thread before any other thread exists.
DWORD g_namespaceError = 0;

// Functions Windows Vista brought; looked up at run time, since the program
// also runs on Windows 95 to XP.
typedef HANDLE(WINAPI* CreateBoundaryFn)(LPCSTR, ULONG);
typedef BOOL(WINAPI* AddSidFn)(HANDLE*, PSID);
typedef VOID(WINAPI* DeleteBoundaryFn)(HANDLE);
typedef HANDLE(WINAPI* CreateNamespaceFn)(LPSECURITY_ATTRIBUTES, LPVOID, LPCSTR);
typedef HANDLE(WINAPI* OpenNamespaceFn)(LPVOID, LPCSTR);
typedef BOOL(WINAPI* ConvertSddlFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
typedef BOOL(WINAPI* WellKnownSidFn)(WELL_KNOWN_SID_TYPE, PSID, PSID, DWORD*);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Opens the private namespace bound to the Administrators group, creating it
// when no running copy has: only a process with an administrator's full
// token can create or open it, so a normal user cannot put a mutex there.
// The handle stays open for the life of the process (the namespace and the
// mutex in it live while a copy runs). 1 when entered; 0 with the last error
// when the system has no private namespaces (ERROR_CALL_NOT_IMPLEMENTED) or
// the namespace cannot be entered.
int EnterPrivateNamespace()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE advapi = LoadLibraryA("advapi32.dll");  // imported already: only a reference more
    const auto createBoundary = Lookup<CreateBoundaryFn>(kernel, "CreateBoundaryDescriptorA");
    const auto addSid = Lookup<AddSidFn>(kernel, "AddSIDToBoundaryDescriptor");
    const auto deleteBoundary = Lookup<DeleteBoundaryFn>(kernel, "DeleteBoundaryDescriptor");
    const auto createNamespace = Lookup<CreateNamespaceFn>(kernel, "CreatePrivateNamespaceA");
    const auto openNamespace = Lookup<OpenNamespaceFn>(kernel, "OpenPrivateNamespaceA");
    const auto convertSddl = Lookup<ConvertSddlFn>(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    const auto wellKnownSid = Lookup<WellKnownSidFn>(advapi, "CreateWellKnownSid");
    if (!createBoundary || !addSid || !deleteBoundary || !createNamespace || !openNamespace || !convertSddl ||
        !wellKnownSid) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }

    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sid);
    if (!wellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize))
        return 0;
    HANDLE boundary = createBoundary(kNamespace, 0);
    if (boundary == nullptr)
        return 0;
    // The namespace object itself: administrators and the system only.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    HANDLE space = nullptr;
    if (addSid(&boundary, sid) &&
        convertSddl("D:(A;;GA;;;BA)(A;;GA;;;SY)", SDDL_REVISION_1, &descriptor, nullptr)) {
        SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
        // A copy that ends between the failed create and the open takes the
        // namespace with it: then create once more.
        for (int attempt = 0; attempt < 2 && space == nullptr; ++attempt) {
            space = createNamespace(&attributes, boundary, kNamespace);
            if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
                space = openNamespace(boundary, kNamespace);
        }
    }
    const DWORD error = GetLastError();
    if (descriptor != nullptr)
        LocalFree(descriptor);
    deleteBoundary(boundary);
    SetLastError(error);
    return space != nullptr ? 1 : 0;
}

}  // namespace

bool ClaimSingleInstance()
{
    // "<namespace>\<path>" inside the private namespace, "<path>" without.
    char name[sizeof(kNamespace) + MAX_PATH] = "";
    char* path = name;
    if (EnterPrivateNamespace()) {
        BufSet(name, sizeof(name), kNamespace);
        BufAppend(name, sizeof(name), "\\");
        path = name + sizeof(kNamespace);
    } else if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        g_namespaceError = GetLastError();
    }
    const size_t room = sizeof(name) - static_cast<size_t>(path - name);
    const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(room));
    if (length == 0 || length >= room)
        return true;  // no name to meet under: run
    CharLowerBuffA(path, length);
    for (DWORD i = 0; i < length; ++i) {
        if (path[i] == '\\')
            path[i] = '_';
    }
    // Never closed: the mutex marks this copy until the process ends.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    if (HWND first = FindWindowA(kSetupWindowClass, nullptr)) {
        if (IsIconic(first))
            ShowWindow(first, SW_RESTORE);
        SetForegroundWindow(first);
    }
    return false;
}

void ReportSingleInstanceLock()
{
    if (g_namespaceError != 0) {
        DebugErrorPrint("setup: the private namespace for the single-copy lock cannot be opened (error %lu); "
                        "the lock is in the session's namespace\n",
                        static_cast<unsigned long>(g_namespaceError));
    }
}
