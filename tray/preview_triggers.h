// How the program's windows meet: the two triggers of the preview (the hotkey and the hot
// corner), the live view, and the tray menu's Option command. `frame` is the main frame, which owns the
// hotkey, the dialogs and the message boxes.
#pragma once

#include <windows.h>

// Non-zero while the preview hotkey is registered.
extern int hotkeyRegistered;

// Registers the preview hotkey for `frame` from the settings (Ctrl and Alt as chosen, never
// Shift or Win) and keeps the result in hotkeyRegistered. On failure says so in a box and
// returns 0.
int RegisterPreviewHotkey(HWND frame);

// Gives the hotkey back when it is registered.
void UnregisterPreviewHotkey(HWND frame);

// Opens the preview of `monitor`, or brings the open one's panel forward. 1 when a preview
// exists afterwards. It refuses while the Option dialog is open or the preview runs a modal
// loop (its menu, the Save As dialog, a box), and closes an open About box.
int OpenPreview(HWND frame, HMONITOR monitor);

// The hotkey: the preview of the monitor under the cursor.
void OnHotkey(HWND frame);

// One tick of the hot-corner timer: opens the preview of the primary monitor once the
// cursor has rested on its hot corner long enough.
void OnHotCornerTick(HWND frame);

// The Option dialog, unless a preview is shown, then the hotkey registered anew when its
// settings changed or when it is on but was not registered.
void RunOptionCommand(HWND frame);

// The tray menu's Live view: opens the live view, or closes it when it is open.
void RunLiveViewCommand();

// The preview's menu asked for the live view through filter `filterIndex` of the filter
// table; the preview closes itself.
void OpenLiveViewFromPreview(WPARAM filterIndex);

// The About box, with the live view holding its picture while it is open.
void RunAboutCommand(HWND frame);
