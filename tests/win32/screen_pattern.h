// A window over the whole screen showing a pattern in which every pixel's colour names its
// place, so that a capture can be checked pixel for pixel against where it was taken.
#pragma once

#include <vector>

#include <windows.h>

// The pattern's colour at (x, y), for screens up to 4016 x 3856 pixels.
inline COLORREF PatternColor(int x, int y)
{
    return RGB(x % 251, y % 241, (x / 251) << 4 | (y / 241));
}

class ScreenPattern {
public:
    ScreenPattern()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Paint;
        windowClass.lpszClassName = "test.pattern";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "test.pattern", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(window_);
        GdiFlush();
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&msg);
        Sleep(100);  // Wine hands the window's pixels to the X server when the thread is idle
    }
    ~ScreenPattern() { DestroyWindow(window_); }

private:
    static LRESULT CALLBACK Paint(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg != WM_PAINT)
            return DefWindowProcA(window, msg, wParam, lParam);
        RECT client;
        GetClientRect(window, &client);
        BITMAPINFOHEADER header = {sizeof header, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<DWORD> pixels(size_t(client.right) * client.bottom);
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                const COLORREF color = PatternColor(x, y);  // a DIB holds blue lowest
                pixels[size_t(y) * client.right + x] =
                    GetBValue(color) | GetGValue(color) << 8 | GetRValue(color) << 16;
            }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        SetDIBitsToDevice(dc, 0, 0, client.right, client.bottom, 0, 0, 0, client.bottom,
                          pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }

    HWND window_;
};

// Pixel (x, y) of the captured image, counted from its top-left corner.
inline COLORREF CapturedPixel(const FrameBuffers& frames, int x, int y)
{
    const uint8_t* pixel =
        frames.captured + size_t(frames.height - 1 - y) * frames.stride + 3 * size_t(x);
    return RGB(pixel[2], pixel[1], pixel[0]);
}
