// The rules between the program's windows, each kept here and nowhere else: the preview
// and the Option dialog exclude each other, a preview closes the About box, the triggers
// wait while the preview runs a modal loop, OK in the Option dialog registers the hotkey
// anew when its settings changed, and the live view holds its picture while a dialog is
// open (it holds by itself while the preview is).

#include "tray/preview_triggers.h"

#include "app/dpi.h"
#include "app/message_box.h"
#include "app/timeline.h"
#include "dialogs/about_dialog.h"
#include "dialogs/option_dialog.h"
#include "filter/filter_table.h"
#include "preview/live_view.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "tray/hot_corner.h"

int hotkeyRegistered;

namespace {

const int ID_PREVIEW_HOTKEY = 1;

// GetTickCount when the hot corner first found the cursor on its point; 0 when idle.
DWORD dwellStartTick;

int DesktopBitsPerPixel()
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(desktop, dc);
    return bits;
}

// The monitor the user works on: the one under the cursor.
HMONITOR CursorMonitor()
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return PrimaryMonitor();
    return MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
}

}  // namespace

int RegisterPreviewHotkey(HWND frame)
{
    UINT modifiers = 0;
    if (settings.HotkeyCtrl)
        modifiers |= MOD_CONTROL;
    if (settings.HotkeyAlt)
        modifiers |= MOD_ALT;
    hotkeyRegistered =
        RegisterHotKey(frame, ID_PREVIEW_HOTKEY, modifiers, settings.HotkeyVKey) != 0;
    if (!hotkeyRegistered)
        ShowMessageId(frame, MB_OK, IDS_ERR_REGISTER_HOTKEY);
    return hotkeyRegistered;
}

void UnregisterPreviewHotkey(HWND frame)
{
    if (hotkeyRegistered) {
        UnregisterHotKey(frame, ID_PREVIEW_HOTKEY);
        hotkeyRegistered = 0;
    }
}

int OpenPreview(HWND frame, HMONITOR monitor)
{
    if (IsOptionDialogOpen())
        return 0;
    // The filters work on true colours; a palette display has nothing to show them on.
    if (DesktopBitsPerPixel() <= 8)
        return 0;
    // A trigger dispatched by a message box of the capture, while the first preview is
    // still being made; or the preview's menu, Save As dialog or a box of its own is up,
    // which bringing the panel forward would cover. The hot corner gets here only when no
    // preview is open.
    if (IsPreviewBusy())
        return 0;
    CloseAboutDialog();  // it ends itself when its own loop takes the posted OK
    if (previewWindow == nullptr) {
        MarkPreviewStep(kPreviewTriggered);
        if (CreatePreviewWindow(frame, monitor) == nullptr)
            return 0;
    }
    ForceForegroundWindow(panelWindow);
    MarkPreviewStep(kPreviewPanelShown);
    return 1;
}

void OnHotkey(HWND frame)
{
    OpenPreview(frame, CursorMonitor());
}

void OnHotCornerTick(HWND frame)
{
    if (!settings.EnableMouseAction)
        return;
    // GetCursorPos fails while another desktop has the input (the lock screen, a UAC
    // prompt, Ctrl+Alt+Del): nobody can be resting the cursor on our corner then.
    POINT cursor{};
    if (!GetCursorPos(&cursor) || previewWindow != nullptr) {
        dwellStartTick = 0;
        return;
    }
    // The corners of the primary monitor itself. The full-screen client area ends above the
    // taskbar, where a cursor cannot be parked against an edge.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int x = 0, y = 0;
    if (!HotCornerPoint(settings.MouseActionPosition, screenWidth, screenHeight, &x, &y) ||
        cursor.x != x || cursor.y != y) {
        dwellStartTick = 0;
        return;
    }
    if (dwellStartTick == 0) {
        dwellStartTick = GetTickCount();
        return;
    }
    if (IsDwellLongEnough(dwellStartTick, GetTickCount())) {
        OpenPreview(frame, PrimaryMonitor());
        dwellStartTick = 0;  // a refused preview starts the dwell again
    }
}

void RunOptionCommand(HWND frame)
{
    // The panel lists the enabled filters, which the dialog may change.
    if (previewWindow != nullptr)
        return;
    const Settings before = settings;
    PauseLiveView();
    const INT_PTR answer = ShowOptionDialog(frame);
    ResumeLiveView();
    if (answer != IDOK)
        return;
    // An OK that leaves the hotkey as it was tries again when the hotkey is on but not ours:
    // it was taken at start-up, or by the last change, and may be free now.
    const bool hotkeyChanged =
        settings.EnableHotkeyAction != before.EnableHotkeyAction ||
        (settings.EnableHotkeyAction &&
         (settings.HotkeyCtrl != before.HotkeyCtrl || settings.HotkeyAlt != before.HotkeyAlt ||
          settings.HotkeyVKey != before.HotkeyVKey));
    if (!hotkeyChanged && (hotkeyRegistered || !settings.EnableHotkeyAction))
        return;
    UnregisterPreviewHotkey(frame);
    // On failure the box says so and the program goes on without a hotkey.
    if (settings.EnableHotkeyAction)
        RegisterPreviewHotkey(frame);
}

void RunLiveViewCommand()
{
    if (liveWindow != nullptr)
        CloseLiveView();
    else
        OpenLiveView(nullptr);
}

void OpenLiveViewFromPreview(WPARAM filterIndex)
{
    if (filterIndex < static_cast<WPARAM>(filterTable.count))
        OpenLiveView(&filterTable.records[filterIndex]);
}

void RunAboutCommand(HWND frame)
{
    PauseLiveView();
    ShowAboutDialog(frame);
    ResumeLiveView();
}
