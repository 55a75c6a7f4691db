// Services created, started, stopped, updated and deleted for real through
// the service control manager, with test_service.exe as their program.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // the test's registry helpers come with Vista (Wine has them)

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
[Blank.Services]
AddService = VtSvcBlank,,SvcBlank
StartService = VtSvcBlank
[Undecidable.Services]
AddService = VtSvcUndecidable,,SvcUndecidable
[SvcBlank]
ServiceType = 0x10
StartType = 3
ServiceBinary = C:\svc test\test_service.exe
[SvcUndecidable]
ServiceType = 0x10
StartType = 3
ServiceBinary = C:\svc test\missing.exe
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

// State of a service, or the error of opening it.
DWORD StateOf(const char* name)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    DWORD result = service && QueryServiceStatus(service, &status) ? status.dwCurrentState : GetLastError();
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return result;
}

// A value of `subKey` below HKLM as stored, without the terminator of a text.
std::string MachineValue(const std::string& subKey, const char* name)
{
    char data[8192];
    DWORD size = sizeof(data), type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, subKey.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
        return "(none)";
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data))
                             : std::string(data, type == REG_SZ || type == REG_EXPAND_SZ ? size - 1 : size);
}

std::string ServiceValue(const char* service, const char* name)
{
    return MachineValue(std::string("System\\CurrentControlSet\\Services\\") + service, name);
}

// A text list from texts.
std::string List(std::initializer_list<std::string> texts)
{
    std::string list;
    for (const std::string& text : texts)
        list += text + '\0';
    return list + '\0';
}

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
    void TearDown() override { SetupCloseInfFile(script_); }

    HINF script_ = INVALID_HANDLE_VALUE;
};

TEST_F(Services, NamesGatheredOnceAcrossSections)
{
    const std::string sections = List({"Install", "Missing", "Product"});
    std::string stops;
    for (const ServiceListEntry& entry : GatherServiceNames(script_, sections.c_str(), "StopService"))
        stops += std::string(entry.name) + " ";
    EXPECT_EQ("VtSvcA VtSvcSlow VtSvcB VtSvcC ", stops);
    const std::vector<ServiceListEntry> adds = GatherServiceNames(script_, sections.c_str(), "AddService");
    ASSERT_EQ(3u, adds.size());
    EXPECT_STREQ("SvcA", adds[0].installSection) << "the first occurrence brings its install section";
}

TEST_F(Services, InstallStartStopUpdateDelete)
{
    // A group list longer than 1024 bytes keeps every entry.
    std::string groups;
    for (int i = 0; i < 150; ++i)
        groups += "Group number " + std::to_string(i) + '\0';
    const std::string list = "TDI" + std::string(1, '\0') + groups + '\0';
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, kGroupOrderKey, "List", REG_MULTI_SZ, list.data(),
                                             static_cast<DWORD>(list.size())));

    ASSERT_EQ(1, DeleteAndCreateServices(script_, List({"Install"}).c_str())) << GetLastError();
    EXPECT_EQ("Vantor Test A", ServiceValue("VtSvcA", "DisplayName"));
    EXPECT_EQ("C:\\svctest\\test_service.exe", ServiceValue("VtSvcA", "ImagePath"));
    EXPECT_EQ("VtGroup", ServiceValue("VtSvcA", "Group"));
    EXPECT_EQ("3", ServiceValue("VtSvcA", "Start"));
    EXPECT_EQ(List({"VtSvcA"}), ServiceValue("VtSvcB", "DependOnService"));
    EXPECT_EQ("TDI" + std::string(1, '\0') + "VtGroup" + '\0' + groups + '\0',
              MachineValue(kGroupOrderKey, "List"));

    ASSERT_EQ(1, StartServices(script_, List({"Install"}).c_str())) << GetLastError();
    for (const char* name : {"VtSvcA", "VtSvcSlow", "VtSvcB"})
        EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), StateOf(name)) << name;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, StartOneService("VtSvcA")) << "a refused start fails";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING), GetLastError());

    // A stops; the slow one does not within 5 s, so B is left running.
    const DWORD start = testsupport::PreciseMs();
    EXPECT_EQ(0, StopServices(script_, List({"Install", "Product"}).c_str()));
    const DWORD elapsed = testsupport::PreciseMsSince(start);
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 7500u);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), StateOf("VtSvcA"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), StateOf("VtSvcSlow"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), StateOf("VtSvcB"));

    // Installing over an existing service changes its configuration.
    ASSERT_EQ(1, DeleteAndCreateServices(script_, List({"Update"}).c_str())) << GetLastError();
    EXPECT_EQ("Vantor Test A, updated", ServiceValue("VtSvcA", "DisplayName"));
    EXPECT_EQ("2", ServiceValue("VtSvcA", "Start"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, DeleteAndCreateServices(script_, List({"Broken", "Update"}).c_str())) << "an empty install section";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SECTION_NOT_FOUND), GetLastError());

    ASSERT_EQ(1, DeleteAndCreateServices(script_, List({"Remove"}).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), StateOf("VtSvcA"));
}

// The service manager parses the binary path as a command line: unquoted,
// "C:\svc test\test_service.exe" would start a planted C:\svc.exe. The path is
// stored quoted and the service runs its own program; a path whose program
// cannot be told from its arguments (nothing of it exists) fails the service.
TEST_F(Services, BinaryPathWithABlankIsQuotedAndNoPlantedPieceRuns)
{
    CreateDirectoryA("C:\\svc test", nullptr);
    const std::string service = testsupport::ModuleDir() + "\\test_service.exe";
    ASSERT_TRUE(CopyFileA(service.c_str(), "C:\\svc test\\test_service.exe", FALSE));
    ASSERT_TRUE(CopyFileA(service.c_str(), "C:\\svc.exe", FALSE));
    DeleteFileA("C:\\svc.exe.ran");

    ASSERT_EQ(1, DeleteAndCreateServices(script_, List({"Blank"}).c_str())) << GetLastError();
    EXPECT_EQ("\"C:\\svc test\\test_service.exe\"", ServiceValue("VtSvcBlank", "ImagePath"));
    ASSERT_EQ(1, StartServices(script_, List({"Blank"}).c_str())) << GetLastError();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), StateOf("VtSvcBlank"));
    EXPECT_FALSE(testsupport::FileExists("C:\\svc.exe.ran")) << "the planted program ran as the service";
    EXPECT_EQ(1, StopServices(script_, List({"Blank"}).c_str()));

    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, DeleteAndCreateServices(script_, List({"Undecidable"}).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), StateOf("VtSvcUndecidable"));
    EXPECT_FALSE(testsupport::FileExists("C:\\svc.exe.ran"));
}

TEST_F(Services, MissingServiceStopsAndDeletesButDoesNotStart)
{
    EXPECT_EQ(1, StopOneService("VtMissing"));
    EXPECT_EQ(1, DeleteOneService("VtMissing"));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, StartOneService("VtMissing"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), GetLastError());
    EXPECT_EQ(0, StartServices(script_, List({"Install"}).c_str()));
}

TEST_F(Services, Windows98DoesNothingAndSucceeds)
{
    const std::string groups = MachineValue(kGroupOrderKey, "List");
    const std::string sections = List({"Install", "Broken"});
    EXPECT_EQ(1, StopServices(script_, sections.c_str()));
    EXPECT_EQ(1, DeleteAndCreateServices(script_, sections.c_str()));
    EXPECT_EQ(1, StartServices(script_, sections.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), StateOf("VtSvcA"));
    EXPECT_EQ(groups, MachineValue(kGroupOrderKey, "List"));
}

}  // namespace
