// The dialog services under Wine with the program's resources and the test
// pages of dialog_test.rc: the string loader over real resources, placement,
// fitting static texts, the icon strip, classic page templates turned into
// real dialogs, and the folder browser driven from another thread.
#include "BrowseForTarget.h"
#include "ClassicPageLayout.h"
#include "DialogTemplate.h"
#include "FitStaticText.h"
#include "IconStrip.h"
#include "LoadExpandedString.h"
#include "PageTemplates.h"
#include "Placement.h"
#include "TestResources.h"
#include "UiDriver.h"
#include "WindowsVersion.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

int g_expectNt51 = -1;  // --nt51=0|1: what IsNt51OrLater must answer here

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

std::string LoadText(UINT id)
{
    char text[1024] = "";
    LoadStringA(Self(), id, text, sizeof(text));
    return text;
}

// Rectangle of a window in its parent's client coordinates (screen for top-level).
RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND MakeWindow(int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, nullptr, nullptr, Self(), nullptr);
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(LoadExpandedString, AssemblesTheProgramsStrings)
{
    char buffer[1024];
    // 9002 is missing; the inserted "%%" of 9003 is not scanned again.
    EXPECT_EQ(26, LoadExpandedString(Self(), IDS_TEST_WELCOME, buffer, sizeof(buffer)));
    EXPECT_STREQ("Welcome. One. Three 100%%.", buffer);
    EXPECT_EQ(9, LoadExpandedString(Self(), IDS_TEST_WELCOME, buffer, 10));
    EXPECT_STREQ("Welcome. ", buffer);
    // Longer than LoadStringA's first buffer: nothing is cut before expanding.
    EXPECT_EQ(303, LoadExpandedString(Self(), IDS_TEST_LONG, buffer, sizeof(buffer)));
    EXPECT_STREQ("END", buffer + 300);
    EXPECT_EQ(0, LoadExpandedString(Self(), 9999, buffer, sizeof(buffer)));
    EXPECT_STREQ("", buffer);
}

TEST(Placement, LargeWindowGoesToTheWorkAreaCornerSmallOneIsCentred)
{
    RECT work = {}, primary = {};
    GetWorkAreaOf(GetDesktopWindow(), &work);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0));
    EXPECT_TRUE(EqualRect(&work, &primary)) << "one monitor: its work area is the primary one";

    const int width = work.right - work.left + 200;
    HWND large = MakeWindow(50, 50, width, work.bottom - work.top + 100);
    CenterWindowOver(large, nullptr);
    RECT rect = RectOf(large);
    EXPECT_EQ(work.left, rect.left);
    EXPECT_EQ(work.top, rect.top);
    EXPECT_EQ(width, rect.right - rect.left) << "moved, not resized";

    HWND reference = MakeWindow(100, 120, 200, 100);
    HWND small = MakeWindow(0, 0, 120, 300);
    CenterWindowOver(small, reference);
    rect = RectOf(small);
    EXPECT_EQ(100 + (200 - 120) / 2, rect.left);
    EXPECT_EQ(120 + GetSystemMetrics(SM_CYSMICON), rect.top) << "not above the reference's corner";
    for (HWND window : {large, reference, small})
        DestroyWindow(window);
}

