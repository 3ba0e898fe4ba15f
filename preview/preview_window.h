// The full-screen preview window, which shows the filtered capture of one monitor, and the
// capture unfiltered while Shift is held. Its menu (a right click) and shortcut keys keep
// the picture: Copy, Save picture, Save comparison sheet.
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
// capture's boxes are owned by `boxOwner`, which is also told when the user asks for the
// live view from the preview's menu (WM_OPEN_LIVE_VIEW, preview/live_view.h).
HWND CreatePreviewWindow(HWND boxOwner, HMONITOR monitor);

// True while CreatePreviewWindow runs, and while a modal loop of the preview runs: its
// menu, the Save As dialog or one of its message boxes. A message box of the capture runs
// its own message loop, and a trigger must not start a second preview inside the first
// one, nor bring the panel forward over a modal loop.
bool IsPreviewBusy();

// Hands a message of the loop to the preview when it is meant for the preview or its panel:
// Shift held alone shows the capture unfiltered until it is released or another key joins
// it, the shortcuts of the preview's menu act (Ctrl+C, Ctrl+S, Ctrl+Shift+S) whether the
// panel's list or the picture has the keyboard, and the panel, an ordinary window, gets the
// dialog keys (Tab, the arrows, Esc). True when one of them took the message.
bool TakePreviewKeyboardMessage(MSG* msg);

// Brings `window` to the foreground even when another program has it, by joining that
// program's input state for the moment of the switch.
BOOL ForceForegroundWindow(HWND window);
