// The program's windows as start-up and the message loop see them: their classes, the
// hidden main frame, the splash at start-up, and the keyboard of the operate panel.
#pragma once

#include <windows.h>

// Registers the main frame's, the preview's, the operate panel's and the splash's window
// classes, in that order, stopping at the first that fails. 1 when all four were registered.
int RegisterWindowClasses();

// Creates the hidden main frame, whose creation adds the tray icon and registers the hotkey.
// Null when it could not be made.
HWND CreateMainFrame();

// Shows the splash picture unless the settings switch it off. A failure is reported in a
// box; start-up goes on either way.
void ShowStartupSplash();

// Hands a message of the loop to the preview's keys (Shift to compare, the shortcuts of its
// menu) and to the operate panel's dialog navigation (Tab, arrows, Esc) while they exist.
// True when one of them took it.
bool TakePanelKeyboardMessage(MSG* msg);
