// The dialog services under Wine with the program's resources and the test
// pages of dialog_test.rc: fonts, the expanding string loader, placement,
// fitting static texts, the icon strip, the classic page templates turned
// into real dialogs, and the folder browser.
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
#include "WizardFonts.h"
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

RECT WindowRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// Rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child)
{
    RECT rect = WindowRectOf(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(WizardFonts, FaceAndSizeByKindAndStyle)
{
    HDC dc = GetDC(nullptr);
    const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    const struct
    {
        int kind, style, points;
        const char* face;
    } cases[] = {
        {kWizardTitleFont, 1, 12, "Verdana"},
        {kWizardTitleFont, 0, 12, "Arial"},
        {kWizardTextFont, 7, 8, "MS Shell Dlg"},
        {kWizardTextFont, 0, 8, "MS Sans Serif"},
    };
    for (const auto& c : cases) {
        HFONT font = CreateWizardFont(dc, c.kind, c.style);
        ASSERT_NE(nullptr, font) << c.face;
        LOGFONTA info = {};
        ASSERT_EQ(static_cast<int>(sizeof(info)), GetObjectA(font, sizeof(info), &info));
        EXPECT_EQ(-(c.points * ppi / 72), info.lfHeight) << c.face;
        EXPECT_EQ(FW_BOLD, info.lfWeight) << c.face;
        EXPECT_STREQ(c.face, info.lfFaceName);
        EXPECT_EQ(0, info.lfWidth + info.lfItalic + info.lfUnderline + info.lfCharSet + info.lfQuality);
        DeleteObject(font);
    }
    EXPECT_EQ(nullptr, CreateWizardFont(dc, 0, 1));
    EXPECT_EQ(nullptr, CreateWizardFont(dc, 3, 1));
    ReleaseDC(nullptr, dc);
}

TEST(LoadExpandedString, AssemblesTheProgramsStrings)
{
    char buffer[1024];
    // 9002 is missing; the inserted "%%" of 9003 is not scanned again.
    const std::string welcome = "Welcome. One. Three 100%%.";
    EXPECT_EQ(static_cast<int>(welcome.size()),
              LoadExpandedString(Self(), IDS_TEST_WELCOME, buffer, sizeof(buffer)));
    EXPECT_EQ(welcome, buffer);

    char small[10];
    EXPECT_EQ(9, LoadExpandedString(Self(), IDS_TEST_WELCOME, small, sizeof(small)));
    EXPECT_STREQ("Welcome. ", small);

    // Longer than LoadStringA's first buffer: nothing is lost before expanding.
    std::string digits;
    for (int i = 0; i < 30; ++i)
        digits += "0123456789";
    EXPECT_EQ(303, LoadExpandedString(Self(), IDS_TEST_LONG, buffer, sizeof(buffer)));
    EXPECT_EQ(digits + "END", buffer);

    std::strcpy(buffer, "old");
    EXPECT_EQ(0, LoadExpandedString(Self(), 9999, buffer, sizeof(buffer)));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(static_cast<int>(LoadText(IDS_CANNOT_EXECUTE).size()),
              LoadExpandedString(Self(), IDS_CANNOT_EXECUTE, buffer, sizeof(buffer)));
}

// A plain top-level window of the given size, not shown.
HWND MakeWindow(int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, nullptr, nullptr, Self(),
                           nullptr);
}

TEST(Placement, CentresInsideTheWorkArea)
{
    RECT work = {};
    GetWorkAreaOf(GetDesktopWindow(), &work);
    RECT primary = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0));
    EXPECT_TRUE(EqualRect(&work, &primary)) << "one monitor: its work area is the primary one";

    // Larger than the work area: to its top-left corner.
    HWND large = MakeWindow(50, 50, work.right - work.left + 200, work.bottom - work.top + 100);
    CenterWindowOver(large, nullptr);
    RECT rect = WindowRectOf(large);
    EXPECT_EQ(work.left, rect.left);
    EXPECT_EQ(work.top, rect.top);
    EXPECT_EQ(work.right - work.left + 200, rect.right - rect.left) << "moved, not resized";
    DestroyWindow(large);

    // Over a small reference window: centred, but not further left or up
    // than the reference's corner plus a small icon.
    HWND reference = MakeWindow(100, 120, 200, 100);
    HWND window = MakeWindow(0, 0, 120, 300);
    CenterWindowOver(window, reference);
    rect = WindowRectOf(window);
    EXPECT_EQ(100 + (200 - 120) / 2, rect.left);
    EXPECT_EQ(120 + GetSystemMetrics(SM_CYSMICON), rect.top);
    DestroyWindow(window);
    DestroyWindow(reference);
}

