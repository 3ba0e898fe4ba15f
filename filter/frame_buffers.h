// The two screen images the preview works on, the capture and its filtered copy, and a
// picture of the same layout on its own (a picture file read, a comparison sheet).
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

// One picture laid out as the images above.
struct Picture {
    int32_t width;
    int32_t height;
    int32_t stride;
    uint8_t* pixels;
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

inline size_t PictureBytes(const Picture& picture)
{
    return static_cast<size_t>(picture.stride) * static_cast<size_t>(picture.height);
}

// The header GDI reads an image of this size by: 24 bits, rows bottom-up.
inline DibHeader DibHeaderFor(int32_t width, int32_t height)
{
    DibHeader header{};
    header.biSize = sizeof(DibHeader);
    header.biWidth = width;
    header.biHeight = height;  // positive: bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 24;    // biCompression 0 is BI_RGB
    return header;
}

// Gives `frames` the size `width` x `height`: its stride and the header GDI reads the
// images by. The images themselves are the caller's.
inline void SetFrameSize(FrameBuffers& frames, int32_t width, int32_t height)
{
    frames.width = width;
    frames.height = height;
    frames.stride = FrameStride(width);
    frames.header = DibHeaderFor(width, height);
}

inline Picture CapturedPicture(const FrameBuffers& frames)
{
    return {frames.width, frames.height, frames.stride, frames.captured};
}

inline Picture FilteredPicture(const FrameBuffers& frames)
{
    return {frames.width, frames.height, frames.stride, frames.filtered};
}

// Row `y` of the picture counted from the top, where it is stored.
inline uint8_t* PictureRow(const Picture& picture, int32_t y)
{
    return picture.pixels + static_cast<size_t>(picture.height - 1 - y) * picture.stride;
}