TEST(FitStaticText, ResizesTheTextTheDialogAndMovesTheControlsBelow)
{
    HWND dialog = CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_TEST_FIT), nullptr, PlainProc, 0);
    ASSERT_NE(nullptr, dialog);
    auto height = [](HWND window) { return RectOf(window).bottom - RectOf(window).top; };
    auto top = [dialog](int id) { return RectOf(GetDlgItem(dialog, id)).top; };
    HWND text = GetDlgItem(dialog, IDC_TEST_TEXT);
    const int textHeight = height(text), dialogHeight = height(dialog);
    const int above = top(IDC_TEST_ABOVE), below1 = top(IDC_TEST_BELOW_1), below2 = top(IDC_TEST_BELOW_2);
    const char longText[] = "A display name long enough to need several lines in a control that is "
                            "only a hundred dialog units wide, so the control grows.";

    const int grown = FitStaticText(dialog, IDC_TEST_TEXT, longText, nullptr, 0);
    EXPECT_GT(grown, textHeight) << "at least two more lines";
    EXPECT_EQ(longText, uidriver::Text(text));
    EXPECT_EQ(textHeight + grown, height(text));
    EXPECT_EQ(dialogHeight + grown, height(dialog));
    EXPECT_EQ(above, top(IDC_TEST_ABOVE));
    EXPECT_EQ(below1 + grown, top(IDC_TEST_BELOW_1));
    EXPECT_EQ(below2 + grown, top(IDC_TEST_BELOW_2));
    EXPECT_EQ(0, FitStaticText(dialog, IDC_TEST_TEXT, nullptr, nullptr, 0)) << "fits already";

    // Shrinking back: only the listed control moves, the dialog keeps its size.
    const int listed[] = {IDC_TEST_BELOW_2, 0};
    EXPECT_EQ(-grown, FitStaticText(dialog, IDC_TEST_TEXT, "One line", listed, kFitKeepDialogSize));
    EXPECT_EQ(textHeight, height(text));
    EXPECT_EQ(dialogHeight + grown, height(dialog));
    EXPECT_EQ(below1 + grown, top(IDC_TEST_BELOW_1));
    EXPECT_EQ(below2, top(IDC_TEST_BELOW_2));
    EXPECT_EQ(grown, FitStaticText(dialog, IDC_TEST_TEXT, longText, nullptr, kFitKeepOthers));
    EXPECT_EQ(below2, top(IDC_TEST_BELOW_2));
    EXPECT_EQ(0, FitStaticText(dialog, 4711, longText, nullptr, 0));
    DestroyWindow(dialog);
}

TEST(IconStrip, TwoSmallImagesFromTheStripForThisSystem)
{
    ASSERT_NE(-1, g_expectNt51) << "run with --nt51=0 or --nt51=1";
    EXPECT_EQ(g_expectNt51 == 1, IsNt51OrLater());
    HDC screen = GetDC(nullptr);
    ASSERT_GT(GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL), 8);
    HIMAGELIST strip = LoadIconStrip(screen, Self(), {IDB_ICONS_256, IDB_ICONS, IDB_ICONS_ALPHA}, 16,
                                     RGB(255, 0, 255), RGB(255, 0, 255));
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(2, ImageList_GetImageCount(strip));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(strip, &cx, &cy));
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);

    // Only the strip for XP and later carries an alpha channel: the alpha of
    // a pixel inside image 0's disc tells which strip was loaded.
    IMAGEINFO info = {};
    ASSERT_TRUE(ImageList_GetImageInfo(strip, 0, &info));
    BITMAP image = {};
    GetObjectA(info.hbmImage, sizeof(image), &image);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(format.bmiHeader), image.bmWidth, -image.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bits(static_cast<size_t>(image.bmWidth) * image.bmHeight);
    GetDIBits(screen, info.hbmImage, 0, image.bmHeight, bits.data(), &format, DIB_RGB_COLORS);
    DWORD inside = bits[(info.rcImage.top + 8) * image.bmWidth + info.rcImage.left + 4];
    EXPECT_EQ(0x005CB8u, inside & 0xFFFFFF) << "the disc's blue";
    EXPECT_EQ(g_expectNt51 == 1, (inside >> 24) == 0xFF) << std::hex << inside;
    ReleaseDC(nullptr, screen);
    ImageList_Destroy(strip);
}

// Creates a page from `block` under a hidden parent: it has `count` controls,
// each where the template puts it, and the header texts or the watermark.
void CheckPage(const DLGTEMPLATE* block, size_t size, int count)
{
    ASSERT_NE(nullptr, block);
    DialogTemplate layout;
    ASSERT_TRUE(ParseDialogTemplate(reinterpret_cast<const uint8_t*>(block), size, &layout));
    ASSERT_EQ(count, layout.count);
    HWND parent = MakeWindow(0, 0, 800, 600);
    HWND page = CreateDialogIndirectParamA(Self(), block, parent, PlainProc, 0);
    ASSERT_NE(nullptr, page);
    RECT client = {}, height = {0, 0, 0, layout.cy};
    GetClientRect(page, &client);
    MapDialogRect(page, &height);
    EXPECT_EQ(height.bottom, client.bottom) << "page height";

    int index = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child && index < count; child = GetWindow(child, GW_HWNDNEXT)) {
        const DialogControl& control = layout.controls[index++];
        RECT expected = {control.x, control.y, 0, 0};
        MapDialogRect(page, &expected);
        EXPECT_EQ(control.id & 0xFFFF, static_cast<UINT>(GetDlgCtrlID(child)) & 0xFFFF);
        EXPECT_EQ(expected.left, RectOf(child).left) << "control " << index;
        EXPECT_EQ(expected.top, RectOf(child).top) << "control " << index;
    }
    EXPECT_EQ(count, index);
    if (HWND title = GetDlgItem(page, kHeaderTitleId)) {
        EXPECT_EQ(LoadText(IDS_SELECT_TARGET_FOLDER), uidriver::Text(title));
        EXPECT_EQ(LoadText(IDS_CANNOT_EXECUTE), uidriver::Text(GetDlgItem(page, kHeaderSubtitleId)));
    } else {
        HWND watermark = GetWindow(GetWindow(page, GW_CHILD), GW_HWNDLAST);
        EXPECT_NE(0, SendMessageA(watermark, STM_GETIMAGE, IMAGE_BITMAP, 0)) << "watermark bitmap";
    }
    DestroyWindow(parent);
}

