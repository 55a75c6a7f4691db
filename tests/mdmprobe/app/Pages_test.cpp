// The program's resources and pages inside this test program (linked with
// the same resource script): every template and string in all six
// languages, and the pages built in both wizard layouts.
#include "CommonControls.h"
#include "ConfigPage.h"
#include "IniFile.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "ProbeApp.h"
#include "ResultList.h"
#include "Serial.h"
#include "TestContext.h"
#include "TestPage.h"
#include "UiDriver.h"
#include "WelcomePage.h"
#include "WizardSheet.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

using namespace uidriver;

namespace {

const LANGID kLanguages[] = {
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),      MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH),        MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL),
};
const UINT kDialogs[] = {IDD_WELCOME97, IDD_SEARCH97, IDD_TEST97,
                         IDD_WELCOME,   IDD_SEARCH,   IDD_TEST};
const UINT kStrings[] = {IDS_APP_CAPTION,    IDS_WELCOME_CAPTION, IDS_WELCOME_TITLE,
                         IDS_WELCOME_SUBTITLE, IDS_SEARCH_CAPTION, IDS_SEARCH_TITLE,
                         IDS_SEARCH_SUBTITLE, IDS_TEST_CAPTION,   IDS_TEST_TITLE,
                         IDS_TEST_SUBTITLE,   IDS_NO_TAPI_NAME};

// String `id` of the string table block of `language` (empty when the block
// or the string is missing).
std::wstring StringText(UINT id, LANGID language)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceExA(self, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1),
                                  language);
    if (!block)
        return std::wstring();
    auto* entry = static_cast<const WORD*>(LockResource(LoadResource(self, block)));
    for (UINT i = 0; i < id % 16; ++i)
        entry += 1 + *entry;
    return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
}

TEST(Resources, EveryTemplateAndStringExistsInAllSixLanguages)
{
    for (LANGID language : kLanguages) {
        for (UINT dialog : kDialogs) {
            EXPECT_NE(nullptr, FindResourceExA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(5),
                                               MAKEINTRESOURCEA(dialog), language))
                << "dialog " << dialog << " language " << std::hex << language;
        }
        for (UINT id : kStrings)
            EXPECT_FALSE(StringText(id, language).empty()) << "string " << id << " language " << std::hex << language;
    }
    for (UINT bitmap : {IDB_HEADER, IDB_WATERMARK, IDB_MARK_PASSED, IDB_MARK_CURRENT, IDB_MARK_FAILED})
        EXPECT_NE(nullptr, LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmap))) << bitmap;
    for (UINT icon : {IDI_TEST_SUCCESS, IDI_TEST_FAILURE})
        EXPECT_NE(nullptr, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon))) << icon;
}

TEST(Resources, EachLanguageHasItsOwnTexts)
{
    for (UINT id : {IDS_APP_CAPTION, IDS_SEARCH_SUBTITLE, IDS_TEST_SUBTITLE, IDS_NO_TAPI_NAME}) {
        std::set<std::wstring> texts;
        for (LANGID language : kLanguages)
            texts.insert(StringText(id, language));
        EXPECT_EQ(6u, texts.size()) << "string " << id;
    }
}

TEST(Resources, DefinitionKeyNamesAreTheSameInEveryLanguage)
{
    const UINT ids[] = {37, 38, 39, 41, 42, 43, 44, 45, 76, 77, 78, 79, 80,
                        81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 92, 93, 94};
    const char* const names[] = {
        "CRCCheckCmd", "CRCCheckAnswer", "RAMCheckCmd", "RAMCheckError", "DialCmd", "DialAnswer",
        "DiagCmd", "DiagAnswer", "ModemDetectCmd", "ModemDetectAnsw", "ModemReadName",
        "ModemReadName2", "ModemReadFirmw", "DefaultCRCCheckCmd", "DefaultCRCCheckAnswer",
        "DefaultRAMCheckCmd", "DefaultRAMCheckError", "DefaultDialCmd", "DefaultDialAnswer",
        "DefaultDialCmdNoDialT", "DialCmdNoDialT", "MinSpeed", "DefaultMinSpeed", "ModemTapiName",
        "ConnectTime", "HangupTime"};
    static_assert(sizeof(ids) / sizeof(ids[0]) == sizeof(names) / sizeof(names[0]), "one name per id");
    for (LANGID language : kLanguages) {
        for (size_t i = 0; i < sizeof(ids) / sizeof(ids[0]); ++i) {
            const std::string name(names[i]);
            EXPECT_EQ(std::wstring(name.begin(), name.end()), StringText(ids[i], language))
                << ids[i] << " language " << std::hex << language;
        }
    }
}

