// The two screen images the preview works on: the capture and its filtered copy.
// Portable: no windows.h.
#pragma once

#include <cstdint>

// The layout of the Win32 BITMAPINFOHEADER, so that the capture can hand `header` to GDI
// as it stands (the Win32 side checks that the two layouts agree).
struct DibHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40, "DibHeader must match BITMAPINFOHEADER");

// Both images: 24 bits per pixel stored as blue, green, red; rows bottom-up (the first
// row is the bottom line of the screen); each row padded to `stride` bytes. The padding
// bytes are never initialised, read or written by the program.
struct FrameBuffers {
    int32_t width;
    int32_t height;
    int32_t stride;
    DibHeader header;
    uint8_t* captured;
    uint8_t* filtered;
};

// Bytes per row: 3 * width rounded up to a multiple of 4, as GDI lays out 24-bit DIBs.
inline int32_t FrameStride(int32_t width)
{
    return (3 * width + 3) & ~3;
}