class FitText : public testing::Test
{
protected:
    void SetUp() override
    {
        dialog_ = CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_TEST_FIT), nullptr, Proc, 0);
        ASSERT_NE(nullptr, dialog_);
    }
    void TearDown() override { DestroyWindow(dialog_); }

    static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

    int Top(int id) { return ChildRect(GetDlgItem(dialog_, id)).top; }
    int Height(HWND window)
    {
        RECT rect = WindowRectOf(window);
        return rect.bottom - rect.top;
    }

    HWND dialog_ = nullptr;
};

const char kLongText[] =
    "A display name long enough to need several lines in a control that is only a hundred "
    "dialog units wide, so the control has to grow.";

TEST_F(FitText, GrowsTheControlTheDialogAndMovesTheControlsBelow)
{
    HWND text = GetDlgItem(dialog_, IDC_TEST_TEXT);
    const int textHeight = Height(text), dialogHeight = Height(dialog_);
    const int above = Top(IDC_TEST_ABOVE), below1 = Top(IDC_TEST_BELOW_1), below2 = Top(IDC_TEST_BELOW_2);

    int difference = FitStaticText(dialog_, IDC_TEST_TEXT, kLongText, nullptr, 0);
    EXPECT_GT(difference, textHeight) << "at least two more lines";
    EXPECT_EQ(kLongText, uidriver::Text(text));
    EXPECT_EQ(textHeight + difference, Height(text));
    EXPECT_EQ(dialogHeight + difference, Height(dialog_));
    EXPECT_EQ(above, Top(IDC_TEST_ABOVE));
    EXPECT_EQ(below1 + difference, Top(IDC_TEST_BELOW_1));
    EXPECT_EQ(below2 + difference, Top(IDC_TEST_BELOW_2));

    // Fitting again changes nothing; a short text shrinks everything back.
    EXPECT_EQ(0, FitStaticText(dialog_, IDC_TEST_TEXT, nullptr, nullptr, 0));
    EXPECT_EQ(-difference, FitStaticText(dialog_, IDC_TEST_TEXT, "One line", nullptr, 0));
    EXPECT_EQ(textHeight, Height(text));
    EXPECT_EQ(dialogHeight, Height(dialog_));
    EXPECT_EQ(below2, Top(IDC_TEST_BELOW_2));
    EXPECT_EQ(0, FitStaticText(dialog_, 4711, kLongText, nullptr, 0));
}

TEST_F(FitText, FlagsAndListLimitWhatElseChanges)
{
    const int dialogHeight = Height(dialog_);
    const int below1 = Top(IDC_TEST_BELOW_1), below2 = Top(IDC_TEST_BELOW_2);

    const int listed[] = {IDC_TEST_BELOW_2, 0};
    int difference = FitStaticText(dialog_, IDC_TEST_TEXT, kLongText, listed, kFitKeepDialogSize);
    EXPECT_GT(difference, 0);
    EXPECT_EQ(dialogHeight, Height(dialog_));
    EXPECT_EQ(below1, Top(IDC_TEST_BELOW_1));
    EXPECT_EQ(below2 + difference, Top(IDC_TEST_BELOW_2));

    int back = FitStaticText(dialog_, IDC_TEST_TEXT, "One line", nullptr, kFitKeepOthers);
    EXPECT_EQ(-difference, back);
    EXPECT_EQ(dialogHeight - difference, Height(dialog_));
    EXPECT_EQ(below1, Top(IDC_TEST_BELOW_1));
    EXPECT_EQ(below2 + difference, Top(IDC_TEST_BELOW_2));
}

// Pixel (x, y) of a 32-bit top-down bitmap as 0xAARRGGBB.
DWORD PixelOf(HDC dc, HBITMAP bitmap, int width, int height, int x, int y)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    return bits[static_cast<size_t>(y) * width + x];
}