TEST(Resources, TheThreadLocalePicksTheLanguage)
{
    // Spanish is left out: its resources are language-neutral, which Windows
    // and Wine find through the user's Spanish locale; Wine's lookup by
    // thread locale only takes exact matches.
    LCID saved = GetThreadLocale();
    for (LANGID language : kLanguages) {
        if (PRIMARYLANGID(language) == LANG_SPANISH)
            continue;
        ASSERT_TRUE(SetThreadLocale(MAKELCID(language, SORT_DEFAULT))) << std::hex << language;
        char text[256] = "";
        LoadStringA(GetModuleHandleA(nullptr), IDS_APP_CAPTION, text, sizeof(text));
        std::wstring wide = StringText(IDS_APP_CAPTION, language);
        EXPECT_EQ(std::string(wide.begin(), wide.end()), text) << std::hex << language;
    }
    SetThreadLocale(saved);
}

// The real pages in one layout over a run context of their own, shown
// modally while `drive` works the wizard from another thread; the modem's
// port stays closed, so every check fails at once.
struct PagesRunner
{
    TestContext context;
    ModemInfo modem;
    CSerial serial;
    ModemCmds commands;
    CIniFile ini{"C:\\missing.ini"};
    std::unique_ptr<CLogFile> log;

    explicit PagesRunner(bool oldStyle)
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof(temp), temp);
        log.reset(new CLogFile(std::string(temp) + "pages.log"));
        context.hInstance = GetModuleHandleA(nullptr);
        context.oldStyleWizard = oldStyle;
        context.modem = &modem;
        modem.serialPort = &serial;
        modem.commands = &commands;
        context.definitionFile = &ini;
        context.log = log.get();
        context.titleFont = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
        context.headerFont = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
    }
    ~PagesRunner()
    {
        DeleteObject(context.titleFont);
        DeleteObject(context.headerFont);
    }

    INT_PTR Run(const std::function<void(HWND)>& drive)
    {
        CWelcomeP welcome(&context);
        CConfigP search(&context);
        CTestP test(&context);
        CWizardSheet sheet(context.hInstance, IDS_APP_CAPTION);
        SetUpWizard(context, welcome, search, test, sheet);
        sheet.AddPage(&welcome);
        sheet.AddPage(&search);
        sheet.AddPage(&test);
        InitCommonControlClasses();  // as the program's start-up does, before the driver's wait
        std::thread driver([&] {
            if (HWND w = WaitForWizard(GetCurrentProcessId(), 10000)) {
                drive(w);
                Press(w, WizardButton::Cancel);
            }
        });
        INT_PTR result = sheet.DoModal();
        driver.join();
        modem.stopRequested = true;
        context.worker.Wait();
        return result;
    }
};

// Shows each page in turn and checks what the pages set up there.
struct PagesRun
{
    bool welcomeTitleFont = false;
    bool searchHeadingFont = false;
    bool searchHasHeading = false;
    bool testHasHeading = false;
    bool testHasIcons = false;
    int pageCount = 0;
};

PagesRun RunPages(bool oldStyle)
{
    PagesRunner runner(oldStyle);  // the search page scans: no port exists here
    const TestContext& context = runner.context;
    PagesRun run;
    INT_PTR result = runner.Run([&](HWND w) {
        run.pageCount = PageCount(w);
        HWND title = PageControl(w, IDC_WELCOME_TITLE);
        run.welcomeTitleFont =
            reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0)) == context.titleFont;
        Press(w, WizardButton::Next);
        // The tab selection moves before the sheet's current page does: wait
        // for a control of the page itself.
        EXPECT_TRUE(WaitFor([&] { return PageControl(w, IDC_PORT) != nullptr; }, 5000));
        HWND heading = PageControl(w, IDC_HEADING);
        run.searchHasHeading = heading != nullptr;
        run.searchHeadingFont =
            reinterpret_cast<HFONT>(SendMessageA(heading, WM_GETFONT, 0, 0)) == context.headerFont;
        // Next is disabled on the search page until a modem is found: jump
        // to the test page directly to look at its template.
        PostMessageA(w, PSM_SETCURSEL, 2, 0);
        EXPECT_TRUE(WaitFor([&] { return PageControl(w, IDC_VIEW_LOG) != nullptr; }, 5000));
        run.testHasHeading = PageControl(w, IDC_HEADING) != nullptr;
        run.testHasIcons = PageControl(w, IDC_ICON_SUCCESS) != nullptr &&
                           PageControl(w, IDC_ICON_FAILURE) != nullptr;
    });
    EXPECT_EQ(IDCANCEL, result);
    return run;
}

