// Services created, started, stopped, updated and deleted for real through
// the service control manager, with test_service.exe as the program.
#include "ScriptFile.h"
#include "ServiceLists.h"
#include "Services.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kScript[] = R"([Version]
Signature = "$Chicago$"

[Install.Services]
StopService = VtSvcA
StopService = VtSvcSlow
StopService = VtSvcB
DelService = VtSvcGone
AddService = VtSvcA,,SvcA
AddService = VtSvcSlow,,SvcSlow
AddService = VtSvcB,,SvcB
StartService = VtSvcA
StartService = VtSvcSlow
StartService = VtSvcB

[Product.Services]
StopService = vtsvca
StopService = VtSvcC
AddService = vtsvca,,SvcAUpdated

[Update.Services]
AddService = VtSvcA,,SvcAUpdated

[Broken.Services]
AddService = VtSvcEmpty,,SvcEmpty

[Remove.Services]
DelService = VtSvcA
DelService = VtSvcB

[SvcA]
DisplayName = "Vantor Test A"
ServiceType = 0x10
StartType = 3
ErrorControl = 1
ServiceBinary = C:\svctest\test_service.exe
LoadOrderGroup = VtGroup
ServiceGroupOrder = VtGroup,-TDI

[SvcAUpdated]
DisplayName = "Vantor Test A, updated"
ServiceType = 0x10
StartType = 2
ServiceBinary = C:\svctest\test_service.exe

[SvcSlow]
ServiceType = 0x10
StartType = 3
ServiceBinary = "C:\svctest\test_service.exe slow"

[SvcB]
ServiceType = 0x10
StartType = 3
ServiceBinary = C:\svctest\test_service.exe
Dependencies = VtSvcA

[SvcEmpty]
)";

const char kGroupOrderKey[] = "System\\CurrentControlSet\\Control\\ServiceGroupOrder";

class Services : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CreateDirectoryA("C:\\svctest", nullptr);
        ASSERT_TRUE(CopyFileA((testsupport::ModuleDir() + "\\test_service.exe").c_str(),
                              "C:\\svctest\\test_service.exe", FALSE));
        script_ = testsupport::OpenScript("C:\\svctest\\setup.inf", kScript);
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
    }
    void TearDown() override
    {
        if (script_ != INVALID_HANDLE_VALUE)
            SetupCloseInfFile(script_);
    }

    HINF script_ = INVALID_HANDLE_VALUE;
};

// State of a service; 0 when it cannot be opened (`error` tells why).
DWORD StateOf(const char* name, DWORD* error = nullptr)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    if (error)
        *error = service ? 0 : GetLastError();
    SERVICE_STATUS status = {};
    if (service) {
        QueryServiceStatus(service, &status);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return status.dwCurrentState;
}

struct Config
{
    std::string displayName, binary, group, dependencies;
    DWORD startType = 0;
};

Config ConfigOf(const char* name)
{
    Config config;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_CONFIG);
    std::vector<char> buffer(8192);
    auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    DWORD needed = 0;
    if (service && QueryServiceConfigA(service, raw, static_cast<DWORD>(buffer.size()), &needed)) {
        config.displayName = raw->lpDisplayName ? raw->lpDisplayName : "";
        config.binary = raw->lpBinaryPathName ? raw->lpBinaryPathName : "";
        config.group = raw->lpLoadOrderGroup ? raw->lpLoadOrderGroup : "";
        config.startType = raw->dwStartType;
    }
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    // Wine's QueryServiceConfigA leaves the dependencies empty: read what
    // the manager stored.
    char dependencies[256] = "";
    DWORD size = sizeof(dependencies) - 1;
    RegGetValueA(HKEY_LOCAL_MACHINE, ("System\\CurrentControlSet\\Services\\" + std::string(name)).c_str(),
                 "DependOnService", RRF_RT_REG_MULTI_SZ, nullptr, dependencies, &size);
    config.dependencies = dependencies;
    return config;
}

std::string GroupList()
{
    char data[16384];
    DWORD size = sizeof(data);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kGroupOrderKey, "List", RRF_RT_REG_MULTI_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "";
    return std::string(data, size);
}

void SetGroupList(const std::string& list)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGroupOrderKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "List", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                   static_cast<DWORD>(list.size()));
    RegCloseKey(key);
}

// A text list from section names.
std::string Sections(std::initializer_list<const char*> names)
{
    std::string list;
    for (const char* name : names)
        list += std::string(name) + '\0';
    return list + '\0';
}