TEST(IconStrip, TwoSmallImagesFromTheStripForThisSystem)
{
    ASSERT_NE(-1, g_expectNt51) << "run with --nt51=0 or --nt51=1";
    EXPECT_EQ(g_expectNt51 == 1, IsNt51OrLater());

    HDC screen = GetDC(nullptr);
    ASSERT_GT(GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL), 8);
    const IconStripIds ids = {IDB_ICONS_256, IDB_ICONS, IDB_ICONS_ALPHA};
    HIMAGELIST strip = LoadIconStrip(screen, Self(), ids, 16, RGB(255, 0, 255), RGB(255, 0, 255));
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(2, ImageList_GetImageCount(strip));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(strip, &cx, &cy));
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);

    // Image 0 drawn over green: the corner shows the green (masked or
    // transparent), the disc its blue.
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    ASSERT_TRUE(ImageList_Draw(strip, 0, dc, 0, 0, ILD_NORMAL));
    SelectObject(dc, old);
    EXPECT_EQ(0x00FF00u, PixelOf(dc, canvas, 16, 16, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(0x005CB8u, PixelOf(dc, canvas, 16, 16, 4, 8) & 0xFFFFFF);

    // Only the strip for XP and later carries an alpha channel.
    IMAGEINFO info = {};
    ASSERT_TRUE(ImageList_GetImageInfo(strip, 0, &info));
    BITMAP image = {};
    GetObjectA(info.hbmImage, sizeof(image), &image);
    DWORD inside = PixelOf(dc, info.hbmImage, image.bmWidth, image.bmHeight, info.rcImage.left + 4,
                           info.rcImage.top + 8);
    EXPECT_EQ(g_expectNt51 == 1, (inside >> 24) == 0xFF) << std::hex << inside;

    DeleteObject(green);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    HICON icon = ImageList_GetIcon(strip, 1, ILD_NORMAL);
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
    ImageList_Destroy(strip);
}

// The bytes of one of the test pages.
std::vector<uint8_t> ResourceBytes(UINT dialogId)
{
    HRSRC info = FindResourceA(Self(), MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(Self(), info)));
    return std::vector<uint8_t>(data, data + SizeofResource(Self(), info));
}

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Dialog units of the page's font to pixels.
RECT Pixels(HWND page, int x, int y, int cx, int cy)
{
    RECT corner = {x, y, 0, 0}, size = {0, 0, cx, cy};
    MapDialogRect(page, &corner);
    MapDialogRect(page, &size);
    return RECT{corner.left, corner.top, corner.left + size.right, corner.top + size.bottom};
}

// Creates a page from `block` under a hidden parent and checks that every
// control of the template sits where the template says, in template order.
void CheckPage(const DLGTEMPLATE* block, size_t size, int expectedCount, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_NE(nullptr, block);
    DialogTemplate layout;
    ASSERT_TRUE(ParseDialogTemplate(reinterpret_cast<const uint8_t*>(block), size, &layout));
    ASSERT_EQ(expectedCount, layout.count);

    HWND parent = MakeWindow(0, 0, 800, 600);
    HWND page = CreateDialogIndirectParamA(Self(), block, parent, PageProc, 0);
    ASSERT_NE(nullptr, page);
    RECT client = {};
    GetClientRect(page, &client);
    EXPECT_EQ(Pixels(page, 0, 0, layout.cx, layout.cy).bottom, client.bottom) << "page height";

    int index = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, expectedCount) << "more controls than the template holds";
        const DialogControl& control = layout.controls[index];
        EXPECT_EQ(static_cast<int>(static_cast<uint16_t>(control.id)),
                  static_cast<int>(static_cast<uint16_t>(GetDlgCtrlID(child))));
        RECT expected = Pixels(page, control.x, control.y, control.cx, control.cy);
        RECT actual = ChildRect(child);
        EXPECT_EQ(expected.left, actual.left) << "control " << index;
        EXPECT_EQ(expected.top, actual.top) << "control " << index;
    }
    EXPECT_EQ(expectedCount, index);

    if (HWND title = GetDlgItem(page, kHeaderTitleId)) {
        EXPECT_EQ(LoadText(IDS_SELECT_TARGET_FOLDER), uidriver::Text(title));
        EXPECT_EQ(LoadText(IDS_CANNOT_EXECUTE), uidriver::Text(GetDlgItem(page, kHeaderSubtitleId)));
    } else {
        HWND watermark = GetWindow(GetWindow(page, GW_CHILD), GW_HWNDLAST);
        EXPECT_NE(0, SendMessageA(watermark, STM_GETIMAGE, IMAGE_BITMAP, 0)) << "watermark bitmap";
    }
    DestroyWindow(page);
    DestroyWindow(parent);
}

