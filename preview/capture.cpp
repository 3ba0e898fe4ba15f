// Capturing a monitor into a 24-bit bottom-up image. The two images are kept from one
// preview to the next while the monitor's size stays the same: allocating them anew, and
// touching fresh memory, cost more than the filtering.

#include "preview/capture.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "app/message_box.h"
#include "app/resource_module.h"
#include "filter/text.h"
#include "res/resource.h"

FrameBuffers frameBuffers;
SYSTEMTIME captureTime;

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER), "the frame header is handed to GDI");

namespace {

HBITMAP capturedSection;

}  // namespace

bool HoldScreenImages(HBITMAP& section, FrameBuffers& frames, int width, int height)
{
    if (section != nullptr && frames.width == width && frames.height == height)
        return true;
    FreeScreenImages(section, frames);
    SetFrameSize(frames, width, height);
    void* bits = nullptr;
    section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&frames.header), DIB_RGB_COLORS,
                               &bits, nullptr, 0);
    frames.captured = static_cast<uint8_t*>(bits);
    frames.filtered = static_cast<uint8_t*>(std::malloc(FrameBytes(frames)));
    if (section != nullptr && frames.filtered != nullptr)
        return true;
    FreeScreenImages(section, frames);
    return false;
}

void FreeScreenImages(HBITMAP& section, FrameBuffers& frames)
{
    if (section != nullptr)
        DeleteObject(section);
    std::free(frames.filtered);
    section = nullptr;
    frames.captured = nullptr;
    frames.filtered = nullptr;
}

bool CopyScreenArea(HBITMAP section, const RECT& area)
{
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, section);
    // The display context spans every monitor, with the primary one's corner at (0, 0).
    // CAPTUREBLT takes layered windows into the picture.
    const BOOL copied = BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen,
                               area.left, area.top, SRCCOPY | CAPTUREBLT);
    const DWORD error = GetLastError();
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteDC(screen);
    SetLastError(error);
    return copied != FALSE;
}

void PrepareCaptureImages(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    if ((capturedSection != nullptr && frameBuffers.width == width && frameBuffers.height == height) ||
        !HoldScreenImages(capturedSection, frameBuffers, width, height))
        return;
    // Fresh memory costs a page fault on its first touch: some 30 ms for two images of a
    // 3840 x 2160 monitor, which would otherwise fall on the first preview.
    std::memset(frameBuffers.captured, 0, FrameBytes(frameBuffers));
    std::memset(frameBuffers.filtered, 0, FrameBytes(frameBuffers));
}

void ReleaseCaptureImages()
{
    FreeScreenImages(capturedSection, frameBuffers);
}

int CaptureScreen(HWND boxOwner, const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (!HoldScreenImages(capturedSection, frameBuffers, width, height)) {
        wchar_t format[256] = L"", sizes[2][12], text[512];
        LoadResStringW(IDS_CAPTURE_NO_MEMORY, format, 256);
        std::swprintf(sizes[0], 12, L"%d", width);
        std::swprintf(sizes[1], 12, L"%d", height);
        const wchar_t* const arguments[] = {sizes[0], sizes[1]};
        SubstitutePlaceholders(text, 512, format, arguments, 2);
        ShowMessageW(boxOwner, MB_OK | MB_ICONWARNING, text);
        return 0;
    }

    GetLocalTime(&captureTime);
    const bool copied = CopyScreenArea(capturedSection, area);
    const DWORD error = GetLastError();
    if (!copied) {
        // Black rather than the last preview's picture, which the kept image still holds.
        std::memset(frameBuffers.captured, 0, FrameBytes(frameBuffers));
        ShowMessageF(boxOwner, MB_OK, "BitBlt() failed %d", static_cast<int>(error));
    }
    return 1;
}