TEST(ClassicTemplates, PagesOfBothLayoutsBecomeDialogsWithEveryControlInPlace)
{
    for (UINT dialogId : {IDD_TEST_PAGE, IDD_TEST_PAGE_EX}) {
        SCOPED_TRACE(dialogId);
        HRSRC info = FindResourceA(Self(), MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
        const auto* source = static_cast<const uint8_t*>(LockResource(LoadResource(Self(), info)));
        const size_t size = SizeofResource(Self(), info);
        DialogTemplate original;
        ASSERT_TRUE(ParseDialogTemplate(source, size, &original));
        ASSERT_EQ(dialogId == IDD_TEST_PAGE_EX, original.extended);

        DLGTEMPLATE* block = LoadWelcomePageTemplate(Self(), dialogId, IDB_WATERMARK);
        const std::vector<uint8_t> welcome = MakeWelcomePageTemplate(source, size, IDB_WATERMARK);
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(0, std::memcmp(block, welcome.data(), welcome.size()));
        CheckPage(block, welcome.size(), original.count + 1);
        FreePageTemplate(block);

        block = LoadInteriorPageTemplate(Self(), dialogId, IDS_SELECT_TARGET_FOLDER, IDS_CANNOT_EXECUTE);
        CheckPage(block, size + 3072, original.count + 3);
        FreePageTemplate(block);
    }
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadWelcomePageTemplate(Self(), 4711, IDB_WATERMARK));
    EXPECT_NE(0u, GetLastError());
}

// Runs the folder browser on this thread while a "user" thread reads it,
// selects `folder` (nullptr: presses Cancel) and presses OK. The browser runs
// in this process, so the path can go to it by pointer.
int Browse(const char* folder, const char* subFolder, std::string* path, std::string* shown)
{
    std::thread user([folder, shown] {
        HWND dialog = uidriver::WaitForDialog(GetCurrentProcessId(), 10000);
        if (!dialog)
            return;
        *shown = uidriver::DialogText(dialog);
        if (folder)
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
        uidriver::PressDialogButton(dialog, folder ? IDOK : IDCANCEL);
    });
    char buffer[MAX_PATH] = "C:\\unchanged";
    int result = BrowseForTarget(nullptr, buffer, subFolder);
    user.join();
    *path = buffer;
    return result;
}

TEST(BrowseForTarget, AppendsTheSubFolderUnlessChosenAndCancelChangesNothing)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Apps", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\Apps\\Tools", nullptr));
    std::string path, shown;
    EXPECT_EQ(0, Browse(nullptr, "\\Tools", &path, &shown));
    EXPECT_EQ("C:\\unchanged", path);
    EXPECT_NE(std::string::npos, shown.find(LoadText(IDS_SELECT_TARGET_FOLDER))) << shown;
    EXPECT_EQ(1, Browse("C:\\Apps", "\\Tools", &path, &shown));
    EXPECT_EQ("C:\\Apps\\Tools", path);
    EXPECT_EQ(1, Browse("C:\\Apps\\Tools", "\\Tools", &path, &shown));
    EXPECT_EQ("C:\\Apps\\Tools", path);
    EXPECT_EQ(1, Browse("C:\\Apps", nullptr, &path, &shown));
    EXPECT_EQ("C:\\Apps", path);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--nt51=", 7) == 0)
            g_expectNt51 = std::atoi(argv[i] + 7);
    }
    InitCommonControls();
    return RUN_ALL_TESTS();
}