TEST_F(Services, NamesGatheredOnceAcrossSections)
{
    const std::string sections = Sections({"Install", "Missing", "Product"});
    std::vector<std::string> stops;
    for (const ServiceListEntry& entry : GatherServiceNames(script_, sections.c_str(), "StopService"))
        stops.push_back(entry.name);
    EXPECT_EQ((std::vector<std::string>{"VtSvcA", "VtSvcSlow", "VtSvcB", "VtSvcC"}), stops);
    const std::vector<ServiceListEntry> adds = GatherServiceNames(script_, sections.c_str(), "AddService");
    ASSERT_EQ(3u, adds.size());
    EXPECT_STREQ("VtSvcA", adds[0].name);
    EXPECT_STREQ("SvcA", adds[0].installSection) << "the first occurrence brings its install section";
}

TEST_F(Services, InstallStartStopUpdateDelete)
{
    // A group list longer than 1024 bytes keeps every entry.
    std::string groups = std::string("TDI") + '\0';
    for (int i = 0; i < 150; ++i)
        groups += "Group number " + std::to_string(i) + '\0';
    SetGroupList(groups + '\0');

    const std::string install = Sections({"Install"});
    ASSERT_EQ(1, DeleteAndCreateServices(script_, install.c_str())) << GetLastError();
    const Config a = ConfigOf("VtSvcA");
    EXPECT_EQ("Vantor Test A", a.displayName);
    EXPECT_EQ("C:\\svctest\\test_service.exe", a.binary);
    EXPECT_EQ("VtGroup", a.group);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), a.startType);
    EXPECT_EQ("VtSvcA", ConfigOf("VtSvcB").dependencies);
    EXPECT_EQ(std::string("TDI") + '\0' + "VtGroup" + '\0' + groups.substr(4) + '\0', GroupList());

    ASSERT_EQ(1, StartServices(script_, install.c_str())) << GetLastError();
    for (const char* name : {"VtSvcA", "VtSvcSlow", "VtSvcB"})
        EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), StateOf(name)) << name;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, StartOneService("VtSvcA")) << "a refused start fails";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING), GetLastError());

    // A stops; the slow one does not within 5 s, so B is left running.
    const DWORD start = testsupport::PreciseMs();
    EXPECT_EQ(0, StopServices(script_, Sections({"Install", "Product"}).c_str()));
    const DWORD elapsed = testsupport::PreciseMsSince(start);
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 7500u);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), StateOf("VtSvcA"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), StateOf("VtSvcSlow"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), StateOf("VtSvcB"));

    // Installing over an existing service changes its configuration.
    ASSERT_EQ(1, DeleteAndCreateServices(script_, Sections({"Update"}).c_str())) << GetLastError();
    EXPECT_EQ("Vantor Test A, updated", ConfigOf("VtSvcA").displayName);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), ConfigOf("VtSvcA").startType);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, DeleteAndCreateServices(script_, Sections({"Broken", "Update"}).c_str()))
        << "an empty install section fails";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SECTION_NOT_FOUND), GetLastError());

    ASSERT_EQ(1, DeleteAndCreateServices(script_, Sections({"Remove"}).c_str()));
    DWORD error = 0;
    StateOf("VtSvcA", &error);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), error) << "a stopped service is gone";
    StateOf("VtSvcB", &error);
    EXPECT_TRUE(error == 0 || error == ERROR_SERVICE_MARKED_FOR_DELETE || error == ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST_F(Services, MissingServiceStopsAndDeletesButDoesNotStart)
{
    EXPECT_EQ(1, StopOneService("VtMissing"));
    EXPECT_EQ(1, DeleteOneService("VtMissing"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, StartOneService("VtMissing"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), GetLastError());
    EXPECT_EQ(0, StartServices(script_, Sections({"Install"}).c_str()));
}

TEST_F(Services, Windows98DoesNothingAndSucceeds)
{
    const std::string groups = GroupList();
    const std::string install = Sections({"Install", "Broken"});
    EXPECT_EQ(1, StopServices(script_, install.c_str()));
    EXPECT_EQ(1, DeleteAndCreateServices(script_, install.c_str()));
    EXPECT_EQ(1, StartServices(script_, install.c_str()));
    DWORD error = 0;
    StateOf("VtSvcA", &error);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), error);
    EXPECT_EQ(groups, GroupList());
}

}  // namespace
