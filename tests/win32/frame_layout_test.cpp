// The frame images must mean to GDI what the transform takes them to mean: blue, green,
// red bytes, rows bottom-up, each padded to the stride.

#include <cstddef>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "filter/frame_buffers.h"

namespace {

TEST(FrameLayout, HeaderMatchesBitmapInfoHeader)
{
    static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER), "size");
    EXPECT_EQ(offsetof(DibHeader, biWidth), offsetof(BITMAPINFOHEADER, biWidth));
    EXPECT_EQ(offsetof(DibHeader, biHeight), offsetof(BITMAPINFOHEADER, biHeight));
    EXPECT_EQ(offsetof(DibHeader, biPlanes), offsetof(BITMAPINFOHEADER, biPlanes));
    EXPECT_EQ(offsetof(DibHeader, biBitCount), offsetof(BITMAPINFOHEADER, biBitCount));
    EXPECT_EQ(offsetof(DibHeader, biCompression), offsetof(BITMAPINFOHEADER, biCompression));
    EXPECT_EQ(offsetof(DibHeader, biClrImportant), offsetof(BITMAPINFOHEADER, biClrImportant));
}

TEST(FrameLayout, GdiReadsBottomUpBlueGreenRedRows)
{
    // A 3x2 image (stride 12, three bytes of padding per row).
    const int width = 3, height = 2;
    const int stride = FrameStride(width);
    std::vector<uint8_t> bits(stride * height, 0);
    auto put = [&](int x, int yFromBottom, uint8_t red, uint8_t green, uint8_t blue) {
        uint8_t* p = bits.data() + yFromBottom * stride + 3 * x;
        p[0] = blue;
        p[1] = green;
        p[2] = red;
    };
    put(0, 0, 10, 20, 30);   // bottom-left on screen
    put(2, 1, 200, 150, 100);  // top-right on screen

    DibHeader header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ASSERT_NE(SetDIBits(memory, bitmap, 0, height, bits.data(),
                        reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS), 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_EQ(GetPixel(memory, 0, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(memory, 2, 0), RGB(200, 150, 100));
    SelectObject(memory, previous);

    // And back: GetDIBits lays the bitmap out the same way.
    std::vector<uint8_t> readBack(stride * height, 0);
    ASSERT_EQ(GetDIBits(memory, bitmap, 0, height, readBack.data(),
                        reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x)
            EXPECT_EQ(readBack[y * stride + x], bits[y * stride + x]) << x << "," << y;

    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace
