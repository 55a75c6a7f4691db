// Firewall entries of a script section, made through COM against a stand-in
// firewall (fake_firewall.dll, registered under the firewall's ProgIDs in
// this test's prefix) that records what it is told.
#include "Firewall.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const HRESULT kNoEndpoints = static_cast<HRESULT>(0x800706D9);

std::string g_log;  // the stand-in's record

// Points both ProgIDs at the stand-in (one class id each).
void RegisterStandIn()
{
    const std::string dll = testsupport::ModuleDir() + "\\fake_firewall.dll";
    const std::pair<const char*, const char*> classes[] = {
        {"HNetCfg.FwMgr", "{6A3E1B52-5F0B-4C1E-9A51-2D0C8E7F4A01}"},
        {"HNetCfg.FwAuthorizedApplication", "{6A3E1B52-5F0B-4C1E-9A51-2D0C8E7F4A02}"},
    };
    for (const auto& [progId, clsid] : classes) {
        const std::string server = std::string("CLSID\\") + clsid + "\\InprocServer32";
        ASSERT_TRUE(testsupport::SetRegistryText(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID", nullptr, clsid));
        ASSERT_TRUE(testsupport::SetRegistryText(HKEY_CLASSES_ROOT, server, nullptr, dll));
        ASSERT_TRUE(testsupport::SetRegistryText(HKEY_CLASSES_ROOT, server, "ThreadingModel", "Apartment"));
    }
}

std::string TakeLog()
{
    std::string text = testsupport::ReadFileBytes(g_log);
    DeleteFileA(g_log.c_str());
    return text;
}

class Firewall : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        RegisterStandIn();
        g_log = testsupport::RunDir() + "\\firewall.log";
        SetEnvironmentVariableA("FAKE_FIREWALL_LOG", g_log.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("FAKE_FIREWALL_FAIL", nullptr); }
};

// MakeFirewallEntries then DelFirewallEntries, in their section order; lines
// without a program path and missing sections are skipped; a refused entry
// stops nothing. Texts arrive as UTF-16 from the ANSI code page; COM is a
// single-threaded apartment during each call and gone afterwards.
TEST_F(Firewall, EntriesOfASection)
{
    const std::string script = g_log + ".inf";
    std::ofstream(script, std::ios::binary)
        << "[Version]\r\nSignature=\"$Chicago$\"\r\n"
           "[Install]\r\nDelFirewallEntries=Fw.Old\r\nMakeFirewallEntries=Fw.Main,Fw.Missing,Fw.Extra\r\n"
           "[Fw.Main]\r\n\"Modem Test\",\"C:\\Program Files\\Vantor\\mdmprobe.exe\"\r\n\"Name only\"\r\n"
           "\"Refused\",\"C:\\x\\refused.exe\"\r\n"
           "[Fw.Extra]\r\n\"Contr\xf4le\",\"C:\\Outils\\contr\xf4le.exe\"\r\n"
           "[Fw.Old]\r\nignored,\"C:\\old\\tool.exe\"\r\n\"no path\"\r\n";
    HINF inf = SetupOpenInfFileA(script.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, inf);
    SetEnvironmentVariableA("FAKE_FIREWALL_FAIL", "add:Refused");
    EXPECT_EQ(1, FirewallEntries(inf, "Install"));
    EXPECT_EQ(1, FirewallEntries(inf, "Fw.Missing"));
    SetupCloseInfFile(inf);

    EXPECT_EQ("add Modem Test|C:\\Program Files\\Vantor\\mdmprobe.exe|-1|sta\n"
              "add Contr\xc3\xb4le|C:\\Outils\\contr\xc3\xb4le.exe|-1|sta\n"
              "remove C:\\old\\tool.exe|sta\n",
              TakeLog());
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "each call uninitialised COM again";
    CoUninitialize();
}

// The single operations return the COM result of the failing step; a
// thread that has its own apartment keeps it.
TEST_F(Firewall, OperationsReturnTheirResult)
{
    EXPECT_EQ(S_OK, FirewallAddApplication("Tool", "C:\\t.exe", 0));
    EXPECT_EQ(S_OK, FirewallRemoveApplication("C:\\t.exe"));
    SetEnvironmentVariableA("FAKE_FIREWALL_FAIL", "policy");
    EXPECT_EQ(kNoEndpoints, FirewallAddApplication("Tool", "C:\\u.exe", 1));
    EXPECT_EQ(kNoEndpoints, FirewallRemoveApplication("C:\\u.exe"));
    SetEnvironmentVariableA("FAKE_FIREWALL_FAIL", nullptr);

    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(RPC_E_CHANGED_MODE, FirewallAddApplication("Tool", "C:\\mta.exe", 1));
    CoUninitialize();
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    EXPECT_EQ(S_OK, FirewallAddApplication("Tool", "C:\\sta.exe", 1));
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) << "the thread's apartment stays";
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ("add Tool|C:\\t.exe|0|sta\nremove C:\\t.exe|sta\nadd Tool|C:\\sta.exe|-1|sta\n", TakeLog());
}

}  // namespace
