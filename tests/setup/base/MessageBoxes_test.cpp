// Message boxes: the hook that tests and unattended runs answer, and a real
// error box of a child process read and answered from outside with the UI
// driver.
#include "MessageBoxes.h"
#include "UiDriver.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kChildDone = 7;  // exit code of a child whose box was closed
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

struct SeenBox
{
    std::string text;
    const char* caption;  // nullptr, or a copy in `captionText`
    std::string captionText;
    UINT type;
};
std::vector<SeenBox> g_seen;

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_seen.push_back({text, caption ? "" : nullptr, caption ? caption : "", type});
    return type == MB_YESNO ? IDNO : IDOK;
}

std::string SystemText(DWORD code, LANGID language = kEnglish)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, language, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = text ? text : "";
    LocalFree(text);
    return out;
}

TEST(MessageBoxes, TheHookSeesEveryBoxAndAnswersIt)
{
    ASSERT_EQ(nullptr, SetMessageBoxHook(RecordBox));
    EXPECT_EQ(0, ErrorBox(nullptr, "Copying failed.", 0, kEnglish));
    EXPECT_EQ(0, ErrorBox(nullptr, "Copying failed.", ERROR_ACCESS_DENIED, kEnglish));
    EXPECT_EQ(0, ErrorBox(nullptr, "Fehler.", ERROR_FILE_NOT_FOUND, kGerman));
    EXPECT_EQ(IDOK, FailureBox(GetModuleHandleA(nullptr), nullptr, "The condition failed."));
    SetThreadLocale(MAKELCID(kGerman, SORT_DEFAULT));
    FailureBox(GetModuleHandleA(nullptr), nullptr, "Bedingung nicht erfuellt.");
    SetThreadLocale(MAKELCID(kEnglish, SORT_DEFAULT));
    EXPECT_EQ(IDNO, ShowMessageBox(nullptr, "Replace?", "Warning", MB_YESNO));
    EXPECT_EQ(RecordBox, SetMessageBoxHook(nullptr));

    ASSERT_EQ(6u, g_seen.size());
    EXPECT_EQ("Copying failed.", g_seen[0].text);
    EXPECT_EQ("Copying failed.\r\n\r\n" + SystemText(ERROR_ACCESS_DENIED), g_seen[1].text);
    EXPECT_EQ("Fehler.\r\n\r\n" + SystemText(ERROR_FILE_NOT_FOUND, kGerman), g_seen[2].text);
    EXPECT_NE(SystemText(ERROR_FILE_NOT_FOUND, kGerman), SystemText(ERROR_FILE_NOT_FOUND));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(nullptr, g_seen[i].caption) << "the system's default caption";
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), g_seen[i].type);
    }
    EXPECT_EQ("The installation cannot be executed", g_seen[3].captionText);
    EXPECT_EQ(static_cast<UINT>(MB_OK), g_seen[3].type);
    EXPECT_EQ("Die Installation kann nicht ausgef\xfchrt werden", g_seen[4].captionText);
}

TEST(MessageBoxes, UnattendedAnswerIsTheDefaultButton)
{
    const std::pair<UINT, int> cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},           {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON3, IDOK},    {MB_YESNO | MB_ICONWARNING, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},       {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
    };
    for (const auto& [type, answer] : cases)
        EXPECT_EQ(answer, DefaultMessageBoxAnswer(type)) << std::hex << type;
}

TEST(MessageBoxes, RealErrorBoxIsReadAndAnsweredFromOutside)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start("\"" + std::string(self) + "\" --error-box"));
    HWND box = uidriver::WaitForDialog(child.Id(), 10000);
    ASSERT_NE(nullptr, box) << "no box appeared";

    EXPECT_EQ("Error", uidriver::Text(box));
    EXPECT_EQ("Copying failed.\r\n\r\n" + SystemText(ERROR_ACCESS_DENIED), uidriver::DialogText(box));
    std::vector<uidriver::DialogButton> buttons = uidriver::DialogButtons(box);
    ASSERT_EQ(1u, buttons.size()) << uidriver::DescribeDialog(box);
    EXPECT_EQ(IDOK, buttons[0].id);
    EXPECT_FALSE(uidriver::PressDialogButton(box, IDCANCEL)) << "no such button";

    ASSERT_TRUE(uidriver::PressDialogButton(box, uidriver::FindDialogButton(box, "ok")));
    DWORD exitCode = 0;
    EXPECT_TRUE(child.Wait(10000, &exitCode)) << "the box did not close";
    EXPECT_EQ(static_cast<DWORD>(kChildDone), exitCode);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--error-box") == 0) {  // child: one real box
        ErrorBox(nullptr, "Copying failed.", ERROR_ACCESS_DENIED, kEnglish);
        return kChildDone;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
