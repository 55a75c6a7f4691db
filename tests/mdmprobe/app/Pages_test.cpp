// The program's resources and pages inside this test program (linked with
// the same resource script): every template and string in all six
// languages, and the pages built in both wizard layouts.
#include "ConfigPage.h"
#include "IniFile.h"
#include "LogFile.h"
#include "ModemCmds.h"
#include "ProbeApp.h"
#include "Serial.h"
#include "TestContext.h"
#include "TestPage.h"
#include "UiDriver.h"
#include "WelcomePage.h"
#include "WizardSheet.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

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

// Builds the real pages in one layout, shows each page in turn from another
// thread and checks what the pages set up there; then cancels.
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
    TestContext context;
    ModemInfo modem;
    context.hInstance = GetModuleHandleA(nullptr);
    context.oldStyleWizard = oldStyle;
    context.modem = &modem;
    // The search page scans when it is shown (no port exists here).
    CSerial serial;
    ModemCmds commands;
    CIniFile ini("C:\\missing.ini");
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    CLogFile log(std::string(temp) + "pages.log");
    modem.serialPort = &serial;
    modem.commands = &commands;
    context.definitionFile = &ini;
    context.log = &log;
    context.titleFont = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
    context.headerFont = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");

    CWelcomeP welcome(&context);
    CConfigP search(&context);
    CTestP test(&context);
    CWizardSheet sheet(context.hInstance, IDS_APP_CAPTION);
    SetUpWizard(context, welcome, search, test, sheet);
    sheet.AddPage(&welcome);
    sheet.AddPage(&search);
    sheet.AddPage(&test);

    PagesRun run;
    std::thread driver([&] {
        HWND w = WaitForWizard(GetCurrentProcessId(), 10000);
        if (!w)
            return;
        run.pageCount = PageCount(w);
        HWND title = PageControl(w, IDC_WELCOME_TITLE);
        run.welcomeTitleFont =
            reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0)) == context.titleFont;
        Press(w, WizardButton::Next);
        WaitFor([&] { return CurrentPageIndex(w) == 1; }, 5000);
        HWND heading = PageControl(w, IDC_HEADING);
        run.searchHasHeading = heading != nullptr;
        run.searchHeadingFont =
            reinterpret_cast<HFONT>(SendMessageA(heading, WM_GETFONT, 0, 0)) == context.headerFont;
        // Next is disabled on the search page until a modem is found: jump
        // to the test page directly to look at its template.
        PostMessageA(w, PSM_SETCURSEL, 2, 0);
        WaitFor([&] { return CurrentPageIndex(w) == 2; }, 5000);
        run.testHasHeading = PageControl(w, IDC_HEADING) != nullptr;
        run.testHasIcons = PageControl(w, IDC_ICON_SUCCESS) != nullptr &&
                           PageControl(w, IDC_ICON_FAILURE) != nullptr;
        Press(w, WizardButton::Cancel);
    });
    INT_PTR result = sheet.DoModal();
    driver.join();
    modem.stopRequested = true;
    context.worker.Wait();
    EXPECT_EQ(IDCANCEL, result);
    DeleteObject(context.titleFont);
    DeleteObject(context.headerFont);
    return run;
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
