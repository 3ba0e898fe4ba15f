// The preview triggers and the Option command.

#include "tray/preview_triggers.h"

#include "dialogs/option_dialog.h"
#include "settings/settings.h"
#include "tray/main_frame.h"

int OpenPreview()
{
    return 0;
}

int OnHotCornerTimer(UINT_PTR)
{
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
