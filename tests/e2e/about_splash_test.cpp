// The About box from the tray menu, and the splash window at start-up.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/running_program.h"

namespace {

using AboutBox = RunningProgram;

// The texts of the dialog's static text controls, in their order.
std::vector<std::string> StaticTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "", text[256] = "";
        GetClassNameA(child, name, sizeof name);
        GetWindowTextA(child, text, sizeof text);
        const LONG type = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        if (lstrcmpiA(name, "Static") == 0 && type != SS_ICON)
            texts.push_back(text);
    }
    return texts;
}

TEST_F(AboutBox, OpensOnceClosesEveryWayAndLeavesTheMainFrameDisabled)
{
    e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);

    HWND about = Open(frame, 'A', "About");
    ASSERT_NE(about, nullptr) << "the tray menu's About opened no dialog";
    const std::vector<std::string> texts = StaticTexts(about);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Prismolenteer");
    EXPECT_EQ(texts[1], "version 0.08(beta)");
    EXPECT_EQ(texts[2], "Simulates colour-blind vision.");
    HWND ok = GetDlgItem(about, IDOK);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FocusOf(about) == ok; }, 5000));

    ASSERT_TRUE(e2e::ChooseFromTrayMenu(frame, program_.Id(), 'A'));
    Sleep(500);
    EXPECT_EQ(e2e::CountDialogs(program_.Id(), "About"), 1) << "About while it is open";
    EXPECT_TRUE(IsWindow(about));

    struct Way {
        const char* name;
        WORD key;  // 0: a command to the window instead
        UINT sysCommand;
    };
    const Way ways[] = {{"Enter", VK_RETURN, 0}, {"Esc", VK_ESCAPE, 0}, {"close box", 0, SC_CLOSE}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        e2e::MakeForeground(about);
        if (way.key != 0)
            e2e::PressKey(way.key);
        else
            PostMessageA(about, WM_SYSCOMMAND, way.sysCommand, 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); }, kWaitMs));
        EXPECT_FALSE(IsWindowEnabled(frame));
        about = Open(frame, 'A', "About");
        ASSERT_NE(about, nullptr) << "no About after closing it";
    }
    Close(about, IDOK);
    EXPECT_FALSE(IsWindowEnabled(frame));
    EXPECT_FALSE(program_.WaitForExit(0));
    ExitAndReadSettings(frame);
}

using Splash = RunningProgram;

void PumpMessagesFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

// The executable's splash picture, as the screen shows it: COLORREFs row by row from the
// top.
std::vector<COLORREF> SplashPicture(const std::string& exePath, SIZE* size)
{
    std::vector<COLORREF> pixels;
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) != 0) {
        size->cx = info.bmWidth;
        size->cy = info.bmHeight;
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = info.bmWidth;
        header.biHeight = -info.bmHeight;
        header.biPlanes = 1;
        header.biBitCount = 32;
        std::vector<DWORD> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        for (DWORD bgrx : bits)
            pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (module != nullptr)
        FreeLibrary(module);
    return pixels;
}

TEST_F(Splash, ShowsThePictureCentredAndTopmostForTwoSecondsAndAClickDoesNotActivateIt)
{
    const DWORD started = GetTickCount();
    ASSERT_TRUE(program_.Start(copy_.ExePath()));
    HWND splash = e2e::WaitForWindow(e2e::kSplashClass, program_.Id(), kWaitMs);
    ASSERT_NE(splash, nullptr) << "no splash window";
    // It is listed while its creation still runs, and shown when that ends.
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(splash) != FALSE; }, kWaitMs));
    const DWORD seen = GetTickCount();
    char title[64] = "";
    GetWindowTextA(splash, title, sizeof title);
    EXPECT_STREQ(title, "Prismolenteer");
    const LONG style = GetWindowLongA(splash, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_THICKFRAME),
              WS_POPUP | WS_BORDER | WS_THICKFRAME);
    // Wine reports a modern NT system, so the splash also refuses activation by its style.
    const LONG wanted = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    EXPECT_EQ(GetWindowLongA(splash, GWL_EXSTYLE) & wanted, wanted);

    // The picture measures 100 x 40 and Wine's thin sizing frame 4 pixels a side, so the
    // window measures 108 x 48 and centring on the 1024 x 768 desktop puts it at (458, 360).
    RECT window{};
    GetWindowRect(splash, &window);
    EXPECT_EQ(window.left, 458);
    EXPECT_EQ(window.top, 360);
    EXPECT_EQ(window.right, 566);
    EXPECT_EQ(window.bottom, 408);

    SIZE size{};
    const std::vector<COLORREF> picture = SplashPicture(copy_.ExePath(), &size);
    ASSERT_EQ(size.cx, 100);
    ASSERT_EQ(size.cy, 40);
    POINT origin{0, 0};
    ClientToScreen(splash, &origin);
    const RECT client{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ScreenPixels(client) == picture; }, 1000))
        << "the client area does not show the picture";

    // Showing the splash may activate it; a click must not. So another window is made the
    // foreground window first, and must still be it after the click.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(splash, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(splash),
                        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(MA_NOACTIVATE));
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 80, 40,
                                 nullptr, nullptr, nullptr, nullptr);
    e2e::MakeForeground(other);
    e2e::Click((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    PumpMessagesFor(300);
    EXPECT_EQ(GetForegroundWindow(), other) << "a click activated the splash";
    if (GetTickCount() - seen < 1500) {
        EXPECT_TRUE(IsWindow(splash)) << "a click closed the splash";
    }
    DestroyWindow(other);

    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(splash); }, kWaitMs))
        << "the splash stayed";
    EXPECT_GE(GetTickCount() - started, 2000u) << "the splash went before two seconds";
    HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, program_.Id(), kWaitMs);
    ASSERT_NE(frame, nullptr);
    ExitAndReadSettings(frame);
}

TEST_F(Splash, IsNotShownWhenSwitchedOff)
{
    e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
    ASSERT_TRUE(program_.Start(copy_.ExePath()));
    HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, program_.Id(), kWaitMs);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(e2e::WaitForWindow(e2e::kSplashClass, program_.Id(), 3000), nullptr);
    ExitAndReadSettings(frame);
}

}  // namespace
