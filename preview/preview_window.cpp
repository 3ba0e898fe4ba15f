// The preview window: a borderless, topmost tool window over one whole monitor that paints
// the filtered capture of that monitor 1:1 and keeps the operate panel in front of it. It
// also owns the commands that keep the picture, and the rule that nothing else acts while
// one of them runs a modal loop.

#include "preview/preview_window.h"

#include "app/app.h"
#include "app/dpi.h"
#include "app/resource_module.h"
#include "app/timeline.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "preview/capture.h"
#include "preview/keep_picture.h"
#include "preview/live_view.h"
#include "preview/operate_panel.h"
#include "res/resource.h"

HWND previewWindow;
int selectedFilterIndex;

namespace {

const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";

// The window that coordinates the preview with the rest, which owns its boxes.
HWND previewOwner;
// While the preview is being made, or a modal loop of the preview runs.
bool previewBusy;
// While Shift alone is held: the capture is shown as it was taken.
bool showingCaptured;
// The shortcuts of the preview's menu; always the executable's.
HACCEL previewKeys;

// What CreatePreviewWindow hands to the creation handling.
struct PreviewRequest {
    HWND boxOwner;
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

Picture ShownPicture()
{
    return showingCaptured ? CapturedPicture(frameBuffers) : FilteredPicture(frameBuffers);
}

// Both images exist already: switching between them only paints again.
void ShowCaptured(bool captured)
{
    if (showingCaptured == captured)
        return;
    showingCaptured = captured;
    if (previewWindow != nullptr) {
        InvalidateRect(previewWindow, nullptr, FALSE);
        UpdateWindow(previewWindow);
    }
}

// Shift pressed alone shows the capture; released, or joined by any other key, it gives
// the filter back. A key held down repeats its WM_KEYDOWN with bit 30 set.
void FollowShift(const MSG& msg)
{
    const bool shift = msg.wParam == VK_SHIFT;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!shift)
            ShowCaptured(false);
        else if ((msg.lParam & (1 << 30)) == 0 && GetKeyState(VK_CONTROL) >= 0 &&
                 GetKeyState(VK_MENU) >= 0)
            ShowCaptured(true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (shift)
            ShowCaptured(false);
        break;
    }
}

// A modal loop takes the keys while it runs, the release of Shift among them.
void FollowShiftAfterModalLoop()
{
    if (showingCaptured && GetKeyState(VK_SHIFT) >= 0)
        ShowCaptured(false);
}

// Runs `step`, in which the preview is made or runs a modal loop (its menu, a dialog, a
// box): meanwhile the triggers wait (IsPreviewBusy), and afterwards a release of Shift that
// the loop took is followed.
template <typename Step>
void RunModalStep(Step step)
{
    previewBusy = true;
    step();
    previewBusy = false;
    FollowShiftAfterModalLoop();
}

// Copy, Save picture and Save comparison sheet, inside a modal step. While their boxes and
// dialog run, the panel is disabled, so that the picture being kept cannot change under
// them.
void KeepPicture(HWND window, UINT command)
{
    if (frameBuffers.filtered == nullptr)
        return;
    if (panelWindow != nullptr)
        EnableWindow(panelWindow, FALSE);
    if (command == IDM_PREVIEW_COPY)
        CopyPicture(window, ShownPicture());
    else if (command == IDM_PREVIEW_SAVE)
        SavePicture(window, FilteredPicture(frameBuffers), SelectedFilter(), captureTime);
    else
        SaveComparisonSheet(window);
    if (panelWindow != nullptr) {
        EnableWindow(panelWindow, TRUE);
        // A dialog or box gives the activation back to its owner, the preview; the keys
        // belong to the panel's list.
        ForceForegroundWindow(panelWindow);
        SetFocus(panelWindow);
    }
}

// A command of the preview's menu or of its shortcuts, inside a modal step; 0 is none.
void RunCommand(HWND window, UINT command)
{
    if (command == IDM_PREVIEW_LIVE_VIEW) {
        // The live view takes over, through the filter shown.
        const FilterRecord& filter = SelectedFilter();
        PostMessageA(previewOwner, WM_OPEN_LIVE_VIEW,
                     static_cast<WPARAM>(&filter - filterTable.records), 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command == IDM_PREVIEW_CLOSE) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command != 0) {
        KeepPicture(window, command);
    }
}

// A shortcut's command. True when it is one of the preview's.
bool OnCommand(HWND window, UINT command)
{
    const bool ours = command == IDM_PREVIEW_COPY || command == IDM_PREVIEW_SAVE ||
                      command == IDM_PREVIEW_SAVE_SHEET || command == IDM_PREVIEW_CLOSE;
    if (ours && !previewBusy)
        RunModalStep([&] { RunCommand(window, command); });
    return ours;
}

// The menu of a right click, at the cursor. Its command runs in the same modal step, so that
// a Shift held to compare still holds for a Copy chosen from it.
void OnContextMenu(HWND window, LPARAM position)
{
    if (previewBusy)
        return;
    HMENU menu = LoadResMenu(IDR_PREVIEW_MENU);
    if (menu == nullptr)
        return;
    POINT at = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1)  // the menu key: no mouse position
        GetCursorPos(&at);
    // The panel holds the foreground, so the menu closes when the user clicks elsewhere.
    RunModalStep([&] {
        const UINT command = static_cast<UINT>(
            TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN |
                           TPM_TOPALIGN, at.x, at.y, 0, window, nullptr));
        DestroyMenu(menu);
        RunCommand(window, command);
    });
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
    showingCaptured = false;
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
                          frameBuffers.height, ShownPicture().pixels,
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
    case WM_SETFOCUS:        return 0;  // the keys belong to the panel's list
    case WM_PAINT:           OnPaint(window); return 0;
    case WM_CLOSE:           DestroyWindow(window); return 0;
    case WM_MOUSEACTIVATE:   return OnMouseActivate();
    case WM_IME_SETCONTEXT:  return 0;  // nothing to type into: no input method window
    case WM_PREVIEW_REFILTER: OnRefilter(window); return 0;
    case WM_CONTEXTMENU:     OnContextMenu(window, lParam); return 0;
    // Another program took the keyboard: the release of Shift will not reach us.
    case WM_ACTIVATEAPP:     if (!wParam) ShowCaptured(false); return 0;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

