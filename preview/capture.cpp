// Capturing a monitor into a 24-bit bottom-up image.

#include "preview/capture.h"

#include <cstdlib>
#include <cstring>

#include "app/message_box.h"

FrameBuffers frameBuffers;
SYSTEMTIME captureTime;

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER), "the frame header is handed to GDI");

namespace {

void FreeImages()
{
    std::free(frameBuffers.captured);
    std::free(frameBuffers.filtered);
    frameBuffers.captured = nullptr;
    frameBuffers.filtered = nullptr;
}

BITMAPINFO* HeaderForGdi()
{
    return reinterpret_cast<BITMAPINFO*>(&frameBuffers.header);
}

}  // namespace

int CaptureScreen(HWND boxOwner, const RECT& area)
{
    FreeImages();
    frameBuffers.width = area.right - area.left;
    frameBuffers.height = area.bottom - area.top;
    frameBuffers.stride = FrameStride(frameBuffers.width);

    const size_t imageBytes =
        static_cast<size_t>(frameBuffers.stride) * static_cast<size_t>(frameBuffers.height);
    frameBuffers.captured = static_cast<uint8_t*>(std::malloc(imageBytes));
    frameBuffers.filtered = static_cast<uint8_t*>(std::malloc(imageBytes));
    if (frameBuffers.captured == nullptr || frameBuffers.filtered == nullptr) {
        FreeImages();
        ShowMessageF(boxOwner, MB_OK | MB_ICONWARNING,
                     "The screen could not be captured: not enough memory for %d x %d pixels.",
                     frameBuffers.width, frameBuffers.height);
        return 0;
    }

    GetLocalTime(&captureTime);
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, frameBuffers.width, frameBuffers.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // The display context spans every monitor, with the primary one's corner at (0, 0).
    // CAPTUREBLT takes layered windows into the picture.
    BitBlt(memory, 0, 0, frameBuffers.width, frameBuffers.height, screen, area.left, area.top,
           SRCCOPY | CAPTUREBLT);
    // GetDIBits must not read a bitmap that is selected into a context.
    SelectObject(memory, previous);
    DeleteDC(screen);

    std::memset(&frameBuffers.header, 0, sizeof frameBuffers.header);
    frameBuffers.header.biSize = sizeof(BITMAPINFOHEADER);
    frameBuffers.header.biWidth = frameBuffers.width;
    frameBuffers.header.biHeight = frameBuffers.height;  // positive: bottom-up rows
    frameBuffers.header.biPlanes = 1;
    frameBuffers.header.biBitCount = 24;
    frameBuffers.header.biCompression = BI_RGB;

    // A failed read-back then shows black rather than whatever the allocation held.
    std::memset(frameBuffers.captured, 0, imageBytes);
    if (GetDIBits(memory, bitmap, 0, frameBuffers.height, frameBuffers.captured, HeaderForGdi(),
                  DIB_RGB_COLORS) == 0)
        ShowMessageF(boxOwner, MB_OK, "GetDIBits() failed %d", static_cast<int>(GetLastError()));

    DeleteObject(bitmap);
    DeleteDC(memory);
    return 1;
}
