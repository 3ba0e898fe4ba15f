// The operate panel: the small captioned window above the preview that lists the enabled
// filters and closes the preview.
#pragma once

#include <windows.h>

// Sent by the panel to itself when Esc reaches its own window procedure.
const UINT WM_PANEL_ESCAPE = WM_APP + 2;

// The panel, or null while none exists. The message loop routes messages through
// IsDialogMessageA for it, which gives it dialog-style keyboard handling.
extern HWND panelWindow;

ATOM RegisterPanelClass();

// Creates and shows the panel on `monitor`, owned by the preview and sized for the
// monitor's DPI. Null on failure.
HWND CreateOperatePanel(HWND owner, HMONITOR monitor);