// The preview window over `monitor` and its panel. While the capture's box runs, the
// triggers wait; see RunModalStep.
HWND MakePreview(PreviewRequest& request, HMONITOR monitor)
{
    const RECT& area = request.area;
    // A popup without a caption exactly over the monitor, at the capture's size, so the
    // picture is shown pixel for pixel; a tool window has no taskbar button.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPreviewClass, productName,
                                  WS_POPUP, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, nullptr, nullptr, exeInstance,
                                  &request);
    if (window == nullptr)
        return nullptr;
    // The picture first, the panel right after it: the user waits for the picture. The
    // preview takes the foreground as it shows, so that a key pressed while the panel is
    // being made (an Esc the moment the picture appears) reaches this program.
    ShowWindow(window, SW_SHOW);
    ForceForegroundWindow(window);
    UpdateWindow(window);
    // Wine hands a window's pixels to the screen when its thread is about to wait for
    // messages; this wait of no time at all lets it do so before the panel is made.
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
    if (CreateOperatePanel(window, monitor, area) == nullptr) {
        DestroyWindow(window);
        return nullptr;
    }
    previewWindow = window;
    return window;
}

}  // namespace

ATOM RegisterPreviewClass()
{
    previewKeys = LoadAcceleratorsA(exeInstance, MAKEINTRESOURCEA(IDR_PREVIEW_KEYS));
    return RegisterProgramClass(kPreviewClass, PreviewProc, true);
}

HWND CreatePreviewWindow(HWND boxOwner, HMONITOR monitor)
{
    previewOwner = boxOwner;
    PreviewRequest request = {boxOwner, {}};
    if (!GetMonitorArea(monitor, &request.area))
        return nullptr;
    HWND window = nullptr;
    RunModalStep([&] { window = MakePreview(request, monitor); });
    return window;
}

bool IsPreviewBusy()
{
    return previewBusy;
}

bool TakePreviewKeyboardMessage(MSG* msg)
{
    if (previewWindow == nullptr)
        return false;
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        if (root != nullptr && (root == previewWindow || root == panelWindow)) {
            FollowShift(*msg);
            if (previewKeys != nullptr && TranslateAcceleratorA(previewWindow, previewKeys, msg))
                return true;
        }
    }
    return panelWindow != nullptr && IsDialogMessageA(panelWindow, msg);
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
