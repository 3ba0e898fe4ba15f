// The full-screen preview window, which shows the filtered capture of one monitor.
#pragma once

#include <windows.h>

// Posted by the operate panel after it changed selectedFilterIndex.
const UINT WM_PREVIEW_REFILTER = WM_APP + 3;

// The preview, or null while none exists.
extern HWND previewWindow;

// Index into the enabled list of the filter the preview shows; 0 when a preview opens.
extern int selectedFilterIndex;

ATOM RegisterPreviewClass();

// Captures `monitor`, opens the operate panel on it, filters through the first enabled
// filter and shows the preview topmost over the whole monitor. Null on failure. The
// capture's boxes are owned by `boxOwner`.
HWND CreatePreviewWindow(HWND boxOwner, HMONITOR monitor);

// True while CreatePreviewWindow runs. A message box of the capture runs its own message
// loop then, and a trigger must not start a second preview inside the first one.
bool IsPreviewBeingCreated();

// Brings `window` to the foreground even when another program has it, by joining that
// program's input state for the moment of the switch.
BOOL ForceForegroundWindow(HWND window);
