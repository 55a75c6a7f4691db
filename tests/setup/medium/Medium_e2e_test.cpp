// The shipped installation medium (dist/x64: setup.exe, setup.inf,
// mdmprobe.cab) installed unattended as a deployment tool would, then
// removed with the command its uninstall entry stores (the program path in
// quotes), as the list of installed programs (UninstallString, through the
// removal wizard) or a deployment tool (QuietUninstallString) would:
// afterwards nothing of the product is left but the running setup.exe and
// its folders, which wait for the restart.
#include "InstalledProduct.h"
#include "UiDriver.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

using testsupport::ChildProcess;
using testsupport::FileExists;
using namespace medium;

namespace {

std::string g_medium;  // Windows path of the medium folder
std::string g_self;    // this test program

// Where Windows looks first for "C:\Program Files\..." written unquoted.
const char kPlanted[] = "C:\\Program.exe";

constexpr DWORD kRunMs = 60000;

void InstallAndRemove(const char* removalValue)
{
    // The medium in a folder of its own, as on a CD.
    const std::string medium = testsupport::RunDir() + "\\medium";
    CreateDirectoryA(medium.c_str(), nullptr);
    for (const char* file : {"setup.exe", "setup.inf", "mdmprobe.cab"})
        ASSERT_TRUE(CopyFileA((g_medium + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE)) << file;

    ChildProcess install;
    ASSERT_TRUE(install.Start("\"" + medium + "\\setup.exe\" /quiet", medium));
    DWORD exitCode = 1;
    ASSERT_TRUE(install.Wait(kRunMs, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseStartedModemTest();

    const std::string target = TargetDir();
    const std::string menu = MenuDir();
    for (const char* file : kFiles) EXPECT_TRUE(FileExists(target + "\\" + file)) << file;
    for (const char* shortcut : kShortcuts) EXPECT_TRUE(FileExists(menu + "\\" + shortcut)) << shortcut;
    EXPECT_EQ("Vantor Modem Test", MachineText(kEntry, "DisplayName"));
    EXPECT_EQ("\"" + target + "\\setup.exe\" /remove:ModemTest", MachineText(kEntry, "UninstallString"));
    EXPECT_EQ("\"" + target + "\\setup.exe\" /remove:ModemTest /quiet", MachineText(kEntry, "QuietUninstallString"));
    EXPECT_EQ("1.1.0.0", MachineText(kEntry, "ProductVersion")) << "read from mdmprobe.exe inside the cabinet";
    EXPECT_EQ(target, MachineText(kEntry, "UserTargetDir"));
    EXPECT_EQ(target + "\\mdmprobe.exe", MachineText(kAppPath, nullptr));
    std::ofstream(target + "\\mdmprobe.log") << "12:00:00 - a run of the modem test\r\n";

    // The removal as the uninstall entry tells it, started with the whole
    // command as the list of installed programs or a deployment tool does,
    // while a program lies where an unquoted path with blanks would find
    // one first ("C:\Program" and ".exe").
    ASSERT_TRUE(CopyFileA(g_self.c_str(), kPlanted, FALSE));
    const std::string command = MachineText(kEntry, removalValue);
    ASSERT_FALSE(command.empty()) << removalValue;
    ChildProcess remove;
    ASSERT_TRUE(remove.Start(command));
    if (std::string(removalValue) == "UninstallString") {
        HWND wizard = uidriver::WaitForWizard(remove.Id(), 20000);
        ASSERT_NE(nullptr, wizard) << "no removal wizard";
        uidriver::Press(wizard, uidriver::WizardButton::Next);
        ASSERT_TRUE(uidriver::WaitFor([&] { return uidriver::ButtonEnabled(wizard, uidriver::WizardButton::Finish); },
                                      kRunMs));
        uidriver::Press(wizard, uidriver::WizardButton::Finish);
    }
    ASSERT_TRUE(remove.Wait(kRunMs, &exitCode));
    EXPECT_FALSE(FileExists(std::string(kPlanted) + ".ran")) << command;
    EXPECT_EQ(3010u, exitCode) << "the running setup.exe is deleted at the restart";

    ExpectNothingLeft();
    // The folders the installation made go in order at the restart: Modem
    // Tools, which still holds the running setup.exe, before the Vantor
    // folder above it; never the program-files folder.
    const std::string vantor = target.substr(0, target.rfind('\\'));
    const size_t toolsAt = RestartPosition(target);
    const size_t vantorAt = RestartPosition(vantor);
    EXPECT_NE(std::string::npos, toolsAt);
    EXPECT_NE(std::string::npos, vantorAt) << vantor;
    EXPECT_LT(toolsAt, vantorAt);
    EXPECT_EQ(std::string::npos, RestartPosition(vantor.substr(0, vantor.rfind('\\'))));
}

}  // namespace

TEST(ShippedMedium, RemovedByUninstallString) { InstallAndRemove("UninstallString"); }

TEST(ShippedMedium, RemovedByQuietUninstallString) { InstallAndRemove("QuietUninstallString"); }

int main(int argc, char** argv)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    g_self = self;
    if (lstrcmpiA(self, kPlanted) == 0) {  // started in place of setup.exe: leaves its mark
        std::ofstream(std::string(self) + ".ran") << GetCommandLineA();
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_medium_e2e_test MEDIUM-FOLDER\n");
        return 2;
    }
    g_medium = testsupport::UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
