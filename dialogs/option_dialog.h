// The Option dialog: the hotkey, the hot corner, the splash switch, and which filters the
// operate panel offers in which order.
#pragma once

#include <windows.h>

// Runs the Option dialog modally, owned by `owner`. IDOK after OK: the new values are then
// in the settings and the enabled list. IDCANCEL when nothing was applied: after Cancel, or
// at once when the dialog is already open. DialogBoxParamA's failure value when it could
// not be made.
int ShowOptionDialog(HWND owner);

// Non-zero while the Option dialog runs.
int IsOptionDialogOpen();
