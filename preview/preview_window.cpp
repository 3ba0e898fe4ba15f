// The preview window: a borderless, topmost tool window over one whole monitor that paints
// the filtered capture of that monitor 1:1 and keeps the operate panel in front of it.

#include "preview/preview_window.h"

#include "app/app.h"
#include "app/timeline.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "preview/capture.h"
#include "preview/operate_panel.h"

HWND previewWindow;
int selectedFilterIndex;

namespace {

const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";

bool creatingPreview;

// What CreatePreviewWindow hands to the creation handling.
struct PreviewRequest {
    HWND boxOwner;
    HMONITOR monitor;
    RECT area;  // the monitor in screen pixels
};

// The enabled filter at selectedFilterIndex. With nothing enabled the capture is shown as
// it is, through the identity filter.
const FilterRecord& SelectedFilter()
{
    if (selectedFilterIndex >= 0 && selectedFilterIndex < enabledList.count)
        return *enabledList.entries[selectedFilterIndex];
    if (enabledList.count > 0)
        return *enabledList.entries[0];
    return filterTable.records[0];  // the built-in identity filter, always added first
}

// The capture and the first filter, before the window is shown, so that neither it nor the
// panel is in the picture.
int OnCreate(const CREATESTRUCTA* creation)
{
    const PreviewRequest& request = *static_cast<const PreviewRequest*>(creation->lpCreateParams);
    if (!CaptureScreen(request.boxOwner, request.area))
        return -1;
    MarkPreviewStep(kPreviewCaptured);
    selectedFilterIndex = 0;
    ApplyFilterToFrame(SelectedFilter(), frameBuffers);
    MarkPreviewStep(kPreviewFiltered);
    return 0;
}

void OnDestroy()
{
    if (panelWindow != nullptr)
        DestroyWindow(panelWindow);
    previewWindow = nullptr;
}

void OnRefilter(HWND window)
{
    if (frameBuffers.filtered == nullptr)
        return;
    // Always from the captured image, so filters never accumulate.
    ApplyFilterToFrame(SelectedFilter(), frameBuffers);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Straight from the image to the window, in one pass: no screen-sized bitmap between.
    if (frameBuffers.filtered != nullptr)
        SetDIBitsToDevice(dc, 0, 0, frameBuffers.width, frameBuffers.height, 0, 0, 0,
                          frameBuffers.height, frameBuffers.filtered,
                          reinterpret_cast<const BITMAPINFO*>(&frameBuffers.header), DIB_RGB_COLORS);
    EndPaint(window, &paint);
    MarkPreviewStep(kPreviewPainted);
}

// A click on the picture must not take the foreground from the panel: it hands it to the
// panel instead, so the list keeps the keyboard.
LRESULT OnMouseActivate()
{
    if (panelWindow == nullptr)
        return MA_ACTIVATE;
    ForceForegroundWindow(panelWindow);
    return MA_NOACTIVATE;
}

LRESULT CALLBACK PreviewProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:          return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_DESTROY:         OnDestroy(); return 0;
    case WM_SETFOCUS:        return 0;
    case WM_PAINT:           OnPaint(window); return 0;
    case WM_CLOSE:           DestroyWindow(window); return 0;
    case WM_MOUSEACTIVATE:   return OnMouseActivate();
    case WM_IME_SETCONTEXT:  return 0;
    case WM_PREVIEW_REFILTER: OnRefilter(window); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

ATOM RegisterPreviewClass()
{
    return RegisterProgramClass(kPreviewClass, PreviewProc, true);
}

HWND CreatePreviewWindow(HWND boxOwner, HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return nullptr;
    PreviewRequest request = {boxOwner, monitor, info.rcMonitor};
    const RECT& area = request.area;
    creatingPreview = true;
    // A popup without a caption exactly over the monitor, at the capture's size, so the
    // picture is shown pixel for pixel; a tool window has no taskbar button.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPreviewClass, productName,
                                  WS_POPUP, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, nullptr, nullptr, exeInstance, &request);
    if (window != nullptr) {
        // The picture first, the panel right after it: the user waits for the picture. The
        // preview takes the foreground as it shows, so that a key pressed while the panel is
        // being made (an Esc the moment the picture appears) reaches this program.
        ShowWindow(window, SW_SHOW);
        ForceForegroundWindow(window);
        UpdateWindow(window);
        // Wine hands a window's pixels to the screen when its thread is about to wait for
        // messages; this wait of no time at all lets it do so before the panel is made.
        MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
        if (CreateOperatePanel(window, monitor) != nullptr) {
            previewWindow = window;
        } else {
            DestroyWindow(window);
            window = nullptr;
        }
    }
    creatingPreview = false;
    return window;
}

bool IsPreviewBeingCreated()
{
    return creatingPreview;
}

BOOL ForceForegroundWindow(HWND window)
{
    if (window == nullptr || !IsWindow(window))
        return FALSE;
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr)
        return SetForegroundWindow(window);
    DWORD foregroundProcess = 0;
    const DWORD foregroundThread = GetWindowThreadProcessId(foreground, &foregroundProcess);
    if (foregroundProcess == GetCurrentProcessId())
        return SetForegroundWindow(window);

    // Windows lets a thread take the foreground only while it shares the input state of
    // the thread that has it.
    const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
    if (!AttachThreadInput(windowThread, foregroundThread, TRUE))
        return FALSE;
    const BOOL result = SetForegroundWindow(window);
    AttachThreadInput(windowThread, foregroundThread, FALSE);
    return result;
}
