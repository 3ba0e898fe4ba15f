// The hidden main frame: it owns the tray icon and its menu, the global hotkey and the
// hot-corner timer, and owns the message boxes and dialogs. Its end is the program's end.
#pragma once

#include <windows.h>

#include <shellapi.h>

// Callback message of the tray icon.
const UINT WM_TASKTRAY = WM_APP + 1;
// Posted to itself: the images of a preview of the primary monitor are made ready once the
// program idles.
const UINT WM_PREPARE_PREVIEW = WM_APP + 4;

const UINT ID_TRAY_ICON = 1;
const UINT_PTR IDT_HOTCORNER = 555;
const UINT kHotCornerPeriodMs = 100;

// Set first thing in the frame's creation; null before.
extern HWND mainFrameWnd;
// The tray menu, or null when it could not be loaded and after the frame's end.
extern HMENU trayMenu;
// Non-zero while the hot-corner timer runs.
extern int hotCornerTimerSet;

ATOM RegisterMainFrameClass();

// Creates the hidden main frame, whose creation adds the tray icon and registers the hotkey.
// Null when it could not be made.
HWND CreateMainFrame();
