// The Option dialog: the hotkey, the hot corner, the splash switch, and which filters the
// operate panel offers in which order.
#pragma once

#include <windows.h>

// Runs the Option dialog modally, owned by the main frame. 1 after OK (the new values are
// then in the settings and the enabled list) and also after Cancel, which applies nothing;
// 2 when it refused to open because a preview is shown or the dialog is already open;
// DialogBoxParamA's failure value when the dialog could not be made.
int ShowOptionDialog();

// Non-zero while the Option dialog runs. The preview refuses to open meanwhile, so the
// enabled list never changes under the operate panel.
int IsOptionDialogOpen();

INT_PTR CALLBACK OptionDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
