// The operate panel: the small captioned window above the preview that lists the enabled
// filters and closes the preview.
#pragma once

#include <windows.h>

// The panel's controls: the list of the enabled filters and the Close button.
const int kPanelListId = 1000;
const int kPanelCloseId = 1001;

// Sent by the panel to itself when Esc reaches its own window procedure.
const UINT WM_PANEL_ESCAPE = WM_APP + 2;

// The panel, or null while none exists. The message loop routes messages through
// IsDialogMessageA for it, which gives it dialog-style keyboard handling.
extern HWND panelWindow;

ATOM RegisterPanelClass();

// Creates and shows the panel on `monitor`, whose rectangle is `area`, owned by the preview
// and sized for the monitor's DPI. Null on failure.
HWND CreateOperatePanel(HWND owner, HMONITOR monitor, const RECT& area);