TEST(ClassicTemplates, PagesFromBothLayoutsHaveEveryControlInPlace)
{
    for (UINT dialogId : {IDD_TEST_PAGE, IDD_TEST_PAGE_EX}) {
        const std::vector<uint8_t> source = ResourceBytes(dialogId);
        DialogTemplate original;
        ASSERT_TRUE(ParseDialogTemplate(source.data(), source.size(), &original));
        ASSERT_EQ(dialogId == IDD_TEST_PAGE_EX, original.extended);
        ASSERT_EQ(4, original.count);

        const std::vector<uint8_t> welcome = MakeWelcomePageTemplate(source.data(), source.size(), IDB_WATERMARK);
        DLGTEMPLATE* block = LoadWelcomePageTemplate(Self(), dialogId, IDB_WATERMARK);
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(0, std::memcmp(block, welcome.data(), welcome.size()));
        CheckPage(block, welcome.size(), 5, original.extended ? "extended welcome" : "standard welcome");
        FreePageTemplate(block);

        block = LoadInteriorPageTemplate(Self(), dialogId, IDS_SELECT_TARGET_FOLDER, IDS_CANNOT_EXECUTE);
        ASSERT_NE(nullptr, block);
        DialogTemplate interior;
        ASSERT_TRUE(ParseDialogTemplate(reinterpret_cast<const uint8_t*>(block), source.size() + 3072, &interior));
        CheckPage(block, source.size() + 3072, 7, original.extended ? "extended interior" : "standard interior");
        // The original controls moved down by 36 units.
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(original.controls[i].y + 36, interior.controls[i].y);
        FreePageTemplate(block);
    }
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadWelcomePageTemplate(Self(), 4711, IDB_WATERMARK));
    EXPECT_NE(0u, GetLastError());
}

TEST(BrowseForTarget, ShowsItsTitleAndCancelChangesNothing)
{
    std::string shown;
    std::thread user([&] {
        HWND dialog = uidriver::WaitForDialog(GetCurrentProcessId(), 10000);
        shown = uidriver::DialogText(dialog);
        if (dialog)
            uidriver::PressDialogButton(dialog, IDCANCEL);
    });
    char path[MAX_PATH] = "C:\\unchanged";
    EXPECT_EQ(0, BrowseForTarget(nullptr, path, "\\Tools"));
    user.join();
    EXPECT_STREQ("C:\\unchanged", path);
    EXPECT_NE(std::string::npos, shown.find(LoadText(IDS_SELECT_TARGET_FOLDER))) << shown;
}

// Chooses `folder` in the browser as the user would and presses OK; the
// browser runs on this process's main thread, so the path can be handed over
// by pointer.
std::string ChooseInBrowser(const char* folder, const char* subFolder, int* result)
{
    std::thread user([folder] {
        HWND dialog = uidriver::WaitForDialog(GetCurrentProcessId(), 10000);
        if (!dialog)
            return;
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
        uidriver::PressDialogButton(dialog, IDOK);
    });
    char path[MAX_PATH] = "C:\\unchanged";
    *result = BrowseForTarget(nullptr, path, subFolder);
    user.join();
    return path;
}

TEST(BrowseForTarget, AppendsTheSubFolderUnlessChosen)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Apps", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\Apps\\Tools", nullptr));
    int result = 0;
    EXPECT_EQ("C:\\Apps\\Tools", ChooseInBrowser("C:\\Apps", "\\Tools", &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ("C:\\Apps\\Tools", ChooseInBrowser("C:\\Apps\\Tools", "\\Tools", &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ("C:\\Apps", ChooseInBrowser("C:\\Apps", nullptr, &result));
    EXPECT_EQ(1, result);
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
