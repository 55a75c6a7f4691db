// A stand-in for the Windows Firewall's COM objects (Wine's accept every
// call and store nothing). The test registers this library under the
// firewall's ProgIDs; every object it makes is at once manager, policy,
// profile, application collection and application. Additions and removals
// are appended to the file named by FAKE_FIREWALL_LOG as UTF-8 lines:
//   add NAME|PATH|ENABLED|APARTMENT     remove PATH
// FAKE_FIREWALL_FAIL makes one step fail with "no endpoints" (0x800706D9):
// "policy" the policy look-up, "add:NAME" the addition of entry NAME.
#include <initguid.h>

#include <netfw.h>
#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <string>

namespace {

const HRESULT kNoEndpoints = static_cast<HRESULT>(0x800706D9);

std::string Utf8(BSTR text)
{
    if (!text)
        return "(null)";
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

// The process environment as the test sets it (the C library's copy is
// taken at start-up).
std::string Env(const char* name)
{
    char value[512] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length < sizeof(value) ? std::string(value, length) : std::string();
}

void Record(const std::string& line)
{
    std::string path = Env("FAKE_FIREWALL_LOG");
    if (!path.empty())
        std::ofstream(path, std::ios::app | std::ios::binary) << line << "\n";
}

bool Fails(const std::string& step)
{
    return step == Env("FAKE_FIREWALL_FAIL");
}

// The calling thread's COM apartment (CoGetApartmentType is newer than the
// headers' Windows version: looked up).
const char* Apartment()
{
    using GetType = HRESULT(WINAPI*)(int*, int*);
    auto get = reinterpret_cast<GetType>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ole32.dll"), "CoGetApartmentType")));
    int type = -1, qualifier = 0;
    if (!get || FAILED(get(&type, &qualifier)))
        return "none";
    return type == 0 /* STA */ || type == 3 /* main STA */ ? "sta" : "other";
}

#define NOT_USED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return E_NOTIMPL; }

class Fake : public INetFwMgr,
             public INetFwPolicy,
             public INetFwProfile,
             public INetFwAuthorizedApplications,
             public INetFwAuthorizedApplication,
             public IClassFactory
{
public:
    virtual ~Fake() = default;

    // IUnknown and IDispatch, shared by all interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IClassFactory)
            *object = static_cast<IClassFactory*>(this);
        else if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_INetFwMgr)
            *object = static_cast<INetFwMgr*>(this);
        else if (iid == IID_INetFwPolicy)
            *object = static_cast<INetFwPolicy*>(this);
        else if (iid == IID_INetFwProfile)
            *object = static_cast<INetFwProfile*>(this);
        else if (iid == IID_INetFwAuthorizedApplications)
            *object = static_cast<INetFwAuthorizedApplications*>(this);
        else if (iid == IID_INetFwAuthorizedApplication)
            *object = static_cast<INetFwAuthorizedApplication*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            SysFreeString(name_);
            SysFreeString(path_);
            delete this;
        }
        return left;
    }
    // Every object is its own class factory.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override
    {
        return Make(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    static HRESULT Make(REFIID iid, void** object)
    {
        Fake* fake = new Fake;
        HRESULT result = fake->QueryInterface(iid, object);
        fake->Release();
        return result;
    }

    NOT_USED(GetTypeInfoCount, UINT*)
    NOT_USED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_USED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_USED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

    // The chain from the manager to the application collection.
    HRESULT STDMETHODCALLTYPE get_LocalPolicy(INetFwPolicy** policy) override
    {
        return Fails("policy") ? kNoEndpoints : QueryInterface(IID_INetFwPolicy, reinterpret_cast<void**>(policy));
    }
    HRESULT STDMETHODCALLTYPE get_CurrentProfile(INetFwProfile** profile) override
    {
        return QueryInterface(IID_INetFwProfile, reinterpret_cast<void**>(profile));
    }
    HRESULT STDMETHODCALLTYPE get_AuthorizedApplications(INetFwAuthorizedApplications** apps) override
    {
        return QueryInterface(IID_INetFwAuthorizedApplications, reinterpret_cast<void**>(apps));
    }

    // The collection.
    HRESULT STDMETHODCALLTYPE Add(INetFwAuthorizedApplication* app) override
    {
        BSTR name = nullptr, path = nullptr;
        VARIANT_BOOL enabled = 0;
        app->get_Name(&name);
        app->get_ProcessImageFileName(&path);
        app->get_Enabled(&enabled);
        HRESULT result = Fails("add:" + Utf8(name)) ? kNoEndpoints : S_OK;
        if (SUCCEEDED(result))
            Record("add " + Utf8(name) + "|" + Utf8(path) + "|" + std::to_string(enabled) + "|" + Apartment());
        SysFreeString(name);
        SysFreeString(path);
        return result;
    }
    HRESULT STDMETHODCALLTYPE Remove(BSTR path) override
    {
        Record("remove " + Utf8(path) + "|" + Apartment());
        return S_OK;
    }

    // The application: its three properties.
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return Set(&name_, name); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return *name = SysAllocString(name_), S_OK; }
    HRESULT STDMETHODCALLTYPE put_ProcessImageFileName(BSTR path) override { return Set(&path_, path); }
    HRESULT STDMETHODCALLTYPE get_ProcessImageFileName(BSTR* path) override
    {
        return *path = SysAllocString(path_), S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override { return enabled_ = enabled, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) override { return *enabled = enabled_, S_OK; }

    NOT_USED(get_CurrentProfileType, NET_FW_PROFILE_TYPE*)
    NOT_USED(RestoreDefaults)
    NOT_USED(IsPortAllowed, BSTR, NET_FW_IP_VERSION, LONG, BSTR, NET_FW_IP_PROTOCOL, VARIANT*, VARIANT*)
    NOT_USED(IsIcmpTypeAllowed, NET_FW_IP_VERSION, BSTR, BYTE, VARIANT*, VARIANT*)
    NOT_USED(GetProfileByType, NET_FW_PROFILE_TYPE, INetFwProfile**)
    NOT_USED(get_Type, NET_FW_PROFILE_TYPE*)
    NOT_USED(get_FirewallEnabled, VARIANT_BOOL*)
    NOT_USED(put_FirewallEnabled, VARIANT_BOOL)
    NOT_USED(get_ExceptionsNotAllowed, VARIANT_BOOL*)
    NOT_USED(put_ExceptionsNotAllowed, VARIANT_BOOL)
    NOT_USED(get_NotificationsDisabled, VARIANT_BOOL*)
    NOT_USED(put_NotificationsDisabled, VARIANT_BOOL)
    NOT_USED(get_UnicastResponsesToMulticastBroadcastDisabled, VARIANT_BOOL*)
    NOT_USED(put_UnicastResponsesToMulticastBroadcastDisabled, VARIANT_BOOL)
    NOT_USED(get_RemoteAdminSettings, INetFwRemoteAdminSettings**)
    NOT_USED(get_IcmpSettings, INetFwIcmpSettings**)
    NOT_USED(get_GloballyOpenPorts, INetFwOpenPorts**)
    NOT_USED(get_Services, INetFwServices**)
    NOT_USED(get_Count, LONG*)
    NOT_USED(Item, BSTR, INetFwAuthorizedApplication**)
    NOT_USED(get__NewEnum, IUnknown**)
    NOT_USED(get_IpVersion, NET_FW_IP_VERSION*)
    NOT_USED(put_IpVersion, NET_FW_IP_VERSION)
    NOT_USED(get_Scope, NET_FW_SCOPE*)
    NOT_USED(put_Scope, NET_FW_SCOPE)
    NOT_USED(get_RemoteAddresses, BSTR*)
    NOT_USED(put_RemoteAddresses, BSTR)

private:
    static HRESULT Set(BSTR* member, BSTR value)
    {
        SysFreeString(*member);
        *member = SysAllocString(value);
        return S_OK;
    }

    LONG references_ = 1;
    BSTR name_ = nullptr;
    BSTR path_ = nullptr;
    VARIANT_BOOL enabled_ = 0;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID iid, void** object)
{
    return Fake::Make(iid, object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}