// The test page's list by phone number and diagnostic command, and its end
// when every check fails (closed port, modem not installed).
TEST(Pages, TestPageListsTheTestsThatRunAndShowsTheFailure)
{
    const struct
    {
        const char* phoneNumber;
        const char* diagCmd;
        int items;
    } runs[] = {{"", "AT*DIAG", 3}, {"0123", "", 4}, {"0123", "AT*DIAG", 5}};
    for (const auto& row : runs) {
        SCOPED_TRACE(row.items);
        PagesRunner runner(false);
        runner.modem.modemName = "VX-56i";  // found before: no scan
        runner.context.phoneNumber = row.phoneNumber;
        runner.commands.DiagCmd = row.diagCmd;
        runner.Run([&](HWND w) {
            Press(w, WizardButton::Next);
            ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(w) == 1; }, 5000));
            PostMessageA(w, PSM_SETCURSEL, 2, 0);  // past Next, which takes the number from the page
            ASSERT_TRUE(WaitFor([&] { return CurrentPageIndex(w) == 2 && PageControl(w, 1) != nullptr; }, 5000));
            HWND list = PageControl(w, 1);
            EXPECT_EQ(row.items, SendMessageA(list, RLM_GETCOUNT, 0, 0));
            ASSERT_TRUE(WaitFor([&] { return ButtonEnabled(w, WizardButton::Finish); }, 10000));
            for (int item = 0; item < row.items; ++item)
                EXPECT_EQ(RL_MARK_FAILED, SendMessageA(list, RLM_GETMARKS, static_cast<WPARAM>(item), 0)) << item;
            EXPECT_EQ("Errors were detected while testing the modem. Please check the items marked with red "
                      "crosses in the list above.", ControlText(w, IDC_STATUS));
            EXPECT_TRUE(IsShown(PageControl(w, IDC_ICON_FAILURE)));
            EXPECT_FALSE(IsShown(PageControl(w, IDC_ICON_SUCCESS)));
            EXPECT_TRUE(IsEnabled(PageControl(w, IDC_VIEW_LOG)));
            EXPECT_TRUE(ButtonEnabled(w, WizardButton::Back));
            EXPECT_FALSE(IsEnabled(ButtonWindow(w, WizardButton::Cancel)));
            EnableWindow(ButtonWindow(w, WizardButton::Cancel), TRUE);  // to close the wizard
        });
        EXPECT_EQ(STATUS_TAPI_FAILED | STATUS_RAM_FAILED | STATUS_CRC_FAILED |
                      (row.phoneNumber[0] ? STATUS_DIAL_FAILED : 0),
                  runner.context.status);
    }
}

TEST(Pages, Wizard97LayoutUsesHeaderTemplatesWithIcons)
{
    PagesRun run = RunPages(false);
    EXPECT_EQ(3, run.pageCount);
    EXPECT_TRUE(run.welcomeTitleFont);
    EXPECT_FALSE(run.searchHasHeading);
    EXPECT_FALSE(run.testHasHeading);
    EXPECT_TRUE(run.testHasIcons);
}

TEST(Pages, ClassicLayoutHasOwnHeadingsInBoldAndNoIcons)
{
    PagesRun run = RunPages(true);
    EXPECT_EQ(3, run.pageCount);
    EXPECT_TRUE(run.welcomeTitleFont);
    EXPECT_TRUE(run.searchHasHeading);
    EXPECT_TRUE(run.searchHeadingFont);
    EXPECT_TRUE(run.testHasHeading);
    EXPECT_FALSE(run.testHasIcons);
}

}  // namespace
