// Reading back what the screen shows.
#pragma once

#include <vector>

#include <windows.h>

// A rectangle of the screen the user sees, as COLORREFs row by row from the top.
inline std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    DeleteDC(memory);  // lets go of the bitmap, which GetDIBits wants selected nowhere
    BITMAPINFOHEADER format{sizeof format, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down, 0x00RRGGBB
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&format),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    for (COLORREF& pixel : pixels)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
    return pixels;
}
