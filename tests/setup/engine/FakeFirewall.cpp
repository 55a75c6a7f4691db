// A stand-in for the Windows Firewall's COM objects (Wine's accept every
// call and store nothing), registered by the test under the firewall's
// ProgIDs. Additions and removals are appended to the file named by
// FAKE_FIREWALL_LOG as UTF-8 lines:
//   add NAME|PATH|ENABLED|APARTMENT     remove PATH|APARTMENT
// FAKE_FIREWALL_FAIL makes one step fail with "no endpoints" (0x800706D9):
// "policy" the policy look-up, "add:NAME" the addition of entry NAME.
//
// The objects are plain C-style COM objects: one record layout, one table of
// methods per role (manager, policy, profile, collection, application,
// class factory), filled by slot number from the interfaces' declaration
// order; the slots the code under test never calls get NotUsed.
#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <string>

namespace {

const HRESULT kNoEndpoints = static_cast<HRESULT>(0x800706D9);

struct Object
{
    void* const* methods;
    LONG references;
    BSTR name;
    BSTR path;
    VARIANT_BOOL enabled;
};

// The process environment as the test sets it (the C library's copy is
// taken at start-up).
std::string Env(const char* name)
{
    char value[512] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length < sizeof(value) ? std::string(value, length) : std::string();
}

std::string Utf8(BSTR text)
{
    char out[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text ? text : L"(null)", -1, out, sizeof(out), nullptr, nullptr);
    return out;
}

// The calling thread's COM apartment (CoGetApartmentType, looked up: newer
// than the headers' Windows version).
std::string Apartment()
{
    using GetType = HRESULT(WINAPI*)(int*, int*);
    auto get = reinterpret_cast<GetType>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ole32.dll"), "CoGetApartmentType")));
    int type = -1, qualifier = 0;
    bool sta = get && SUCCEEDED(get(&type, &qualifier)) && (type == 0 || type == 3);  // STA, main STA
    return sta ? "sta" : "other";
}

void Record(const std::string& line)
{
    std::ofstream(Env("FAKE_FIREWALL_LOG"), std::ios::app | std::ios::binary) << line << "|" << Apartment() << "\n";
}

HRESULT Make(void* const* methods, void** object)
{
    *object = new Object{methods, 1, nullptr, nullptr, 0};
    return S_OK;
}

// Methods, each with the object first (the Windows calling convention).
HRESULT WINAPI NotUsed() { return E_NOTIMPL; }
HRESULT WINAPI QueryInterface(Object* self, REFIID, void** object)
{
    InterlockedIncrement(&self->references);
    *object = self;
    return S_OK;
}
ULONG WINAPI AddRef(Object* self) { return InterlockedIncrement(&self->references); }
ULONG WINAPI Release(Object* self)
{
    LONG left = InterlockedDecrement(&self->references);
    if (left == 0) {
        SysFreeString(self->name);
        SysFreeString(self->path);
        delete self;
    }
    return left;
}

extern void* const kPolicy[], *const kProfile[], *const kCollection[];
HRESULT WINAPI LocalPolicy(Object*, void** policy)
{
    return Env("FAKE_FIREWALL_FAIL") == "policy" ? kNoEndpoints : Make(kPolicy, policy);
}
HRESULT WINAPI CurrentProfile(Object*, void** profile) { return Make(kProfile, profile); }
HRESULT WINAPI AuthorizedApplications(Object*, void** apps) { return Make(kCollection, apps); }
HRESULT WINAPI Add(Object*, Object* app)
{
    if (Env("FAKE_FIREWALL_FAIL") == "add:" + Utf8(app->name))
        return kNoEndpoints;
    Record("add " + Utf8(app->name) + "|" + Utf8(app->path) + "|" + std::to_string(app->enabled));
    return S_OK;
}
HRESULT WINAPI Remove(Object*, BSTR path)
{
    Record("remove " + Utf8(path));
    return S_OK;
}
HRESULT WINAPI PutName(Object* self, BSTR name) { return self->name = SysAllocString(name), S_OK; }
HRESULT WINAPI PutPath(Object* self, BSTR path) { return self->path = SysAllocString(path), S_OK; }
HRESULT WINAPI PutEnabled(Object* self, VARIANT_BOOL enabled) { return self->enabled = enabled, S_OK; }

extern void* const kManager[], *const kApplication[];
HRESULT WINAPI CreateManager(Object*, IUnknown*, REFIID, void** object) { return Make(kManager, object); }
HRESULT WINAPI CreateApplication(Object*, IUnknown*, REFIID, void** object) { return Make(kApplication, object); }
HRESULT WINAPI LockServer(Object*, BOOL) { return S_OK; }

#define M(function) reinterpret_cast<void*>(function)
#define UNKNOWN M(QueryInterface), M(AddRef), M(Release)
#define DISPATCH UNKNOWN, M(NotUsed), M(NotUsed), M(NotUsed), M(NotUsed)  // slots 0 to 6
#define N M(NotUsed)

void* const kManager[] = {DISPATCH, M(LocalPolicy), N, N, N, N};
void* const kPolicy[] = {DISPATCH, M(CurrentProfile), N};
void* const kProfile[] = {DISPATCH, N, N, N, N, N, N, N, N, N, N, N, N, N, M(AuthorizedApplications)};
void* const kCollection[] = {DISPATCH, N, M(Add), M(Remove), N, N};
void* const kApplication[] = {DISPATCH, N, M(PutName), N, M(PutPath), N, N, N, N, N, N, N, M(PutEnabled)};
void* const kManagerFactory[] = {UNKNOWN, M(CreateManager), M(LockServer)};
void* const kApplicationFactory[] = {UNKNOWN, M(CreateApplication), M(LockServer)};

}  // namespace

// Class id ...01 is the manager, any other the application.
extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID, void** object)
{
    return Make(clsid.Data4[7] == 0x01 ? kManagerFactory : kApplicationFactory, object);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow()
{
    return S_FALSE;
}
