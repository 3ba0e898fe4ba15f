// The About box and the splash window inside the test process: what the end-to-end run
// cannot reach (the close from outside, a picture of another size, a picture that cannot
// be loaded, bitmaps of other kinds).

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "dialogs/about_dialog.h"
#include "dialogs/splash_window.h"
#include "res/resource.h"
#include "tests/win32/box_watcher.h"
#include "tray/main_frame.h"
#include "tray/program_windows.h"

namespace {

std::string FixtureModule(const char* name)
{
    std::string path = std::string("Z:") + PL_LANGUAGE_MODULES_UNIX_DIR + "/" + name + "/PLRes.dll";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// A disabled stand-in for the hidden main frame, as owner of the dialogs.
class OwnedByMainFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        exeInstance = GetModuleHandleA(nullptr);
        std::strcpy(productName, "Prismolenteer");
        mainFrameWnd = CreateWindowExA(0, "STATIC", "frame", WS_DISABLED, 0, 0, 0, 0, nullptr,
                                       nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(mainFrameWnd);
        mainFrameWnd = nullptr;
        exeInstance = nullptr;
    }
};

int aboutOpenInside, secondAbout;

// Runs inside the About box's modal loop, as a preview trigger does.
void CALLBACK CloseAboutFromOutside(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    aboutOpenInside = IsAboutOpen();
    secondAbout = ShowAboutDialog(mainFrameWnd);
    CloseAboutDialog();
}

using AboutDialog = OwnedByMainFrame;

TEST_F(AboutDialog, ClosesWhenAskedFromItsOwnLoopAndOpensOnlyOnce)
{
    aboutOpenInside = secondAbout = -1;
    SetTimer(nullptr, 0, 300, CloseAboutFromOutside);
    EXPECT_EQ(ShowAboutDialog(mainFrameWnd), 1);
    EXPECT_EQ(aboutOpenInside, 1);
    EXPECT_EQ(secondAbout, 2) << "About while it is open";
    EXPECT_EQ(IsAboutOpen(), 0);
    EXPECT_FALSE(IsWindowEnabled(mainFrameWnd)) << "the main frame must stay disabled";
    CloseAboutDialog();  // nothing open: nothing to do
}

TEST_F(AboutDialog, TextsFitTheirControls)
{
    HWND about = CreateDialogParamA(exeInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                    AboutDialogProc, 0);
    ASSERT_NE(about, nullptr);
    int texts = 0;
    for (HWND child = GetWindow(about, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = "";
        GetWindowTextA(child, text, sizeof text);
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_LEFT || text[0] == '\0')
            continue;
        ++texts;
        HDC dc = GetDC(child);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
        RECT client{};
        GetClientRect(child, &client);
        EXPECT_LE(extent.cx, client.right) << '"' << text << "\" is cut";
    }
    EXPECT_EQ(texts, 3);
    DestroyWindow(about);
}

// Each test registers the class with the instance it sets up and removes it again.
class SplashWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (HWND splash = FindWindowA(kSplashClassName, nullptr))
            DestroyWindow(splash);
        UnregisterClassA(kSplashClassName, exeInstance);
        if (resourceModule != nullptr)
            FreeLibrary(resourceModule);
        resourceModule = nullptr;
        exeInstance = nullptr;
        errorBoxShown = 0;
    }

    static SIZE WindowSize(HWND window)
    {
        RECT area{};
        GetWindowRect(window, &area);
        return SIZE{area.right - area.left, area.bottom - area.top};
    }

    // The window size the platform gives a picture of this size in the splash's frame.
    static SIZE FramedSize(int width, int height)
    {
        RECT area{0, 0, width, height};
        AdjustWindowRectEx(&area, WS_POPUP | WS_BORDER | WS_THICKFRAME, FALSE,
                           WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        return SIZE{area.right - area.left, area.bottom - area.top};
    }
};

TEST_F(SplashWindow, TakesTheLanguageModulesPictureWhenItHasOne)
{
    struct Case {
        const char* module;
        int width, height;
    };
    const Case cases[] = {{"pictured", 60, 30}, {"matching", 100, 40}};  // "matching" has none
    exeInstance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterSplashClass(), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        resourceModule = LoadLibraryA(FixtureModule(c.module).c_str());
        ASSERT_NE(resourceModule, nullptr);
        CreateSplashWindow();
        HWND splash = FindWindowA(kSplashClassName, nullptr);
        ASSERT_NE(splash, nullptr);
        EXPECT_EQ(splashWidth, c.width);
        EXPECT_EQ(splashHeight, c.height);
        const SIZE size = WindowSize(splash), framed = FramedSize(c.width, c.height);
        EXPECT_EQ(size.cx, framed.cx);
        EXPECT_EQ(size.cy, framed.cy);
        DestroyWindow(splash);
        EXPECT_EQ(splashBitmap, nullptr) << "the destruction keeps the picture";
        FreeLibrary(resourceModule);
        resourceModule = nullptr;
    }
}

TEST_F(SplashWindow, WithoutAPictureSaysSoTwiceAndShowsNothing)
{
    // A module without bitmap 101 stands in for the executable; its string 11002 reads
    // "module: no splash.".
    exeInstance = LoadLibraryA(FixtureModule("partial").c_str());
    ASSERT_NE(exeInstance, nullptr);
    ASSERT_NE(RegisterSplashClass(), 0);
    std::strcpy(productName, "Prismolenteer");
    BoxWatcher watcher;
    ShowStartupSplash();
    EXPECT_EQ(FindWindowA(kSplashClassName, nullptr), nullptr);
    EXPECT_EQ(splashBitmap, nullptr);

    const std::vector<ShownBox> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "failed to LoadImage()");
    EXPECT_NE(seen[0].caption, "Prismolenteer") << "the system's default caption";
    EXPECT_FALSE(seen[0].hasIcon);
    EXPECT_EQ(seen[1].text, "module: no splash.");
    EXPECT_EQ(seen[1].caption, "Prismolenteer");
    EXPECT_TRUE(seen[1].hasIcon);
    UnregisterClassA(kSplashClassName, exeInstance);
    FreeLibrary(exeInstance);
}

// The splash's own DIB sections are covered above; here the other kinds.
TEST(BitmapSize, IsReadForOtherKindsOfBitmapOrNotAtAll)
{
    HDC screen = GetDC(nullptr);
    BITMAPINFOHEADER topDown{};
    topDown.biSize = sizeof topDown;
    topDown.biWidth = 5;
    topDown.biHeight = -4;
    topDown.biPlanes = 1;
    topDown.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP deleted = CreateCompatibleBitmap(screen, 3, 3);
    DeleteObject(deleted);
    struct Case {
        const char* kind;
        HBITMAP bitmap;
        int result, width, height;
    };
    const Case cases[] = {
        {"top-down section",
         CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&topDown), DIB_RGB_COLORS, &bits,
                          nullptr, 0),
         1, 5, 4},
        {"device bitmap", CreateCompatibleBitmap(screen, 9, 6), 1, 9, 6},
        {"deleted bitmap", deleted, 0, -1, -1},
        {"no bitmap", nullptr, 0, -1, -1},
    };
    ReleaseDC(nullptr, screen);
    for (const Case& c : cases) {
        int width = -1, height = -1;
        EXPECT_EQ(GetBitmapSize(c.bitmap, &width, &height), c.result) << c.kind;
        EXPECT_EQ(width, c.width) << c.kind;
        EXPECT_EQ(height, c.height) << c.kind;
        if (c.bitmap != nullptr && c.bitmap != deleted)
            DeleteObject(c.bitmap);
    }
}

}  // namespace
