// Pictures of the modem test's wizard: runs the program's real pages (with
// the sample definition file and location list beside this program, and the
// simulated modem on COM3) in one look and one language, walks through the
// pages and saves each state as a BMP file:
//   mdmprobe_shots wizard97|classic <language> installed|not-installed <output folder>
// <language>: en, de, fr, it, nl or es; "installed" registers the modem as
// an installed Windows modem first (all tests pass), "not-installed" leaves
// it out (the verdict shows a failure).
// Files: <folder>\mdmprobe-<look>-<language>-<n>-<state>.bmp
#include "ProbeApp.h"
#include "ResultList.h"
#include "Snapshot.h"
#include "UiDriver.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

using namespace uidriver;

namespace {

struct Language
{
    const char* tag;
    LANGID id;
};

const Language kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}, {"de", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},      {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)},
    {"nl", MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH)},        {"es", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN)},
};

constexpr DWORD kWaitMs = 60000;

// Walks the wizard from the welcome page to the verdict; false when a state
// is not reached.
bool TakePictures(const std::string& prefix)
{
    int number = 0;
    auto snap = [&](HWND sheet, const char* state) {
        std::string path = prefix + "-" + std::to_string(++number) + "-" + state + ".bmp";
        bool ok = SaveWindowPicture(sheet, path);
        std::printf("%s %s\n", ok ? "saved" : "FAILED", path.c_str());
        return ok;
    };
    HWND sheet = WaitForWizard(GetCurrentProcessId(), kWaitMs);
    if (!sheet || !WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Next); }, kWaitMs))
        return false;
    snap(sheet, "welcome");
    Press(sheet, WizardButton::Next);
    if (!WaitFor([&] { return CurrentPageIndex(sheet) == 1; }, kWaitMs))
        return false;
    snap(sheet, "searching");
    if (!WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Next); }, kWaitMs))
        return false;
    snap(sheet, "modem-found");
    Click(sheet, 1036);  // run the connection test
    snap(sheet, "connection-test");
    Click(sheet, 1063);  // own connection
    snap(sheet, "own-number");
    Click(sheet, 1062);
    Press(sheet, WizardButton::Next);
    HWND list = nullptr;
    if (!WaitFor([&] {
            list = PageControl(sheet, 1);
            return CurrentPageIndex(sheet) == 2 && SendMessageA(list, RLM_GETMARKS, 3, 0) == RL_MARK_CURRENT;
        }, kWaitMs))
        return false;
    snap(sheet, "testing");
    if (!WaitFor([&] { return ButtonEnabled(sheet, WizardButton::Finish); }, kWaitMs))
        return false;
    snap(sheet, "verdict");
    Press(sheet, WizardButton::Finish);
    return true;
}

// Registers the VX-56i among the installed Windows modems (NT family).
void RegisterModem()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0000",
                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const char model[] = "Vantor VX-56i PCI Modem";
    RegSetValueExA(key, "Model", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model));
    RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv)
{
    const Language* language = nullptr;
    for (const Language& candidate : kLanguages) {
        if (argc == 5 && std::strcmp(argv[2], candidate.tag) == 0)
            language = &candidate;
    }
    const bool classic = argc == 5 && std::strcmp(argv[1], "classic") == 0;
    if (!language || (!classic && std::strcmp(argv[1], "wizard97") != 0)) {
        std::fprintf(stderr, "usage: mdmprobe_shots wizard97|classic en|de|fr|it|nl|es "
                             "installed|not-installed <output folder>\n");
        return 2;
    }
    if (std::strcmp(argv[3], "installed") == 0)
        RegisterModem();
    SetThreadLocale(MAKELCID(language->id, SORT_DEFAULT));
    const std::string prefix = std::string(argv[4]) + "\\mdmprobe-" + argv[1] + "-" + argv[2];
    bool ok = false;
    std::thread driver([&] {
        ok = TakePictures(prefix);
        if (HWND sheet = ok ? nullptr : FindWizard(GetCurrentProcessId()))
            Press(sheet, WizardButton::Cancel);  // a state not reached: end the run
    });
    RunModemTest(GetModuleHandleA(nullptr), "", classic ? WizardLook::Classic : WizardLook::Wizard97);
    driver.join();
    return ok ? 0 : 1;
}
