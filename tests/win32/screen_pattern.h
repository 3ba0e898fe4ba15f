// A window over the whole screen whose every pixel's colour names its place, so that a
// capture can be checked pixel for pixel against where it was taken.
#pragma once

#include <vector>

#include <windows.h>

#include "filter/frame_buffers.h"

// The pattern at (x, y), as a DIB's blue-green-red word; unique on screens up to 4016 x 3856.
inline DWORD PatternPixel(int x, int y)
{
    return DWORD((x / 251) << 4 | (y / 241)) | DWORD(y % 241) << 8 | DWORD(x % 251) << 16;
}

class ScreenPattern {
public:
    ScreenPattern()
    {
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        std::vector<DWORD> pixels(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * width + x] = PatternPixel(x, y);
        BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr);
        picture_ = CreateDIBitmap(screen, &header, CBM_INIT, pixels.data(),
                                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BITMAP,
                                  0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
        SendMessageA(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
        UpdateWindow(window_);
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&msg);
        Sleep(100);  // Wine hands a window's pixels to the X server when the thread is idle
    }
    ~ScreenPattern()
    {
        DestroyWindow(window_);
        DeleteObject(picture_);
    }

private:
    HWND window_;
    HBITMAP picture_;
};

// Pixel (x, y) of the captured image, from its top-left corner, as a blue-green-red word.
inline DWORD CapturedPixel(const FrameBuffers& frames, int x, int y)
{
    const uint8_t* pixel = frames.captured + size_t(frames.height - 1 - y) * frames.stride + 3 * x;
    return DWORD(pixel[0]) | DWORD(pixel[1]) << 8 | DWORD(pixel[2]) << 16;
}
