// Message boxes: the hook that tests and unattended runs answer, and the
// real error and failure boxes of a child process, read and answered from
// outside with the UI driver.
#include "MessageBoxes.h"
#include "UiDriver.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kChildDone = 7;  // exit code of a child whose box was closed

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

struct SeenBox
{
    HWND owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    UINT type;
};

std::vector<SeenBox> g_seen;
int g_answer = IDOK;

int RecordBox(HWND owner, const char* text, const char* caption, UINT type)
{
    g_seen.push_back({owner, text ? text : "", caption != nullptr, caption ? caption : "", type});
    return g_answer;
}

std::string SystemText(DWORD code, LANGID language)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, language, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = text ? text : "";
    LocalFree(text);
    return out;
}

std::string CaptionString(LANGID language)
{
    LCID saved = GetThreadLocale();
    SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    char text[256] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_CANNOT_EXECUTE, text, sizeof(text));
    SetThreadLocale(saved);
    return text;
}

TEST(MessageBoxes, TheHookSeesEveryBoxAndAnswersIt)
{
    g_seen.clear();
    ASSERT_EQ(nullptr, SetMessageBoxHook(RecordBox));
    HWND owner = GetDesktopWindow();

    g_answer = IDCANCEL;
    EXPECT_EQ(0, ErrorBox(owner, "Copying failed.", 0, kEnglish));
    EXPECT_EQ(0, ErrorBox(owner, "Copying failed.", ERROR_ACCESS_DENIED, kEnglish));
    // No German system texts here: the box falls back to the system's own.
    EXPECT_EQ(0, ErrorBox(owner, "Kopieren fehlgeschlagen.", ERROR_FILE_NOT_FOUND, kGerman));
    g_answer = IDOK;
    EXPECT_EQ(IDOK, FailureBox(GetModuleHandleA(nullptr), owner, "The condition failed."));
    g_answer = IDNO;
    EXPECT_EQ(IDNO, ShowMessageBox(owner, "Replace?", "Warning", MB_YESNO | MB_DEFBUTTON2));

    ASSERT_EQ(5u, g_seen.size());
    EXPECT_EQ("Copying failed.", g_seen[0].text);
    EXPECT_EQ("Copying failed.\r\n\r\n" + SystemText(ERROR_ACCESS_DENIED, kEnglish), g_seen[1].text);
    const std::string german = g_seen[2].text;
    const std::string prefix = "Kopieren fehlgeschlagen.\r\n\r\n";
    EXPECT_EQ(prefix, german.substr(0, prefix.size()));
    EXPECT_GT(german.size(), prefix.size() + 5) << "the system's text is appended";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(owner, g_seen[i].owner);
        EXPECT_FALSE(g_seen[i].hasCaption) << "the system's default caption";
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), g_seen[i].type);
    }
    EXPECT_EQ("The condition failed.", g_seen[3].text);
    EXPECT_EQ("The installation cannot be executed", g_seen[3].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), g_seen[3].type);
    EXPECT_EQ("Warning", g_seen[4].caption);

    EXPECT_EQ(RecordBox, SetMessageBoxHook(nullptr));
}

TEST(MessageBoxes, UnattendedAnswerIsTheDefaultButton)
{
    const struct
    {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON3, IDOK},
        {MB_YESNO | MB_ICONWARNING, IDYES},
        {MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.answer, DefaultMessageBoxAnswer(c.type)) << std::hex << c.type;
}

// Starts this program as a child that shows a box, waits for the box.
HWND StartBoxChild(testsupport::ChildProcess& child, const std::string& arguments)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    if (!child.Start("\"" + std::string(self) + "\" " + arguments))
        return nullptr;
    return uidriver::WaitForDialog(child.Id(), 10000);
}

TEST(MessageBoxes, RealErrorBoxIsReadAndAnsweredFromOutside)
{
    testsupport::ChildProcess child;
    HWND box = StartBoxChild(child, "--error-box 5");
    ASSERT_NE(nullptr, box) << "no box appeared";

    EXPECT_EQ("Error", uidriver::Text(box));
    const std::string expected = "Copying failed.\r\n\r\n" + SystemText(ERROR_ACCESS_DENIED, kEnglish);
    // A static control's text comes back without the trailing line break.
    std::string shown = uidriver::DialogText(box);
    EXPECT_EQ(expected.substr(0, shown.size()), shown);
    EXPECT_GE(shown.size() + 2, expected.size());
    std::vector<uidriver::DialogButton> buttons = uidriver::DialogButtons(box);
    ASSERT_EQ(1u, buttons.size()) << uidriver::DescribeDialog(box);
    EXPECT_EQ(IDOK, buttons[0].id);
    EXPECT_EQ(IDOK, uidriver::FindDialogButton(box, "ok"));
    EXPECT_FALSE(uidriver::PressDialogButton(box, IDCANCEL)) << "no such button";

    ASSERT_TRUE(uidriver::PressDialogButton(box, IDOK));
    DWORD exitCode = 0;
    EXPECT_TRUE(child.Wait(10000, &exitCode)) << "the box did not close";
    EXPECT_EQ(static_cast<DWORD>(kChildDone), exitCode);
}

TEST(MessageBoxes, RealFailureBoxHasTheTranslatedCaption)
{
    testsupport::ChildProcess child;
    HWND box = StartBoxChild(child, "--failure-box 1031");
    ASSERT_NE(nullptr, box) << "no box appeared";
    const std::string caption = uidriver::Text(box);
    EXPECT_EQ(CaptionString(kGerman), caption);
    EXPECT_NE(CaptionString(kEnglish), caption);
    EXPECT_EQ("Bedingung nicht erfuellt.", uidriver::DialogText(box));
    ASSERT_TRUE(uidriver::PressDialogButton(box, uidriver::FindDialogButton(box, "OK")));
    DWORD exitCode = 0;
    EXPECT_TRUE(child.Wait(10000, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(IDOK), exitCode);
}

// Child side: shows one real box and ends when it is closed.
int RunChild(int argc, char** argv)
{
    if (std::strcmp(argv[1], "--error-box") == 0 && argc > 2) {
        ErrorBox(nullptr, "Copying failed.", static_cast<DWORD>(std::atoi(argv[2])), kEnglish);
        return kChildDone;
    }
    if (std::strcmp(argv[1], "--failure-box") == 0 && argc > 2) {
        SetThreadLocale(MAKELCID(static_cast<LANGID>(std::atoi(argv[2])), SORT_DEFAULT));
        return FailureBox(GetModuleHandleA(nullptr), nullptr, "Bedingung nicht erfuellt.");
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0 && std::strncmp(argv[1], "--gtest", 7) != 0)
        return RunChild(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
