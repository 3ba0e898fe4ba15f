// The two triggers of the preview, the hotkey and the hot corner, and the tray menu's
// Option command.

#include "tray/preview_triggers.h"

#include "dialogs/about_dialog.h"
#include "dialogs/option_dialog.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "settings/settings.h"
#include "tray/hot_corner.h"
#include "tray/main_frame.h"

namespace {

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

}  // namespace

int OpenPreview()
{
    if (IsOptionDialogOpen())
        return 0;
    // The filters work on true colours; a palette display has nothing to show them on.
    if (DesktopBitsPerPixel() <= 8)
        return 0;
    // A trigger dispatched by a message box of the capture, while the first preview is
    // still being made.
    if (IsPreviewBeingCreated())
        return 0;
    if (IsAboutOpen())
        CloseAboutDialog();  // it ends itself when its own loop takes the posted OK
    if (previewWindow == nullptr && CreatePreviewWindow() == nullptr)
        return 0;
    ForceForegroundWindow(panelWindow);
    return 1;
}

int OnHotCornerTimer(UINT_PTR timerId)
{
    if (timerId != IDT_HOTCORNER || !settings.EnableMouseAction)
        return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    // The corners of the screen itself. The full-screen client area ends above the taskbar,
    // where a cursor cannot be parked against an edge.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (previewWindow != nullptr) {
        dwellStartTick = 0;
        return 0;
    }
    int x = 0, y = 0;
    if (!HotCornerPoint(settings.MouseActionPosition, screenWidth, screenHeight, &x, &y) ||
        cursor.x != x || cursor.y != y) {
        dwellStartTick = 0;
        return 0;
    }
    if (dwellStartTick == 0) {
        dwellStartTick = GetTickCount();
        return 0;
    }
    if (IsDwellLongEnough(dwellStartTick, GetTickCount())) {
        OpenPreview();
        dwellStartTick = 0;  // a refused preview starts the dwell again
    }
    return 0;
}

int RunOptionCommand()
{
    const Settings before = settings;
    if (ShowOptionDialog() != 1)
        return 0;
    // Cancel wrote nothing, so nothing differs from the copy. An OK that leaves the hotkey
    // as it was does not retry a registration that failed earlier.
    const bool hotkeyChanged =
        settings.EnableHotkeyAction != before.EnableHotkeyAction ||
        (settings.EnableHotkeyAction &&
         (settings.HotkeyCtrl != before.HotkeyCtrl || settings.HotkeyAlt != before.HotkeyAlt ||
          settings.HotkeyVKey != before.HotkeyVKey));
    if (!hotkeyChanged)
        return 0;
    if (hotkeyRegistered) {
        UnregisterHotKey(mainFrameWnd, ID_PREVIEW_HOTKEY);
        hotkeyRegistered = 0;
    }
    // On failure the box says so and the program goes on without a hotkey.
    if (settings.EnableHotkeyAction)
        RegisterPreviewHotkey();
    return 0;
}
