#include "Firewall.h"

#include "DllSearch.h"
#include "Journal.h"
#include "RunLog.h"

#include <initguid.h>  // mingw's uuid library lacks the firewall's interface ids

#include <netfw.h>
#include <objbase.h>
#include <oleauto.h>

namespace {

enum : int { kFirewallTextMax = 1000 };  // UTF-16 characters of a converted text

// The COM string functions of oleaut32, loaded from the system folder at the
// first firewall entry: an installation without one never needs the library.
struct ComStringApi
{
    decltype(&SysAllocString) allocate = nullptr;
    decltype(&SysFreeString) release = nullptr;
};

const ComStringApi& ComStrings()
{
    static const ComStringApi api = [] {
        ComStringApi table;
        HMODULE module = LoadSystemLibrary("oleaut32.dll");
        table.allocate = LibraryExport<decltype(table.allocate)>(module, "SysAllocString");
        table.release = LibraryExport<decltype(table.release)>(module, "SysFreeString");
        return table;
    }();
    return api;
}

// An ANSI text as a COM string; null when it cannot be converted or
// allocated. The caller frees it with FreeComString.
BSTR ComString(const char* text)
{
    WCHAR wide[kFirewallTextMax + 1] = L"";
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kFirewallTextMax) == 0)
        wide[kFirewallTextMax] = L'\0';  // too long: keep the part converted
    return ComStrings().allocate ? ComStrings().allocate(wide) : nullptr;
}

void FreeComString(BSTR text)
{
    if (text && ComStrings().release)
        ComStrings().release(text);
}

// COM for one operation. Proceeds when COM is usable on this thread: just
// initialised, or initialised before as an apartment of this kind (then
// the count is balanced too).
class ComScope
{
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    HRESULT Result() const { return SUCCEEDED(result_) ? S_OK : result_; }

private:
    HRESULT result_;
};

template <typename Interface>
void Release(Interface*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** object)
{
    CLSID clsid;
    HRESULT result = CLSIDFromProgID(progId, &clsid);
    if (FAILED(result))
        return result;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

// The authorized applications of the firewall's current profile.
HRESULT AuthorizedApplications(INetFwAuthorizedApplications** applications)
{
    *applications = nullptr;
    INetFwMgr* manager = nullptr;
    INetFwPolicy* policy = nullptr;
    INetFwProfile* profile = nullptr;
    HRESULT result = CreateByProgId(L"HNetCfg.FwMgr", IID_INetFwMgr, reinterpret_cast<void**>(&manager));
    if (SUCCEEDED(result))
        result = manager->get_LocalPolicy(&policy);
    if (SUCCEEDED(result))
        result = policy->get_CurrentProfile(&profile);
    if (SUCCEEDED(result))
        result = profile->get_AuthorizedApplications(applications);
    Release(profile);
    Release(policy);
    Release(manager);
    return result;
}

// Calls `lineAction(field1, field2)` for every line of every section named
// by the fields of `key` in `section`. Texts up to 255 characters; a field
// that cannot be read is passed as null.
template <typename LineAction>
void ForEachListedLine(HINF script, const char* section, const char* key, LineAction lineAction)
{
    INFCONTEXT keyLine;
    if (!SetupFindFirstLineA(script, section, key, &keyLine))
        return;
    DWORD fields = SetupGetFieldCount(&keyLine);
    for (DWORD field = 1; field <= fields; ++field) {
        char listed[256] = "";
        if (!SetupGetStringFieldA(&keyLine, field, listed, sizeof(listed), nullptr))
            continue;
        INFCONTEXT line;
        bool more = SetupFindFirstLineA(script, listed, nullptr, &line) != FALSE;
        for (; more; more = SetupFindNextLine(&line, &line) != FALSE) {
            char first[256] = "", second[256] = "";
            bool hasFirst = SetupGetStringFieldA(&line, 1, first, sizeof(first), nullptr) != FALSE;
            bool hasSecond = SetupGetStringFieldA(&line, 2, second, sizeof(second), nullptr) != FALSE &&
                             second[0] != '\0';
            lineAction(hasFirst ? first : nullptr, hasSecond ? second : nullptr);
        }
    }
}

// The firewall step's line in the installation log; `result` is the COM
// result of the change.
HRESULT LogFirewallChange(const char* action, const char* program, const char* name, HRESULT result)
{
    const unsigned long code = static_cast<unsigned long>(result);
    if (name != nullptr && SUCCEEDED(result))
        RunLogAction(action, program, "entry \"%s\"", name);
    else if (name != nullptr)
        RunLogAction(action, program, "entry \"%s\" failed (0x%08lx)", name, code);
    else if (SUCCEEDED(result))
        RunLogAction(action, program);
    else
        RunLogAction(action, program, "failed (0x%08lx)", code);
    return result;
}

HRESULT AddApplication(const char* name, const char* program, int enabled)
{
    ComScope com;
    if (FAILED(com.Result()))
        return com.Result();
    INetFwAuthorizedApplications* applications = nullptr;
    HRESULT result = AuthorizedApplications(&applications);
    if (FAILED(result))
        return result;
    INetFwAuthorizedApplication* application = nullptr;
    result = CreateByProgId(L"HNetCfg.FwAuthorizedApplication", IID_INetFwAuthorizedApplication,
                            reinterpret_cast<void**>(&application));
    if (SUCCEEDED(result)) {
        BSTR nameText = ComString(name);
        BSTR programText = ComString(program);
        if (!nameText || !programText)
            result = E_OUTOFMEMORY;
        if (SUCCEEDED(result))
            result = application->put_Name(nameText);
        if (SUCCEEDED(result))
            result = application->put_ProcessImageFileName(programText);
        if (SUCCEEDED(result))
            result = application->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE);
        if (SUCCEEDED(result))
            result = applications->Add(application);
        FreeComString(nameText);
        FreeComString(programText);
    }
    Release(application);
    Release(applications);
    return result;
}

HRESULT RemoveApplication(const char* program)
{
    ComScope com;
    if (FAILED(com.Result()))
        return com.Result();
    INetFwAuthorizedApplications* applications = nullptr;
    HRESULT result = AuthorizedApplications(&applications);
    if (SUCCEEDED(result)) {
        BSTR programText = ComString(program);
        result = programText ? applications->Remove(programText) : E_OUTOFMEMORY;
        FreeComString(programText);
    }
    Release(applications);
    return result;
}

}  // namespace

HRESULT FirewallAddApplication(const char* name, const char* program, int enabled)
{
    return LogFirewallChange("add-firewall-entry", program, name, AddApplication(name, program, enabled));
}

HRESULT FirewallRemoveApplication(const char* program)
{
    return LogFirewallChange("remove-firewall-entry", program, nullptr, RemoveApplication(program));
}

int FirewallEntries(HINF script, const char* section)
{
    // The results are not reported: a firewall that refuses an entry must
    // not stop the installation.
    ForEachListedLine(script, section, kMakeFirewallEntriesKey, [](const char* name, const char* program) {
        if (name && program) {
            JournalFirewallAdded(program);
            FirewallAddApplication(name, program, 1);
        }
    });
    ForEachListedLine(script, section, kDelFirewallEntriesKey, [](const char*, const char* program) {
        if (program)
            FirewallRemoveApplication(program);
    });
    return 1;
}
