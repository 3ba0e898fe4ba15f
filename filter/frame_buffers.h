// The two screen images the preview works on: the capture and its filtered copy.
// Portable: no windows.h.
#pragma once

#include <cstddef>
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
// row is the bottom line of the screen); each row padded to `stride` bytes. The filter and
// the paint never read the padding bytes.
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

// Bytes of one image.
inline size_t FrameBytes(const FrameBuffers& frames)
{
    return static_cast<size_t>(frames.stride) * static_cast<size_t>(frames.height);
}

// Gives `frames` the size `width` x `height`: its stride and the header GDI reads the
// images by (24 bits, rows bottom-up). The images themselves are the caller's.
inline void SetFrameSize(FrameBuffers& frames, int32_t width, int32_t height)
{
    frames.width = width;
    frames.height = height;
    frames.stride = FrameStride(width);
    frames.header = DibHeader{};
    frames.header.biSize = sizeof(DibHeader);
    frames.header.biWidth = width;
    frames.header.biHeight = height;  // positive: bottom-up rows
    frames.header.biPlanes = 1;
    frames.header.biBitCount = 24;    // biCompression 0 is BI_RGB
}
