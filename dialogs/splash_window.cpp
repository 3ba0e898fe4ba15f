// The splash window: a picture in a thin sizing frame without caption, topmost, never
// activated by a click, closing itself after two seconds.

#include "dialogs/splash_window.h"

#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/dpi.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "res/resource.h"

namespace {

const char kSplashClassName[] = "splash.wndclass.prismolenteer.morvask";

const DWORD kSplashStyle = WS_POPUP | WS_VISIBLE | WS_BORDER | WS_THICKFRAME;
const DWORD kSplashExStyle = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
const UINT_PTR kCloseTimer = 1;
const UINT kShowTimeMs = 2000;

// The picture, a DIB section owned by the splash window: loaded by its creation, deleted by
// its destruction, null otherwise.
HBITMAP splashBitmap;
// The picture's size on the screen in pixels, scaled to the DPI of the primary monitor,
// taken during the window's creation.
int splashWidth;
int splashHeight;
// The picture's own size.
int pictureWidth;
int pictureHeight;

// The splash's own failures use plain boxes: no owner, the system's default caption, no
// icon, and past the once-only rule of the program's message boxes.
void ShowSplashFailure(const char* text)
{
    ShowPlainMessage(text, MB_OK);
}

// 1 with the bitmap's size in pixels stored through the two outputs; 0, with them
// untouched, when GDI cannot describe the bitmap.
int GetBitmapSize(HBITMAP bitmap, int* width, int* height)
{
    BITMAPINFOHEADER header;
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    HDC screen = GetDC(nullptr);
    // With no scan lines and no bits buffer GDI only fills in the header.
    const int described = GetDIBits(screen, bitmap, 0, 0, nullptr,
                                    reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (described == 0)
        return 0;
    *width = header.biWidth;
    // GDI may describe a top-down picture by a negative height; a window cannot be that.
    *height = std::abs(header.biHeight);
    return 1;
}

// Sizes the window to frame the picture at the primary monitor's DPI and centres it on that
// monitor, then starts the one timer that ends it. -1 aborts the creation; the destruction
// then deletes the picture.
LRESULT OnCreate(HWND hwnd)
{
    splashBitmap = LoadResBitmap(IDB_SPLASH);
    if (splashBitmap == nullptr) {
        ShowSplashFailure("failed to LoadImage()");
        return -1;
    }
    int width = 0, height = 0;
    if (!GetBitmapSize(splashBitmap, &width, &height)) {
        ShowSplashFailure("failed to GetBitmapSize()");
        return -1;
    }
    pictureWidth = width;
    pictureHeight = height;
    const UINT dpi = MonitorDpi(PrimaryMonitor());
    splashWidth = ScaleForDpi(width, dpi);
    splashHeight = ScaleForDpi(height, dpi);

    // Always measured without WS_EX_NOACTIVATE, which does not change the frame.
    RECT frame = {0, 0, splashWidth, splashHeight};
    if (!AdjustWindowRectForDpi(&frame, kSplashStyle, kSplashExStyle, dpi)) {
        ShowSplashFailure("failed to AdjustWindowRectEx()");
        return -1;
    }
    const int windowWidth = frame.right - frame.left;
    const int windowHeight = frame.bottom - frame.top;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    MoveWindow(hwnd, (desktop.right - desktop.left - windowWidth) / 2,
               (desktop.bottom - desktop.top - windowHeight) / 2, windowWidth, windowHeight,
               FALSE);
    SetTimer(hwnd, kCloseTimer, kShowTimeMs, nullptr);
    return 0;
}

void OnDestroy()
{
    if (splashBitmap != nullptr) {
        DeleteObject(splashBitmap);
        splashBitmap = nullptr;
    }
}

// The picture at the client origin, at its size on the screen.
void OnPaint(HWND hwnd)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, splashBitmap);
    if (previous == nullptr) {
        ShowSplashFailure("");
    } else if (splashWidth == pictureWidth && splashHeight == pictureHeight) {
        BitBlt(dc, 0, 0, splashWidth, splashHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    } else {
        // HALFTONE averages the picture's pixels where it is scaled by a fraction.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, splashWidth, splashHeight, memory, 0, 0, pictureWidth,
                   pictureHeight, SRCCOPY);
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    EndPaint(hwnd, &paint);
}

// A window with a sizing frame is kept at least SM_CXMINTRACK wide (112 pixels and more),
// wider than the frame around a small picture: the size worked out for the picture stands,
// or a strip beside it would show whatever lay there before.
void OnGetMinMaxInfo(MINMAXINFO* limits)
{
    limits->ptMinTrackSize.x = 1;
    limits->ptMinTrackSize.y = 1;
}

void OnTimer(HWND hwnd, UINT_PTR timerId)
{
    if (timerId != kCloseTimer)
        return;
    KillTimer(hwnd, kCloseTimer);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

// Nothing closes the splash but its own timer; a click neither activates nor closes it.
LRESULT CALLBACK SplashWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:        return OnCreate(hwnd);
    case WM_DESTROY:       OnDestroy(); return 0;
    case WM_PAINT:         OnPaint(hwnd); return 0;
    case WM_CLOSE:         DestroyWindow(hwnd); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_TIMER:         OnTimer(hwnd, wParam); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

ATOM RegisterSplashClass()
{
    return RegisterProgramClass(kSplashClassName, SplashWindowProc, false);
}

HWND CreateSplashWindow()
{
    DWORD exStyle = kSplashExStyle;
    if (IsWin2000OrLater())
        exStyle |= WS_EX_NOACTIVATE;
    // The creation handling sizes and places the window inside this call.
    HWND splash = CreateWindowExA(exStyle, kSplashClassName, productName, kSplashStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, exeInstance, nullptr);
    if (splash == nullptr)
        return nullptr;
    ShowWindow(splash, SW_SHOWNORMAL);
    UpdateWindow(splash);
    return splash;
}
