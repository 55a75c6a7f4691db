#include "ufile.h"

#include "BufCopy.h"
#include "FolderSecurity.h"
#include "RunLog.h"
#include "TextList.h"
#include "UtilTrace.h"
#include "usystem.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kSource[] = "ufile";

// Growth step and first size of the section buffer, in bytes.
const DWORD kSectionStep = 1024;

// The two security functions Windows 9x and NT 4 lack, looked up in
// advapi32 on first use and kept until the program ends. Used by one thread
// at a time (the installation run).
typedef BOOL(WINAPI* ConvertSddlFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
typedef DWORD(WINAPI* SetNamedSecurityFn)(LPSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID,
                                          PACL, PACL);
typedef DWORD(WINAPI* GetNamedSecurityFn)(LPCSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*, PACL*,
                                          PACL*, PSECURITY_DESCRIPTOR*);
typedef BOOL(WINAPI* SddlOfFn)(PSECURITY_DESCRIPTOR, DWORD, SECURITY_INFORMATION, LPSTR*, PULONG);

struct SecurityFunctions
{
    HMODULE advapi = nullptr;
    bool looked = false;
    ConvertSddlFn convert = nullptr;
    SetNamedSecurityFn setNamed = nullptr;
    GetNamedSecurityFn getNamed = nullptr;
    SddlOfFn sddlOf = nullptr;

    ~SecurityFunctions()
    {
        if (advapi != nullptr)
            FreeLibrary(advapi);
    }
};

SecurityFunctions& Security()
{
    static SecurityFunctions functions;
    if (!functions.looked) {
        functions.looked = true;
        functions.advapi = LoadLibraryA("advapi32.dll");
        if (functions.advapi != nullptr) {
            functions.convert = reinterpret_cast<ConvertSddlFn>(reinterpret_cast<void*>(
                GetProcAddress(functions.advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA")));
            functions.setNamed = reinterpret_cast<SetNamedSecurityFn>(
                reinterpret_cast<void*>(GetProcAddress(functions.advapi, "SetNamedSecurityInfoA")));
            functions.getNamed = reinterpret_cast<GetNamedSecurityFn>(
                reinterpret_cast<void*>(GetProcAddress(functions.advapi, "GetNamedSecurityInfoA")));
            functions.sddlOf = reinterpret_cast<SddlOfFn>(reinterpret_cast<void*>(
                GetProcAddress(functions.advapi, "ConvertSecurityDescriptorToStringSecurityDescriptorA")));
        }
    }
    return functions;
}

// A descriptor built from its text; frees it with LocalFree.
struct FileSecurity
{
    bool unsupported = false;  // the system has no text descriptors (set first)
    PSECURITY_DESCRIPTOR descriptor = nullptr;

    explicit FileSecurity(const char* text) : descriptor(xUtilDescriptorFromText(text, &unsupported)) {}
    ~FileSecurity()
    {
        if (descriptor != nullptr)
            LocalFree(descriptor);
    }
    FileSecurity(const FileSecurity&) = delete;
    FileSecurity& operator=(const FileSecurity&) = delete;
};

// The short form of `path`, which the Windows 9x start-up reads; the path
// as given when it has none.
std::string ShortPath(const char* path)
{
    char shortPath[256];
    const DWORD length = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    return length > 0 && length < sizeof(shortPath) ? shortPath : path;
}

// Windows 9x: appends `entry` ("<destination>=<source>", destination NUL to
// delete) to [Rename] of wininit.ini, which Windows processes at its next
// start. Entries already there stay, in order.
int AddWininitEntry(const std::string& entry)
{
    char wininit[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(wininit, sizeof(wininit));
    if (length == 0 || length >= sizeof(wininit) || !BufFits(sizeof(wininit) - length, "\\wininit.ini")) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    BufAppend(wininit, sizeof(wininit), "\\wininit.ini");

    char* section = xUtilReadSection("Rename", wininit);
    if (section == nullptr)
        return 0;
    const size_t capacity = xUtilListSize(section) + entry.size() + 1;
    char* grown = static_cast<char*>(std::realloc(section, capacity));
    if (grown == nullptr) {
        std::free(section);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    section = grown;
    xUtilListAppend(section, capacity, entry.c_str());
    const BOOL written = WritePrivateProfileSectionA("Rename", section, wininit);
    std::free(section);
    return written ? 1 : 0;
}

}  // namespace

int xUtilDelayFileDelete(const char* path)
{
    UtilTraceAt(kSource, 435, "xUtilDelayFileDelete", "delay deletion of %s\n", path);
    if (xUtilIsWinNT())
        return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return AddWininitEntry("NUL=" + ShortPath(path));
}

int xUtilDelayReplace(const char* staged, const char* target)
{
    UtilTraceAt(kSource, 471, "xUtilDelayReplace", "replace %s by %s at the next restart\n", target, staged);
    if (xUtilIsWinNT())
        return MoveFileExA(staged, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
    return AddWininitEntry(ShortPath(target) + "=" + ShortPath(staged));
}

int xUtilDelayMove(const char* path)
{
    if (!xUtilIsWinNT())
        return 0;
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

char* xUtilReadSection(const char* section, const char* iniPath)
{
    char* buffer = nullptr;
    for (DWORD size = kSectionStep;; size += kSectionStep) {
        char* grown = static_cast<char*>(std::realloc(buffer, size));
        if (grown == nullptr) {
            std::free(buffer);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        buffer = grown;
        const DWORD length = GetPrivateProfileSectionA(section, buffer, size, iniPath);
        // size - 2 is how the system says the section was cut.
        if (length != size - 2) {
            buffer[length < size - 1 ? length : size - 1] = '\0';
            return buffer;
        }
    }
}

int xUtilApplyFileSecurity(const char* descriptorText, const char* path)
{
    FileSecurity security(descriptorText);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    // A descriptor without an access-control list would be applied as a null
    // list, that is full access for everyone: refuse it.
    if (security.descriptor == nullptr ||
        !GetSecurityDescriptorDacl(security.descriptor, &present, &acl, &defaulted) || !present) {
        RunLogAction("set-security", path, "not applied: %s is no descriptor with an access-control list",
                     descriptorText);
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    SetNamedSecurityFn setNamed = Security().setNamed;
    if (setNamed == nullptr) {
        RunLogAction("set-security", path, "not applied: this Windows has no file permissions");
        SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    std::vector<char> name(path, path + std::strlen(path) + 1);
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    if (SddlDaclProtected(descriptorText))
        what |= PROTECTED_DACL_SECURITY_INFORMATION;
    const DWORD status = setNamed(name.data(), SE_FILE_OBJECT, what, nullptr, nullptr, acl, nullptr);
    if (status == ERROR_SUCCESS)
        RunLogAction("set-security", path, "%s", descriptorText);
    else
        RunLogAction("set-security", path, "failed (error %lu)", status);
    SetLastError(status);
    return status == ERROR_SUCCESS ? 1 : 0;
}

PSECURITY_DESCRIPTOR xUtilDescriptorFromText(const char* text, bool* unsupported)
{
    // Windows 9x and NT 4 lack the conversion (and 9x any permissions).
    ConvertSddlFn convert = Security().convert;
    *unsupported = convert == nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (convert == nullptr || text == nullptr || !convert(text, SDDL_REVISION_1, &descriptor, nullptr))
        return nullptr;
    return descriptor;
}

int xUtilCreateProtectedFolder(const char* path, bool* created, bool logged)
{
    *created = false;
    FileSecurity security(kTargetFolderSddl);
    if (security.descriptor == nullptr && !security.unsupported)
        return 0;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), security.descriptor, FALSE};
    SECURITY_ATTRIBUTES* protection = security.descriptor != nullptr ? &attributes : nullptr;
    // Each folder of the path from the top; the drive (or share) is there.
    const std::string text(path);
    for (size_t end = text.find('\\', 3); ; end = text.find('\\', end + 1)) {
        const std::string folder = text.substr(0, end);
        if (!folder.empty() && folder.back() != '\\' && GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryA(folder.c_str(), *created ? nullptr : protection))
                return 0;
            // The uppermost folder made carries the permissions; the others inherit them.
            if (logged && !*created && protection != nullptr)
                RunLogAction("make-folder", folder.c_str(), "writable by administrators only");
            else if (logged)
                RunLogAction("make-folder", folder.c_str());
            *created = true;
        }
        if (end == std::string::npos)
            break;
    }
    return 1;
}

int xUtilReadFileSecurity(const char* path, std::string* sddl)
{
    const SecurityFunctions& functions = Security();
    if (functions.getNamed == nullptr || functions.sddlOf == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = functions.getNamed(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            nullptr, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return 0;
    }
    char* text = nullptr;
    const BOOL converted = functions.sddlOf(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    if (!converted) {
        SetLastError(error);
        return 0;
    }
    *sddl = text;
    LocalFree(text);
    return 1;
}
