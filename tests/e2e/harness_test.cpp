// The driver itself on the Wine virtual desktop: what it draws, types and stores must
// come back as it was, or no end-to-end result can be trusted.

#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace {

const COLORREF kProbeColor = RGB(12, 200, 99);
int keysSeen;

LRESULT CALLBACK ProbeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(kProbeColor);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == 'Q')
            ++keysSeen;
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

TEST(Harness, WindowsKeysAndPixelsWorkOnTheVirtualDesktop)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "probe.e2e";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "probe.e2e", "probe", WS_POPUP | WS_VISIBLE,
                                  100, 100, 200, 120, nullptr, nullptr, windowClass.hInstance,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    e2e::Pause(300);

    EXPECT_EQ(e2e::WaitForWindow("probe.e2e", GetCurrentProcessId(), 1000), window);
    EXPECT_EQ(e2e::ScreenPixel(150, 150), kProbeColor);
    RECT area{110, 110, 130, 120};
    for (COLORREF pixel : e2e::ScreenPixels(area))
        ASSERT_EQ(pixel, kProbeColor);

    keysSeen = 0;
    e2e::PressKey('Q');
    e2e::Pause(300);
    EXPECT_EQ(keysSeen, 1);

    e2e::MoveCursor(5, 7);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 5);
    EXPECT_EQ(cursor.y, 7);
    DestroyWindow(window);
}

TEST(Harness, RegistryValuesRoundTrip)
{
    const char kScratch[] = "Software\\morvask\\PrismolenteerHarness";
    e2e::DeleteRegistryKey(kScratch);
    e2e::WriteRegistryDword(kScratch, "Number", 0xFFFFFFFF);
    e2e::WriteRegistryString(kScratch, "Text", "a,b");
    DWORD number = 0;
    std::string text;
    EXPECT_TRUE(e2e::ReadRegistryDword(kScratch, "Number", &number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_TRUE(e2e::ReadRegistryString(kScratch, "Text", &text));
    EXPECT_EQ(text, "a,b");
    EXPECT_FALSE(e2e::ReadRegistryDword(kScratch, "Text", &number));  // wrong type
    e2e::DeleteRegistryKey(kScratch);
    EXPECT_FALSE(e2e::ReadRegistryString(kScratch, "Text", &text));
}

}  // namespace
